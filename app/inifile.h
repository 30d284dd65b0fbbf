#pragma once
// A small INI file: "[section]" lines and "key=value" lines. Reading never fails (a
// missing or unreadable file reads as empty). Every write rewrites the whole file through
// a temporary that is renamed into place, so the file on disk is always either the old or
// the new one, never half of each; a file with several names (hard links) is rewritten in
// place instead, keeping them, and then reads as the old or the new one. Lines the reader
// does not understand are kept as they are, so a write never loses anything that was in
// the file. Only a regular file is read or replaced; a symbolic link is written through to
// its target, whose owner and mode a write keeps.

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <vector>

class IniFile {
  public:
    explicit IniFile(QString path);

    // Reads the file afresh. False when it is missing, unreadable or too large to be a
    // settings file (then every read gives its default and writes are refused, so such a
    // file is never replaced).
    bool load();

    QString readString(const QString& section, const QString& key, const QString& def = {}) const;
    // A value that is not a plain decimal number (letters, "nan", empty) gives def.
    double readFloat(const QString& section, const QString& key, double def = 0) const;

    // Set one key and write the file at once. False when the file could not be written.
    bool writeString(const QString& section, const QString& key, const QString& value);
    bool writeFloat(const QString& section, const QString& key, double value);

    // The text a number is stored as: up to 15 significant digits, no trailing zeros.
    static QString formatFloat(double v);

    static constexpr qint64 kMaxFileSize = 4 * 1024 * 1024;

  private:
    int findSection(const QString& section) const;
    int findKey(int sectionLine, const QString& key) const;
    bool save();

    QString path_;
    std::vector<QByteArray> lines_;
    bool refuseWrites_ = false;
    bool hasBom_ = false;  // the file began with a UTF-8 byte-order mark
};
