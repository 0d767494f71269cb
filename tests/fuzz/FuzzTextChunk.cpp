// The metadata decoder over one text chunk's bytes: "M" and "G" chunks.

#include "recordings/TextChunkDecoder.h"

#include <QByteArrayView>
#include <algorithm>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    // As the loader hands them over: at most kMaxTextBytes of the chunk.
    const QByteArrayView bytes(data, static_cast<qsizetype>(std::min(size, TextChunkDecoder::kMaxTextBytes)));
    TextChunkDecoder::DecodeMotion(bytes);
    TextChunkDecoder::DecodeGps(bytes);
    TextChunkDecoder::MotionTimes(size % 64, size > 0 ? static_cast<int>(data[0]) - 8 : 0);
    return 0;
}
