#pragma once
// Shared by the recordings suites: a temporary folder with fixture files.

#include "recordings/LittleEndian.h"
#include "support/AviFixtureBuilder.h"

#include <gtest/gtest.h>

#include <QByteArray>
#include <QFile>
#include <QString>
#include <QTemporaryDir>

namespace recordingstest {

using testsupport::AviFixtureBuilder;
using testsupport::AviFixtureOptions;
using testsupport::AviManifest;

class FixtureFolder {
public:
    QString Path(const QString& name) const { return dir.path() + "/" + name; }
    QString Root() const { return dir.path(); }

    // Writes a fixture named name and returns its path.
    QString Write(const QString& name, AviFixtureOptions options = {}, AviManifest* manifest = nullptr) const
    {
        const QString path = Path(name);
        const AviManifest written = AviFixtureBuilder(std::move(options)).Write(path);
        if (manifest) {
            *manifest = written;
        }
        return path;
    }

    QString WriteBytes(const QString& name, const QByteArray& bytes) const
    {
        const QString path = Path(name);
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) || file.write(bytes) != bytes.size()) {
            ADD_FAILURE() << "cannot write " << path.toStdString();
        }
        return path;
    }

private:
    QTemporaryDir dir;
};

inline QByteArray ReadAll(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

inline uint32_t U32At(const QByteArray& bytes, qsizetype offset)
{
    return ReadLe32(bytes.constData() + offset);
}

inline void SetU32At(QByteArray& bytes, qsizetype offset, uint32_t value)
{
    WriteLe32(bytes.data() + offset, value);
}

// 30 fps (30000/1000), a key frame every 45th front entry, a rear frame for
// every third front one, small chunks of the given sizes (plus 0-6 bytes).
inline AviFixtureOptions ThirtyFps(int seconds = 30, uint32_t frontSize = 1000, uint32_t rearSize = 400,
                                   uint32_t audioSize = 64)
{
    AviFixtureOptions o;
    o.seconds = seconds;
    o.frontFrames = seconds * 30;
    o.rearFrames = seconds * 10;
    o.gop = 45;
    o.streams[0] = {1000, 30000, std::nullopt};
    o.frameSize = [=](int stream, int frame) { return (stream == 0 ? frontSize : rearSize) + static_cast<uint32_t>(frame % 7); };
    o.audioChunkSize = audioSize;
    return o;
}

// A small recording of about 40 KB (walked: above the set-aside size).
inline AviFixtureOptions SmallRecording()
{
    AviFixtureOptions o;
    o.seconds = 2;
    o.frontFrames = 44;  // fixed, so the size does not follow the stream rates
    o.rearFrames = 18;
    o.frameSize = [](int, int frame) { return 300u + static_cast<uint32_t>(frame % 3); };
    return o;
}

}  // namespace recordingstest
