// The engine limits in the main window: the Limits command, the dashed limit lines of the
// charted series, and the Exceedances pane below the chart with the search that fills it.
#include <QAction>

#include "chart/chart_widget.h"
#include "exceedances_pane.h"
#include "limits_dialog.h"
#include "main_window.h"
#include "replay/series_limits.h"
#include "replay/units.h"

namespace krelby {

QWidget* MainWindow::BuildExceedancesPane() {
    exceedancesPane_ = new ExceedancesPane;
    exceedancesPane_->hide();
    search_ = new ExceedanceSearch(this);
    search_->onDone = [this](ExceedanceSearch::Result r) { ShowSearchResult(std::move(r)); };
    // A long search shows how far it is (each 4 MiB of the flight).
    search_->onProgress = [this](int percent) {
        if (!session_.settings.limits.Any() || !showExceedances_->isChecked()) return;
        exceedancesPane_->ShowProgress(percent);
        exceedancesPane_->show();
    };
    // A run chosen in the list: the chart zooms to it and shades it.
    connect(exceedancesPane_, &ExceedancesPane::Chosen, this, [this](int index) {
        if (index < 0 || index >= static_cast<int>(found_.size())) return;
        const Exceedance& e = found_[static_cast<size_t>(index)];
        chart_->ZoomToTime(e.startTime, e.endTime, 30);
        chart_->ShadeTime(e.startTime, e.endTime);
    });
    return exceedancesPane_;
}

void MainWindow::LimitsCommand() {
    RunCommand("Reading flight...", [this] {
        if (limitsDialog_->exec() != QDialog::Accepted) return QString();
        if (!session_.CurrentFlightFile.empty()) Replay(session_.CurrentFlightFile);
        RefreshLogbook();  // its counts follow the limits
        return QString();
    });
}

void MainWindow::ShowEngineFindings(bool search) {
    // The last flight's list goes at once; this one's follows from the search.
    ShowSearchResult({});
    if (search) search_->Start(session_.CurrentFlightFile, session_.settings.thermocouples, session_.settings.limits);
    else search_->Cancel();
    // A dashed line at each limit of a charted series, in its charted unit.
    std::vector<std::pair<int, double>> lines;
    for (int slot = 0; slot < kSlotCount; ++slot) {
        if (!session_.chart.Slot(slot).inChart) continue;
        for (LimitKey k : LimitsOfItem(session_.chart.Slot(slot).item))
            if (const std::optional<double>& limit = session_.settings.limits[k])
                lines.emplace_back(slot, LimitShown(k, *limit, session_.settings.units));
    }
    chart_->SetLimitLines(lines);
}

void MainWindow::ShowSearchResult(ExceedanceSearch::Result result) {
    found_ = std::move(result.first);
    exceedancesPane_->Show(found_, result.count, result.cylinders, session_.settings.units, session_.regional,
                           QString::fromStdString(result.error));
    exceedancesPane_->setVisible(showExceedances_->isChecked() && exceedancesPane_->HasContent());
}

}  // namespace krelby
