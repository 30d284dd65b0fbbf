// One Build/Copy repeated 1,000 times must not make the program grow: through each
// symbology's build path, and through the Code 39 form's Build/Copy with its clipboard. The
// sanitizer build runs the same loops under the leak checker; here the resident memory is
// measured before and after.

#include <QFile>
#include <QLineEdit>
#include <QTest>

#include "designers/C39form.h"
#include "formtesting.h"
#include "tests/buildpaths.h"

#if defined(__SANITIZE_ADDRESS__)
#define MARLISK_ASAN 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define MARLISK_ASAN 1
#endif
#endif

namespace {
constexpr int kRounds = 1000;
constexpr int kWarmUp = 50;  // fills the font and glyph caches first
// Allowed growth over the 1,000 builds: allocator slack, far below one picture per build.
constexpr long kSlackKb = 4096;

long residentKb() {
    QFile f(QStringLiteral("/proc/self/status"));
    if (!f.open(QIODevice::ReadOnly)) return -1;
    for (const QByteArray& line : f.readAll().split('\n'))
        if (line.startsWith("VmRSS:")) return line.mid(6).trimmed().split(' ').value(0).toLong();
    return -1;
}

// Runs `once` for warm-up and then kRounds times, and checks that resident memory stayed
// within the slack. Under AddressSanitizer freed memory is held back on purpose, so there
// the figures are only reported and the leak checker at exit does the checking.
template <class F>
void checkDoesNotGrow(const char* what, F once) {
    for (int i = 0; i < kWarmUp; ++i) once();
    const long before = residentKb();
    for (int i = 0; i < kRounds; ++i) once();
    const long after = residentKb();
    qInfo("%s: resident %ld kB before, %ld kB after %d builds (%+ld kB)", what, before, after,
          kRounds, after - before);
    if (before < 0) QSKIP("no /proc/self/status here");
#ifndef MARLISK_ASAN
    QVERIFY2(after - before < kSlackKb, what);
#endif
}
}  // namespace

class MemoryTest : public QObject {
    Q_OBJECT
  private slots:
    void initTestCase() { surface::setScreenDpiOverride(96); }

    void buildPathsDoNotGrow_data() {
        QTest::addColumn<int>("symbology");
        for (const symbols::SymbologyRow& row : symbols::symbologies())
            QTest::newRow(buildpaths::nameOf(row.id)) << int(row.id);
    }
    void buildPathsDoNotGrow() {
        QFETCH(int, symbology);
        const auto s = buildpaths::Symbology(symbology);
        buildpaths::Inputs in;
        in.comment = QStringLiteral("Lot 42");
        in.addOn = s == buildpaths::Symbology::C39 ? QString() : QStringLiteral("52495");
        in.page = {100, 100, 250, 250, 50};
        int built = 0;
        checkDoesNotGrow(buildpaths::nameOf(s), [&] { built += buildpaths::build(s, in).built(); });
        QCOMPARE(built, kWarmUp + kRounds);
    }

    void formBuildCopyDoesNotGrow() {
        formtesting::Session session(QByteArray("[Symbology]\nChecked=Bar Code C39\n"));
        Tmainfm& window = session.start();
        auto* form = formtesting::hostedForm<Tc39fm>(window);
        QVERIFY(form != nullptr);
        form->heardtextedt->setText(QStringLiteral("Lot 42"));
        form->barcodeedt->setText(QStringLiteral("MARLISK-39"));
        checkDoesNotGrow("Code 39 form", [form] { form->Button1Click(); });
        QCOMPARE(session.clipboardCopies, kWarmUp + kRounds);
        QVERIFY(session.messages.empty());
    }
};

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    MemoryTest t;
    return QTest::qExec(&t, argc, argv);
}

#include "test_memory.moc"
