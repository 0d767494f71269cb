#include "recordings/CFileLoader.h"

bool CFileLoader::GetMetadataFromAVIFile(RecordingEntry&)
{
    return false;
}

void CFileLoader::Close() {}
