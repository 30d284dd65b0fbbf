#include "cli/symbolbuild.h"

#include "surface/filewrite.h"
#include "surface/picturefile.h"
#include "symbols/numbersets.h"

namespace cli {

namespace {
bool allDigits(const QString& s) {
    for (QChar c : s)
        if (c < QLatin1Char('0') || c > QLatin1Char('9')) return false;
    return true;
}

// The form's font at 96 dpi, scaled to the request's resolution.
symbols::BuildContext contextFor(const SymbolRequest& r) {
    surface::Font font;
    if (!r.fontFamily.isEmpty()) font.family = r.fontFamily;
    if (r.fontSize > 0) font.pointSize = r.fontSize;
    return symbols::BuildContext::at(r.dpi, r.page, font, r.colour);
}

// The width option that means this symbology's width input.
const QString& widthOf(const SymbolRequest& r) {
    switch (symbols::symbology(r.symbology).width) {
        case symbols::WidthMeaning::NarrowBarMils:
            return r.narrow;
        case symbols::WidthMeaning::SymbolInches:
            return r.width;
        case symbols::WidthMeaning::ModuleMils:
            break;
    }
    return r.module;
}
}  // namespace

QString formMessage(const SymbolRequest& r, QString* refusal) {
    const symbols::SymbologyRow& row = symbols::symbology(r.symbology);
    if (row.fullLength == 0 || r.message.size() != row.fullLength || !allDigits(r.message))
        return r.message;
    const QString typed = r.message.mid(row.typedOffset, row.typedLength);
    const QString complete = row.scannedData(typed);
    if (row.typedOffset > 0 && r.message.left(row.typedOffset) != complete.left(row.typedOffset)) {
        *refusal = QStringLiteral("Invalid number system '%1' of a %2 number, expecting '%3'")
                       .arg(r.message.left(row.typedOffset), symbols::toQString(row.title),
                            complete.left(row.typedOffset));
        return {};
    }
    if (complete != r.message) {
        *refusal = QStringLiteral("Invalid check digit '%1', expecting '%2'")
                       .arg(r.message.back(), complete.back());
        return {};
    }
    return typed;
}

namespace {
// The forms work at the screen's 96 dpi, where their texts blame the size typed. At a
// lower --dpi a size can come to less than one dot although it is fine as typed: then the
// resolution is named instead. Empty when the size is at fault at any resolution.
QString tooLowAResolution(const SymbolRequest& r, const symbols::Refusal& refusal) {
    using symbols::Input;
    if (r.dpi >= 96 || (refusal.input != Input::Width && refusal.input != Input::Height &&
                        refusal.input != Input::Module))
        return {};
    SymbolRequest at96 = r;
    at96.dpi = 96;
    const symbols::BuildResult there = buildSymbol(at96);
    if (there.refusal && there.refusal->text == refusal.text) return {};
    const bool narrow = r.symbology == Symbology::C39 && refusal.input == Input::Width;
    const QString what = refusal.input == Input::Height ? QStringLiteral("the bar height")
                         : narrow                       ? QStringLiteral("the narrow bar")
                                                        : QStringLiteral("the module width");
    return QStringLiteral("--dpi %1 is too low a resolution: %2 comes to less than one dot")
        .arg(QString::number(r.dpi), what);
}
}  // namespace

symbols::BuildResult buildSymbol(const SymbolRequest& r) {
    QString refusal;
    const QString message = formMessage(r, &refusal);
    if (!refusal.isEmpty())
        return symbols::refused(symbols::notice(refusal, symbols::Input::Message));

    symbols::SymbolInputs in;
    in.message = message;
    in.addOn = r.addon;
    in.comment = r.comment;
    in.height = r.height;
    in.width = widthOf(r);
    in.ratio = r.ratio;
    symbols::BuildResult result = symbols::symbology(r.symbology).build(in, contextFor(r));
    // A form goes on without an add-on it cannot use after its notice; a tool asked for an
    // add-on must not quietly leave it out.
    if (result.built() && !result.notices.empty()) result.refusal = result.notices.front();
    if (result.refusal) {
        if (const QString low = tooLowAResolution(r, *result.refusal); !low.isEmpty())
            result.refusal->text = low;
    }
    return result;
}

bool moduleStrings(const SymbolRequest& r, QString* main, QString* addon, QString* refusal) {
    // The same checks as a build, refused in the form's words.
    const symbols::BuildResult built = buildSymbol(r);
    if (!built.built()) {
        *refusal = built.refusal ? built.refusal->text : QStringLiteral("nothing was built");
        return false;
    }
    const symbols::SymbologyRow& row = symbols::symbology(r.symbology);
    QString ignored;
    *main = row.modules(formMessage(r, &ignored));
    // The build has checked the add-on's digits where the symbology takes one.
    *addon = row.takesAddOn && !r.addon.isEmpty() ? symbols::encodeAddOn(r.addon) : QString();
    return true;
}

QString writeOutput(const surface::Bitmap& picture, const SymbolRequest& r, bool force) {
    // The same document title the window's Save gives a PDF.
    const symbols::SymbologyRow& row = symbols::symbology(r.symbology);
    const QString title = files::pictureTitle(symbols::toQString(row.title), expectedData(r),
                                              row.takesAddOn ? r.addon : QString());
    QString error = files::writePicture(picture, r.turn, r.output, force, title);
    if (error.endsWith(files::readOnlyReason())) error += QStringLiteral(" (--force replaces it)");
    if (error.endsWith(files::severalNamesReason()))
        error += QStringLiteral(" (--force rewrites it in place, for every name)");
    return error;
}

QString expectedData(const SymbolRequest& r) {
    QString refusal;
    return symbols::symbology(r.symbology).scannedData(formMessage(r, &refusal));
}

}  // namespace cli
