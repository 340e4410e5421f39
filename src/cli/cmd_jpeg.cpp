// jpeg FLIGHT -o FILE: replays a flight under the folder's settings and saves the chart,
// drawn offscreen at --size WxH (1280x800 by default), as the window's JPEG export does;
// --strips draws each value axis in a strip of its own; with --track the track pane takes the
// right three tenths of the picture, over the map when the pilot turned it on in the window
// (the same per-user choice and tile cache).
#include <QApplication>
#include <QSettings>

#include <cstdio>
#include <cstdlib>
#include <stdexcept>
#include <vector>

#include "chart/chart_widget.h"
#include "chart/map_tiles.h"
#include "chart/tile_fetcher.h"
#include "chart/track_view.h"
#include "cli/cli.h"
#include "export/exports.h"
#include "replay/replay.h"

namespace krelby::cli {
namespace {

constexpr int kMaxSide = 8192;  // 192 MiB of pixels at most

QSize ParseSize(const std::string& text) {
    int w = 0, h = 0;
    char x = 0, rest = 0;
    if (std::sscanf(text.c_str(), "%d%c%d%c", &w, &x, &h, &rest) != 3 || (x != 'x' && x != 'X') ||
        w < 1 || h < 1 || w > kMaxSide || h > kMaxSide)
        throw UsageError("Invalid size " + text + " (WxH, 1 to " + std::to_string(kMaxSide) + ")");
    return QSize(w, h);
}

int Jpeg(const Args& args) {
    const std::string out = *args.Option("-o");
    const QSize size = ParseSize(args.Option("--size").value_or("1280x800"));

    const FolderSettings folder = ReadFolderSettings(args);
    RequireFlightData(folder.checks, args.positional[0]);

    // Without a display the chart is drawn by Qt's offscreen platform.
    const char* display = std::getenv("DISPLAY");
    const char* wayland = std::getenv("WAYLAND_DISPLAY");
    if ((!display || !*display) && (!wayland || !*wayland)) setenv("QT_QPA_PLATFORM", "offscreen", 0);
    // Qt's own notices (no runtime folder, no window manager) are noise on a command line.
    qInstallMessageHandler([](QtMsgType type, const QMessageLogContext&, const QString& text) {
        if (type == QtCriticalMsg || type == QtFatalMsg) std::fprintf(stderr, "%s\n", qPrintable(text));
    });
    static int argc = 1;
    static char name[] = "krelby-cli";
    static char* argv[] = {name, nullptr};
    QApplication app(argc, argv);

    const bool withTrack = args.Flag("--track");
    const QSize trackSize(withTrack ? size.width() * 3 / 10 : 0, size.height());
    const QSize chartSize(size.width() - trackSize.width(), size.height());
    ChartModel model;
    ChartWidget chart(model);
    chart.SetRegional(folder.regional);
    chart.Set3D(folder.settings.general.View3D);
    chart.SetStrips(args.Flag("--strips"));
    chart.resize(chartSize);
    TrackSink positions;
    ChartReplay(model, args.positional[0], folder.Inputs(), {&positions});
    TrackView track;
    track.SetUnits(&folder.settings.units);
    track.resize(trackSize);
    track.SetTrack(&positions.Result());
    // Only with the pane: a chart alone asks nothing of a tile server.
    const MapSettings map = ReadMapSettings(QSettings(QSettings::NativeFormat, QSettings::UserScope, "Krelby", "Krelby"));
    TileFetcher tiles(DefaultTileCacheFolder(), map.CacheBytes());
    if (withTrack) tiles.SetSource(map.Source());
    track.SetMap(&tiles);
    QApplication::processEvents();
    const auto save = [&](const std::string& path) {
        return withTrack && trackSize.width() > 0
                   ? SaveJpegBeside(chart, chartSize, track, trackSize, path, args.positional[0])
                   : chart.SaveJpeg(path, size, args.positional[0]);
    };

    if (ToStandardOutput(out) || IsSpecialOutput(out)) {
        WriteExport(out, [&](const std::string& path) { save(path); });
        return 0;
    }
    const QSize written = save(out);
    Say(args, out + " written, " + std::to_string(written.width()) + "x" + std::to_string(written.height()));
    return 0;
}

// The export table's picture row, whose writer is the chart.
const ExportInfo& kJpeg = *ExportNamed("jpeg");
const Register reg({kJpeg.name, "FLIGHT -o FILE [--size WxH] [--strips] [--track] [--folder DIR] [-q]", kJpeg.summary,
                    Jpeg, {"--folder", "-o", "--size", "--strips", "--track"}, "FLIGHT", true});

}  // namespace
}  // namespace krelby::cli
