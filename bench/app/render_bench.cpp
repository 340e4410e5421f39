// The chart with 16 series of 200,000 points must draw about as fast as with 1,000:
// what is drawn is reduced per pixel column and kept until the zoom or size changes.
#include <benchmark/benchmark.h>

#include <QApplication>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <random>

#include "chart/chart_widget.h"
#include "ratio.h"

namespace {

using krelby::ChartModel;
using krelby::ChartWidget;

const QSize kPicture(1280, 800);

QApplication& App() {
    static int argc = 1;
    static char name[] = "krelby_bench_app";
    static char* argv[] = {name, nullptr};
    // Never destroyed: Qt's teardown after main() returns would lose the ratio lines.
    static QApplication* app = nullptr;
    if (!app) {
        const char* display = std::getenv("DISPLAY");
        const char* wayland = std::getenv("WAYLAND_DISPLAY");
        if ((!display || !*display) && (!wayland || !*wayland)) setenv("QT_QPA_PLATFORM", "offscreen", 0);
        app = new QApplication(argc, argv);
    }
    return *app;
}

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

}  // namespace

KRELBY_RATIO("render200k/render1k", "BM_Render200k", "BM_Render1k");
KRELBY_RATIO("render200k-zooming/render1k-zooming", "BM_RenderZooming200k", "BM_RenderZooming1k");
