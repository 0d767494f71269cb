#include "LoopbackTileServer.h"

#include <QBuffer>
#include <QImage>
#include <QPainter>
#include <QTcpSocket>
#include <gtest/gtest.h>


namespace panetest {

LoopbackTileServer::LoopbackTileServer()
{
    QImage image(256, 256, QImage::Format_RGB32);
    image.fill(Body());
    {
        QPainter painter(&image);
        painter.setPen(QPen(Edge(), 4));
        painter.drawRect(0, 0, 256, 256);
    }
    QBuffer buffer(&tile);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");

    EXPECT_TRUE(listen(QHostAddress::LocalHost, 0)) << errorString().toStdString();
    connect(this, &QTcpServer::newConnection, this, [this] {
        while (QTcpSocket* socket = nextPendingConnection()) {
            connect(socket, &QTcpSocket::readyRead, socket, [this, socket] {
                // One request per connection; the head is all it takes.
                if (!socket->canReadLine() || socket->property("answered").toBool())
                    return;
                const QList<QByteArray> line = socket->readLine().trimmed().split(' ');
                requests.push_back(line.size() > 1 ? QString::fromLatin1(line[1]) : QString());
                socket->setProperty("answered", true);
                socket->write("HTTP/1.1 200 OK\r\nContent-Type: image/png\r\nContent-Length: "
                              + QByteArray::number(tile.size()) + "\r\nConnection: close\r\n\r\n" + tile);
                socket->disconnectFromHost();
            });
            connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
        }
    });
}

QString LoopbackTileServer::TileUrl() const
{
    return QStringLiteral("http://127.0.0.1:%1/{z}/{x}/{y}.png").arg(serverPort());
}

}  // namespace panetest
