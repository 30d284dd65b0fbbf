#include "symbols/c39build.h"

#include <array>
#include <string_view>

#include "surface/convert.h"
#include "symbols/c39.h"

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

// The input a set-up result code is about.
Input setupInput(int code) {
    switch (code) {
        case Tc39::HeightError:
            return Input::Height;
        case Tc39::NarrowWidthError:
            return Input::Width;
        case Tc39::RatioError:
            return Input::Ratio;
        case Tc39::MessageEmpty:
            return Input::Message;
        default:
            return Input::None;
    }
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
            // The underscore carries the space's pattern, so a space has a way to be typed.
            const QString hint =
                shown == QLatin1String(" ")
                    ? QStringLiteral(" Type '_' where the symbol is to hold a space.")
                    : QString();
            return QStringLiteral(
                       "The 'Bar code message' holds the character '%1' at position %2, "
                       "which Code 39 cannot encode.%3")
                .arg(control ? QStringLiteral("\\x%1").arg(u, 2, 16, QLatin1Char('0')) : shown)
                .arg(position)
                .arg(hint);
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

BuildResult buildC39(const C39Inputs& inputs, const BuildContext& context) {
    double height = 0, narrow = 0, ratio = 0;
    const struct {
        const QString& text;
        Input input;
        double& value;
    } numbers[] = {{inputs.height, Input::Height, height},
                   {inputs.narrowWidth, Input::Width, narrow},
                   {inputs.ratio, Input::Ratio, ratio}};
    for (const auto& n : numbers) {
        try {
            n.value = surface::strToFloat(n.text);
        } catch (const surface::ConvertError& e) {
            return refused(conversionError(e.message(), n.input));
        }
    }

    const PageValues& page = context.page;
    Tc39 symbol;
    const int code =
        symbol.Setup(context.font, context.resolvedDpi(), page.fiwidth / 1000, height,
                     narrow / 1000, ratio, page.fleft / 1000, page.fright / 1000, inputs.comment,
                     inputs.message, page.ftop / 1000, page.fdown / 1000);
    if (code != Tc39::Ok) {
        const QString text = c39SetupMessage(code);
        return refused(notice(text.isEmpty() ? QStringLiteral("Error Code is %1").arg(code) : text,
                              setupInput(code)));
    }
    if (auto bad = unencodableCharacter(symbol.Message))
        return refused(notice(*bad, Input::Message));

    // Sizes stay in floating point until they are known to fit.
    if (auto why = sizeRefusal({symbol.TotalWidthF(), symbol.TotalHeightF()}, context))
        return refused(*why);

    BuildResult result;
    result.dpi = symbol.Dpi;
    result.picture.setDpi(symbol.Dpi);
    result.picture.setBrushColor(Qt::white);
    if (!result.picture.setSize(symbol.TotalWidth(), symbol.TotalHeight()))
        return refused(noMemory(symbol.TotalWidth(), symbol.TotalHeight()));

    Tc39::DrawOutcome drawn = symbol.Draw(result.picture);
    for (QString& text : drawn.notices)
        result.notices.push_back(notice(std::move(text), Input::None, Refusal::Owner::Application));
    if (drawn.failed) {
        result.refusal = notice(kOneCharacter, Input::Message);
        result.stoppedAt = BuildResult::StoppedAt::Drawing;
        return result;
    }
    // Where the bars went, as the symbol drew them.
    result.geometry = std::move(drawn.drawn);
    result.geometry.data = Tc39::Scanned(symbol.Message);
    result.geometry.typedMils = narrow;
    result.geometry.ratio = ratio;
    return result;
}

}  // namespace symbols
