#pragma once
// An initialisation file with private-profile semantics: "[SECTION]" lines
// and "KEY=value" lines. Read: section and key names match ASCII
// case-insensitively, blanks around keys and values are trimmed, one pair of
// surrounding quotes is stripped, the first occurrence wins, lines without '='
// and lines starting with ';' are skipped. Write: an existing key's line is
// rewritten in place, a new key goes at the end of its section, a new section
// at the end of the file, every other line is kept. UTF-8 with or without a
// BOM and LF or CR LF are read; UTF-8 without BOM and CR LF are written,
// through AtomicFile.

#include <QString>
#include <QStringList>
#include <system_error>

class ProfileFile {
public:
    // A missing or unreadable file reads as an empty document. error, when
    // given, gets the errno of a file that is there but could not be read
    // whole, else 0 (also for a missing file).
    static ProfileFile Read(const QString& path, int* error = nullptr);

    // The value of section/key, cut to at most maxUnits UTF-16 units (never
    // splitting a surrogate pair); empty when the key is missing.
    QString Value(const QString& section, const QString& key, int maxUnits = 511) const;
    bool Contains(const QString& section, const QString& key) const;

    void SetValue(const QString& section, const QString& key, const QString& value);

    // Writes the document to path atomically.
    std::error_code Save(const QString& path) const;

    const QStringList& Lines() const { return lines; }

private:
    QStringList lines;  // the file's lines without their line ends
};
