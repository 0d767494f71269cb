#pragma once
// A map tile server on 127.0.0.1 for the real page: every GET is answered
// with the same drawn 256 × 256 PNG. Runs in the UI thread's event loop.

#include <QByteArray>
#include <QColor>
#include <QStringList>
#include <QTcpServer>

namespace panetest {

class LoopbackTileServer : public QTcpServer {
public:
    LoopbackTileServer();

    // "http://127.0.0.1:<port>/{z}/{x}/{y}.png"
    QString TileUrl() const;
    // The paths asked for, in order.
    const QStringList& Requests() const { return requests; }

    // The tile's colours: its body and the lines at its edges.
    static QColor Body() { return QColor(176, 206, 160); }
    static QColor Edge() { return QColor(120, 150, 110); }

private:

    QByteArray tile;
    QStringList requests;
};

}  // namespace panetest
