// A picture too large reaches the user the way every refusal does: one "Notice" box from the
// hosted form, nothing on the clipboard. Page values as a hand-edited settings file may hold
// them, for each of the five forms.

#include <QLineEdit>
#include <QTest>

#include "formtesting.h"

class SizeFormsTest : public QObject {
    Q_OBJECT
  private slots:
    void tooLargeIsANotice_data() {
        QTest::addColumn<QString>("symbology");
        QTest::addColumn<QString>("message");
        QTest::addColumn<QByteArray>("page");
        const struct {
            const char* name;
            const char* message;
        } forms[] = {{"Bar Code C39", "CODE39"},
                     {"Bar Code ENA13", "400638133393"},
                     {"Bar Code UPC-A", "03600029145"},
                     {"Bar Code ENA8", "9638507"},
                     {"Bar Code UPC-E", "123456"}};
        for (const auto& f : forms) {
            QTest::addRow("%s, top space 1e308 mils", f.name)
                << f.name << f.message << QByteArray("ftop=1e308\n");
            QTest::addRow("%s, left and right of 1e300 that cancel", f.name)
                << f.name << f.message << QByteArray("fleft=1e300\nfright=-1e300\n");
        }
    }
    void tooLargeIsANotice() {
        QFETCH(QString, symbology);
        QFETCH(QString, message);
        QFETCH(QByteArray, page);
        formtesting::Session session("[Symbology]\nChecked=" + symbology.toUtf8() +
                                     "\n[pagesetting]\n" + page);
        Tmainfm& window = session.start();
        auto* form = formtesting::hostedForm<DesignerForm>(window);
        QVERIFY(form != nullptr);
        auto* edit = form->findChild<QLineEdit*>(QStringLiteral("barcodeedt"));
        QVERIFY(edit != nullptr);
        edit->setText(message);
        form->Button1Click();
        QCOMPARE(session.messages.size(), std::size_t(1));
        QCOMPARE(session.messages[0].caption, QStringLiteral("Notice"));
        QVERIFY2(session.messages[0].text.contains(QLatin1String("32000 pixels a side")),
                 qPrintable(session.messages[0].text));
        QCOMPARE(session.clipboardCopies, 0);
    }
};

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    SizeFormsTest t;
    return QTest::qExec(&t, argc, argv);
}

#include "test_sizeforms.moc"
