// The data selection and options dialogs, and the small helpers of the window.
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QTest>
#include <QTimer>
#include <set>

#include "base/program_folder.h"
#include "app/data_selection_dialog.h"
#include "app/options_dialog.h"
#include "app/program_folder.h"
#include "app/prompter.h"
#include "app/radio_group.h"
#include "app_test_support.h"

using namespace krelby;
using namespace krelby::testing;

class DialogsTest : public QObject {
    Q_OBJECT

    Settings settings;
    ChecksumOptions checks;

    QString Text(QWidget& dialog, const char* combo) {
        return dialog.findChild<QComboBox*>(combo)->currentText();
    }
    int TabOf(DataSelectionDialog& dialog, QWidget* box) {
        for (int i = 0; i < dialog.Pages()->count(); ++i)
            if (dialog.Pages()->widget(i)->isAncestorOf(box)) return i;
        return -1;
    }

private slots:
    void init() {
        settings = Settings{};
        checks = ChecksumOptions{};
    }

    void dataSelectionHasEveryBoxOnceByItsName() {
        DataSelectionDialog dialog(settings.selection);
        QCOMPARE(dialog.objectName(), QString("TForm2"));
        QCOMPARE(dialog.windowTitle(), QString("Data selection"));
        const QStringList titles = {"Primary flight", "Attitude", "GPS", "Navigation", "ZEDA 1",
                                    "ZEDA 2", "ZEDA 3", "ZEDA 4", "Fuel levels", "Inputs"};
        QCOMPARE(dialog.Pages()->count(), titles.size());
        for (int i = 0; i < titles.size(); ++i) QCOMPARE(dialog.Pages()->tabText(i), titles[i]);
        QCOMPARE(dialog.findChildren<QCheckBox*>().size(), 213);
        std::set<QString> names;
        for (int n = 1; n <= 213; ++n) {
            QCheckBox* box = dialog.Box(n);
            QVERIFY2(box, qPrintable(QString::number(n)));
            QCOMPARE(dialog.findChild<QCheckBox*>(box->objectName()), box);
            QVERIFY(box->objectName().compare(QString("CheckBox%1").arg(n), Qt::CaseInsensitive) == 0);
            QVERIFY(!box->isChecked());
            names.insert(box->objectName());
        }
        QCOMPARE(names.size(), size_t(213));
        for (int n : {11, 12, 13}) QCOMPARE(dialog.Box(n)->objectName(), QString("Checkbox%1").arg(n));
        QCOMPARE(dialog.findChild<QPushButton*>("BitBtn1")->text(), QString("OK"));
    }

    void dataSelectionBoxesStandOnTheirPages_data() {
        QTest::addColumn<int>("number");
        QTest::addColumn<int>("page");
        QTest::addColumn<QString>("caption");
        QTest::newRow("1") << 1 << 0 << "Pressure altitude";
        QTest::newRow("193") << 193 << 2 << "Position (CSV file only)";
        QTest::newRow("191") << 191 << 3 << "DME 1 valid";
        QTest::newRow("211") << 211 << 5 << "RPM 2 / Pulse / Rotor";
        QTest::newRow("167") << 167 << 6 << "TC12";
        QTest::newRow("68") << 68 << 8 << "Fuel level calc 2";
        QTest::newRow("209") << 209 << 9 << "Input 16 as analog";
    }
    void dataSelectionBoxesStandOnTheirPages() {
        QFETCH(int, number);
        QFETCH(int, page);
        QFETCH(QString, caption);
        DataSelectionDialog dialog(settings.selection);
        QCOMPARE(dialog.Box(number)->text(), caption);
        QCOMPARE(TabOf(dialog, dialog.Box(number)), page);
    }

    void validityFlagsStandBesideWhatTheyQualify() {
        DataSelectionDialog dialog(settings.selection);
        dialog.Pages()->setCurrentIndex(3);
        dialog.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dialog));
        for (auto [flag, item] : {std::pair{108, 104}, {109, 105}, {191, 115}, {192, 116}, {110, 106}, {111, 107}})
            QCOMPARE(dialog.Box(flag)->y(), dialog.Box(item)->y());
    }

    void ticksGoStraightIntoTheSelectionAndTheLimitIsShown() {
        settings.selection.Set(193, true);
        DataSelectionDialog dialog(settings.selection);
        QVERIFY(dialog.Box(193)->isChecked());  // loaded at creation
        auto* count = dialog.findChild<QLabel*>("CountLabel");
        auto* limit = dialog.findChild<QLabel*>("LimitLabel");
        for (int n = 1; n <= 16; ++n) dialog.Box(n)->setChecked(true);
        QCOMPARE(count->text(), QString("17 items ticked"));
        QVERIFY(limit->text().contains("16"));
        dialog.Box(193)->setChecked(false);
        QVERIFY(!settings.selection.Ticked(193));
        QCOMPARE(settings.selection.Count(), 16);
        QVERIFY(limit->text().isEmpty());
    }

    void optionsShowTheDefaults() {
        OptionsDialog dialog(settings, checks);
        QCOMPARE(dialog.objectName(), QString("TForm4"));
        dialog.show();
        const std::pair<const char*, const char*> expected[] = {
            {"ComboBox47", "1"},        {"ComboBox48", "yellow"},  {"ComboBox49", "fully opaque"},
            {"ComboBox50", "blue"},     {"ComboBox51", "half"},    {"ComboBox3", "Feet"},
            {"ComboBox4", "Feet per minute"}, {"ComboBox5", "Miles per hour"}, {"ComboBox6", "Celsius"},
            {"ComboBox7", "Bar"},       {"ComboBox8", "Millibars"}, {"ComboBox10", "Liters"},
            {"ComboBox11", "Millibars"}};
        for (auto [combo, text] : expected) QCOMPARE(Text(dialog, combo), QString(text));
        QVERIFY(!dialog.findChild<QCheckBox*>("CheckBox4")->isChecked());
        QVERIFY(dialog.findChild<QCheckBox*>("CheckBox3")->isChecked());
        for (int k = 1; k <= 48; ++k) {
            auto* group = dialog.findChild<RadioGroup*>(QString("RadioGroup%1").arg(k));
            QVERIFY(group);
            QCOMPARE(group->title(), QString("TC%1").arg((k - 1) % 12 + 1));
            QCOMPARE(group->ItemIndex(), 0);
        }
        QVERIFY(!dialog.findChild<QComboBox*>("ComboBox48")->isEditable());
        QCOMPARE(dialog.findChild<QComboBox*>("ComboBox8")->itemText(1), QString("\"HG"));
    }

    void optionsClosedWithoutOkKeepTheRecords() {
        OptionsDialog dialog(settings, checks);
        QTimer::singleShot(0, &dialog, [&] {
            dialog.findChild<QComboBox*>("ComboBox3")->setCurrentIndex(1);
            dialog.findChild<RadioGroup*>("RadioGroup15")->SetItemIndex(1);
            dialog.findChild<QCheckBox*>("CheckBox1")->setChecked(true);
            dialog.close();
        });
        dialog.exec();
        QCOMPARE(settings.units.Altitude, int16_t(0));
        QCOMPARE(settings.thermocouples[14], uint8_t(0));
        QVERIFY(checks.IgnoreChecksums);  // acts the moment it is clicked
        dialog.show();                    // shown again: reloaded
        QCOMPARE(Text(dialog, "ComboBox3"), QString("Feet"));
    }

    void optionsOkStoresEveryControl() {
        OptionsDialog dialog(settings, checks);
        dialog.show();
        dialog.findChild<QComboBox*>("ComboBox3")->setCurrentIndex(1);
        dialog.findChild<QComboBox*>("ComboBox11")->setCurrentIndex(1);
        dialog.findChild<RadioGroup*>("RadioGroup15")->SetItemIndex(1);  // ZEDA2 TC3: CHT
        dialog.findChild<QComboBox*>("ComboBox47")->setCurrentIndex(4);
        dialog.findChild<QCheckBox*>("CheckBox4")->setChecked(true);
        dialog.findChild<QCheckBox*>("CheckBox3")->setChecked(false);
        dialog.findChild<QPushButton*>("Button1")->click();
        QVERIFY(!dialog.isVisible());
        QCOMPARE(settings.units.Altitude, int16_t(1));
        QCOMPARE(settings.units.Baro, int16_t(1));
        QCOMPARE(settings.thermocouples[14], uint8_t(CHT));
        QCOMPARE(settings.kml.LineWidth, uint8_t(4));
        QCOMPARE(settings.kml.Clamp2GND, uint8_t(1));
        QCOMPARE(settings.kml.ExtrudePoly, uint8_t(0));
    }

    void valuesOutsideTheListsShowNothingAndStoreAsNothingChosen() {
        settings.kml.LineColor = 9;
        settings.kml.PolyOpacity = 200;
        settings.units.Speed = 5;
        settings.units.FuelP = 7;  // no control: left alone
        settings.thermocouples[47] = 7;
        OptionsDialog dialog(settings, checks);
        dialog.show();
        QCOMPARE(Text(dialog, "ComboBox48"), QString());
        QCOMPARE(Text(dialog, "ComboBox5"), QString());
        QCOMPARE(dialog.findChild<RadioGroup*>("RadioGroup48")->ItemIndex(), 2);
        dialog.findChild<QPushButton*>("Button1")->click();
        QCOMPARE(settings.kml.LineColor, uint8_t(255));
        QCOMPARE(settings.kml.PolyOpacity, uint8_t(255));
        QCOMPARE(settings.units.Speed, int16_t(-1));
        QCOMPARE(settings.units.FuelP, int16_t(7));
        QCOMPARE(settings.thermocouples[47], uint8_t(Other));
    }

    void longExecutablePathPicksParentFolder() {
        QCOMPARE(FolderOfExecutable("/opt/krelby/bin/krelby"), std::string("/opt/krelby/bin/"));
        const std::string deep = "/" + std::string(250, 'a') + "/bin/krelby";
        QCOMPARE(FolderOfExecutable(deep), "/" + std::string(250, 'a') + "/bin/");
    }

    void fileDialogFiltersAndExtensions() {
        QCOMPARE(QtNameFilters("Zelvo recording (Zelvobb.dat)|Zelvobb.dat|VQ5 recording (VQ5bb.dat)|VQ5bb.dat"),
                 QStringList({"Zelvo recording (Zelvobb.dat)", "VQ5 recording (VQ5bb.dat)"}));
        QCOMPARE(QtNameFilters("Pictures|*.JPG;*.JPEG"), QStringList{"Pictures (*.JPG *.JPEG)"});
        QCOMPARE(WithDefaultExtension("/x/chart", "JPG"), QString("/x/chart.JPG"));
        QCOMPARE(WithDefaultExtension("/x.d/chart", "JPG"), QString("/x.d/chart.JPG"));
        QCOMPARE(WithDefaultExtension("", "JPG"), QString());
    }
};

QTEST_MAIN(DialogsTest)
#include "dialogs_test.moc"
