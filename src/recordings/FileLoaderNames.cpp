// Start time and type from a recording's file name. Character positions
// count UTF-16 units, as the names are carried as text.

#include "recordings/CFileLoader.h"

#include "core/Common.h"
#include "core/NumberText.h"
#include "recordings/CFileParser.h"

#include <array>
#include <cerrno>
#include <ctime>
#include <string>
#include <sys/stat.h>

namespace {

// Characters first to last (what exists of that range), as a number.
int Field(const QString& piece, qsizetype first, qsizetype last)
{
    return NumberText::ReadIntPrefix(piece.mid(first, last - first + 1));
}

int LastTwo(const QString& piece)
{
    return NumberText::ReadIntPrefix(piece.right(2));
}

// Hour, minute and second from a "hhmmss" piece.
void ReadTime(const QString& piece, CFileLoader::NameDateFields& fields)
{
    fields.hour = Field(piece, 0, 1);
    fields.minute = Field(piece, 2, 3);
    fields.second = LastTwo(piece);
}

}  // namespace

bool CFileLoader::IsRecorderPrefix(const QString& piece)
{
    static const std::array<QString, 6> kPrefixes = {QStringLiteral("REC"), QStringLiteral("EVT"),
                                                     QStringLiteral("PRK"), QStringLiteral("MDI"),
                                                     QStringLiteral("PAK"), QStringLiteral("EVS")};
    for (const QString& prefix : kPrefixes)
        if (piece == prefix)
            return true;
    return false;
}

CFileLoader::NameDateFields CFileLoader::ReadNameDateFields(const QStringList& pieces)
{
    NameDateFields fields;
    const qsizetype count = pieces.size();
    const QString& p0 = pieces.value(0);
    const QString& p1 = pieces.value(1);
    const bool recorderCode = IsRecorderPrefix(p0);
    if (recorderCode && count >= 7) {
        int* targets[] = {&fields.year, &fields.month, &fields.day, &fields.hour, &fields.minute, &fields.second};
        for (int i = 0; i < 6; ++i)
            *targets[i] = NumberText::ReadIntPrefix(pieces[i + 1]);
    } else if (recorderCode && count >= 4) {
        fields.year = Field(p1, 0, 3);
        fields.month = Field(p1, 4, 5);
        fields.day = LastTwo(p1);
        ReadTime(pieces.value(2), fields);
    } else if (p0.size() == 15) {
        // "yyyymmddThhmmss": the character at 8 is not read.
        fields.year = Field(p0, 0, 3);
        fields.month = Field(p0, 4, 5);
        fields.day = Field(p0, 6, 7);
        fields.hour = Field(p0, 9, 10);
        fields.minute = Field(p0, 11, 12);
        fields.second = LastTwo(p0);
    } else if (p0.size() < 8) {
        fields.year = NumberText::ReadIntPrefix(QStringLiteral("20") + p0.mid(0, 2));
        fields.month = Field(p0, 2, 3);
        fields.day = LastTwo(p0);
        ReadTime(p1, fields);
    } else {
        fields.year = Field(p0, 0, 3);
        fields.month = Field(p0, 4, 5);
        fields.day = LastTwo(p0);
        ReadTime(p1, fields);
    }
    return fields;
}

OleDateTime CFileLoader::ParseNameDateTime(const QString& fileName)
{
    const QStringList pieces = Common::Split(fileName, QLatin1Char('_'));
    if (pieces.size() < 3)
        return {};
    const NameDateFields f = ReadNameDateFields(pieces);
    return OleDateTime::FromParts(f.year, f.month, f.day, f.hour, f.minute, f.second);
}

QString CFileLoader::StripExtension(const QString& fileName)
{
    const qsizetype dot = fileName.lastIndexOf(QLatin1Char('.'));
    return dot < 0 ? fileName : fileName.left(dot);
}

int CFileLoader::GetTypeFromName(const QString& fileName)
{
    const QString code = StripExtension(fileName).mid(16, 3);
    if (code == QLatin1String("NOR"))
        return RECORDING_NORMAL;
    if (code == QLatin1String("EVT"))
        return RECORDING_EVENT;
    if (code == QLatin1String("MOT"))
        return RECORDING_MOTION;
    return RECORDING_UNKNOWN;
}

OleDateTime CFileLoader::GetFileWriteTime(const QString& path)
{
    std::string native;
    struct stat info {};
    if (!CFileParser::ToAnsiPath(path, native) || stat(native.c_str(), &info) != 0)
        return {};
    return LocalTime(info.st_mtim.tv_sec);
}

OleDateTime CFileLoader::LocalTime(time_t seconds)
{
    // localtime_r alone need not look at TZ again.
    tzset();
    struct tm local {};
    if (!localtime_r(&seconds, &local))
        return {};
    return OleDateTime::FromParts(local.tm_year + 1900, local.tm_mon + 1, local.tm_mday, local.tm_hour, local.tm_min,
                                  local.tm_sec);
}
