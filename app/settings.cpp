#include "app/settings.h"

#include <unistd.h>

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

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
const QString kFileName = QStringLiteral("BCodeSetting.ini");
const QString kFolders = QStringLiteral("Folders");
const QString kSavePicture = QStringLiteral("SavePicture");

bool writableByUs(const QString& path) {
    return ::access(QFile::encodeName(path).constData(), W_OK) == 0;
}

// The file to write, with the folder of the user's file made on first use.
QString pathForWriting() {
    const QString p = path();
    QDir().mkpath(QFileInfo(p).absolutePath());
    return p;
}
}  // namespace

QString besideExecutable() {
    return QDir(QCoreApplication::applicationDirPath()).filePath(kFileName);
}

QString userFile() {
    const QString config = QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation);
    return QDir(config).filePath(QStringLiteral("marlisk/") + kFileName);
}

QString choosePath(const QString& beside, const QString& user) {
    const QFileInfo file(beside);
    const bool folderOk = writableByUs(file.absolutePath());
    const bool fileOk = !file.exists() || (!file.isDir() && writableByUs(beside));
    return folderOk && fileOk ? beside : user;
}

QString path() {
    if (!overridePath().isEmpty()) return overridePath();
    return choosePath(besideExecutable(), userFile());
}

QString writeFailureText() {
    return QStringLiteral("The settings file %1 cannot be written.")
        .arg(QDir::toNativeSeparators(path()));
}

QString oversizeNotice() {
    const QFileInfo file(path());
    if (!file.isFile() || file.size() <= IniFile::kMaxFileSize) return {};
    return QStringLiteral(
               "The settings file %1 is larger than %2 bytes, the most a settings file may "
               "hold: it is not read, and left as it is. Until it is made smaller the page "
               "values are 0 and no setting is saved.")
        .arg(QDir::toNativeSeparators(file.filePath()), QString::number(IniFile::kMaxFileSize));
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
    IniFile ini(pathForWriting());
    return ini.writeFloat(kPage, QStringLiteral("ftop"), v.ftop) &&
           ini.writeFloat(kPage, QStringLiteral("fdown"), v.fdown) &&
           ini.writeFloat(kPage, QStringLiteral("fleft"), v.fleft) &&
           ini.writeFloat(kPage, QStringLiteral("fright"), v.fright) &&
           ini.writeFloat(kPage, QStringLiteral("fiwidth"), v.fiwidth);
}

namespace {
QString readText(const QString& section, const QString& key) {
    IniFile ini(path());
    ini.load();
    return ini.readString(section, key);
}

bool writeText(const QString& section, const QString& key, const QString& value) {
    IniFile ini(pathForWriting());
    return ini.writeString(section, key, value);
}
}  // namespace

QString readSymbology() {
    return readText(kSymbology, kChecked);
}

bool writeSymbology(const QString& name) {
    return writeText(kSymbology, kChecked, name);
}

QString readSaveFolder() {
    return readText(kFolders, kSavePicture);
}

bool writeSaveFolder(const QString& folder) {
    return writeText(kFolders, kSavePicture, folder);
}

QString readCalibration(const QString& queue) {
    return readText(QStringLiteral("Calibration"), queue);
}

bool writeCalibration(const QString& queue, const QString& calibration) {
    return writeText(QStringLiteral("Calibration"), queue, calibration);
}

}  // namespace settings
