#include "app/inifile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QFile>
#include <QStringDecoder>
#include <cerrno>

#include "surface/convert.h"
#include "surface/filewrite.h"

namespace {
const QByteArray kBom = QByteArrayLiteral("\xEF\xBB\xBF");

// UTF-8 as it stands: a value that begins with U+FEFF keeps it (QString::fromUtf8 would
// take it for a byte-order mark and drop it).
QString decoded(const QByteArray& bytes) {
    QStringDecoder utf8(QStringConverter::Utf8, QStringConverter::Flag::ConvertInitialBom);
    return utf8.decode(bytes);
}

QByteArray trimmed(const QByteArray& line) {
    return line.trimmed();
}

bool isSectionLine(const QByteArray& t) {
    return t.startsWith('[') && t.contains(']');
}

QString sectionName(const QByteArray& t) {
    return decoded(t.mid(1, t.indexOf(']') - 1)).trimmed();
}

bool sameName(const QString& a, const QString& b) {
    return QString::compare(a, b, Qt::CaseInsensitive) == 0;
}
}  // namespace

IniFile::IniFile(QString path) : path_(std::move(path)) {}

bool IniFile::load() {
    lines_.clear();
    hasBom_ = false;
    refuseWrites_ = false;
    // Opened without waiting: a FIFO or a device in the file's place must not block the
    // program, and only a regular file is read (or ever replaced).
    const int fd = ::open(QFile::encodeName(path_).constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        // A file that exists but cannot be read must not be overwritten blindly.
        refuseWrites_ = errno != ENOENT;
        return false;
    }
    QFile f;
    struct stat st {};
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode) || st.st_size > kMaxFileSize ||
        !f.open(fd, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle)) {
        if (!f.isOpen()) ::close(fd);
        refuseWrites_ = true;
        return false;
    }
    // Read in pieces: asking for the whole bound at once would allocate 4 MB for every read
    // of a file of a few lines.
    QByteArray all;
    for (QByteArray part; !(part = f.read(64 * 1024)).isEmpty();) {
        all += part;
        if (all.size() > kMaxFileSize) {
            refuseWrites_ = true;
            return false;
        }
    }
    // A byte-order mark, as some editors write, is not part of the first line; it is kept
    // for the next write.
    if (all.startsWith(kBom)) {
        hasBom_ = true;
        all.remove(0, kBom.size());
    }
    // Lines keep their bytes as found, a Windows line end's '\r' included: the parser trims
    // it, and a write leaves every line it does not change exactly as it was.
    for (const QByteArray& line : all.split('\n')) lines_.push_back(line);
    if (!lines_.empty() && lines_.back().isEmpty()) lines_.pop_back();  // final newline
    return true;
}

int IniFile::findSection(const QString& section) const {
    for (int i = 0; i < static_cast<int>(lines_.size()); ++i) {
        const QByteArray t = trimmed(lines_[i]);
        if (isSectionLine(t) && sameName(sectionName(t), section)) return i;
    }
    return -1;
}

int IniFile::findKey(int sectionLine, const QString& key) const {
    for (int i = sectionLine + 1; i < static_cast<int>(lines_.size()); ++i) {
        const QByteArray t = trimmed(lines_[i]);
        if (isSectionLine(t)) break;
        const int eq = t.indexOf('=');
        if (eq <= 0) continue;
        if (sameName(decoded(t.left(eq)).trimmed(), key)) return i;
    }
    return -1;
}

QString IniFile::readString(const QString& section, const QString& key, const QString& def) const {
    const int s = findSection(section);
    if (s < 0) return def;
    const int k = findKey(s, key);
    if (k < 0) return def;
    const QByteArray t = trimmed(lines_[k]);
    return decoded(t.mid(t.indexOf('=') + 1)).trimmed();
}

double IniFile::readFloat(const QString& section, const QString& key, double def) const {
    double v = 0;
    return surface::tryStrToFloat(readString(section, key), v) ? v : def;
}

bool IniFile::writeString(const QString& section, const QString& key, const QString& value) {
    load();
    if (refuseWrites_) return false;
    // Keep the value on one line whatever it holds.
    QString clean = value;
    clean.replace(QLatin1Char('\r'), QLatin1Char(' ')).replace(QLatin1Char('\n'), QLatin1Char(' '));
    const QByteArray entry = key.toUtf8() + '=' + clean.toUtf8();
    int s = findSection(section);
    if (s < 0) {
        lines_.push_back('[' + section.toUtf8() + ']');
        lines_.push_back(entry);
        return save();
    }
    const int k = findKey(s, key);
    if (k >= 0) {
        lines_[k] = entry;
        return save();
    }
    // Append at the end of the section, before any blank lines that separate it.
    int end = s + 1;
    while (end < static_cast<int>(lines_.size()) && !isSectionLine(trimmed(lines_[end]))) ++end;
    int at = end;
    while (at > s + 1 && trimmed(lines_[at - 1]).isEmpty()) --at;
    lines_.insert(lines_.begin() + at, entry);
    return save();
}

bool IniFile::writeFloat(const QString& section, const QString& key, double value) {
    return writeString(section, key, formatFloat(value));
}

QString IniFile::formatFloat(double v) {
    return QString::number(v, 'g', 15);
}

bool IniFile::save() {
    QByteArray all = hasBom_ ? kBom : QByteArray();
    for (const QByteArray& line : lines_) all += line + '\n';
    // A file with several names is rewritten in place so that every name keeps seeing the
    // settings. A write only ever adds or changes keys, so a run killed before the file is
    // cut to its new length leaves the new lines first, followed by old ones that every
    // lookup finds after them.
    return files::replaceFile(QFile::encodeName(path_), all, {.readOnly = false, .inPlace = true})
        .isEmpty();
}
