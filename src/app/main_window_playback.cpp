// The playback of the main window: Space plays and pauses a cursor moving through the flight
// at ×1, ×4, ×16 or ×64 ([ and ] change the speed), the chart turning a page on as the cursor
// leaves the time shown, the readout and the track's aircraft following. It starts where the
// cursor was paused, else at the span's start, else at the left of the time shown, and stops
// at the flight's last time. A box in the status strip says the speed while it plays.
#include <QAction>
#include <QCheckBox>
#include <QElapsedTimer>
#include <QHBoxLayout>
#include <QLabel>
#include <QTimer>

#include <algorithm>
#include <cmath>
#include <memory>

#include "base/recorded_units.h"
#include "chart/chart_widget.h"
#include "chart/track_view.h"
#include "main_window.h"

namespace krelby {
namespace {

constexpr int kFrameMillis = 16;        // about 60 frames a second
constexpr double kLongestFrame = 0.25;  // seconds: a stall (a dialog) does not leap ahead

// The latest time charted: where the playback ends.
double LastTime(const ChartModel& model) {
    double last = NAN;
    for (int s = 0; s < kSlotCount; ++s) {
        const SeriesSlot& slot = model.Slot(s);
        if (!slot.inChart || slot.xs.empty()) continue;
        const double t = *std::max_element(slot.xs.begin(), slot.xs.end());
        last = std::isnan(last) ? t : std::max(last, t);
    }
    return last;
}

}  // namespace

void MainWindow::BuildPlayback() {
    playTimer_ = new QTimer(this);
    playTimer_->setTimerType(Qt::PreciseTimer);
    playTimer_->setInterval(kFrameMillis);
    const auto clock = std::make_shared<QElapsedTimer>();
    connect(playTimer_, &QTimer::timeout, this, [this, clock] {
        PlaybackFrame(std::min(clock->restart() / 1000.0, kLongestFrame));
    });
    connect(AddShortcut("Play1", QKeySequence(Qt::Key_Space)), &QAction::triggered, this, [this, clock] {
        TogglePlayback();
        clock->start();
    });
    QAction* slower = AddShortcut("Slower1", QKeySequence(Qt::Key_BracketLeft));
    QAction* faster = AddShortcut("Faster1", QKeySequence(Qt::Key_BracketRight));
    const auto speed = [this](int step) {
        speedIndex_ = size_t(std::clamp(int(speedIndex_) + step, 0, int(kPlaybackSpeeds.size()) - 1));
        ShowPlaybackBox();
    };
    connect(slower, &QAction::triggered, this, [speed] { speed(-1); });
    connect(faster, &QAction::triggered, this, [speed] { speed(1); });
    findChild<QAction*>("Play1")->setToolTip("Plays or pauses the flight under a moving cursor");
    slower->setToolTip("Plays slower (×64, ×16, ×4, ×1)");
    faster->setToolTip("Plays faster (×1, ×4, ×16, ×64)");
    for (QAction* a : {findChild<QAction*>("Play1"), slower, faster}) a->setProperty("where", "Playback");

    playBox_ = new QLabel;
    playBox_->setObjectName("PlaybackBox");
    playBox_->setToolTip("Playback: Space plays or pauses, [ and ] change the speed");
    playBox_->hide();
    // Right of the view boxes, before the flight's caption.
    if (auto* strip = qobject_cast<QHBoxLayout*>(findChild<QWidget*>("Panel1")->layout()))
        strip->insertWidget(strip->indexOf(viewTrack_) + 1, playBox_);
}

bool MainWindow::Playing() const { return playTimer_->isActive(); }

void MainWindow::TogglePlayback() {
    if (Playing()) {
        StopPlayback(false);
        return;
    }
    if (chart_->IsEmpty()) return;
    playFlightEnd_ = LastTime(session_.chart);
    double at = chart_->PlayCursor();
    if (std::isnan(at) || at >= playFlightEnd_)
        at = chart_->HasSpan() ? chart_->Span().first : chart_->TimeSpan().first;
    chart_->ShowPlayCursor(at, true);
    track_->SetMarkerTime(at);
    playTimer_->start();
    ShowPlaybackBox();
}

void MainWindow::PlaybackFrame(double elapsedSeconds) {
    if (!Playing()) return;
    const double step = elapsedSeconds * PlaybackSpeed() / kSecondsPerDay;
    double at = chart_->PlayCursor() + step;
    const bool end = !(at < playFlightEnd_);
    if (end) at = playFlightEnd_;
    chart_->ShowPlayCursor(at, !end);
    track_->SetMarkerTime(at);
    if (end) StopPlayback(false);
}

void MainWindow::StopPlayback(bool hideCursor) {
    if (playTimer_) playTimer_->stop();
    const double at = chart_->PlayCursor();
    if (!std::isnan(at)) chart_->ShowPlayCursor(hideCursor ? NAN : at, false);  // the mouse has the readout again
    if (playBox_) ShowPlaybackBox();
}

void MainWindow::ShowPlaybackBox() {
    const bool paused = !Playing() && !std::isnan(chart_->PlayCursor());
    playBox_->setText(QString("%1 ×%2").arg(Playing() ? "Playing" : "Paused").arg(PlaybackSpeed()));
    playBox_->setVisible(Playing() || paused);
}

}  // namespace krelby
