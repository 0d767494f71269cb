#pragma once
// Shared by the recordings suites: a temporary folder with fixture files.

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
    uint32_t value = 0;
    for (int i = 3; i >= 0; --i) {
        value = value << 8 | static_cast<unsigned char>(bytes[offset + i]);
    }
    return value;
}

inline void SetU32At(QByteArray& bytes, qsizetype offset, uint32_t value)
{
    for (int i = 0; i < 4; ++i) {
        bytes[offset + i] = static_cast<char>(value >> (8 * i));
    }
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
