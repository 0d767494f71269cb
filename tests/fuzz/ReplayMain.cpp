// Runs a fuzz target once over every file given, or every file in each
// folder given: how the normal suite replays the inputs the fuzzers once
// crashed on. Paths that do not exist are passed over. Exits 0 when every
// input ran.

#include <QByteArray>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <cstdint>
#include <cstdio>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size);

namespace {

bool RunFile(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        std::fprintf(stderr, "cannot read %s\n", qPrintable(path));
        return false;
    }
    const QByteArray bytes = file.readAll();
    LLVMFuzzerTestOneInput(reinterpret_cast<const uint8_t*>(bytes.constData()), static_cast<size_t>(bytes.size()));
    return true;
}

}  // namespace

int main(int argc, char** argv)
{
    int inputs = 0;
    bool ok = true;
    for (int i = 1; i < argc; ++i) {
        const QString argument = QFile::decodeName(argv[i]);
        if (!QFileInfo::exists(argument)) {
            continue;  // a target without regression inputs yet
        }
        if (!QFileInfo(argument).isDir()) {
            ok = RunFile(argument) && ok;
            ++inputs;
            continue;
        }
        QDirIterator it(argument, QDir::Files, QDirIterator::Subdirectories);
        while (it.hasNext()) {
            ok = RunFile(it.next()) && ok;
            ++inputs;
        }
    }
    std::printf("%d inputs replayed\n", inputs);
    return ok ? 0 : 1;
}
