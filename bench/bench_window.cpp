// Build/Copy in the window, from the press to the picture on the clipboard: the real main
// window on the offscreen platform, each symbology chosen from its menu, its message typed
// and Build/Copy pressed again and again. Prints the median and the slowest tenth of the
// presses per symbology, and the window's peak resident memory after all the builds.
//
//     bench_window [presses per symbology, default 200]

#include <sys/resource.h>

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "app/mainform.h"
#include "app/messages.h"
#include "app/settings.h"
#include "designers/designerform.h"
#include "surface/font.h"
#include "symbols/symbologies.h"

namespace {
// A message each form takes.
const char* messageFor(symbols::Symbology s) {
    switch (s) {
        case symbols::Symbology::C39:
            return "AB";
        case symbols::Symbology::Ena13:
            return "590123412345";
        case symbols::Symbology::Ean8:
            return "9638507";
        case symbols::Symbology::UpcA:
            return "03600029145";
        case symbols::Symbology::UpcE:
            break;
    }
    return "123456";
}

double microseconds(std::chrono::steady_clock::duration d) {
    return std::chrono::duration<double, std::micro>(d).count();
}
}  // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const int presses = argc > 1 ? std::max(1, atoi(argv[1])) : 200;
    QTemporaryDir dir;
    settings::setPathOverride(dir.filePath(QStringLiteral("BCodeSetting.ini")));
    surface::registerFontSubstitutes();
    Tmainfm window;
    window.show();
    QApplication::processEvents();

    std::printf("%-8s %10s %10s  (microseconds, %d presses)\n", "symbol", "median", "90%", presses);
    // A message box would wait for a click that never comes: say what it said and stop.
    ui::setMessageSink([](const QString& caption, const QString& text) {
        std::fprintf(stderr, "%s: %s\n", qPrintable(caption), qPrintable(text));
        std::exit(1);
    });
    int builds = 0;
    for (const symbols::SymbologyRow& s : symbols::symbologies()) {
        const QString caption = symbols::toQString(s.menuCaption);
        window.menuItem(symbols::toQString(s.menuItem))->trigger();
        auto* form = qobject_cast<DesignerForm*>(window.currentForm());
        auto* message = form ? form->findChild<QLineEdit*>(QStringLiteral("barcodeedt")) : nullptr;
        if (message == nullptr) {
            std::fprintf(stderr, "%s: no form with a message\n", qPrintable(caption));
            return 1;
        }
        message->setText(QString::fromLatin1(messageFor(s.id)));
        std::vector<double> times;
        for (int i = 0; i < presses + 10; ++i) {
            QApplication::clipboard()->clear();
            const auto start = std::chrono::steady_clock::now();
            form->Button1->click();
            const bool copied = !QApplication::clipboard()->image().isNull();
            const auto took = std::chrono::steady_clock::now() - start;
            if (!copied) {
                std::fprintf(stderr, "%s: nothing reached the clipboard\n", qPrintable(caption));
                return 1;
            }
            if (i >= 10) times.push_back(microseconds(took));  // the first fill the caches
            ++builds;
            QApplication::processEvents();
        }
        std::sort(times.begin(), times.end());
        std::printf("%-8s %10.0f %10.0f\n", qPrintable(caption), times[times.size() / 2],
                    times[times.size() * 9 / 10]);
    }
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    std::printf("peak resident memory after %d builds: %ld KiB\n", builds, usage.ru_maxrss);
    return 0;
}
