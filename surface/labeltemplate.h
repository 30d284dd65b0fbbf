#pragma once
// Label sheets as the label database describes them: the page, the shape of one label and
// the grids the labels stand in. Read from the XML template files that Debian's
// glabels-data installs, the user's own files in the same format, or the few sheets built
// in here. Every length is in points (1/72 inch), the database's own unit.

#include <QHash>
#include <QString>
#include <QStringList>
#include <optional>
#include <vector>

namespace labels {

// One grid of labels on the sheet: nx across, ny down, the first label's top-left corner at
// (x0, y0) from the page's top-left corner, and the pitch from one label to the next.
struct Grid {
    int nx = 1;
    int ny = 1;
    double x0 = 0;
    double y0 = 0;
    double dx = 0;
    double dy = 0;
};

struct LabelShape {
    enum class Kind { Rectangle, Round, Ellipse, Cd };
    Kind kind = Kind::Rectangle;
    double width = 0;  // round and CD labels: the diameter (or the clipped width)
    double height = 0;
    double corner = 0;  // rounded corners' radius
    double hole = 0;    // CD labels: the hole's radius
    double margin = 0;  // nothing is printed nearer the label's edge than this
};

struct LabelTemplate {
    QString brand;
    QString part;
    QString description;
    QString paper;  // the paper's name ("A4", "US-Letter") or "Other"
    double pageWidth = 0;
    double pageHeight = 0;
    LabelShape label;
    std::vector<Grid> grids;
    QString source;  // the file it came from, or "built-in"

    // "Avery 5160": how the template is named and looked up.
    QString name() const { return brand + QLatin1Char(' ') + part; }
    // All the labels of one sheet.
    int count() const;
    // The grid's shape when there is one grid (columns × rows), else labels × 1.
    int across() const;
    int down() const;
};

// A length as the database writes it: a number and a unit (pt, in, mm, cm, pc), points
// when the unit is left out, 0 when the number is (a few templates of the database have
// "in" or "" for 0). Empty for anything else, a negative length included.
std::optional<double> parseLength(QStringView text);

struct TemplateSet {
    std::vector<LabelTemplate> templates;
    // One line a file or template that was skipped or only partly read: the file, its line
    // and what is wrong there.
    QStringList messages;

    // The template named "BRAND PART", compared without regard to case; null for none.
    const LabelTemplate* find(QStringView name) const;
    // The templates whose brand, part or description holds every one of the words, in
    // any case; all of them for no words.
    std::vector<const LabelTemplate*> search(const QStringList& words) const;
    // Adds a template, in place of an earlier one of the same name.
    void add(LabelTemplate t);

  private:
    QHash<QString, size_t> byName_;  // a name in lower case, its index in `templates`
};

// The folders templates are read from, in order: the label database's folder, then the
// user's own ($XDG_CONFIG_HOME/marlisk/templates, by default ~/.config/marlisk/templates).
// MARLISK_LABEL_TEMPLATES, a list of folders separated by ':', stands in for the
// database's folder.
QStringList templateFolders();

// Reads every *-templates.xml and *.template file of the folders (and the database's
// paper sizes beside them), then adds the built-in sheets that no file defined. A file
// that cannot be read, or a template in it that is malformed, is left out with a message;
// the others load all the same.
TemplateSet loadTemplates(const QStringList& folders = templateFolders());

// Reads the templates of one file's content, for loadTemplates and the tests. `known` holds
// the templates read before (an `equiv` refers to one of them or to an earlier template of
// the same file); `paperSizes` maps a paper's name to its width and height.
struct PaperSize {
    QString id;
    double width = 0;
    double height = 0;
};
void readTemplates(const QByteArray& xml, const QString& source,
                   const std::vector<PaperSize>& paperSizes, TemplateSet& into);
std::vector<PaperSize> readPaperSizes(const QByteArray& xml, const QString& source,
                                      QStringList& messages);

// The sheets kept working without the database: Avery 5160 on US Letter, Avery L7160 on
// A4 and a roll of 2 × 1 inch labels.
std::vector<LabelTemplate> builtInTemplates();

}  // namespace labels
