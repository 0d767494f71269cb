#include "recordings/CFileParser.h"

#include <QFile>
#include <climits>

std::vector<Chunk*> CFileParser::SearchChunks(std::vector<Chunk>&, std::string_view)
{
    return {};
}

std::vector<Chunk*> CFileParser::FindChunks(std::string_view id)
{
    return SearchChunks(chunks, id);
}

bool CFileParser::Open(const QString&)
{
    return false;
}

bool CFileParser::Read(int64_t, size_t, void*)
{
    return false;
}

uint32_t CFileParser::ReadDword(int64_t)
{
    return 0;
}

bool CFileParser::HasRiffChunk(const std::vector<Chunk>&)
{
    return false;
}

bool CFileParser::ParseChunks(int64_t, std::vector<Chunk>&, int64_t)
{
    return false;
}

bool CFileParser::ToAnsiPath(const QString& path, std::string& native)
{
    if (path.isEmpty() || path.contains(QChar(u'\0'))) {
        return false;
    }
    const QByteArray encoded = QFile::encodeName(path);
    if (encoded.isEmpty() || encoded.size() >= PATH_MAX) {
        return false;
    }
    native.assign(encoded.constData(), static_cast<size_t>(encoded.size()));
    return true;
}

void CFileParser::Close()
{
    file.Close();
    fileSize = 0;
    chunks.clear();
}
