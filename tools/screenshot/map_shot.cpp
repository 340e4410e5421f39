// map.png: the track pane over map tiles from a tile server of our own on 127.0.0.1, as the
// tests run it: pale tiles, each framed and named by its z/x/y, so that the picture shows
// where each tile lies and how the track and the pane's marks read over a map.
#include <QApplication>
#include <QCheckBox>
#include <QPainter>
#include <QThread>
#include <qcustomplot.h>

#include <cstdio>

#include "app/main_window.h"
#include "chart/chart_widget.h"
#include "chart/tile_fetcher.h"
#include "shots.h"
#include "support/tile_server.h"

namespace krelby::shots {
namespace {

QByteArray LabelledTile(TileId t) {
    QImage image(kTilePixels, kTilePixels, QImage::Format_RGB32);
    const QColor own = testing::TileColour(t);
    const auto pale = [](int c) { return 215 + c * 35 / 255; };
    image.fill(QColor(pale(own.red()), pale(own.green()), pale(own.blue())));
    QPainter p(&image);
    p.setPen(QColor(170, 170, 160));
    p.drawRect(0, 0, kTilePixels - 1, kTilePixels - 1);
    QFont font = p.font();
    font.setPixelSize(14);
    p.setFont(font);
    p.setPen(QColor(140, 140, 130));
    p.drawText(image.rect(), Qt::AlignCenter, QString("%1/%2/%3").arg(t.z).arg(t.x).arg(t.y));
    p.end();
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    return bytes;
}

}  // namespace

bool SaveMap(MainWindow& window, const QString& path) {
    testing::TileServer server;
    server.respond = [](const testing::TileRequest& r) {
        if (!r.isTile) return testing::TileResponse{404, "no such tile", {}, false};
        return testing::TileResponse{200, LabelledTile(r.tile), {"Content-Type: image/png", "Cache-Control: max-age=3600"}, false};
    };
    window.resize(1280, 720);
    window.ViewTrack()->setChecked(true);
    MapSettings map;
    map.shown = true;
    map.choice = MapChoice::User;
    map.userTemplate = server.Template();
    map.userAttribution = "Test tiles from 127.0.0.1";
    window.SetMap(map);
    Settle();
    for (int i = 0; i < 500 && window.Tiles()->Busy(); ++i) {
        QApplication::processEvents();
        QThread::msleep(10);
    }
    QCustomPlot* plot = window.Chart()->Plot();
    const QRect area = plot->axisRect()->rect();
    const QPoint hover(area.left() + area.width() * 3 / 5, area.center().y());
    QMouseEvent move(QEvent::MouseMove, hover, plot->mapToGlobal(hover), Qt::NoButton, Qt::NoButton, {});
    QApplication::sendEvent(plot, &move);
    std::printf("map: %zu tiles asked, %s\n", server.requests.size(), window.Tiles()->Offline() ? "offline" : "online");
    const bool ok = Save(window, path);
    window.SetMap(MapSettings());
    window.ViewTrack()->setChecked(false);
    Settle();
    return ok;
}

}  // namespace krelby::shots
