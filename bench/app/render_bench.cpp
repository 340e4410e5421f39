// The chart with 16 series of 200,000 points must draw about as fast as with 1,000:
// what is drawn is reduced per pixel column and kept until the zoom or size changes.
// Likewise the track pane with a ten-hour track (36,000 positions) against 1,000 as the
// marker moves: the line is thinned to the pixels it crosses and kept as pixels until the
// view or the chart's time changes (panning: every redraw draws it afresh). Over a map whose
// tiles are all kept (BM_TrackMap36k) each redraw also draws the tiles from memory.
#include <benchmark/benchmark.h>

#include <QApplication>

#include "app/bench_app.h"
#include <QBuffer>
#include <QPainter>
#include <QTemporaryDir>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <random>
#include <vector>

#include <qcustomplot.h>

#include "chart/chart_widget.h"
#include "chart/tile_fetcher.h"
#include "chart/track_view.h"
#include "ratio.h"

namespace {

using krelby::ChartModel;
using krelby::ChartWidget;

const QSize kPicture(1280, 800);
const QSize kPane(360, 700);

QApplication& App() { return krelby::bench::BenchApp(); }

// 16 series on 9 axes, one sample a second, wandering values with noise.
struct Chart {
    ChartModel model;
    std::unique_ptr<ChartWidget> widget;

    explicit Chart(int points) {
        App();
        widget = std::make_unique<ChartWidget>(model);
        widget->resize(kPicture);
        model.ResetChart();
        std::mt19937 rng(42);
        std::normal_distribution<double> step(0, 1);
        for (int s = 0; s < krelby::kSlotCount; ++s) {
            model.ClaimSeriesSlot(s + 1);
            const int axis = s % 9;
            model.ShowValueAxis(axis);
            char title[8];
            std::snprintf(title, sizeof title, "S%d", s);
            model.SetupNewSlot(s, axis, title);
            double v = 100.0 * s;
            for (int i = 0; i < points; ++i) {
                v += step(rng);
                model.AddSample(s, 46000.0 + i / 86400.0, v + 20 * std::sin(i / 500.0));
            }
        }
        model.DrawAxisLabels();
        QApplication::processEvents();
    }
};

void Render(benchmark::State& state, int points) {
    Chart chart(points);
    for (auto _ : state) {
        QImage picture = chart.widget->Grab(kPicture);
        benchmark::DoNotOptimize(picture.constBits());
    }
}

// Every picture at a new zoom, so nothing drawn before can be reused.
void RenderZooming(benchmark::State& state, int points) {
    Chart chart(points);
    int step = 0;
    for (auto _ : state) {
        const int inset = 20 + (step++ % 2) * 40;
        chart.widget->ResetZoom(false);
        chart.widget->ZoomTo(QRect(300 + inset, 50, 700 - inset, 600), false);
        QImage picture = chart.widget->Grab(kPicture);
        benchmark::DoNotOptimize(picture.constBits());
    }
}

void BM_Render200k(benchmark::State& state) { Render(state, 200000); }
void BM_Render1k(benchmark::State& state) { Render(state, 1000); }
void BM_RenderZooming200k(benchmark::State& state) { RenderZooming(state, 200000); }
void BM_RenderZooming1k(benchmark::State& state) { RenderZooming(state, 1000); }

BENCHMARK(BM_Render200k)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(1.0);
BENCHMARK(BM_Render1k)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(1.0);
BENCHMARK(BM_RenderZooming200k)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(1.0);
BENCHMARK(BM_RenderZooming1k)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(1.0);

// One position a second at about 100 kt, turning now and then, climbing and descending.
krelby::Track Flown(int positions) {
    std::mt19937 rng(7);
    std::normal_distribution<double> turn(0, 0.02);
    std::vector<krelby::TrackPoint> points;
    double lat = 47, lon = 8, heading = 0.5, altitude = 3000;
    for (int i = 0; i < positions; ++i) {
        heading += turn(rng) + (i % 2000 < 30 ? 0.05 : 0);
        lat += 0.00046 * std::cos(heading);
        lon += 0.00046 * std::sin(heading) / std::cos(lat * 3.14159265 / 180);
        altitude += 5 * std::sin(i / 900.0);
        points.push_back({46000.0 + i / 86400.0, lat, lon, static_cast<int32_t>(altitude)});
    }
    return krelby::Track(std::move(points));
}

// A fetcher of a source no server answers, holding every tile the view needs on disk,
// fresh for a day: what a view of a flight seen before draws from.
std::unique_ptr<krelby::TileFetcher> KeptTiles(const QString& folder, krelby::TrackView& view) {
    auto tiles = std::make_unique<krelby::TileFetcher>(folder, qint64(200) << 20);
    const krelby::TileSource source{"http://127.0.0.1:9/{z}/{x}/{y}.png", "Bench tiles", 19};
    tiles->SetSource(source);
    view.SetMap(tiles.get());
    const krelby::MapView map = krelby::MercatorViewOf(view.Map(kPane));
    QImage image(krelby::kTilePixels, krelby::kTilePixels, QImage::Format_RGB32);
    image.fill(QColor(230, 225, 210));
    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    const krelby::TileMeta fresh{QDateTime::currentDateTimeUtc().addDays(1), {}, {}};
    const int level = krelby::TileZoomFor(map.zoom, source.maxZoom);
    for (const krelby::PlacedTile& t : krelby::TilesCovering(map.Area(kPane.width(), kPane.height()), map.zoom, level))
        tiles->Cache().Store(source.CacheName(), t.id, png, fresh);
    return tiles;
}

// Redraws of the pane as the marker moves along, the chart showing the middle third; with
// `panning` the chart's time moves on at every redraw, so the line is drawn afresh each time;
// with `map` over tiles all kept.
void RenderTrack(benchmark::State& state, int positions, bool panning, bool map = false) {
    App();
    const krelby::Track track = Flown(positions);
    krelby::TrackView view;
    view.resize(kPane);
    view.SetTrack(&track);
    QTemporaryDir folder;
    std::unique_ptr<krelby::TileFetcher> tiles;
    if (map) tiles = KeptTiles(folder.path(), view);
    const double start = track.Point(0).time, third = (track.Point(track.Size() - 1).time - start) / 3;
    view.SetTimeSpan(start + third, start + 2 * third);
    QImage picture(kPane, QImage::Format_RGB32);
    size_t step = 0;
    for (auto _ : state) {
        ++step;
        view.SetMarkerTime(track.Point(step * 37 % track.Size()).time);
        if (panning) view.SetTimeSpan(start + third * (1 + step % 2 * 0.1), start + third * (2 + step % 2 * 0.1));
        QPainter painter(&picture);
        view.Paint(painter, picture.rect());
        painter.end();
        benchmark::DoNotOptimize(picture.constBits());
    }
    if (tiles) {
        // What the window holds for this view: the tiles' pictures (bounded by the fetcher).
        state.counters["tiles_MiB"] = double(tiles->MemoryBytes()) / (1 << 20);
        state.counters["offline"] = tiles->Offline();
    }
}

void BM_Track36k(benchmark::State& state) { RenderTrack(state, 36000, false); }
void BM_Track1k(benchmark::State& state) { RenderTrack(state, 1000, false); }
void BM_TrackPanning36k(benchmark::State& state) { RenderTrack(state, 36000, true); }
void BM_TrackPanning1k(benchmark::State& state) { RenderTrack(state, 1000, true); }
void BM_TrackMap36k(benchmark::State& state) { RenderTrack(state, 36000, false, true); }

BENCHMARK(BM_Track36k)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(1.0);
BENCHMARK(BM_Track1k)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(1.0);
BENCHMARK(BM_TrackPanning36k)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(1.0);
BENCHMARK(BM_TrackPanning1k)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(1.0);
BENCHMARK(BM_TrackMap36k)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(1.0);

// One frame of the playback at x64 on a ten-hour, 16-item flight shown whole, as the window's
// timer makes it: the cursor moved on by 64 frames' worth of 16 ms, the chart repainted with
// the cursor and its readout, the track pane repainted with the aircraft at the same time.
void BM_PlaybackFrame(benchmark::State& state) {
    constexpr int kSeconds = 36000;
    Chart chart(kSeconds);
    chart.widget->show();
    chart.widget->ResetZoom(false);
    QApplication::processEvents();
    const krelby::Track track = Flown(kSeconds);
    krelby::TrackView view;
    view.resize(kPane);
    view.SetTrack(&track);
    QImage pane(kPane, QImage::Format_RGB32);
    const double start = 46000.0, step = 64 * 0.016 / 86400.0;
    double at = start;
    for (auto _ : state) {
        at += step;
        if (at > start + kSeconds / 86400.0) at = start;
        chart.widget->ShowPlayCursor(at, true);
        chart.widget->Plot()->repaint();
        view.SetMarkerTime(at);
        QPainter painter(&pane);
        view.Paint(painter, pane.rect());
    }
    benchmark::DoNotOptimize(pane.constBits());
}
BENCHMARK(BM_PlaybackFrame)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(1.0);

// A millisecond, so that a ratio against it reads in milliseconds.
void BM_Millisecond(benchmark::State& state) {
    for (auto _ : state) state.SetIterationTime(1e-3);
}
BENCHMARK(BM_Millisecond)->UseManualTime()->Iterations(10);

}  // namespace

// Milliseconds a playback frame costs; under 8 keeps x64 smooth at the timer's 16 ms.
KRELBY_RATIO("playback-frame", "BM_PlaybackFrame", "BM_Millisecond");
KRELBY_RATIO("track36k/track1k", "BM_Track36k", "BM_Track1k");
KRELBY_RATIO("track36k-panning/track1k-panning", "BM_TrackPanning36k", "BM_TrackPanning1k");
// A fully kept view over a map against the same without one: what the tiles add to a redraw.
KRELBY_RATIO("track36k-map/track36k", "BM_TrackMap36k", "BM_Track36k");
KRELBY_RATIO("render200k/render1k", "BM_Render200k", "BM_Render1k");
KRELBY_RATIO("render200k-zooming/render1k-zooming", "BM_RenderZooming200k", "BM_RenderZooming1k");
