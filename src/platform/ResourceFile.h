#pragma once
// The skin module: a data-only Qt binary resource (.rcc) looked for in given
// folders, checked before Qt sees it, and registered with QResource while
// this object holds it. Nothing in it runs; a file that does not check out
// counts as missing.

#include <QByteArray>
#include <QString>
#include <QStringList>

class ResourceFile {
public:
    ResourceFile() = default;
    ~ResourceFile();
    ResourceFile(const ResourceFile&) = delete;
    ResourceFile& operator=(const ResourceFile&) = delete;

    // Registers, under mapRoot (e.g. "/kestrov"), the first file named
    // fileName in folders (in order) that checks out. Every file passed over
    // adds "<path>: <reason>" to rejected. False when none was registered.
    bool Load(const QStringList& folders, const QString& fileName, const QString& mapRoot,
              QStringList* rejected = nullptr);
    void Unload();

    bool IsLoaded() const { return !data.isEmpty(); }
    QString Path() const { return path; }

    // Empty when bytes hold a Qt binary resource whose magic, version and
    // every offset of its tree fit inside them; otherwise the reason.
    static QString Check(const QByteArray& bytes);

    // Larger files are not read.
    static constexpr qint64 kMaxSize = 64 * 1024 * 1024;

private:
    QByteArray data;  // registered with QResource while non-empty; Qt reads it in place
    QString path;
    QString root;
};
