// The zoom history of the main window: Backspace or Alt+Left goes back a step of the chart's
// view, Alt+Right forward, a list for each flight; and what follows each reading of a flight
// into the chart.
#include <QAction>

#include "chart/chart_widget.h"
#include "chart/zoom_history.h"
#include "main_window.h"

namespace krelby {

void MainWindow::BuildHistory() {
    history_ = new ZoomHistory(chart_);
    QAction* back = AddShortcut("ViewBack1", QKeySequence(Qt::Key_Backspace));
    back->setShortcuts({QKeySequence(Qt::Key_Backspace), QKeySequence(Qt::ALT | Qt::Key_Left)});
    back->setToolTip("Back to the view before");
    back->setProperty("where", "Chart");
    connect(back, &QAction::triggered, history_, &ZoomHistory::Back);
    QAction* forward = AddShortcut("ViewForward1", QKeySequence(Qt::ALT | Qt::Key_Right));
    forward->setToolTip("Forward to the view after");
    forward->setProperty("where", "Chart");
    connect(forward, &QAction::triggered, history_, &ZoomHistory::Forward);
    connect(chart_, &ChartWidget::FlightDrawn, this, &MainWindow::ChartDrawn);
}

void MainWindow::ChartDrawn() {
    const std::string& flight = session_.CurrentFlightFile;
    history_->FlightDrawn(flight);
    if (flight == drawnFlight_) return;
    drawnFlight_ = flight;
    // A span, a cursor or a playback of another flight's times means nothing here.
    chart_->ClearSpan();
    StopPlayback(true);
    if (!flight.empty()) RememberFlight(flight);
}

}  // namespace krelby
