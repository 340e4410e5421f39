#include "support/replay_fixture.h"

#include "base/error.h"

using namespace krelby;
using namespace krelby::testing;

namespace {

Frame Gps(int32_t altitude) { return GpsFrame().GPSAltitude(altitude).Sealed(); }
Frame Flight(int minute, int second, int32_t palt = 0) { return FlightAt(minute, second).PAltitude(palt).Sealed(); }

}  // namespace

TEST_F(ReplayTest, SeventeenItemsGetSixteenSlotsInOrderOfFirstValue) {
    // 9 flight items, 9 GPS items (all but the position), then attitude: 17 charted in all.
    Tick({1, 2, 3, 4, 5, 6, 7, 8, 9, 32, 33, 34, 35, 36, 37, 38, 39});
    Replay({Gps(100), Flight(0, 0), Gps(200)});
    ASSERT_EQ(session.chart.SlotsInChart(), 16);
    const char* titles[] = {"GPSALT", "AGL", "GPSVSI", "GS", "Track", "VAR", "Tracked", "RaimH",
                            "PALT", "BALT", "ASI", "TAS", "AOA", "VSI", "Baro", "QNH"};
    for (int i = 0; i < 16; ++i) EXPECT_EQ(Slot(i).title, titles[i]) << i;
    EXPECT_EQ(session.chart.SlotNumber(9), kNoSlot);  // OAT came 17th
    EXPECT_TRUE(csv.names[8].empty());
    EXPECT_EQ(Slot(0).ys, (std::vector<double>{100, 200}));
    EXPECT_EQ(Slot(0).xs, (std::vector<double>{0, TimeAt(0, 0)}));
}

TEST_F(ReplayTest, AxesStackOncePerKindAndLabelsFollowOrderOfShowing) {
    struct Case { std::vector<int> boxes; int margin; std::vector<int> axes, positions, labelX; };
    const std::vector<Case> cases = {
        {{1, 32}, 65, {0}, {0}, {70}},                                  // two altitudes, one axis
        {{9, 1, 3}, 165, {0, 1, 3}, {0, -50, -100}, {170, 120, 70}},    // table order decides
        {{1, 46}, 115, {7, 0}, {0, -50}, {120, 70}},                    // the attitude came first
    };
    for (const auto& c : cases) {
        session.settings.selection = {};
        Tick(c.boxes);
        Replay({FrameBuilder(FrameType::Attitude).Sealed(), Gps(1), Flight(0, 0)});
        const ChartModel& chart = session.chart;
        EXPECT_EQ(chart.LeftMargin(), c.margin);
        EXPECT_EQ(chart.VisibleAxes(), c.axes);
        for (size_t i = 0; i < c.axes.size(); ++i) EXPECT_EQ(chart.Axis(c.axes[i]).position, c.positions[i]);
        const auto labels = chart.AxisLabels(300, [](std::string_view s) { return int(s.size()) * 7; });
        ASSERT_EQ(labels.size(), c.labelX.size());
        for (size_t i = 0; i < labels.size(); ++i) {
            EXPECT_EQ(labels[i].rightX, c.labelX[i]);
            EXPECT_EQ(labels[i].topY, 280);
            EXPECT_EQ(labels[i].text, AxisShortName[c.axes[i]]);
        }
    }
}

TEST_F(ReplayTest, ClockComesOnlyFromGoodFlightMessages) {
    Tick({32});
    Replay({Gps(1), Flight(0, 0), Gps(2), FlightAt(0, 9).BadCrc(), Gps(3),
            FlightAt(0, 10).Day(0).Sealed(),   // day 0
            FlightAt(0, 11).Month(13).Sealed(),  // month 13
            FlightAt(0, 12).Hour(24).Sealed(),  // hour 24
            Gps(4), FlightAt(1, 60).Sealed(), Gps(5)});
    EXPECT_EQ(Slot(0).xs, (std::vector<double>{0, TimeAt(0, 0), TimeAt(0, 0), TimeAt(0, 0), TimeAt(1, 59)}));
    EXPECT_EQ(session.CurrentFlightEnd, TimeAt(1, 59));
}

TEST_F(ReplayTest, SkipsBadChecksumsExceptFuelAndMonitorsOutsideOneToFour) {
    Tick({11, 122, 145, 168, 53});
    auto rpm = [](int monitor, uint16_t v) { return EngineOf(monitor).Rpm(v); };
    const std::vector<Frame> frames = {
        rpm(0, 1).Sealed(), rpm(5, 1).Sealed(), rpm(3, 30).Sealed(), rpm(1, 10).BadCrc(),
        FuelFrame(12).Count(1).Level(1, 70).BadCrc(),
    };
    Replay(frames);
    ASSERT_EQ(session.chart.SlotsInChart(), 2);
    EXPECT_EQ(Slot(0).title, "RPM_3");
    EXPECT_EQ(Slot(1).title, "Fuel_1");
    EXPECT_EQ(Slot(1).ys, std::vector<double>{7.0});

    session.checks.IgnoreChecksums = true;
    Replay(frames);
    ASSERT_EQ(session.chart.SlotsInChart(), 3);
    EXPECT_EQ(Slot(1).title, "RPM_1");
}

TEST_F(ReplayTest, FramesAcrossReadBlocksAndRepeatedReplaysGiveTheSameSeries) {
    Tick({1, 11});
    std::vector<Frame> frames;
    // Enough Frames that several fall across any block boundary of the reader.
    for (int i = 0; i < 20000; ++i) {
        frames.push_back(Flight(i / 60 % 60, i % 60, i));
        frames.push_back(EngineOf(1).Rpm(static_cast<uint16_t>(i)).Sealed());
    }
    Replay(frames);
    const SeriesSlot first = Slot(0);
    ASSERT_EQ(first.ys.size(), 20000u);
    for (int i = 0; i < 20000; ++i) ASSERT_EQ(Slot(1).ys[i], i);
    Replay(frames);
    EXPECT_EQ(Slot(0).xs, first.xs);
    EXPECT_EQ(Slot(0).ys, first.ys);
    EXPECT_EQ(session.chart.VisibleAxes(), (std::vector<int>{0, 5}));
    EXPECT_EQ(session.chart.LeftMargin(), 115);
}

TEST_F(ReplayTest, EmptyOrMissingFileClearsTheChartAndBecomesTheCurrentFlight) {
    Tick({1});
    Replay({Flight(0, 0)});
    Replay({});
    EXPECT_EQ(session.chart.SlotsInChart(), 0);
    EXPECT_EQ(session.CurrentFlightFile, folder / "t.FLT");

    Replay({Flight(0, 0)});
    const std::string missing = folder / "none.FLT";
    try {
        session.Show(missing);
        FAIL();
    } catch (const Error& e) {
        EXPECT_NE(std::string(e.what()).find(missing), std::string::npos);
    }
    EXPECT_EQ(session.chart.SlotsInChart(), 0);
    EXPECT_EQ(session.chart.LeftMargin(), 15);
    EXPECT_EQ(session.CurrentFlightFile, missing);
}

TEST_F(ReplayTest, KmlCoordinatePerGpsMessageWhileExporting) {
    RecordingOutput out;
    Replay({Gps(1), Flight(0, 0), Gps(2), FrameBuilder(FrameType::Gps).BadCrc()}, {&out});
    EXPECT_EQ(out.coordinates, 2);
    EXPECT_EQ(session.chart.SlotsInChart(), 0);
}

TEST_F(ReplayTest, ProgressIsReportedAtTheEnd) {
    std::vector<std::pair<uint64_t, uint64_t>> calls;
    session.progress = [&](uint64_t done, uint64_t total) { calls.emplace_back(done, total); };
    Replay({Flight(0, 0), Flight(0, 1)});
    ASSERT_EQ(calls.size(), 1u);
    EXPECT_EQ(calls[0], std::make_pair(uint64_t{88}, uint64_t{88}));
}
