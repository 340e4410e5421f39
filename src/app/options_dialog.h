// The options dialog (object name TForm4, the name its form first had, as its controls keep
// theirs: ComboBox47, RadioGroup13, ...): KML style, units and thermocouple kinds, edited on
// copies that only OK stores; and the checksum option, which acts the moment it is clicked.
#pragma once
#include <QDialog>
#include <array>
#include <optional>

#include "format/crc32.h"
#include "logbook/kinds_guess.h"
#include "settings/records.h"

class QCheckBox;
class QComboBox;
class QLabel;
class QPushButton;
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
    // The greatest readings of the flight shown, for "Guess from the flight shown" (below the
    // OK button, on the ZEDA pages); none while no flight is shown or it is still being read.
    void SetFlightReadings(const std::optional<GreatestReadings>& readings);
    // Sets each input's kind as the flight's readings suggest; OK keeps them.
    void GuessKinds();
    QPushButton* GuessButton() const { return guess_; }
    QLabel* GuessNote() const { return guessNote_; }

protected:
    void showEvent(QShowEvent* event) override;

private:
    QWidget* GoogleEarthPage();
    QWidget* UnitsPage();
    QWidget* EnginePage(int monitor);
    QLayout* GuessRow();

    Settings& settings_;
    QTabWidget* pages_;
    // Google Earth: width, line colour, line opacity, polygon colour, polygon opacity.
    QComboBox *width_, *lineColor_, *lineOpacity_, *polyColor_, *polyOpacity_;
    QCheckBox *clamp_, *extrude_;
    std::array<QComboBox*, 8> units_{};
    std::array<RadioGroup*, kThermocoupleCount> thermocouples_{};
    QPushButton* guess_ = nullptr;
    QLabel* guessNote_ = nullptr;
    std::optional<GreatestReadings> readings_;
};

}  // namespace krelby
