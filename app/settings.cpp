#include "app/settings.h"

#include <QCoreApplication>
#include <QDir>

#include "app/inifile.h"

namespace settings {

namespace {
QString& overridePath() {
    static QString p;
    return p;
}

const QString kSymbology = QStringLiteral("Symbology");
const QString kChecked = QStringLiteral("Checked");
const QString kPage = QStringLiteral("pagesetting");
}  // namespace

QString path() {
    if (!overridePath().isEmpty()) return overridePath();
    return QDir(QCoreApplication::applicationDirPath())
        .filePath(QStringLiteral("BCodeSetting.ini"));
}

void setPathOverride(const QString& p) {
    overridePath() = p;
}

symbols::PageValues readPageValues() {
    IniFile ini(path());
    ini.load();
    symbols::PageValues v;
    v.ftop = ini.readFloat(kPage, QStringLiteral("ftop"));
    v.fdown = ini.readFloat(kPage, QStringLiteral("fdown"));
    v.fleft = ini.readFloat(kPage, QStringLiteral("fleft"));
    v.fright = ini.readFloat(kPage, QStringLiteral("fright"));
    v.fiwidth = ini.readFloat(kPage, QStringLiteral("fiwidth"));
    return v;
}

bool writePageValues(const symbols::PageValues& v) {
    IniFile ini(path());
    return ini.writeFloat(kPage, QStringLiteral("ftop"), v.ftop) &&
           ini.writeFloat(kPage, QStringLiteral("fdown"), v.fdown) &&
           ini.writeFloat(kPage, QStringLiteral("fleft"), v.fleft) &&
           ini.writeFloat(kPage, QStringLiteral("fright"), v.fright) &&
           ini.writeFloat(kPage, QStringLiteral("fiwidth"), v.fiwidth);
}

QString readSymbology() {
    IniFile ini(path());
    ini.load();
    return ini.readString(kSymbology, kChecked);
}

bool writeSymbology(const QString& name) {
    IniFile ini(path());
    return ini.writeString(kSymbology, kChecked, name);
}

}  // namespace settings
