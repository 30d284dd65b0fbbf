// The settings-file reader and writer on any bytes a user, an editor or a crash could
// leave in the file. Input: the first byte picks the key to write (one of the program's six
// or a key of a section it does not use), the rest of the first line is the value, and the
// remaining bytes are the file as found on disk.
//
// After one write the file must still read, the written key must read back, and every line
// the write did not touch must be there byte for byte, in its order.

#include "app/inifile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <cmath>
#include <vector>

#include "fuzz/check.h"
#include "fuzz/fuzzinput.h"

namespace {
struct Key {
    const char* section;
    const char* key;
};
constexpr Key kKeys[] = {{"Symbology", "Checked"},  {"pagesetting", "ftop"},
                         {"pagesetting", "fdown"},  {"pagesetting", "fleft"},
                         {"pagesetting", "fright"}, {"pagesetting", "fiwidth"},
                         {"Other", "key"}};

std::vector<QByteArray> linesOf(const QByteArray& bytes) {
    std::vector<QByteArray> lines;
    for (const QByteArray& l : bytes.split('\n')) lines.push_back(l);
    if (!lines.empty() && lines.back().isEmpty()) lines.pop_back();
    return lines;
}

QByteArray readFile(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// The lines after a write are the lines before it with one line replaced, one line
// inserted, or a section of two lines appended at the end. A byte-order mark stays where
// it was, in front of whatever the first line becomes.
void checkOnlyOneEntryChanged(QByteArray before, QByteArray after) {
    const QByteArray bom("\xef\xbb\xbf");
    FUZZ_CHECK(before.startsWith(bom) == after.startsWith(bom));
    if (before.startsWith(bom)) {
        before.remove(0, bom.size());
        after.remove(0, bom.size());
    }
    const std::vector<QByteArray> a = linesOf(before), b = linesOf(after);
    std::size_t prefix = 0;
    while (prefix < a.size() && prefix < b.size() && a[prefix] == b[prefix]) ++prefix;
    std::size_t suffix = 0;
    while (suffix < a.size() - prefix && suffix < b.size() - prefix &&
           a[a.size() - 1 - suffix] == b[b.size() - 1 - suffix])
        ++suffix;
    const std::size_t removed = a.size() - prefix - suffix;
    const std::size_t added = b.size() - prefix - suffix;
    FUZZ_CHECK(removed <= 1);
    FUZZ_CHECK(added <= 2);
    if (added == 2) FUZZ_CHECK(removed == 0 && suffix == 0);
    FUZZ_CHECK(after.isEmpty() || after.endsWith('\n'));
}
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    // A memory file system where there is one: every write syncs the file to its disk.
    static QTemporaryDir dir(QFileInfo(QStringLiteral("/dev/shm")).isWritable()
                                 ? QStringLiteral("/dev/shm/marlisk-fuzz-XXXXXX")
                                 : QDir::tempPath() + QStringLiteral("/marlisk-fuzz-XXXXXX"));
    const QString path = dir.filePath(QStringLiteral("BCodeSetting.ini"));
    if (size == 0) return 0;
    const QByteArray all(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    const Key& key = kKeys[data[0] % std::size(kKeys)];
    const qsizetype nl = all.indexOf('\n');
    const QString value = QString::fromUtf8(nl < 0 ? all.mid(1) : all.mid(1, nl - 1));
    const QByteArray file = nl < 0 ? QByteArray() : all.mid(nl + 1);
    {
        QFile f(path);
        FUZZ_CHECK(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        FUZZ_CHECK(f.write(file) == file.size());
    }

    IniFile ini(path);
    FUZZ_CHECK(ini.load());
    for (const Key& k : kKeys) {
        ini.readString(QLatin1String(k.section), QLatin1String(k.key));
        FUZZ_CHECK(std::isfinite(ini.readFloat(QLatin1String(k.section), QLatin1String(k.key))));
    }

    const QString section = QLatin1String(key.section), name = QLatin1String(key.key);
    FUZZ_CHECK(ini.writeString(section, name, value));
    const QByteArray written = readFile(path);
    checkOnlyOneEntryChanged(file, written);
    IniFile again(path);
    FUZZ_CHECK(again.load());
    QString expected = value;
    expected.replace(QLatin1Char('\r'), QLatin1Char(' '))
        .replace(QLatin1Char('\n'), QLatin1Char(' '));
    FUZZ_CHECK(again.readString(section, name) == expected.trimmed());

    // A number goes in with 15 significant digits and comes back as that number.
    const double v = fuzzing::anyNumber(value);
    FUZZ_CHECK(again.writeFloat(section, name, v));
    checkOnlyOneEntryChanged(written, readFile(path));
    IniFile third(path);
    FUZZ_CHECK(third.load());
    const double back = third.readFloat(section, name, -1);
    if (std::isfinite(v))
        FUZZ_CHECK(back == IniFile::formatFloat(v).toDouble());
    else
        FUZZ_CHECK(back == -1);
    return 0;
}
