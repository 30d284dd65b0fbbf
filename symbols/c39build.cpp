#include "symbols/c39build.h"

#include <array>
#include <string_view>

#include "surface/limits.h"
#include "symbols/c39.h"
#include "symbols/convert.h"

namespace symbols {

namespace {

struct SetupMessage {
    int code;
    std::string_view text;
};

// What the user is shown for each set-up result code. Codes 3, 9 and 14 are never
// returned by the symbol but keep their texts.
constexpr std::array<SetupMessage, 13> kSetupMessages = {{
    {1, "Width Error"},
    {2, "Height Error"},
    {3, "Font setting Error"},
    {4, "Narwidth param Error"},
    {5, "Natio Error"},
    {6, "Left blank space Error"},
    {7, "Right blank space Error"},
    {8, "DPI Error"},
    {9, "Line Message Error"},
    {10, "Barcode Message Error"},
    {11, "Top blank space Error"},
    {12, "Down blank space  Error"},
    {14, "Nation  Error!"},
}};

const QString kOneCharacter =
    QStringLiteral("The 'Bar code message' must have two or above two characters.");

// The form's inputs, by control name, for the refusals that point at one.
const QString kHeightEdit = QStringLiteral("fheightedt");
const QString kNarrowEdit = QStringLiteral("fnarwidthedt");
const QString kRatioBox = QStringLiteral("natiocbox");
const QString kMessageEdit = QStringLiteral("barcodeedt");

QString setupField(int code) {
    switch (code) {
        case Tc39::HeightError:
            return kHeightEdit;
        case Tc39::NarrowWidthError:
            return kNarrowEdit;
        case Tc39::RatioError:
            return kRatioBox;
        case Tc39::MessageEmpty:
            return kMessageEdit;
        default:
            return {};
    }
}

Refusal refusal(QString text, const QString& field = {},
                Refusal::Kind kind = Refusal::Kind::Notice) {
    Refusal r;
    r.kind = kind;
    r.text = std::move(text);
    r.field = field;
    return r;
}

// A refusal by one of the checks: nothing has been sized or drawn.
BuildResult refused(QString text, const QString& field = {},
                    Refusal::Kind kind = Refusal::Kind::Notice) {
    BuildResult r;
    r.refusal = refusal(std::move(text), field, kind);
    r.stoppedAt = BuildResult::StoppedAt::Checks;
    return r;
}

// The first character of the message Code 39 cannot encode, named with its 1-based
// position counted in characters as the user sees them.
std::optional<QString> unencodableCharacter(const QString& message) {
    int position = 1;
    for (qsizetype i = 0; i < message.size(); ++position) {
        const bool pair = message[i].isHighSurrogate() && i + 1 < message.size() &&
                          message[i + 1].isLowSurrogate();
        const QString shown = message.mid(i, pair ? 2 : 1);
        i += shown.size();
        if (pair || !Tc39::Accepts(shown[0])) {
            const ushort u = shown[0].unicode();
            const bool control = !pair && (u < 0x20 || u == 0x7F);
            return QStringLiteral(
                       "The 'Bar code message' holds the character '%1' at position %2, "
                       "which Code 39 cannot encode.")
                .arg(control ? QStringLiteral("\\x%1").arg(u, 2, 16, QLatin1Char('0')) : shown)
                .arg(position);
        }
    }
    return std::nullopt;
}

QString sizeLabel(const char* caption, int pixels, int dpi) {
    const double inches = dpi > 0 ? double(pixels) / dpi : 0.0;
    return QLatin1String(caption) + QString::asprintf("%8.2f", inches) +
           QStringLiteral("    inches");
}

}  // namespace

QString c39SetupMessage(int code) {
    for (const SetupMessage& m : kSetupMessages) {
        if (m.code == code)
            return QString::fromLatin1(m.text.data(), static_cast<qsizetype>(m.text.size()));
    }
    return {};
}

QString c39HeightLabel(int heightPixels, int dpi) {
    return sizeLabel("Bar Code Height:    ", heightPixels, dpi);
}

QString c39WidthLabel(int widthPixels, int dpi) {
    return sizeLabel("Bar Code Width:   ", widthPixels, dpi);
}

BuildResult buildC39(const C39Inputs& inputs, const PageValues& page, const surface::Font& font,
                     int dpi) {
    double height = 0, narrow = 0, ratio = 0;
    const struct {
        const QString& text;
        const QString& field;
        double& value;
    } numbers[] = {{inputs.height, kHeightEdit, height},
                   {inputs.narrowWidth, kNarrowEdit, narrow},
                   {inputs.ratio, kRatioBox, ratio}};
    for (const auto& n : numbers) {
        try {
            n.value = strToFloat(n.text);
        } catch (const ConvertError& e) {
            return refused(e.message(), n.field, Refusal::Kind::ConversionError);
        }
    }

    Tc39 symbol;
    const int code = symbol.Setup(font, dpi, page.fiwidth / 1000, height, narrow / 1000, ratio,
                                  page.fleft / 1000, page.fright / 1000, inputs.comment,
                                  inputs.message, page.ftop / 1000, page.fdown / 1000);
    if (code != Tc39::Ok) {
        const QString text = c39SetupMessage(code);
        return refused(text.isEmpty() ? QStringLiteral("Error Code is %1").arg(code) : text,
                       setupField(code));
    }
    if (auto bad = unencodableCharacter(symbol.Message)) return refused(*bad, kMessageEdit);

    // Sizes stay in floating point until they are known to fit.
    const double w = symbol.TotalWidthF();
    const double h = symbol.TotalHeightF();
    if (auto tooBig = surface::pictureSizeRefusal(w, h)) return refused(*tooBig);

    BuildResult result;
    result.dpi = symbol.Dpi;
    result.picture.setDpi(symbol.Dpi);
    result.picture.setBrushColor(Qt::white);
    if (!result.picture.setSize(symbol.TotalWidth(), symbol.TotalHeight())) {
        return refused(QStringLiteral("There is not enough memory for a picture of %1 x %2 "
                                      "pixels.")
                           .arg(symbol.TotalWidth())
                           .arg(symbol.TotalHeight()));
    }

    Tc39::DrawOutcome drawn = symbol.Draw(result.picture);
    result.notices = std::move(drawn.notices);
    if (drawn.failed) {
        result.refusal = refusal(kOneCharacter, kMessageEdit);
        result.stoppedAt = BuildResult::StoppedAt::Drawing;
    }
    return result;
}

}  // namespace symbols
