// The options dialog (object name TForm4, the name its form first had, as its controls keep
// theirs: ComboBox47, RadioGroup13, ...): KML style, units and thermocouple kinds, edited on
// copies that only OK stores; and the checksum option, which acts the moment it is clicked.
#pragma once
#include <QDialog>
#include <array>

#include "format/crc32.h"
#include "settings/records.h"

class QCheckBox;
class QComboBox;
class QTabWidget;

namespace krelby {

class RadioGroup;

class OptionsDialog : public QDialog {
    Q_OBJECT
public:
    OptionsDialog(Settings& settings, ChecksumOptions& checks, QWidget* parent = nullptr);

    // The controls from the records (each time the dialog is shown).
    void LoadControls();
    // The controls into the records (OK).
    void StoreControls();

protected:
    void showEvent(QShowEvent* event) override;

private:
    QWidget* GoogleEarthPage();
    QWidget* UnitsPage();
    QWidget* EnginePage(int monitor);

    Settings& settings_;
    QTabWidget* pages_;
    // Google Earth: width, line colour, line opacity, polygon colour, polygon opacity.
    QComboBox *width_, *lineColor_, *lineOpacity_, *polyColor_, *polyOpacity_;
    QCheckBox *clamp_, *extrude_;
    std::array<QComboBox*, 8> units_{};
    std::array<RadioGroup*, kThermocoupleCount> thermocouples_{};
};

}  // namespace krelby
