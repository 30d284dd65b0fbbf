// Label templates as the label database writes them: lengths in every unit, equivalent
// parts, paper sizes, what is missing or malformed, a very large file, the whole installed
// database, and where the labels of a sheet go.

#include <QTemporaryDir>
#include <QTest>

#include "surface/labelsheet.h"
#include "surface/labeltemplate.h"

using namespace labels;

namespace {

const std::vector<PaperSize> kPapers = {{QStringLiteral("A4"), 595.2756, 841.8898},
                                        {QStringLiteral("US-Letter"), 612, 792}};

QByteArray file(const QByteArray& templates) {
    return "<?xml version=\"1.0\"?>\n<Glabels-templates>\n" + templates + "</Glabels-templates>\n";
}

// Avery 5160 as the database has it.
const QByteArray kAvery5160 =
    "<Template brand=\"Avery\" part=\"5160\" size=\"US-Letter\" _description=\"Address Labels\">\n"
    "  <Label-rectangle id=\"0\" width=\"2.625in\" height=\"1in\" round=\"0.0625in\">\n"
    "    <Markup-margin size=\"0.0625in\"/>\n"
    "    <Layout nx=\"3\" ny=\"10\" x0=\"0.15625in\" y0=\"0.5in\" dx=\"2.78125in\" dy=\"1in\"/>\n"
    "  </Label-rectangle>\n"
    "</Template>\n";

}  // namespace

class TestLabelTemplates : public QObject {
    Q_OBJECT
  private slots:
    void lengths_data();
    void lengths();
    void readsARectangularSheet();
    void equivCopiesAnEarlierTemplateOfTheBrand();
    void shapes();
    void leftOut_data();
    void leftOut();
    void malformedFileIsLeftOutWholeAndOthersLoad();
    void tenMegabyteFile();
    void installedDatabaseLoadsWithoutAMessage();
    void builtInSheetsWithoutTheDatabase();
    void userFileRedefinesADatabaseSheet();
    void namesAndSearch();
    void sheetOrderAndStart();
    void symbolTooLargeNamesBothSizes();
    void calibration_data();
    void calibration();
};

void TestLabelTemplates::lengths_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<double>("points");  // -1: not a length
    QTest::newRow("points, no unit") << "72" << 72.0;
    QTest::newRow("pt") << "12.5pt" << 12.5;
    QTest::newRow("in") << "1in" << 72.0;
    QTest::newRow("mm: 25.4 mm is an inch") << "25.4mm" << 72.0;
    QTest::newRow("cm") << "2.54cm" << 72.0;
    QTest::newRow("pc: a pica is 12 points") << "6pc" << 72.0;
    QTest::newRow("blanks round it") << " 1 in " << 72.0;
    QTest::newRow("unit alone, as the database has it once") << "in" << 0.0;
    QTest::newRow("empty, as the database has it once") << "" << 0.0;
    QTest::newRow("negative") << "-1mm" << -1.0;
    QTest::newRow("unknown unit") << "1ft" << -1.0;
    QTest::newRow("not a number") << "wide" << -1.0;
}

void TestLabelTemplates::lengths() {
    QFETCH(QString, text);
    QFETCH(double, points);
    const std::optional<double> value = parseLength(text);
    if (points < 0) {
        QVERIFY2(!value, qPrintable(QStringLiteral("read as %1").arg(value.value_or(0))));
    } else {
        QVERIFY(value);
        QVERIFY2(std::abs(*value - points) < 1e-9, qPrintable(QString::number(*value)));
    }
}

void TestLabelTemplates::readsARectangularSheet() {
    TemplateSet set;
    readTemplates(file(kAvery5160), QStringLiteral("a.xml"), kPapers, set);
    QVERIFY2(set.messages.isEmpty(), qPrintable(set.messages.join('\n')));
    QCOMPARE(set.templates.size(), size_t(1));
    const LabelTemplate& t = set.templates.front();
    QCOMPARE(t.name(), QStringLiteral("Avery 5160"));
    QCOMPARE(t.description, QStringLiteral("Address Labels"));
    QCOMPARE(t.pageWidth, 612.0);
    QCOMPARE(t.pageHeight, 792.0);
    QCOMPARE(t.label.width, 189.0);
    QCOMPARE(t.label.height, 72.0);
    QCOMPARE(t.label.margin, 4.5);
    QCOMPARE(t.count(), 30);
    QCOMPARE(t.across(), 3);
    QCOMPARE(t.down(), 10);
    QCOMPARE(t.grids.front().x0, 11.25);
    QCOMPARE(t.grids.front().dx, 200.25);
}

void TestLabelTemplates::equivCopiesAnEarlierTemplateOfTheBrand() {
    TemplateSet set;
    readTemplates(file(kAvery5160 + "<Template brand=\"Avery\" part=\"8160\" equiv=\"5160\"/>\n"
                                    "<Template brand=\"Herma\" part=\"1\" equiv=\"5160\"/>\n"),
                  QStringLiteral("a.xml"), kPapers, set);
    const LabelTemplate* copy = set.find(u"avery 8160");
    QVERIFY(copy);
    QCOMPARE(copy->count(), 30);
    QCOMPARE(copy->label.width, 189.0);
    QCOMPARE(copy->description, QStringLiteral("Address Labels"));
    // An equiv names a part of the same brand only.
    QVERIFY(!set.find(u"Herma 1"));
    QCOMPARE(set.messages.size(), 1);
    QVERIFY2(set.messages.front().startsWith(QStringLiteral("a.xml:10: template Herma 1")),
             qPrintable(set.messages.front()));
}

void TestLabelTemplates::shapes() {
    TemplateSet set;
    readTemplates(
        file("<Template brand=\"T\" part=\"round\" size=\"A4\">\n"
             " <Label-round id=\"0\" radius=\"20mm\"><Layout nx=\"4\" ny=\"5\" x0=\"10mm\" "
             "y0=\"10mm\" dx=\"45mm\" dy=\"45mm\"/></Label-round></Template>\n"
             "<Template brand=\"T\" part=\"cd\" size=\"US-Letter\">\n"
             " <Label-cd id=\"0\" radius=\"2.3125in\" hole=\"0.8125in\"><Layout nx=\"1\" ny=\"2\" "
             "x0=\"144pt\" y0=\"36pt\" dx=\"0\" dy=\"396pt\"/></Label-cd></Template>\n"
             "<Template brand=\"T\" part=\"roll\" size=\"Other\" width=\"2in\" height=\"1in\">\n"
             " <Label-rectangle id=\"0\" width=\"2in\" height=\"1in\"><Layout nx=\"1\" ny=\"1\" "
             "x0=\"0\" y0=\"0\"/></Label-rectangle></Template>\n"),
        QStringLiteral("s.xml"), kPapers, set);
    QVERIFY2(set.messages.isEmpty(), qPrintable(set.messages.join('\n')));
    const LabelTemplate* round = set.find(u"T round");
    QVERIFY(round);
    QCOMPARE(round->label.kind, LabelShape::Kind::Round);
    QVERIFY(std::abs(round->label.width - 40 * 72 / 25.4) < 1e-9);
    const LabelTemplate* cd = set.find(u"T cd");
    QVERIFY(cd);
    QCOMPARE(cd->label.kind, LabelShape::Kind::Cd);
    QCOMPARE(cd->label.width, 333.0);
    QCOMPARE(cd->label.hole, 58.5);
    const LabelTemplate* roll = set.find(u"T roll");
    QVERIFY(roll);
    QCOMPARE(roll->pageWidth, 144.0);
    QCOMPARE(roll->pageHeight, 72.0);
    QCOMPARE(roll->count(), 1);
}

void TestLabelTemplates::leftOut_data() {
    QTest::addColumn<QByteArray>("xml");
    QTest::addColumn<QString>("message");
    QTest::newRow("no brand") << QByteArray("<Template part=\"1\" size=\"A4\"/>\n")
                              << "t.xml:3: a template is left out: no brand or part";
    QTest::newRow("label without height")
        << QByteArray(
               "<Template brand=\"B\" part=\"1\" size=\"A4\">\n"
               "<Label-rectangle width=\"1in\"><Layout nx=\"1\" ny=\"1\" x0=\"0\" "
               "y0=\"0\"/></Label-rectangle></Template>\n")
        << "t.xml:3: template B 1 is left out: <Label-rectangle> has no height";
    QTest::newRow("no layout")
        << QByteArray(
               "<Template brand=\"B\" part=\"1\" size=\"A4\">\n"
               "<Label-rectangle width=\"1in\" height=\"1in\"/></Template>\n")
        << "t.xml:3: template B 1 is left out: no <Layout>";
    QTest::newRow("a count that is not one")
        << QByteArray(
               "<Template brand=\"B\" part=\"1\" size=\"A4\">\n"
               "<Label-rectangle width=\"1in\" height=\"1in\"><Layout nx=\"x\" ny=\"1\" "
               "x0=\"0\" y0=\"0\"/></Label-rectangle></Template>\n")
        << "t.xml:3: template B 1 is left out: <Layout> nx=\"x\" is not a count of labels";
    QTest::newRow("unknown paper") << QByteArray(
                                          "<Template brand=\"B\" part=\"1\" size=\"Folio\">\n"
                                          "<Label-rectangle width=\"1in\" height=\"1in\"><Layout "
                                          "nx=\"1\" ny=\"1\" x0=\"0\" y0=\"0\"/></Label-rectangle>"
                                          "</Template>\n")
                                   << "t.xml:3: template B 1 is left out: size=\"Folio\" is no "
                                      "known paper size";
    QTest::newRow("a length in feet")
        << QByteArray(
               "<Template brand=\"B\" part=\"1\" size=\"A4\">\n"
               "<Label-rectangle width=\"1ft\" height=\"1in\"><Layout nx=\"1\" ny=\"1\" "
               "x0=\"0\" y0=\"0\"/></Label-rectangle></Template>\n")
        << "t.xml:3: template B 1 is left out: <Label-rectangle> width=\"1ft\" is not a length";
}

void TestLabelTemplates::leftOut() {
    QFETCH(QByteArray, xml);
    QFETCH(QString, message);
    TemplateSet set;
    readTemplates(file(xml + kAvery5160), QStringLiteral("t.xml"), kPapers, set);
    QCOMPARE(set.messages, QStringList{message});
    // The file's other templates load all the same.
    QVERIFY(set.find(u"Avery 5160"));
}

void TestLabelTemplates::malformedFileIsLeftOutWholeAndOthersLoad() {
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const auto write = [&](const QString& name, const QByteArray& content) {
        QFile f(dir.filePath(name));
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(content);
    };
    write(QStringLiteral("a-templates.xml"), file(kAvery5160));
    write(QStringLiteral("b-templates.xml"),
          "<?xml version=\"1.0\"?>\n<Glabels-templates>\n<Template brand=\"Broken\" part=\"1\""
          " size=\"A4\">\n<Label-rectangle width=\"1in\" height=\"1in\">\n</Glabels-templates>\n");
    const TemplateSet set = loadTemplates({dir.path()});
    QVERIFY(set.find(u"Avery 5160"));
    QVERIFY(!set.find(u"Broken 1"));
    QCOMPARE(set.messages.size(), 1);
    QVERIFY2(set.messages.front().startsWith(dir.filePath(QStringLiteral("b-templates.xml:5: "
                                                                         "malformed XML"))),
             qPrintable(set.messages.front()));
}

void TestLabelTemplates::tenMegabyteFile() {
    QByteArray many;
    int n = 0;
    while (many.size() < 10 * 1024 * 1024) {
        QByteArray one = kAvery5160;
        one.replace("part=\"5160\"", "part=\"P" + QByteArray::number(n++) + "\"");
        many += one;
    }
    TemplateSet set;
    readTemplates(file(many), QStringLiteral("big.xml"), kPapers, set);
    QVERIFY(set.messages.isEmpty());
    QCOMPARE(int(set.templates.size()), n);
    QVERIFY(set.find(QStringLiteral("Avery P%1").arg(n - 1)));
}

void TestLabelTemplates::installedDatabaseLoadsWithoutAMessage() {
    const QString database = QStringLiteral("/usr/share/libglabels-3.0/templates");
    QVERIFY2(QDir(database).exists(),
             "the label database is not installed (Debian package glabels-data)");
    const TemplateSet set = loadTemplates({database});
    QVERIFY2(set.messages.isEmpty(), qPrintable(set.messages.join('\n')));
    QVERIFY2(set.templates.size() >= 1750, qPrintable(QString::number(set.templates.size())));
    const LabelTemplate* l7160 = set.find(u"avery l7160");
    QVERIFY(l7160);
    QCOMPARE(l7160->count(), 21);
    QCOMPARE(l7160->paper, QStringLiteral("A4"));
}

void TestLabelTemplates::builtInSheetsWithoutTheDatabase() {
    const TemplateSet set = loadTemplates({QStringLiteral("/nonexistent")});
    QVERIFY(set.messages.isEmpty());
    for (const char16_t* name : {u"Avery 5160", u"Avery L7160", u"Marlisk roll-2x1"})
        QVERIFY2(set.find(name), qPrintable(QString::fromUtf16(name)));
    // The built-in sheets are the database's.
    const TemplateSet database =
        loadTemplates({QStringLiteral("/usr/share/libglabels-3.0/templates")});
    for (const char16_t* name : {u"Avery 5160", u"Avery L7160"}) {
        const LabelTemplate* a = set.find(name);
        const LabelTemplate* b = database.find(name);
        QVERIFY(b);
        QCOMPARE(a->label.width, b->label.width);
        QCOMPARE(a->label.height, b->label.height);
        QCOMPARE(a->grids.front().x0, b->grids.front().x0);
        QCOMPARE(a->grids.front().y0, b->grids.front().y0);
        QCOMPARE(a->grids.front().dx, b->grids.front().dx);
        QCOMPARE(a->grids.front().dy, b->grids.front().dy);
        QVERIFY(std::abs(a->pageWidth - b->pageWidth) < 1e-3);
    }
}

void TestLabelTemplates::userFileRedefinesADatabaseSheet() {
    QTemporaryDir database, user;
    QFile a(database.filePath(QStringLiteral("a-templates.xml")));
    QVERIFY(a.open(QIODevice::WriteOnly));
    a.write(file(kAvery5160));
    a.close();
    QFile b(user.filePath(QStringLiteral("mine.template")));
    QVERIFY(b.open(QIODevice::WriteOnly));
    QByteArray mine = kAvery5160;
    mine.replace("nx=\"3\"", "nx=\"2\"");
    b.write(file(mine));
    b.close();
    const TemplateSet set = loadTemplates({database.path(), user.path()});
    QCOMPARE(set.find(u"Avery 5160")->count(), 20);
}

void TestLabelTemplates::namesAndSearch() {
    const TemplateSet set = loadTemplates({QStringLiteral("/nonexistent")});
    QVERIFY(set.find(u"  AVERY   l7160 "));
    QCOMPARE(set.search({QStringLiteral("avery")}).size(), size_t(2));
    QCOMPARE(set.search({QStringLiteral("address"), QStringLiteral("7160")}).size(), size_t(1));
    QCOMPARE(set.search({}).size(), set.templates.size());
}

void TestLabelTemplates::sheetOrderAndStart() {
    TemplateSet set;
    readTemplates(file(kAvery5160), QStringLiteral("a.xml"), kPapers, set);
    const LabelTemplate& t = set.templates.front();
    const std::vector<SheetLabel> labels = sheetLabels(t);
    QCOMPARE(labels.size(), size_t(30));
    // Row by row from the top left: the fifth label is row 2, column 2.
    QCOMPARE(labels[4].row, 2);
    QCOMPARE(labels[4].column, 2);
    QCOMPARE(labels[4].rect, QRectF(11.25 + 200.25, 36 + 72, 189, 72));
    QString error;
    QCOMPARE(labelAt(t, 2, 2, &error), std::optional<int>(4));
    QVERIFY(!labelAt(t, 11, 1, &error));
    QCOMPARE(error, QStringLiteral("an Avery 5160 sheet has no label at row 11, column 1 (it has "
                                   "10 rows of 3 labels)"));
    const SheetRun run(t, 4);
    QCOMPARE(run.fillCount(), 26);
    QCOMPARE(run.slot(0).index, 4);
    QCOMPARE(run.slot(26).page, 1);
    QCOMPARE(run.slot(26).index, 0);
    QCOMPARE(run.pagesFor(26), 1);
    QCOMPARE(run.pagesFor(27), 2);
}

void TestLabelTemplates::symbolTooLargeNamesBothSizes() {
    const TemplateSet set = loadTemplates({QStringLiteral("/nonexistent")});
    const LabelTemplate* t = set.find(u"Avery L7160");
    QString error;
    // 52.1 x 30.4 mm in points.
    QVERIFY(!symbolPlace(*t, QRectF(0, 0, t->label.width, t->label.height),
                         QSizeF(52.1 * 72 / 25.4, 40.4 * 72 / 25.4), &error));
    QCOMPARE(error, QStringLiteral("the symbol is 52.1 × 40.4 mm; an Avery L7160 label is "
                                   "64.0 × 38.1 mm"));
    QVERIFY(!symbolPlace(*t, QRectF(0, 0, t->label.width, t->label.height),
                         QSizeF(63 * 72 / 25.4, 30 * 72 / 25.4), &error));
    QCOMPARE(error, QStringLiteral("the symbol is 63.0 × 30.0 mm; an Avery L7160 label is "
                                   "64.0 × 38.1 mm (60.5 × 34.6 mm inside its margin)"));
    const std::optional<QPointF> place =
        symbolPlace(*t, QRectF(100, 200, t->label.width, t->label.height), QSizeF(100, 50), &error);
    QVERIFY(place);
    QCOMPARE(*place, QPointF(100 + (181.4 - 100) / 2, 200 + (108 - 50) / 2.0));
}

void TestLabelTemplates::calibration_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("result");  // as written back, or the refusal
    QTest::newRow("offset only") << "1.5,-2"
                                 << "1.5,-2,100,100";
    QTest::newRow("offset and scale") << "1.5,-2,100.5,99.5"
                                      << "1.5,-2,100.5,99.5";
    QTest::newRow("three numbers")
        << "1,2,3"
        << "the calibration '1,2,3' is not DX,DY or DX,DY,SX,SY (millimetres and percent)";
    QTest::newRow("a word") << "1,up"
                            << "the calibration's 'up' is not a number";
    QTest::newRow("scale too small") << "0,0,10,100"
                                     << "the calibration's scale 10 % is not between 50 and 200 %";
}

void TestLabelTemplates::calibration() {
    QFETCH(QString, text);
    QFETCH(QString, result);
    QString error;
    const std::optional<Calibration> c = parseCalibration(text, &error);
    QCOMPARE(c ? calibrationText(*c) : error, result);
    if (!c) return;
    // +1.5 mm is 4.2519... points; the scale stretches from the page's corner.
    const QPointF moved = c->apply(QPointF(100, 200));
    QVERIFY(std::abs(moved.x() - (100 * c->sxPercent / 100 + 1.5 * 72 / 25.4)) < 1e-9);
    QVERIFY(std::abs(moved.y() - (200 * c->syPercent / 100 - 2 * 72 / 25.4)) < 1e-9);
}

QTEST_GUILESS_MAIN(TestLabelTemplates)
#include "test_labeltemplates.moc"
