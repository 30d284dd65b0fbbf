#include "surface/labeltemplate.h"

#include <QDir>
#include <QFile>
#include <QStandardPaths>
#include <QXmlStreamReader>
#include <algorithm>

namespace labels {

using namespace Qt::Literals::StringLiterals;

namespace {

constexpr double pointsPerInch = 72.0;

struct Unit {
    QLatin1StringView name;
    double points;
};
// The units the database writes lengths in.
constexpr Unit units[] = {
    {QLatin1StringView("pt"), 1.0},
    {QLatin1StringView("in"), pointsPerInch},
    {QLatin1StringView("mm"), pointsPerInch / 25.4},
    {QLatin1StringView("cm"), pointsPerInch / 2.54},
    {QLatin1StringView("pc"), 12.0},
};

// Where a template stands in its file, for messages.
QString where(const QString& source, qint64 line) {
    return QStringLiteral("%1:%2").arg(source).arg(line);
}

// The built-in paper sizes, for user files and built-in sheets where the database is
// missing.
std::vector<PaperSize> fallbackPaperSizes() {
    return {{QStringLiteral("A4"), 210 * pointsPerInch / 25.4, 297 * pointsPerInch / 25.4},
            {QStringLiteral("US-Letter"), 8.5 * pointsPerInch, 11 * pointsPerInch}};
}

const PaperSize* paperNamed(const std::vector<PaperSize>& sizes, const QString& id) {
    for (const PaperSize& size : sizes)
        if (size.id.compare(id, Qt::CaseInsensitive) == 0) return &size;
    return nullptr;
}

// Reads a template's attributes into `t`; a message on `error` when one is missing or not
// a length.
class TemplateReader {
  public:
    TemplateReader(QXmlStreamReader& xml, QString& error) : xml_(xml), error_(error) {}

    std::optional<double> length(QLatin1StringView attribute, bool required = true) {
        const QXmlStreamAttributes attributes = xml_.attributes();
        if (!attributes.hasAttribute(attribute)) {
            if (required && error_.isEmpty())
                error_ = QStringLiteral("<%1> has no %2").arg(xml_.name(), attribute);
            return std::nullopt;
        }
        const QStringView text = attributes.value(attribute);
        std::optional<double> value = parseLength(text);
        if (!value && error_.isEmpty())
            error_ =
                QStringLiteral("<%1> %2=\"%3\" is not a length").arg(xml_.name(), attribute, text);
        return value;
    }

    int count(QLatin1StringView attribute) {
        const QStringView text = xml_.attributes().value(attribute);
        bool ok = false;
        const int value = text.toInt(&ok);
        if ((!ok || value < 1) && error_.isEmpty())
            error_ =
                QStringLiteral("<Layout> %1=\"%2\" is not a count of labels").arg(attribute, text);
        return ok ? value : 0;
    }

    // The label element and what it holds, up to its end.
    void label(LabelTemplate& t) {
        const QStringView kind = xml_.name();
        LabelShape& shape = t.label;
        if (kind == u"Label-rectangle") {
            shape.kind = LabelShape::Kind::Rectangle;
            shape.width = length("width"_L1).value_or(0);
            shape.height = length("height"_L1).value_or(0);
            shape.corner = length("round"_L1, false).value_or(0);
        } else if (kind == u"Label-ellipse") {
            shape.kind = LabelShape::Kind::Ellipse;
            shape.width = length("width"_L1).value_or(0);
            shape.height = length("height"_L1).value_or(0);
        } else if (kind == u"Label-round") {
            shape.kind = LabelShape::Kind::Round;
            shape.width = shape.height = 2 * length("radius"_L1).value_or(0);
        } else {  // Label-cd
            shape.kind = LabelShape::Kind::Cd;
            const double radius = length("radius"_L1).value_or(0);
            shape.hole = length("hole"_L1, false).value_or(0);
            shape.width = length("width"_L1, false).value_or(2 * radius);
            shape.height = length("height"_L1, false).value_or(2 * radius);
        }
        while (xml_.readNextStartElement()) {
            if (xml_.name() == u"Markup-margin") {
                shape.margin = length("size"_L1).value_or(0);
            } else if (xml_.name() == u"Layout") {
                Grid grid;
                grid.nx = count("nx"_L1);
                grid.ny = count("ny"_L1);
                grid.x0 = length("x0"_L1).value_or(0);
                grid.y0 = length("y0"_L1).value_or(0);
                grid.dx = length("dx"_L1, grid.nx > 1).value_or(0);
                grid.dy = length("dy"_L1, grid.ny > 1).value_or(0);
                t.grids.push_back(grid);
            }
            xml_.skipCurrentElement();
        }
    }

  private:
    QXmlStreamReader& xml_;
    QString& error_;
};

bool isLabelElement(QStringView name) {
    return name == u"Label-rectangle" || name == u"Label-round" || name == u"Label-ellipse" ||
           name == u"Label-cd";
}

QByteArray readFile(const QString& path, QStringList& messages) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        messages << QStringLiteral("%1: cannot be read: %2").arg(path, file.errorString());
        return {};
    }
    return file.readAll();
}

}  // namespace

int LabelTemplate::count() const {
    int n = 0;
    for (const Grid& grid : grids) n += grid.nx * grid.ny;
    return n;
}

int LabelTemplate::across() const {
    return grids.size() == 1 ? grids.front().nx : count();
}

int LabelTemplate::down() const {
    return grids.size() == 1 ? grids.front().ny : 1;
}

std::optional<double> parseLength(QStringView text) {
    text = text.trimmed();
    double scale = 1.0;
    for (const Unit& unit : units) {
        if (text.endsWith(unit.name, Qt::CaseInsensitive)) {
            scale = unit.points;
            text.chop(unit.name.size());
            break;
        }
    }
    // The database holds a few lengths written as a unit alone or as nothing ("in",
    // x0=""): they are read as 0, as the database's own program reads them.
    text = text.trimmed();
    if (text.isEmpty()) return 0.0;
    bool ok = false;
    const double value = text.toDouble(&ok);
    if (!ok || value < 0 || !std::isfinite(value)) return std::nullopt;
    return value * scale;
}

const LabelTemplate* TemplateSet::find(QStringView name) const {
    const auto at = byName_.constFind(name.toString().simplified().toLower());
    return at == byName_.cend() ? nullptr : &templates[*at];
}

// A user's own file redefines a sheet of the database under its name.
void TemplateSet::add(LabelTemplate t) {
    const QString key = t.name().simplified().toLower();
    if (const auto at = byName_.constFind(key); at != byName_.cend()) {
        templates[*at] = std::move(t);
        return;
    }
    byName_.insert(key, templates.size());
    templates.push_back(std::move(t));
}

std::vector<const LabelTemplate*> TemplateSet::search(const QStringList& words) const {
    std::vector<const LabelTemplate*> found;
    for (const LabelTemplate& t : templates) {
        const QString text = t.name() + QLatin1Char(' ') + t.description;
        const bool all = std::all_of(words.begin(), words.end(), [&](const QString& word) {
            return text.contains(word, Qt::CaseInsensitive);
        });
        if (all) found.push_back(&t);
    }
    return found;
}

std::vector<PaperSize> readPaperSizes(const QByteArray& content, const QString& source,
                                      QStringList& messages) {
    std::vector<PaperSize> sizes;
    QXmlStreamReader xml(content);
    while (!xml.atEnd()) {
        if (xml.readNext() != QXmlStreamReader::StartElement || xml.name() != u"Paper-size")
            continue;
        const QXmlStreamAttributes attributes = xml.attributes();
        const auto width = parseLength(attributes.value("width"_L1));
        const auto height = parseLength(attributes.value("height"_L1));
        const QString id = attributes.value("id"_L1).toString();
        if (id.isEmpty() || !width || !height) {
            messages << QStringLiteral("%1: a paper size without id, width or height")
                            .arg(where(source, xml.lineNumber()));
            continue;
        }
        sizes.push_back(PaperSize{id, *width, *height});
    }
    if (xml.hasError()) {
        messages << QStringLiteral("%1: malformed XML: %2")
                        .arg(where(source, xml.lineNumber()), xml.errorString());
        return {};
    }
    return sizes;
}

void readTemplates(const QByteArray& content, const QString& source,
                   const std::vector<PaperSize>& paperSizes, TemplateSet& into) {
    // The file's templates are kept apart until the whole file has been read: a file that
    // is not well-formed XML is left out whole.
    TemplateSet file;
    QStringList messages;
    QXmlStreamReader xml(content);
    while (!xml.atEnd()) {
        if (xml.readNext() != QXmlStreamReader::StartElement || xml.name() != u"Template") continue;
        const qint64 line = xml.lineNumber();
        const QXmlStreamAttributes attributes = xml.attributes();
        LabelTemplate t;
        t.brand = attributes.value("brand"_L1).toString().trimmed();
        t.part = attributes.value("part"_L1).toString().trimmed();
        t.source = source;
        QString error;
        if (t.brand.isEmpty() || t.part.isEmpty()) error = QStringLiteral("no brand or part");

        const QStringView equiv = attributes.value("equiv"_L1);
        if (error.isEmpty() && !equiv.isEmpty()) {
            const QString original = t.brand + QLatin1Char(' ') + equiv.toString();
            const LabelTemplate* same = file.find(original);
            if (!same) same = into.find(original);
            if (!same) {
                error =
                    QStringLiteral("equiv=\"%1\" names no earlier %2 template").arg(equiv, t.brand);
            } else {
                LabelTemplate copy = *same;
                copy.brand = t.brand;
                copy.part = t.part;
                copy.source = source;
                t = std::move(copy);
            }
            xml.skipCurrentElement();
        } else if (error.isEmpty()) {
            t.description = attributes.hasAttribute("description"_L1)
                                ? attributes.value("description"_L1).toString()
                                : attributes.value("_description"_L1).toString();
            t.paper = attributes.value("size"_L1).toString();
            TemplateReader reader(xml, error);
            if (t.paper.compare(u"Other", Qt::CaseInsensitive) == 0 || t.paper.isEmpty()) {
                t.pageWidth = reader.length("width"_L1).value_or(0);
                t.pageHeight = reader.length("height"_L1).value_or(0);
            } else if (const PaperSize* paper = paperNamed(paperSizes, t.paper)) {
                t.pageWidth = paper->width;
                t.pageHeight = paper->height;
            } else {
                error = QStringLiteral("size=\"%1\" is no known paper size").arg(t.paper);
            }
            bool labelSeen = false;
            while (xml.readNextStartElement()) {
                if (isLabelElement(xml.name()) && !labelSeen) {
                    labelSeen = true;
                    reader.label(t);
                } else {
                    xml.skipCurrentElement();
                }
            }
            if (error.isEmpty() && !labelSeen) error = QStringLiteral("no label");
            if (error.isEmpty() && t.grids.empty()) error = QStringLiteral("no <Layout>");
            if (error.isEmpty() && (t.label.width <= 0 || t.label.height <= 0))
                error = QStringLiteral("a label of no size");
            if (error.isEmpty() && (t.pageWidth <= 0 || t.pageHeight <= 0))
                error = QStringLiteral("a page of no size");
        } else {
            xml.skipCurrentElement();
        }
        if (xml.hasError()) break;
        if (!error.isEmpty()) {
            const QString name = t.brand.isEmpty() || t.part.isEmpty()
                                     ? QStringLiteral("a template")
                                     : QStringLiteral("template %1").arg(t.name());
            messages
                << QStringLiteral("%1: %2 is left out: %3").arg(where(source, line), name, error);
            continue;
        }
        file.add(std::move(t));
    }
    if (xml.hasError()) {
        into.messages << QStringLiteral("%1: malformed XML, the file is left out: %2")
                             .arg(where(source, xml.lineNumber()), xml.errorString());
        return;
    }
    into.messages << messages;
    for (LabelTemplate& t : file.templates) into.add(std::move(t));
}

QStringList templateFolders() {
    QStringList folders;
    const QByteArray overridden = qgetenv("MARLISK_LABEL_TEMPLATES");
    if (!overridden.isEmpty())
        folders = QString::fromLocal8Bit(overridden).split(QLatin1Char(':'), Qt::SkipEmptyParts);
    else
        folders << QStringLiteral("/usr/share/libglabels-3.0/templates");
    folders << QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) +
                   QStringLiteral("/marlisk/templates");
    return folders;
}

TemplateSet loadTemplates(const QStringList& folders) {
    TemplateSet set;
    std::vector<PaperSize> paperSizes = fallbackPaperSizes();
    for (const QString& folder : folders) {
        const QDir dir(folder);
        if (!dir.exists()) continue;
        if (dir.exists(QStringLiteral("paper-sizes.xml"))) {
            const QString path = dir.filePath(QStringLiteral("paper-sizes.xml"));
            for (PaperSize& size : readPaperSizes(readFile(path, set.messages), path, set.messages))
                if (!paperNamed(paperSizes, size.id)) paperSizes.push_back(std::move(size));
        }
        const QStringList files =
            dir.entryList({QStringLiteral("*-templates.xml"), QStringLiteral("*.template")},
                          QDir::Files | QDir::Readable, QDir::Name);
        for (const QString& name : files) {
            const QString path = dir.filePath(name);
            readTemplates(readFile(path, set.messages), path, paperSizes, set);
        }
    }
    for (LabelTemplate& t : builtInTemplates())
        if (!set.find(t.name())) set.add(std::move(t));
    return set;
}

std::vector<LabelTemplate> builtInTemplates() {
    constexpr double in = pointsPerInch;
    constexpr double mm = pointsPerInch / 25.4;
    const QString builtIn = QStringLiteral("built-in");
    LabelTemplate avery5160{
        QStringLiteral("Avery"),
        QStringLiteral("5160"),
        QStringLiteral("Address Labels"),
        QStringLiteral("US-Letter"),
        8.5 * in,
        11 * in,
        {LabelShape::Kind::Rectangle, 2.625 * in, 1 * in, 0.0625 * in, 0, 0.0625 * in},
        {{3, 10, 0.15625 * in, 0.5 * in, 2.78125 * in, 1 * in}},
        builtIn};
    LabelTemplate averyL7160{QStringLiteral("Avery"),
                             QStringLiteral("L7160"),
                             QStringLiteral("Address Labels"),
                             QStringLiteral("A4"),
                             210 * mm,
                             297 * mm,
                             {LabelShape::Kind::Rectangle, 181.4, 108.0, 5, 0, 5},
                             {{3, 7, 21.2, 43.9, 187.2, 108.0}},
                             builtIn};
    LabelTemplate roll{QStringLiteral("Marlisk"),
                       QStringLiteral("roll-2x1"),
                       QStringLiteral("Roll of 2 x 1 inch labels, one a page"),
                       QStringLiteral("Other"),
                       2 * in,
                       1 * in,
                       {LabelShape::Kind::Rectangle, 2 * in, 1 * in, 0, 0, 0.0625 * in},
                       {{1, 1, 0, 0, 0, 0}},
                       builtIn};
    return {avery5160, averyL7160, roll};
}

}  // namespace labels
