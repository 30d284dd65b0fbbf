// The main window: which symbology is stored, checked, shown and hosted, and the caption.

#include <QAction>
#include <QLabel>
#include <QTest>

#include "formtesting.h"
#include "symbols/symbologies.h"

using formtesting::Session;

class MainWindowTest : public QObject {
    Q_OBJECT

    static QStringList checkedItems(Tmainfm& w) {
        QStringList out;
        for (const symbols::SymbologyRow& row : symbols::symbologies()) {
            const QString item = symbols::toQString(row.menuItem);
            if (w.menuItem(item)->isChecked()) out << item;
        }
        return out;
    }

  private slots:
    void firstStartHostsNothing() {
        Session s;
        Tmainfm& w = s.start();
        QVERIFY(w.currentForm() == nullptr);
        QVERIFY(checkedItems(w).isEmpty());
        QCOMPARE(w.statusPanel(1)->text(), QString());
        QCOMPARE(w.ftop + w.fdown + w.fleft + w.fright + w.fiwidth, 0.0);
        QCOMPARE(w.windowTitle(), QStringLiteral("Marlisk Barcode Generator"));
    }

    void menuChoicesStoreCheckAndShow_data() {
        QTest::addColumn<QString>("item");
        QTest::addColumn<QString>("stored");
        QTest::newRow("C39") << "C391"
                             << "Bar Code C39";
        QTest::newRow("EAN-13 keeps its historic name") << "ENA13"
                                                        << "Bar Code ENA13";
        QTest::newRow("EAN-8 is stored as ENA8, not EAN8") << "EAN81"
                                                           << "Bar Code ENA8";
        QTest::newRow("UPC-A") << "upca1"
                               << "Bar Code UPC-A";
        QTest::newRow("UPC-E") << "UPCE1"
                               << "Bar Code UPC-E";
    }
    void menuChoicesStoreCheckAndShow() {
        QFETCH(QString, item);
        QFETCH(QString, stored);
        Session s;
        Tmainfm& w = s.start();
        w.menuItem(QStringLiteral("upca1"))->trigger();  // some other choice first
        w.menuItem(item)->trigger();
        QCOMPARE(settings::readSymbology(), stored);
        QCOMPARE(checkedItems(w), QStringList{item});
        QCOMPARE(w.statusPanel(0)->text(), QString());
        QCOMPARE(w.statusPanel(1)->text(), stored);
        QCOMPARE(w.statusPanel(2)->text(), QString());
        // The symbology's designer form is hosted in the panel.
        QVERIFY(w.currentForm() != nullptr);
        QCOMPARE(w.currentForm()->parentWidget(), static_cast<QWidget*>(w.Panel4));
        QCOMPARE(w.currentForm()->pos(), QPoint(1, 1));
    }

    void storedChoiceSurvivesARestart() {
        Session s(QByteArray(
            "[Symbology]\nChecked=Bar Code UPC-E\n[pagesetting]\nftop=100\nfleft=250\n"));
        Tmainfm& w = s.start();
        QCOMPARE(checkedItems(w), QStringList{QStringLiteral("UPCE1")});
        QCOMPARE(w.statusPanel(1)->text(), QStringLiteral("Bar Code UPC-E"));
        QCOMPARE(w.ftop, 100.0);
        QCOMPARE(w.fleft, 250.0);
    }

    void storedNameMustMatchExactly_data() {
        QTest::addColumn<QByteArray>("ini");
        QTest::newRow("other letter case") << QByteArray("[Symbology]\nChecked=bar code c39\n");
        QTest::newRow("unknown name") << QByteArray("[Symbology]\nChecked=Bar Code EAN8\n");
        QTest::newRow("garbage file") << QByteArray("\x00\x01\x02\xff", 4);
    }
    void storedNameMustMatchExactly() {
        QFETCH(QByteArray, ini);
        Session s(ini);
        Tmainfm& w = s.start();
        QVERIFY(w.currentForm() == nullptr);
        QVERIFY(checkedItems(w).isEmpty());
        QCOMPARE(w.statusPanel(1)->text(), QString());
    }

    void choosingTheSameSymbologyAgainMakesAFreshForm() {
        Session s;
        Tmainfm& w = s.start();
        for (const symbols::SymbologyRow& row : symbols::symbologies()) {
            const QString item = symbols::toQString(row.menuItem);
            w.menuItem(item)->trigger();
            QPointer<QWidget> first = w.currentForm();
            QVERIFY(first);
            w.menuItem(item)->trigger();
            QVERIFY(first.isNull());  // destroyed, inputs gone with it
            QVERIFY(w.currentForm() != nullptr);
            QCOMPARE(checkedItems(w), QStringList{item});
        }
    }

    void failedWriteStillHostsTheChoiceAndSaysSo() {
        Session s(QByteArray("[Symbology]\nChecked=Bar Code UPC-A\n"));
        Tmainfm& w = s.start();
        // A directory cannot be replaced by the file: the write fails. The user still gets
        // the form chosen (an empty window would pass the failure off as done) and is told
        // which file could not be written.
        const QString locked = s.dir.filePath(QStringLiteral("locked"));
        settings::setPathOverride(locked);
        QDir(s.dir.path()).mkpath(QStringLiteral("locked"));
        w.menuItem(QStringLiteral("C391"))->trigger();
        QCOMPARE(checkedItems(w), QStringList{QStringLiteral("C391")});
        QVERIFY(w.currentForm() != nullptr);
        QCOMPARE(w.statusPanel(1)->text(), QStringLiteral("Bar Code C39"));
        QCOMPARE(
            s.texts(),
            QStringList{QStringLiteral("The settings file %1 cannot be written.").arg(locked)});
        settings::setPathOverride(s.iniPath());
        w.menuItem(QStringLiteral("ENA13"))->trigger();
        QCOMPARE(checkedItems(w), QStringList{QStringLiteral("ENA13")});
        QCOMPARE(s.messages.size(), std::size_t(1));  // a write that works says nothing
    }

    // A settings file too large to be read changes the pictures (page values 0): the window
    // says so once, when it is up, in a "Notice", and leaves the file as it is.
    void oversizedSettingsFileIsNoticedOnceAtStart() {
        QByteArray big("[pagesetting]\nfleft=250\n");
        big += QByteArray(5 * 1024 * 1024, ';');
        Session s(big);
        Tmainfm& w = s.start();
        QTRY_COMPARE(s.messages.size(), std::size_t(1));
        QCOMPARE(s.messages[0].caption, QStringLiteral("Notice"));
        QVERIFY2(s.messages[0].text.startsWith(QStringLiteral("The settings file %1 is larger "
                                                              "than 4194304 bytes")
                                                   .arg(s.iniPath())),
                 qPrintable(s.messages[0].text));
        QCOMPARE(w.fleft, 0.0);
        QTest::qWait(50);
        QCOMPARE(s.messages.size(), std::size_t(1));
        QFile ini(s.iniPath());
        QCOMPARE(ini.size(), big.size());
    }

    void captionGainsTrailingBlankAfterFirstPaint() {
        Session s;
        Tmainfm& w = s.start();
        QCOMPARE(w.windowTitle(), QStringLiteral("Marlisk Barcode Generator"));
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        QTRY_COMPARE(w.windowTitle(), QStringLiteral("Marlisk Barcode Generator "));
    }

    void menusCarryTheirCaptions() {
        Session s;
        Tmainfm& w = s.start();
        const QList<QPair<QString, QString>> items = {{"Save1", "Printer setting"},
                                                      {"PageSetting1", "Page setting"},
                                                      {"Fontsetting1", "Font setting"},
                                                      {"Colorsetting1", "Color setting"},
                                                      {"C391", "C39"},
                                                      {"ENA13", "EAN-13"},
                                                      {"EAN81", "EAN-8"},
                                                      {"upca1", "UPC-A"},
                                                      {"UPCE1", "UPC-E"},
                                                      {"About1", "About"},
                                                      {"Help2", "Help"},
                                                      {"Exit2", "Exit"}};
        // The '&' marks the mnemonic, which is underlined, not shown.
        for (const auto& [name, caption] : items)
            QCOMPARE(w.menuItem(name)->text().remove(QLatin1Char('&')), caption);
    }

    void helpWithoutAnyManualSaysSo() {
        Session s;
        Tmainfm& w = s.start();
        const QString cwd = QDir::currentPath();
        QDir::setCurrent(s.dir.path());
        w.Help2Click();  // no Help.chm here, and no manual beside the test program
        QDir::setCurrent(cwd);
        QCOMPARE(s.texts(), QStringList{"The manual is not installed. \"man marlisk\" shows the "
                                        "manual page."});
    }
};

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    MainWindowTest t;
    return QTest::qExec(&t, argc, argv);
}

#include "test_mainwindow.moc"
