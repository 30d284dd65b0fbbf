#include "fuzz/fuzzinput.h"

#include <QGuiApplication>
#include <limits>

#include "surface/convert.h"
#include "surface/font.h"
#include "surface/screen.h"

namespace fuzzing {

namespace {
void startApplication() {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    static int argc = 1;
    static char name[] = "marlisk-fuzz";
    static char* argv[] = {name, nullptr};
    // Lives until the process ends and is never destroyed: the fuzzer leaves through exit(),
    // where Qt's own globals may already be gone, and a QGuiApplication destroyed then
    // crashes.
    static QGuiApplication* const app = new QGuiApplication(argc, argv);
    (void)app;
    surface::registerFontSubstitutes();
    surface::setScreenDpiOverride(96);
}
}  // namespace

QStringList fields(const std::uint8_t* data, std::size_t size, int count) {
    const QString all =
        QString::fromUtf8(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    QStringList out;
    qsizetype from = 0;
    for (int i = 0; i < count; ++i) {
        const qsizetype nl = i + 1 < count ? all.indexOf(QLatin1Char('\n'), from) : -1;
        if (from > all.size()) {
            out << QString();
        } else if (nl < 0) {
            out << all.mid(from);
            from = all.size() + 1;
        } else {
            out << all.mid(from, nl - from);
            from = nl + 1;
        }
    }
    return out;
}

QString utf16(const std::uint8_t* data, std::size_t size) {
    QString s(static_cast<qsizetype>(size / 2), Qt::Uninitialized);
    for (std::size_t i = 0; i + 1 < size; i += 2)
        s[static_cast<qsizetype>(i / 2)] = QChar(char16_t(data[i] | (data[i + 1] << 8)));
    return s;
}

double number(const QString& text) {
    double v = 0;
    return surface::tryStrToFloat(text, v) ? v : 0.0;
}

double anyNumber(const QString& text) {
    const QString t = text.trimmed().toLower();
    if (t == QLatin1String("nan")) return std::numeric_limits<double>::quiet_NaN();
    if (t == QLatin1String("inf")) return std::numeric_limits<double>::infinity();
    if (t == QLatin1String("-inf")) return -std::numeric_limits<double>::infinity();
    return t.toDouble();
}

}  // namespace fuzzing

// Every target: the application with the offscreen platform, the font substitutes and a
// fixed screen resolution, once before the first input.
extern "C" int LLVMFuzzerInitialize(int*, char***) {
    fuzzing::startApplication();
    return 0;
}
