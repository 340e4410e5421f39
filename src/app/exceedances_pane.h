// Below the chart: the flight's exceedances as a pilot reads them, and each monitor's hottest
// EGT and CHT inputs. Choosing an exceedance asks for its time on the chart.
#pragma once
#include <QWidget>
#include <array>
#include <vector>

#include "base/recorded_units.h"
#include "base/regional.h"
#include "logbook/cylinders.h"
#include "logbook/exceedances.h"
#include "settings/records.h"

class QLabel;
class QListWidget;

namespace krelby {

// "CHT3_1 above 230 °C for 42 s, peak 236 °C, 09:44:10", in the units shown.
QString ExceedanceText(const Exceedance& e, const UnitSettings& units, const Regional& regional);
// A line per monitor with EGT or CHT inputs: each input's maximum and the hottest of each kind.
QString CylinderText(const std::array<std::vector<CylinderInput>, kEngineMonitors>& monitors, const UnitSettings& units);

class ExceedancesPane : public QWidget {
    Q_OBJECT
public:
    explicit ExceedancesPane(QWidget* parent = nullptr);
    // The first of the flight's `count` exceedances (a line above them says so when there
    // are more), or why none could be found.
    void Show(const std::vector<Exceedance>& found, int64_t count,
              const std::array<std::vector<CylinderInput>, kEngineMonitors>& cylinders, const UnitSettings& units,
              const Regional& regional, const QString& error = {});
    // While the search runs (the pane shows it only when it is already shown).
    void ShowProgress(int percent);
    // Exceedances, or a reason why there are none to show.
    bool HasContent() const { return hasContent_; }
    QListWidget* List() const { return list_; }
    QLabel* Note() const { return note_; }
    QLabel* Cylinders() const { return cylinders_; }
    // Five rows of the list: the chart keeps the room.
    QSize sizeHint() const override;

signals:
    void Chosen(int index);  // in the list given to Show

private:
    QListWidget* list_;
    QLabel* note_;
    QLabel* cylinders_;
    bool hasContent_ = false;
};

}  // namespace krelby
