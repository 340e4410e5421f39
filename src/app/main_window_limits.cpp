// The engine limits in the main window: the Limits command, the dashed limit lines of the
// charted series, and the Engine pane below the chart with the search that fills it.
#include <QAction>

#include "chart/chart_widget.h"
#include "engine_pane.h"
#include "limits_dialog.h"
#include "main_window.h"
#include "replay/series_limits.h"
#include "replay/units.h"

namespace krelby {

QWidget* MainWindow::BuildEnginePane() {
    enginePane_ = new EnginePane;
    enginePane_->hide();
    search_ = new ExceedanceSearch(this);
    search_->onDone = [this](ExceedanceSearch::Result r) { ShowSearchResult(std::move(r)); };
    // A long search shows how far it is (each 4 MiB of the flight).
    search_->onProgress = [this](int percent) {
        if (!showExceedances_->isChecked()) return;
        enginePane_->ShowProgress(percent);
        enginePane_->show();
    };
    // A run chosen in the list: the chart zooms to it and shades it.
    connect(enginePane_, &EnginePane::ExceedanceChosen, this, [this](int index) {
        if (index < 0 || index >= static_cast<int>(found_.size())) return;
        const Exceedance& e = found_[static_cast<size_t>(index)];
        chart_->ZoomToTime(e.startTime, e.endTime, 30);
        chart_->ShadeTime(e.startTime, e.endTime);
    });
    // A group of runs or a sweep: the chart zooms to its time.
    connect(enginePane_, &EnginePane::TimeChosen, this, [this](double from, double to) {
        chart_->ZoomToTime(from, to, 30);
        chart_->ShadeTime(0, 0);
    });
    return enginePane_;
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
    // The last flight's findings go at once; this one's follow from the search. Meanwhile
    // the pane stays as it was shown or hidden: a replay of the same flight does not make
    // the chart jump.
    found_.clear();
    enginePane_->Clear();
    ShowKindWarning(std::nullopt);
    if (search) {
        search_->Start(session_.CurrentFlightFile, session_.settings.thermocouples, session_.settings.limits);
    } else {
        search_->Cancel();
        enginePane_->hide();
    }
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
    enginePane_->Show(result, session_.settings.limits.Any(), session_.settings.units, session_.regional);
    found_ = std::move(result.first);
    enginePane_->setVisible(showExceedances_->isChecked() && enginePane_->HasContent());
    ShowKindWarning(result.analysis ? std::optional(result.analysis->greatest) : std::nullopt);
}

}  // namespace krelby
