#include "options_dialog.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QTabWidget>
#include <QVBoxLayout>

#include "base/recorded_units.h"
#include "radio_group.h"
#include "replay/units.h"

namespace krelby {
namespace {

const QStringList kColorNames = {"yellow", "green", "blue", "red", "black", "purple", "grey"};
const QStringList kOpacityNames = {"fully opaque", "half", "fully transparent"};

// The Units page: a list for each setting the user chooses, its items the table's captions.
struct UnitList {
    const char* label;
    int control;  // ComboBox number
    UnitQuantity quantity;
};

constexpr std::array<UnitList, 8> kUnitLists = {{
    {"Altitude", 3, UnitQuantity::Altitude},
    {"VSI", 4, UnitQuantity::VerticalSpeed},
    {"Speed", 5, UnitQuantity::Speed},
    {"Temperature", 6, UnitQuantity::Temperature},
    {"Engine Pressures", 7, UnitQuantity::EnginePressure},
    {"Manifold Pressure", 8, UnitQuantity::ManifoldPressure},
    {"Liquid Quantity", 10, UnitQuantity::LiquidQuantity},
    {"Atmospheric Pressure", 11, UnitQuantity::BaroPressure},
}};

QStringList Captions(UnitQuantity q) {
    QStringList items;
    for (const UnitRow& row : UnitRows())
        if (row.quantity == q && row.choice != UnitRow::kRecorded)
            items << QString::fromUtf8(row.caption.data(), qsizetype(row.caption.size()));
    return items;
}

QComboBox* List(int number, const QStringList& items) {
    auto* box = new QComboBox;
    box->setObjectName(QString("ComboBox%1").arg(number));
    box->addItems(items);
    return box;
}

QCheckBox* Check(int number, const char* caption) {
    auto* box = new QCheckBox(caption);
    box->setObjectName(QString("CheckBox%1").arg(number));
    return box;
}

// An item index stored in an unsigned byte: nothing chosen becomes 255.
uint8_t ByteIndex(const QComboBox* box) {
    const int i = box->currentIndex();
    return i < 0 ? 255 : static_cast<uint8_t>(i);
}

}  // namespace

OptionsDialog::OptionsDialog(Settings& settings, ChecksumOptions& checks, QWidget* parent)
    : QDialog(parent), settings_(settings) {
    setObjectName("TForm4");  // tests and scripts find the dialog by the form's name
    setWindowTitle("Options");
    setWindowFlag(Qt::Tool);
    resize(401, 429);

    pages_ = new QTabWidget(this);
    pages_->setObjectName("PageControl1");
    pages_->setUsesScrollButtons(false);  // every tab in sight
    pages_->addTab(GoogleEarthPage(), "Google Earth");
    pages_->addTab(UnitsPage(), "Units");
    for (int m = 1; m <= kEngineMonitors; ++m) pages_->addTab(EnginePage(m), QString("ZEDA%1").arg(m));

    auto* ignore = Check(1, "Ignore checksums when importing recording");
    ignore->setChecked(checks.IgnoreChecksums);
    connect(ignore, &QCheckBox::toggled, this, [&checks](bool on) { checks.IgnoreChecksums = on; });
    auto* ok = new QPushButton("OK");
    ok->setObjectName("Button1");
    ok->setDefault(true);
    connect(ok, &QPushButton::clicked, this, [this] {
        StoreControls();
        accept();
    });

    auto* bottom = new QHBoxLayout;
    bottom->addWidget(ignore, 1);
    bottom->addWidget(ok);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(pages_, 1);
    layout->addLayout(bottom);
    layout->addLayout(GuessRow());
}

// Below the check box and OK, so that both stay where they are: the guess of the kinds, in
// sight on the ZEDA pages alone (its room kept on the others, so nothing moves).
QLayout* OptionsDialog::GuessRow() {
    guess_ = new QPushButton("Guess from the flight shown");
    guess_->setObjectName("GuessKinds");
    guess_->setEnabled(false);
    guess_->setToolTip(QString::fromUtf8("Sets each input's kind from its greatest reading in the cruise (over the "
                                         "whole flight without one): above 350 \u00b0C EGT, 60 to 350 \u00b0C CHT, "
                                         "else Other. OK keeps them."));
    connect(guess_, &QPushButton::clicked, this, &OptionsDialog::GuessKinds);
    guessNote_ = new QLabel;
    guessNote_->setObjectName("GuessNote");
    guessNote_->setWordWrap(true);
    for (QWidget* w : {static_cast<QWidget*>(guess_), static_cast<QWidget*>(guessNote_)}) {
        QSizePolicy keep = w->sizePolicy();
        keep.setRetainSizeWhenHidden(true);
        w->setSizePolicy(keep);
    }
    const auto onEnginePage = [this](int page) {
        const bool engine = page >= 2;
        guess_->setVisible(engine);
        guessNote_->setVisible(engine);
    };
    connect(pages_, &QTabWidget::currentChanged, this, onEnginePage);
    onEnginePage(pages_->currentIndex());
    auto* row = new QHBoxLayout;
    row->addWidget(guessNote_, 1);
    row->addWidget(guess_);
    return row;
}

void OptionsDialog::SetFlightReadings(const std::optional<GreatestReadings>& readings) {
    readings_ = readings;
    guess_->setEnabled(readings.has_value());
    if (!readings) guessNote_->clear();
}

void OptionsDialog::GuessKinds() {
    if (!readings_) return;
    ThermocoupleKinds shown{};
    for (size_t k = 0; k < shown.size(); ++k) {
        const int kind = thermocouples_[k]->ItemIndex();
        shown[k] = kind < 0 ? uint8_t{Other} : static_cast<uint8_t>(kind);
    }
    const ThermocoupleKinds guessed = krelby::GuessKinds(*readings_, shown);
    QStringList pages;
    int changed = 0, firstPage = -1;
    for (int m = 1; m <= kEngineMonitors; ++m) {
        int here = 0;
        for (int i = 0; i < kThermocoupleInputs; ++i) {
            const size_t k = ThermocoupleIndex(m, i);
            here += guessed[k] != shown[k];
            thermocouples_[k]->SetItemIndex(guessed[k]);
        }
        if (here == 0) continue;
        changed += here;
        pages << QString("ZEDA%1").arg(m);
        if (firstPage < 0) firstPage = m + 1;
    }
    if (changed == 0) {
        guessNote_->setText("The kinds already fit the flight shown.");
        return;
    }
    guessNote_->setText(QString("%1 %2 changed on %3: OK keeps them.")
                            .arg(changed)
                            .arg(changed == 1 ? "kind" : "kinds")
                            .arg(pages.size() == 1 ? pages[0]
                                                   : pages.mid(0, pages.size() - 1).join(", ") + " and " + pages.back()));
    // The pilot sees what changed: the page shown, or the first page changed.
    if (!pages.contains(pages_->tabText(pages_->currentIndex()))) pages_->setCurrentIndex(firstPage);
}

QWidget* OptionsDialog::GoogleEarthPage() {
    width_ = List(47, {"1", "2", "3", "4", "5"});
    lineColor_ = List(48, kColorNames);
    lineOpacity_ = List(49, kOpacityNames);
    clamp_ = Check(4, "Clamp Track to Ground");
    polyColor_ = List(50, kColorNames);
    polyOpacity_ = List(51, kOpacityNames);
    extrude_ = Check(3, "Extrude (paint Polygon)");

    auto* line = new QGroupBox(" Line Style  ");
    auto* lineForm = new QFormLayout(line);
    lineForm->addRow("Width", width_);
    lineForm->addRow("Color", lineColor_);
    lineForm->addRow("Opacity", lineOpacity_);
    lineForm->addRow(clamp_);
    auto* poly = new QGroupBox(" Polygon  ");
    auto* polyForm = new QFormLayout(poly);
    polyForm->addRow("Color", polyColor_);
    polyForm->addRow("Opacity", polyOpacity_);
    polyForm->addRow(extrude_);

    auto* page = new QWidget;
    auto* layout = new QVBoxLayout(page);
    layout->addWidget(line);
    layout->addWidget(poly);
    layout->addStretch(1);
    return page;
}

QWidget* OptionsDialog::UnitsPage() {
    auto* page = new QWidget;
    auto* form = new QFormLayout(page);
    for (size_t i = 0; i < kUnitLists.size(); ++i) {
        const UnitList& list = kUnitLists[i];
        units_[i] = List(list.control, Captions(list.quantity));
        form->addRow(list.label, units_[i]);
    }
    return page;
}

QWidget* OptionsDialog::EnginePage(int monitor) {
    auto* page = new QWidget;
    auto* grid = new QGridLayout(page);
    for (int i = 0; i < kThermocoupleInputs; ++i) {
        const size_t k = ThermocoupleIndex(monitor, i);
        auto* group = new RadioGroup(QString("TC%1").arg(i + 1), {"EGT", "CHT", "Other"});
        group->setObjectName(QString("RadioGroup%1").arg(k + 1));
        thermocouples_[k] = group;
        grid->addWidget(group, i % 4, i / 4);
    }
    return page;
}

void OptionsDialog::showEvent(QShowEvent* event) {
    LoadControls();
    guessNote_->clear();
    QDialog::showEvent(event);
}

void OptionsDialog::LoadControls() {
    for (size_t i = 0; i < kUnitLists.size(); ++i)
        units_[i]->setCurrentIndex(settings_.units.*SettingOf(kUnitLists[i].quantity));
    for (int k = 0; k < kThermocoupleCount; ++k)
        thermocouples_[k]->SetItemIndex(settings_.thermocouples[k]);
    const KmlStyle& kml = settings_.kml;
    width_->setCurrentIndex(kml.LineWidth);
    lineColor_->setCurrentIndex(kml.LineColor);
    lineOpacity_->setCurrentIndex(kml.LineOpacity);
    clamp_->setChecked(kml.Clamp2GND != 0);
    extrude_->setChecked(kml.ExtrudePoly != 0);
    polyColor_->setCurrentIndex(kml.PolyColor);
    polyOpacity_->setCurrentIndex(kml.PolyOpacity);
}

void OptionsDialog::StoreControls() {
    for (size_t i = 0; i < kUnitLists.size(); ++i)
        settings_.units.*SettingOf(kUnitLists[i].quantity) = static_cast<int16_t>(units_[i]->currentIndex());
    for (int k = 0; k < kThermocoupleCount; ++k) {
        const int kind = thermocouples_[k]->ItemIndex();
        settings_.thermocouples[k] = kind < 0 ? uint8_t{Other} : static_cast<uint8_t>(kind);
    }
    KmlStyle& kml = settings_.kml;
    kml.LineWidth = ByteIndex(width_);
    kml.LineColor = ByteIndex(lineColor_);
    kml.LineOpacity = ByteIndex(lineOpacity_);
    kml.Clamp2GND = clamp_->isChecked() ? 1 : 0;
    kml.ExtrudePoly = extrude_->isChecked() ? 1 : 0;
    kml.PolyColor = ByteIndex(polyColor_);
    kml.PolyOpacity = ByteIndex(polyOpacity_);
}

}  // namespace krelby
