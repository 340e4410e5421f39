// A map tile server on 127.0.0.1 for the map's tests, in the test's own event loop: each
// tile a PNG of one colour that tells its z/x/y, with the caching headers asked for, and
// ways to misbehave (a status, silence, bytes that are no picture). It keeps every request
// and the most it had open at once.
#pragma once
#include <QBuffer>
#include <QColor>
#include <QImage>
#include <QRegularExpression>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTimer>

#include <functional>
#include <memory>
#include <vector>

#include "replay/web_mercator.h"

namespace krelby::testing {

// The colour of tile z/x/y: unlike any neighbour's within a few levels.
inline QColor TileColour(TileId t) {
    return QColor((t.x * 47 + 20) % 256, (t.y * 59 + 30) % 256, (t.z * 37 + 40) % 256);
}

inline QByteArray TilePng(QColor colour) {
    QImage image(kTilePixels, kTilePixels, QImage::Format_RGB32);
    image.fill(colour);
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    return bytes;
}

struct TileRequest {
    QByteArray path;
    TileId tile;
    bool isTile = false;
    QByteArray userAgent, ifNoneMatch, ifModifiedSince;
};

struct TileResponse {
    int status = 200;
    QByteArray body;
    std::vector<QByteArray> headers;  // "Name: value"
    bool hang = false;                // never answer
};

class TileServer {
public:
    TileServer() {
        server_ = std::make_unique<QTcpServer>();
        server_->listen(QHostAddress::LocalHost, 0);
        port_ = server_->serverPort();
        QObject::connect(server_.get(), &QTcpServer::newConnection, [this] {
            while (QTcpSocket* s = server_->nextPendingConnection()) Accept(s);
        });
    }
    ~TileServer() { Stop(); }

    QString Template() const { return QString("http://127.0.0.1:%1/{z}/{x}/{y}.png").arg(port_); }
    // Connections refused from now on, and those open cut.
    void Stop() {
        if (server_) server_->close();
        for (QTcpSocket* s : sockets_) s->abort();
    }

    // How each tile is answered: by default its PNG with `headers`, or 304 when the request
    // names `etag` in If-None-Match. Tests replace it.
    std::function<TileResponse(const TileRequest&)> respond = [this](const TileRequest& r) {
        TileResponse answer;
        if (!r.isTile) return TileResponse{404, "no such tile", {}, false};
        answer.headers = headers;
        if (!etag.isEmpty()) answer.headers.push_back("ETag: " + etag);
        if (!etag.isEmpty() && r.ifNoneMatch == etag) {
            answer.status = 304;
            return answer;
        }
        answer.body = TilePng(TileColour(r.tile));
        answer.headers.push_back("Content-Type: image/png");
        return answer;
    };
    std::vector<QByteArray> headers;
    QByteArray etag;
    int delayMs = 0;  // before each answer

    std::vector<TileRequest> requests;
    int maxOpen = 0;
    std::vector<QByteArray> Paths() const {
        std::vector<QByteArray> paths;
        for (const TileRequest& r : requests) paths.push_back(r.path);
        return paths;
    }

private:
    void Accept(QTcpSocket* socket) {
        sockets_.push_back(socket);
        socket->setParent(server_.get());
        auto buffer = std::make_shared<QByteArray>();
        QObject::connect(socket, &QTcpSocket::readyRead, socket, [this, socket, buffer] {
            buffer->append(socket->readAll());
            int end;
            while ((end = int(buffer->indexOf("\r\n\r\n"))) >= 0) {
                const QByteArray head = buffer->left(end);
                buffer->remove(0, end + 4);
                Handle(socket, head);
            }
        });
        QObject::connect(socket, &QTcpSocket::disconnected, socket, [this, socket] {
            std::erase(sockets_, socket);
            socket->deleteLater();
        });
    }

    void Handle(QTcpSocket* socket, const QByteArray& head) {
        const QList<QByteArray> lines = head.split('\n');
        TileRequest r;
        r.path = lines.value(0).split(' ').value(1);
        static const QRegularExpression kTile("^/(\\d+)/(\\d+)/(\\d+)\\.png$");
        const auto m = kTile.match(QString::fromLatin1(r.path));
        if (m.hasMatch()) {
            r.tile = {m.captured(1).toInt(), m.captured(2).toInt(), m.captured(3).toInt()};
            r.isTile = true;
        }
        for (const QByteArray& line : lines) {
            const int colon = int(line.indexOf(':'));
            if (colon < 0) continue;
            const QByteArray name = line.left(colon).trimmed().toLower(), value = line.mid(colon + 1).trimmed();
            if (name == "user-agent") r.userAgent = value;
            if (name == "if-none-match") r.ifNoneMatch = value;
            if (name == "if-modified-since") r.ifModifiedSince = value;
        }
        requests.push_back(r);
        ++open_;
        maxOpen = std::max(maxOpen, open_);
        const TileResponse answer = respond(r);
        if (answer.hang) return;  // open until the client gives up
        QTimer::singleShot(delayMs, socket, [this, socket, answer] {
            --open_;
            QByteArray bytes = "HTTP/1.1 " + QByteArray::number(answer.status) + " X\r\n";
            for (const QByteArray& h : answer.headers) bytes += h + "\r\n";
            bytes += "Content-Length: " + QByteArray::number(answer.body.size()) + "\r\n\r\n" + answer.body;
            socket->write(bytes);
        });
    }

    std::unique_ptr<QTcpServer> server_;
    std::vector<QTcpSocket*> sockets_;
    quint16 port_ = 0;
    int open_ = 0;
};

}  // namespace krelby::testing
