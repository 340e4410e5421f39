// Thermocouple kinds that fit the engine: a warning line above the chart (and in the Logbook)
// while the kinds set look wrong for the flight shown, and the readings the Options dialog
// guesses the kinds from.
#include <QLabel>

#include "logbook_window.h"
#include "main_window.h"
#include "options_dialog.h"

namespace krelby {

QWidget* MainWindow::BuildKindWarning() {
    kindWarning_ = new QLabel;
    kindWarning_->setObjectName("KindWarning");
    kindWarning_->setWordWrap(true);
    kindWarning_->setStyleSheet("QLabel { background: #fff2c0; color: #4d3b00; padding: 3px 7px; "
                                "border-bottom: 1px solid #d8c27a; }");
    kindWarning_->hide();
    return kindWarning_;
}

void MainWindow::ShowKindWarning(const std::optional<GreatestReadings>& readings) {
    readings_ = readings;
    QStringList lines;
    if (readings)
        for (const std::string& line : KindWarnings(*readings, session_.settings.thermocouples))
            lines << QString::fromStdString(line);
    kindWarning_->setText(lines.join('\n'));
    kindWarning_->setVisible(!lines.isEmpty());
    if (logbook_) logbook_->ShowKindWarning(kindWarning_->text());
    if (optionsDialog_) optionsDialog_->SetFlightReadings(readings);
}

}  // namespace krelby
