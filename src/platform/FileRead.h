#pragma once
// Whole reads of small files (settings, /proc facts) with plain POSIX calls,
// so no Qt file engine or buffering gets between the caller and the errno.

#include <QByteArray>
#include <QString>

namespace FileRead {

enum class Kind {
    // Only a regular file whose size is at most the cap; a directory gives
    // EISDIR, any other kind EINVAL, a larger size EFBIG before any read.
    Regular,
    // Whatever opens, read to its end: /proc and /sys files report size 0.
    Any,
};

struct Result {
    QByteArray bytes;
    int error = 0;  // errno; 0 when the whole file was read
};

// The file's bytes, opened O_NONBLOCK so a FIFO at the path cannot hang the
// caller. On error bytes is empty, except for a file that goes on past
// maxBytes while being read: EFBIG with its first maxBytes, for callers that
// only want a capped read.
Result ReadWholeFile(const QString& path, qint64 maxBytes, Kind kind);

}  // namespace FileRead
