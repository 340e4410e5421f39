// The track pane of the main window: docked right of the chart, tied to its time both ways.
#include <QCheckBox>
#include <QDockWidget>
#include <QGuiApplication>
#include <QScreen>
#include <QWindow>

#include <cmath>

#include "base/recorded_units.h"
#include "chart/chart_widget.h"
#include "chart/track_view.h"
#include "main_window.h"
#include "window_settings.h"

namespace krelby {

void MainWindow::BuildTrackPane() {
    track_ = new TrackView;
    track_->setObjectName("TrackView");
    track_->SetUnits(&session_.settings.units);
    track_->SetRegional(session_.regional);
    trackDock_ = new QDockWidget("Track", this);
    trackDock_->setObjectName("TrackDock");
    trackDock_->setWidget(track_);
    addDockWidget(Qt::RightDockWidgetArea, trackDock_);
    restoreState(UserSettings()->value(kStateKey).toByteArray());
    const bool shown = UserSettings()->value(kTrackKey, false).toBool();
    viewTrack_->setChecked(shown);
    trackDock_->setVisible(shown);
    connect(viewTrack_, &QCheckBox::toggled, trackDock_, &QDockWidget::setVisible);
    // Beside the pane the chart keeps 300 px of plot in sight: the pane narrows, or the
    // window grows as far as the screen lets the pane keep its least width.
    const auto keepPlot = [this](bool on) {
        const int screen = (windowHandle() ? windowHandle()->screen() : QGuiApplication::primaryScreen())
                               ->availableGeometry().width();
        chart_->KeepPlotWidth(on ? 300 : 0, screen - trackDock_->minimumSizeHint().width() - 16);
    };
    keepPlot(shown);
    connect(viewTrack_, &QCheckBox::toggled, this, keepPlot);
    // Closed by its own button: the box follows.
    connect(trackDock_->toggleViewAction(), &QAction::toggled, viewTrack_, &QCheckBox::setChecked);
    QAction* toggle = AddShortcut("ViewTrack1", QKeySequence(Qt::CTRL | Qt::Key_K));
    toggle->setToolTip("Shows or hides the track pane");
    connect(toggle, &QAction::triggered, viewTrack_, &QCheckBox::toggle);

    connect(chart_, &ChartWidget::TimeHovered, track_, &TrackView::SetMarkerTime);
    connect(chart_, &ChartWidget::TimeSpanChanged, track_, [this](double from, double to) {
        // An empty chart's time axis is no time of the flight.
        if (chart_->IsEmpty()) from = to = std::nan("");
        track_->SetTimeSpan(from, to);
    });
    connect(track_, &TrackView::TimeHovered, chart_, &ChartWidget::ShowTimeCursor);
    connect(track_, &TrackView::TimeClicked, chart_, &ChartWidget::CentreTime);
    connect(track_, &TrackView::TimeDoubleClicked, chart_, [this](double days) {
        constexpr double kTwoMinutes = 120.0 / kSecondsPerDay;
        chart_->ShowTimeSpan(days - kTwoMinutes, days + kTwoMinutes);
    });
    BuildMap();
}

}  // namespace krelby
