// The limits and the Exceedances pane: the Limits dialog, peaks that never read as their
// limit, a list that holds no more than it shows, the search off the window's thread, and
// the settings' close over a file edited meanwhile.
#include <QLabel>
#include <QLineEdit>
#include <QTreeWidget>
#include <QSettings>
#include <QTest>

#include "app/engine_pane.h"
#include "app/exceedances_pane.h"
#include "app/limits_dialog.h"
#include "app/main_window.h"
#include "app_test_support.h"
#include "settings/limits.h"

using namespace krelby;
using namespace krelby::testing;

class ExceedancePaneTest : public QObject {
    Q_OBJECT

    QTemporaryDir dir;
    QString Path(const QString& name) const { return dir.path() + "/" + name; }
    static QByteArray Read(const QString& path) {
        QFile f(path);
        f.open(QIODevice::ReadOnly);
        return f.readAll();
    }
    static void Write(const QString& path, const QByteArray& bytes) {
        QFile f(path);
        f.open(QIODevice::WriteOnly);
        f.write(bytes);
    }
    // Every second a FlightMessage; RPM over 2700 in every other one: `runs` runs, 2 s apart.
    QString Alternating(int runs) {
        QDir().mkpath(Path("Flights_INT"));
        const QString path = Path("Flights_INT/alternating.FLT");
        std::vector<Frame> frames;
        for (int s = 0; s < 2 * runs; ++s) {
            frames.push_back(FlightFrame().ClockAt(36000 + s).Date(14, 3, 24).Sealed());
            frames.push_back(EngineOf(1).Rpm(s % 2 ? 2600 : 2800).Sealed());
        }
        WriteFrames(path, frames);
        return path;
    }

private slots:
    void init() {
        QVERIFY(dir.isValid());
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, Path("config"));
    }
    void cleanup() { dir.remove(); dir = QTemporaryDir(); }

    // Limits are shown and typed in the Options units and kept in °C and bar; a field left
    // alone keeps its value exactly; one that is not a number is named and nothing is kept.
    void limitsDialogConvertsTheUnitsShownBothWays() {
        Run run(dir.path());
        Settings& s = run.session().settings;
        s.units.Temp = 1;  // °F
        s.units.OilP = 1;  // psi
        s.limits.Set(LimitKey::OilPressureMin, 2.5);
        s.limits.Set(LimitKey::ChtMax, 180);
        s.limits.Set(LimitKey::EgtSpreadMax, 30);
        s.limits.Set(LimitKey::ChtCoolingMax, 10);
        LimitsDialog* d = run.window().Limits();
        d->LoadFields();
        QCOMPARE(d->Field(LimitKey::ChtCoolingMax)->text(), QString("18"));  // °F/min: a difference per minute
        QWidget* next = d->SecondsField(1)->nextInFocusChain();  // the new field comes after the others
        while (!qobject_cast<QLineEdit*>(next)) next = next->nextInFocusChain();
        QCOMPARE(next, d->Field(LimitKey::ChtCoolingMax));
        QCOMPARE(d->Field(LimitKey::OilPressureMin)->text(), QString("36.259"));
        QCOMPARE(d->Field(LimitKey::ChtMax)->text(), QString("356"));
        QCOMPARE(d->Field(LimitKey::EgtSpreadMax)->text(), QString("54"));  // a difference: no +32
        QCOMPARE(d->Field(LimitKey::RpmMax)->text(), QString());
        d->Field(LimitKey::ChtMax)->setText("400");
        d->Field(LimitKey::OilPressureMax)->setText("80");
        d->Field(LimitKey::EgtSpreadMax)->setText("");
        QVERIFY(d->StoreFields());
        QCOMPARE(s.limits.keys[size_t(LimitKey::ChtMax)].text, std::string("204.4444"));
        QCOMPARE(s.limits.keys[size_t(LimitKey::OilPressureMax)].text, std::string("5.5158"));
        QCOMPARE(*s.limits[LimitKey::OilPressureMin], 2.5);
        QVERIFY(!s.limits[LimitKey::EgtSpreadMax]);
        d->LoadFields();
        d->Field(LimitKey::RpmMax)->setText("27OO");
        d->Field(LimitKey::OilTempMax)->setText("230");
        QVERIFY(!d->StoreFields());
        QVERIFY(d->findChild<QLabel*>("LimitsError")->text().startsWith("Maximum RPM"));
        QVERIFY(!s.limits[LimitKey::RpmMax] && !s.limits[LimitKey::OilTempMax]);
        // In the recording's own units a limit is kept as typed; beyond a million it is refused.
        d->LoadFields();
        d->Field(LimitKey::RpmMax)->setText("2700.99999");
        QVERIFY(d->StoreFields());
        QCOMPARE(s.limits.keys[size_t(LimitKey::RpmMax)].text, std::string("2700.99999"));
        d->LoadFields();
        d->Field(LimitKey::RpmMax)->setText("2000000");
        QVERIFY(!d->StoreFields());
        QVERIFY(d->findChild<QLabel*>("LimitsError")->text().contains("beyond"));
        // The two seconds of the rule: shown with their defaults, whole seconds only.
        d->LoadFields();
        QCOMPARE(d->SecondsField(0)->objectName(), QString("ExceedanceMergeSeconds"));
        QCOMPARE(d->SecondsField(0)->text(), QString("10"));
        QCOMPARE(d->SecondsField(1)->text(), QString("0"));
        d->SecondsField(1)->setText("1.5");
        QVERIFY(!d->StoreFields());
        d->SecondsField(0)->setText("30");
        d->SecondsField(1)->setText("5");
        QVERIFY(d->StoreFields());
        QCOMPARE(s.limits.mergeSeconds, (SecondsSetting{30, "30"}));
        QCOMPARE(s.limits.minSeconds, (SecondsSetting{5, "5"}));
    }

    // A peak never reads as its limit: more decimals where the unit's make them alike, and a
    // limit in the recording's own units shows its own decimals.
    void exceedanceTextShowsAPeakThatDiffersFromItsLimit() {
        const auto text = [](LimitKey k, double limit, double peak, bool bar, UnitSettings units) {
            Exceedance e;
            e.limit = k;
            e.minimum = k == LimitKey::OilPressureMin;
            e.item = "X_1";
            e.limitValue = limit;
            e.peak = peak;
            e.bar = bar;
            e.start = 36000;
            e.end = 36004;
            return ExceedanceText(e, units, Regional{});
        };
        UnitSettings psi;
        psi.OilP = 1;
        UnitSettings fahrenheit;
        fahrenheit.Temp = 1;
        const struct {
            QString got, expected;
        } cases[] = {
            {text(LimitKey::OilPressureMin, 3, 2.9994, true, {}), "X_1 below 3.00 bar for 4 s, peak 2.9994 bar, 10:00:00"},
            {text(LimitKey::OilPressureMin, 3, 2.9, true, {}), "X_1 below 3.00 bar for 4 s, peak 2.90 bar, 10:00:00"},
            {text(LimitKey::OilPressureMin, 3, 2.9994, true, psi), "X_1 below 43.5 psi for 4 s, peak 43.503 psi, 10:00:00"},
            {text(LimitKey::EgtMax, 730.5, 731, false, {}), "X_1 above 730.5 °C for 4 s, peak 731 °C, 10:00:00"},
            {text(LimitKey::EgtMax, 730.5, 731, false, fahrenheit), "X_1 above 1347 °F for 4 s, peak 1348 °F, 10:00:00"},
            {text(LimitKey::RpmMax, 2700.99999, 2701, false, {}), "X_1 above 2700.99999 rpm for 4 s, peak 2701 rpm, 10:00:00"},
            {text(LimitKey::ChtMax, 180, 186, false, {}), "X_1 above 180 °C for 4 s, peak 186 °C, 10:00:00"},
            {text(LimitKey::ChtCoolingMax, 10, 18.5, false, fahrenheit), "X_1 above 18.0 °F/min for 4 s, peak 33.3 °F/min, 10:00:00"},
        };
        for (const auto& c : cases) QCOMPARE(c.got, c.expected);
    }

    // Beyond 10,000 runs the list holds the first 10,000 and says how many there are; the
    // series' line counts every run, not only those listed.
    void theListHoldsTheFirstTenThousand() {
        const QString flight = Alternating(12345);
        Run run(dir.path());
        run.session().settings.limits.Set(LimitKey::RpmMax, 2700);
        Limits::Set(run.session().settings.limits.mergeSeconds, 0);
        run.window().show();
        run.window().ShowFlight(flight);
        run.window().Search()->Wait();
        QCOMPARE(run.window().Found().size(), ExceedanceSearch::kListed);
        EnginePane* pane = run.window().Engine();
        QVERIFY(pane->isVisible());
        QTreeWidget* tree = pane->Exceedances()->Tree();
        QCOMPARE(tree->topLevelItemCount(), 1);  // one series
        QCOMPARE(tree->topLevelItem(0)->childCount(), 10000);
        QCOMPARE(tree->topLevelItem(0)->text(0), QString("RPM_1 above 2700 rpm: 12,345 times, 0 s in all, "
                                                         "peak 2800 rpm"));
        QCOMPARE(pane->Exceedances()->Note()->text(), QString("12,345 exceedances (first 10,000 listed)"));
        QVERIFY(!pane->Exceedances()->Note()->isHidden());
        QCOMPARE(run.window().Found().back().start - run.window().Found().front().start, int64_t(2 * 9999));
        // A flight with fewer says nothing more.
        run.window().ShowFlight(Alternating(3));
        run.window().Search()->Wait();
        QCOMPARE(tree->topLevelItem(0)->childCount(), 3);
        QVERIFY(pane->Exceedances()->Note()->isHidden());
    }

    // The search runs beside the window: the replay returns before it is done, and Ctrl+Q
    // closes the window at once, the search cancelled and its result never shown.
    void ctrlQClosesWhileTheSearchRuns() {
        const QString flight = Alternating(20000);
        Run run(dir.path());
        run.session().settings.limits.Set(LimitKey::RpmMax, 2700);
        run.window().show();
        QVERIFY(QTest::qWaitForWindowExposed(&run.window()));
        run.window().ShowFlight(flight);
        QVERIFY(run.window().Search()->Running());
        QVERIFY(run.window().Found().empty());
        QTest::keyClick(&run.window(), Qt::Key_Q, Qt::ControlModifier);
        QVERIFY(!run.window().isVisible());
        QVERIFY(!run.window().Search()->Running());
        QApplication::processEvents();
        QVERIFY(run.window().Found().empty());
    }

    // Keys typed into Krelby.INI while the window runs stay; what the window changed is
    // written over them.
    void closeWritesItsChangesOverTheFileAsItNowStands() {
        {
            Run run(dir.path());
            run.window().close();
        }
        QByteArray ini = Read(Path("Krelby.INI"));
        ini.replace("Speed=0", "Speed=2");
        Run run(dir.path());
        run.session().settings.units.Altitude = 1;  // as the Options dialog's OK would
        Write(Path("Krelby.INI"), ini + "\r\n[Limits]\r\nRpmMax=2700\r\n");
        run.window().close();
        const QByteArray after = Read(Path("Krelby.INI"));
        QVERIFY(after.contains("[Units]\r\nAltitude=1\r\nVSI=0\r\nSpeed=2\r\n"));
        QVERIFY(after.contains("\r\n[Limits]\r\nRpmMax=2700\r\n"));
    }
};

QTEST_MAIN(ExceedancePaneTest)
#include "exceedance_pane_test.moc"
