#include <gtest/gtest.h>

#include "format/datetime.h"
#include "format/frame_builder.h"
#include "format/messages.h"

using namespace krelby;

namespace {
std::vector<uint8_t> Filled(FrameType t, uint8_t L, uint8_t fill) {
    FrameBuilder b(t, L);
    for (size_t off = 5; off < size_t{L} + 16; ++off) b.u8(off, fill);
    return b.Sealed();
}
}  // namespace

TEST(Messages, SignednessAndOffsetsOfAllSevenLayouts) {
    // Every byte 0xFF: signed fields read -1, unsigned ones their maximum.
    auto f = Filled(FrameType::Flight, 24, 0xFF);
    FlightMessage fm(f.data());
    EXPECT_EQ(fm.PAltitude(), -1); EXPECT_EQ(fm.ASI(), 65535); EXPECT_EQ(fm.AOA(), -1);
    EXPECT_EQ(fm.Baro(), 65535); EXPECT_EQ(fm.OAT(), -1);
    auto g = Filled(FrameType::Gps, 36, 0xFF);
    GpsMessage gm(g.data());
    EXPECT_EQ(gm.Latitude(), -1); EXPECT_EQ(gm.Groundspeed(), 65535); EXPECT_EQ(gm.Variation(), -1);
    EXPECT_EQ(gm.SatellitesTracked(), 255); EXPECT_EQ(gm.RaimV(), 255);
    auto a = Filled(FrameType::Attitude, 20, 0xFF);
    AttitudeMessage am(a.data());
    EXPECT_EQ(am.HeadingMAG(), 65535); EXPECT_EQ(am.AHRSPitch(), -1); EXPECT_EQ(am.YawRate(), -1);
    auto e = Filled(FrameType::Engine, 56, 0xFF);
    EngineMessage em(e.data());
    EXPECT_EQ(em.Rpm(), 65535); EXPECT_EQ(em.CoolantTemp(), -1); EXPECT_EQ(em.TC(12), -1);
    auto in = Filled(FrameType::Inputs, 44, 0xFF);
    InputsMessage im(in.data());
    EXPECT_EQ(im.Flaps(), -1); EXPECT_EQ(im.AnalogInput(16), 65535); EXPECT_EQ(im.GearState(3), 255);
    auto n = Filled(FrameType::Navigation, 44, 0xFF);
    NavigationMessage nm(n.data());
    EXPECT_EQ(nm.HSI_Rose(), 65535); EXPECT_EQ(nm.HSI_Angle(), -1); EXPECT_EQ(nm.DME2_Dist(), 65535);
    EXPECT_EQ(nm.AltitudeBug(), -1);

    // Distinct values at their offsets.
    auto f2 = FrameBuilder(FrameType::Flight).i32(8, -1234).i32(12, 5678).u16(16, 1000).i16(20, 53)
                  .i16(22, -500).u16(24, 10132).i16(28, -40).Sealed();
    FlightMessage fm2(f2.data());
    EXPECT_EQ(fm2.PAltitude(), -1234); EXPECT_EQ(fm2.BAltitude(), 5678); EXPECT_EQ(fm2.ASI(), 1000);
    EXPECT_EQ(fm2.AOA(), 53); EXPECT_EQ(fm2.VSI(), -500); EXPECT_EQ(fm2.Baro(), 10132); EXPECT_EQ(fm2.OAT(), -40);
    auto g2 = FrameBuilder(FrameType::Gps).i32(8, -4860000).i32(12, 27000000).i32(32, 300).u8(43, 9).Sealed();
    GpsMessage gm2(g2.data());
    EXPECT_EQ(gm2.Latitude(), -4860000); EXPECT_EQ(gm2.Longitude(), 27000000);
    EXPECT_EQ(gm2.DownVelocity(), 300); EXPECT_EQ(gm2.SatellitesTracked(), 9);
    auto in2 = FrameBuilder(FrameType::Inputs).u32(24, 5).u16(30, 777).u8(8, 12).Sealed();
    InputsMessage im2(in2.data());
    EXPECT_EQ(im2.DigitalInput(1), 1); EXPECT_EQ(im2.DigitalInput(2), 0); EXPECT_EQ(im2.DigitalInput(3), 1);
    EXPECT_EQ(im2.AnalogInput(2), 777); EXPECT_EQ(im2.AnalogInputCount(), 12);
    auto in3 = FrameBuilder(FrameType::Inputs).u32(24, 65536).Sealed();
    for (int k = 1; k <= 16; ++k) EXPECT_EQ(InputsMessage(in3.data()).DigitalInput(k), 0);
    auto n2 = FrameBuilder(FrameType::Navigation).u16(8, 0x0401).Sealed();
    NavigationMessage nm2(n2.data());
    EXPECT_EQ(nm2.FlagValue(NavigationMessage::HSI_Valid), 1);
    EXPECT_EQ(nm2.FlagValue(NavigationMessage::GLS_Valid), 1);
    EXPECT_EQ(nm2.FlagValue(NavigationMessage::AP_Engaged), 0);
}

TEST(Messages, VariableLengthFieldsPresence) {
    auto shortEngine = FrameBuilder(FrameType::Engine, 20).Sealed();  // data area 8..35
    EngineMessage em(shortEngine.data());
    EXPECT_TRUE(em.Has(EngineMessage::kRpm, 2));
    EXPECT_TRUE(em.Has(34, 2));
    EXPECT_FALSE(em.Has(EngineMessage::kFuelFlow, 2));
    EXPECT_FALSE(em.Has(EngineMessage::TcOffset(1), 2));
    auto fuel = FrameBuilder(FrameType::Fuel, 20).i32(8, 20).i32(12, -5).Sealed();  // room for 3 entries
    FuelMessage fu(fuel.data());
    EXPECT_EQ(fu.EntryCount(), 16);
    EXPECT_EQ(fu.FuelLevel(1), -5);
    EXPECT_TRUE(fu.HasLevel(3));
    EXPECT_FALSE(fu.HasLevel(4));
    auto none = FrameBuilder(FrameType::Fuel, 4).i32(8, -1).Sealed();
    EXPECT_EQ(FuelMessage(none.data()).EntryCount(), 0);
}

TEST(Messages, CompressedRate) {
    const std::pair<int16_t, double> cases[] = {
        {14999, 149.99}, {15000, 150.0}, {15010, 151.0}, {32767, 1926.7}, {-15000, -150.0}, {-32768, -327.68}};
    for (auto [v, rate] : cases) EXPECT_DOUBLE_EQ(CompressedRate(v), rate) << v;
}

TEST(MessageDateTime, CalendarRules) {
    auto at = [](int y, int mo, int d, int h, int mi, int s) {
        auto f = FrameBuilder(FrameType::Flight).u8(32, h).u8(33, mi).u8(34, s).u8(35, d).u8(36, mo).u8(37, y).Sealed();
        return MessageDateTime(FlightMessage(f.data()));
    };
    auto ok = at(14, 3, 5, 9, 41, 7);
    ASSERT_EQ(ok.status, DateStatus::Ok);
    EXPECT_EQ(FormatShortDateTime(ok.value, {}), "5/3/14 09:41:07");
    EXPECT_EQ(at(14, 3, 5, 9, 41, 60).value, at(14, 3, 5, 9, 41, 59).value);
    EXPECT_EQ(FormatTimeStamp(at(0, 1, 1, 0, 0, 0).value, {}), "2000/01/01 00:00:00");
    EXPECT_EQ(FormatTimeStamp(at(255, 12, 31, 23, 59, 59).value, {}), "2255/12/31 23:59:59");
    EXPECT_EQ(at(14, 0, 5, 9, 0, 0).status, DateStatus::NoDate);
    EXPECT_EQ(at(14, 3, 0, 9, 0, 0).status, DateStatus::NoDate);
    EXPECT_EQ(at(14, 13, 5, 9, 0, 0).status, DateStatus::InvalidDate);
    EXPECT_EQ(at(15, 2, 29, 9, 0, 0).status, DateStatus::InvalidDate);
    EXPECT_EQ(at(16, 2, 29, 9, 0, 0).status, DateStatus::Ok);
    EXPECT_EQ(at(0, 2, 29, 9, 0, 0).status, DateStatus::Ok);  // 2000: divisible by 400
    EXPECT_EQ(at(100, 2, 29, 9, 0, 0).status, DateStatus::InvalidDate);  // 2100 and 2200: by 100 only
    EXPECT_EQ(at(200, 2, 29, 9, 0, 0).status, DateStatus::InvalidDate);
    EXPECT_EQ(at(196, 2, 29, 9, 0, 0).status, DateStatus::Ok);
    EXPECT_EQ(at(14, 4, 31, 9, 0, 0).status, DateStatus::InvalidDate);
    EXPECT_EQ(at(14, 3, 5, 24, 0, 0).status, DateStatus::InvalidTime);
    EXPECT_EQ(at(14, 3, 5, 9, 60, 0).status, DateStatus::InvalidTime);
}

TEST(DateTime, FormatsWithRegionalSeparators) {
    const double t = *EncodeDate(2014, 3, 5) + *EncodeTime(9, 41, 7);
    EXPECT_EQ(FormatShortDateTime(*EncodeDate(2014, 3, 5), {}), "5/3/14");  // midnight: no time
    Regional dots{'.', '.', ','};
    EXPECT_EQ(FormatShortDateTime(t, dots), "5.3.14 09.41.07");
    EXPECT_EQ(FormatTimeStamp(t, dots), "2014.03.05 09.41.07");
    EXPECT_EQ(FormatTimeStamp(0.0, {}), "1899/12/30 00:00:00");
    EXPECT_EQ(*EncodeDate(1899, 12, 30), 0.0);
    EXPECT_EQ(*EncodeDate(1900, 1, 1), 2.0);
}

TEST(DateTime, IsoTextOfDaysAndOfUnixSeconds) {
    const double t = *EncodeDate(2014, 3, 5) + *EncodeTime(9, 41, 7, 600);
    EXPECT_EQ(IsoText(DecodeDateTime(t)), "2014-03-05T09:41:07");  // milliseconds left out
    EXPECT_EQ(IsoText(DecodeDateTime(0.0)), "1899-12-30T00:00:00");
    struct Case { int64_t seconds; const char* text; } cases[] = {
        {0, "1970-01-01T00:00:00"},
        {-1, "1969-12-31T23:59:59"},  // before 1970 the day still starts at midnight
        {1394012467, "2014-03-05T09:41:07"},
        {951782400, "2000-02-29T00:00:00"},
    };
    for (const Case& c : cases) EXPECT_EQ(IsoText(UnixTimeParts(c.seconds)), c.text) << c.seconds;
}
