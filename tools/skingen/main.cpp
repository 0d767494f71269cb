// skingen <set> <folder>: draws the images of one set into folder as
// <kind>/<number>.png and writes <set>.qrc listing them under the names the
// viewer asks for (<kind>/<number>), ready for rcc. Needs no display.

#include "Inventory.h"

#include <QDir>
#include <QFile>
#include <QTextStream>

#include <cstdio>

namespace {

int Fail(const QString& text)
{
    std::fprintf(stderr, "skingen: %s\n", text.toLocal8Bit().constData());
    return 1;
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc != 3) {
        return Fail(QStringLiteral("usage: skingen <set> <folder>; sets: ") + skingen::SetNames().join(QLatin1Char(' ')));
    }
    const QString setName = QString::fromLocal8Bit(argv[1]);
    const QDir folder(QString::fromLocal8Bit(argv[2]));
    const auto images = skingen::Set(setName);
    if (images.empty()) {
        return Fail(QStringLiteral("unknown set \"%1\"; sets: %2").arg(setName, skingen::SetNames().join(QLatin1Char(' '))));
    }

    QString listing = QStringLiteral("<!DOCTYPE RCC>\n<RCC version=\"1.0\">\n<qresource prefix=\"/\">\n");
    for (const auto& entry : images) {
        const QString name = skingen::KindFolder(entry.kind) + QLatin1Char('/') + QString::number(entry.number);
        const QString file = name + QStringLiteral(".png");
        if (!folder.mkpath(skingen::KindFolder(entry.kind)) || !skingen::Render(entry).save(folder.filePath(file), "PNG")) {
            return Fail(QStringLiteral("cannot write %1").arg(folder.filePath(file)));
        }
        listing += QStringLiteral("  <file alias=\"%1\">%2</file>\n").arg(name, file);
    }
    listing += QStringLiteral("</qresource>\n</RCC>\n");

    QFile qrc(folder.filePath(setName + QStringLiteral(".qrc")));
    if (!qrc.open(QIODevice::WriteOnly | QIODevice::Truncate) || qrc.write(listing.toUtf8()) != listing.toUtf8().size()) {
        return Fail(QStringLiteral("cannot write %1").arg(qrc.fileName()));
    }
    return 0;
}
