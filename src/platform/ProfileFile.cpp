#include "platform/ProfileFile.h"

#include "platform/AtomicFile.h"
#include "platform/FileRead.h"

#include <cerrno>
#include <utility>

namespace {

// A settings file larger than this is not one of ours; it reads as empty.
constexpr qint64 kMaxFileSize = 16 * 1024 * 1024;

bool SameName(QStringView a, QStringView b)
{
    if (a.size() != b.size()) {
        return false;
    }
    for (qsizetype i = 0; i < a.size(); ++i) {
        char16_t x = a[i].unicode();
        char16_t y = b[i].unicode();
        if (x >= u'a' && x <= u'z') {
            x = static_cast<char16_t>(x - u'a' + u'A');
        }
        if (y >= u'a' && y <= u'z') {
            y = static_cast<char16_t>(y - u'a' + u'A');
        }
        if (x != y) {
            return false;
        }
    }
    return true;
}

// "[name]" (blanks allowed around and inside): the section's name.
std::optional<QStringView> SectionName(QStringView line)
{
    line = line.trimmed();
    if (!line.startsWith(u'[')) {
        return std::nullopt;
    }
    line = line.mid(1);
    const qsizetype close = line.indexOf(u']');
    if (close >= 0) {
        line = line.left(close);
    }
    return line.trimmed();
}

struct KeyLine {
    QStringView key;
    QStringView value;
};

// "key=value": both trimmed; none for comments and lines without '='.
std::optional<KeyLine> ParseKeyLine(QStringView line)
{
    const QStringView trimmed = line.trimmed();
    if (trimmed.startsWith(u';') || trimmed.startsWith(u'[')) {
        return std::nullopt;
    }
    const qsizetype equals = trimmed.indexOf(u'=');
    if (equals < 0) {
        return std::nullopt;
    }
    return KeyLine{trimmed.left(equals).trimmed(), trimmed.mid(equals + 1).trimmed()};
}

// Where a key lives: the index of its line, or of the last line of its
// section (to insert after), or nothing.
struct Position {
    qsizetype keyLine = -1;
    qsizetype sectionEnd = -1;  // last non-blank line of the first matching section
};

Position Find(const QStringList& lines, QStringView section, QStringView key)
{
    Position position;
    bool inSection = false;
    bool firstSection = false;  // inside the first section of that name
    bool seenSection = false;
    for (qsizetype i = 0; i < lines.size(); ++i) {
        const QStringView line = lines[i];
        if (const auto name = SectionName(line)) {
            inSection = SameName(*name, section);
            firstSection = inSection && !seenSection;
            if (inSection && !seenSection) {
                seenSection = true;
                position.sectionEnd = i;
            }
            continue;
        }
        if (!inSection) {
            continue;
        }
        if (firstSection && !line.trimmed().isEmpty()) {
            position.sectionEnd = i;
        }
        const auto parsed = ParseKeyLine(line);
        if (parsed && SameName(parsed->key, key)) {
            position.keyLine = i;
            return position;
        }
    }
    return position;
}

}  // namespace

ProfileFile ProfileFile::Read(const QString& path, int* error)
{
    FileRead::Result read = FileRead::ReadWholeFile(path, kMaxFileSize, FileRead::Kind::Regular);
    if (error) {
        *error = read.error == ENOENT ? 0 : read.error;
    }
    QByteArray bytes = std::move(read.bytes);
    if (bytes.startsWith("\xEF\xBB\xBF")) {
        bytes.remove(0, 3);
    }
    ProfileFile file;
    qsizetype start = 0;
    while (start < bytes.size()) {
        qsizetype end = bytes.indexOf('\n', start);
        if (end < 0) {
            end = bytes.size();
        }
        qsizetype lineEnd = end;
        if (lineEnd > start && bytes[lineEnd - 1] == '\r') {
            --lineEnd;
        }
        file.lines.append(QString::fromUtf8(bytes.constData() + start, lineEnd - start));
        start = end + 1;
    }
    return file;
}

QString ProfileFile::Value(const QString& section, const QString& key, int maxUnits) const
{
    const Position position = Find(lines, section, key);
    if (position.keyLine < 0) {
        return QString();
    }
    QStringView value = ParseKeyLine(lines[position.keyLine])->value;
    if (value.size() >= 2) {
        const QChar first = value.front();
        if ((first == u'"' || first == u'\'') && value.back() == first) {
            value = value.mid(1, value.size() - 2);
        }
    }
    if (maxUnits < 0) {
        maxUnits = 0;
    }
    if (value.size() > maxUnits) {
        qsizetype cut = maxUnits;
        if (cut > 0 && value[cut - 1].isHighSurrogate()) {
            --cut;
        }
        value = value.left(cut);
    }
    return value.toString();
}

bool ProfileFile::Contains(const QString& section, const QString& key) const
{
    return Find(lines, section, key).keyLine >= 0;
}

void ProfileFile::SetValue(const QString& section, const QString& key, const QString& value)
{
    const QString line = key + QLatin1Char('=') + value;
    const Position position = Find(lines, section, key);
    if (position.keyLine >= 0) {
        lines[position.keyLine] = line;
    } else if (position.sectionEnd >= 0) {
        lines.insert(position.sectionEnd + 1, line);
    } else {
        lines.append(QLatin1Char('[') + section + QLatin1Char(']'));
        lines.append(line);
    }
}

std::error_code ProfileFile::Save(const QString& path) const
{
    QByteArray bytes;
    for (const QString& line : lines) {
        bytes += line.toUtf8();
        bytes += "\r\n";
    }
    return AtomicFile::Write(path, bytes);
}
