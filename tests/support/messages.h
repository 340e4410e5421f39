// Frames built by field name at the offsets the message readers use:
// FlightAt(0, 5).PAltitude(900).Sealed(). The raw setters stay for fields a test spoils on purpose.
#pragma once
#include <cstdint>
#include <initializer_list>
#include <vector>

#include "format/frame_builder.h"
#include "format/messages.h"

namespace krelby::testing {

using Frame = std::vector<uint8_t>;

// Frames one after another, as a recording or a flight file holds them.
inline Frame Cat(std::initializer_list<Frame> parts) {
    Frame out;
    for (const auto& p : parts) out.insert(out.end(), p.begin(), p.end());
    return out;
}

template <class Self>
class MessageBuilder {
public:
    explicit MessageBuilder(FrameType type) : b_(type) {}
    MessageBuilder(FrameType type, uint8_t L) : b_(type, L) {}

    Self& u8(size_t off, uint8_t v) { b_.u8(off, v); return self(); }
    Self& u16(size_t off, uint16_t v) { b_.u16(off, v); return self(); }
    Self& i16(size_t off, int16_t v) { b_.i16(off, v); return self(); }
    Self& u32(size_t off, uint32_t v) { b_.u32(off, v); return self(); }
    Self& i32(size_t off, int32_t v) { b_.i32(off, v); return self(); }

    Frame Sealed() const { return b_.Sealed(); }
    Frame BadCrc() const { return b_.BadCrc(); }

protected:
    Self& self() { return static_cast<Self&>(*this); }
    FrameBuilder b_;
};

class FlightFrame : public MessageBuilder<FlightFrame> {
    using M = FlightMessage;
    // The clock and date bytes: hour, minute, second, day, month, two-digit year.
    static constexpr size_t kHour = M::kSecondOffset - 2, kDay = M::kSecondOffset + 1;

public:
    FlightFrame() : MessageBuilder(FrameType::Flight) {}
    FlightFrame& PAltitude(int32_t v) { return i32(M::kPAltitude, v); }
    FlightFrame& ASI(uint16_t v) { return u16(M::kASI, v); }
    FlightFrame& AOA(int16_t v) { return i16(M::kAOA, v); }
    FlightFrame& VSI(int16_t v) { return i16(M::kVSI, v); }
    FlightFrame& QNH(uint16_t v) { return u16(M::kQNH, v); }
    FlightFrame& OAT(int16_t v) { return i16(M::kOAT, v); }
    FlightFrame& Hour(int v) { return u8(kHour, uint8_t(v)); }
    FlightFrame& Minute(int v) { return u8(kHour + 1, uint8_t(v)); }
    FlightFrame& Second(int v) { return u8(kHour + 2, uint8_t(v)); }
    FlightFrame& Day(int v) { return u8(kDay, uint8_t(v)); }
    FlightFrame& Month(int v) { return u8(kDay + 1, uint8_t(v)); }
    FlightFrame& Year(int v) { return u8(kDay + 2, uint8_t(v)); }
    FlightFrame& Clock(int h, int m, int s) { return Hour(h).Minute(m).Second(s); }
    FlightFrame& Date(int d, int m, int y) { return Day(d).Month(m).Year(y); }
    // The clock `seconds` after midnight.
    FlightFrame& ClockAt(int seconds) { return Clock(seconds / 3600, seconds / 60 % 60, seconds % 60); }
};

class GpsFrame : public MessageBuilder<GpsFrame> {
    using M = GpsMessage;

public:
    GpsFrame() : MessageBuilder(FrameType::Gps) {}
    GpsFrame& Latitude(int32_t v) { return i32(M::kLatitude, v); }
    GpsFrame& Longitude(int32_t v) { return i32(M::kLongitude, v); }
    // In degrees, in the recorded 1/180000 degree.
    GpsFrame& Position(double latitude, double longitude) {
        return Latitude(int32_t(latitude * kPositionUnitsPerDegree)).Longitude(int32_t(longitude * kPositionUnitsPerDegree));
    }
    GpsFrame& GPSAltitude(int32_t v) { return i32(M::kGPSAltitude, v); }
    GpsFrame& DownVelocity(int32_t v) { return i32(M::kDownVelocity, v); }
    GpsFrame& Groundspeed(uint16_t v) { return u16(M::kGroundspeed, v); }
    GpsFrame& SatellitesTracked(uint8_t v) { return u8(M::kSatellitesTracked, v); }
};

class EngineFrame : public MessageBuilder<EngineFrame> {
    using M = EngineMessage;

public:
    explicit EngineFrame(uint8_t L = 56) : MessageBuilder(FrameType::Engine, L) {}
    EngineFrame& MonitorNumber(int v) { return u8(M::kMonitorNumber, uint8_t(v)); }
    EngineFrame& Rpm(uint16_t v) { return u16(M::kRpm, v); }
    EngineFrame& Pulse(uint16_t v) { return u16(M::kPulse, v); }
    EngineFrame& OilPressure(uint16_t v) { return u16(M::kOilPressure, v); }
    EngineFrame& OilTemp(int16_t v) { return i16(M::kOilTemp, v); }
    EngineFrame& FuelPressure(uint16_t v) { return u16(M::kFuelPressure, v); }
    EngineFrame& CoolantTemp(int16_t v) { return i16(M::kCoolantTemp, v); }
    EngineFrame& ManifoldPressure(uint16_t v) { return u16(M::kManifoldPressure, v); }
    EngineFrame& TC(int n, int16_t v) { return i16(M::TcOffset(n), v); }  // n = 1..12
};

class FuelFrame : public MessageBuilder<FuelFrame> {
public:
    explicit FuelFrame(uint8_t L) : MessageBuilder(FrameType::Fuel, L) {}
    FuelFrame& Count(int32_t v) { return i32(FuelMessage::LevelOffset(1) - 4, v); }
    FuelFrame& Level(int k, int32_t v) { return i32(FuelMessage::LevelOffset(k), v); }  // k = 1..16
};

class InputsFrame : public MessageBuilder<InputsFrame> {
    using M = InputsMessage;

public:
    InputsFrame() : MessageBuilder(FrameType::Inputs) {}
    explicit InputsFrame(uint8_t L) : MessageBuilder(FrameType::Inputs, L) {}
    InputsFrame& AnalogCount(uint8_t v) { return u8(M::kAnalogCount, v); }
    InputsFrame& DigitalCount(uint8_t v) { return u8(M::kDigitalCount, v); }
    InputsFrame& Flaps(int16_t v) { return i16(M::kFlaps, v); }
    InputsFrame& YawTrim(int16_t v) { return i16(M::kYawTrim, v); }
    InputsFrame& DigitalInputs(uint32_t v) { return u32(M::kDigitalInputs, v); }
    InputsFrame& Analog(int n, uint16_t v) { return u16(M::AnalogOffset(n), v); }  // n = 1..16
};

class NavigationFrame : public MessageBuilder<NavigationFrame> {
    using M = NavigationMessage;

public:
    NavigationFrame() : MessageBuilder(FrameType::Navigation) {}
    NavigationFrame& HSI_SRC(uint8_t v) { return u8(M::kHSI_SRC, v); }
    NavigationFrame& HSI_Dev(int16_t v) { return i16(M::kHSI_Dev, v); }
    NavigationFrame& HeadingBug(int16_t v) { return i16(M::kHeadingBug, v); }
    NavigationFrame& AltitudeBug(int32_t v) { return i32(M::kAltitudeBug, v); }
};

// A FlightMessage of 14 March 2024 at 10:mm:ss.
inline FlightFrame FlightAt(int minute, int second) { return FlightFrame().Clock(10, minute, second).Date(14, 3, 24); }
// That moment as a day number, as the replay gives times.
inline double TimeAt(int minute, int second) {
    return 45365.0 + (10 * 3600 + minute * 60 + second) / 86400.0;  // 2024-03-14
}
inline GpsFrame GpsAt(int32_t latitude, int32_t longitude, int32_t altitude, uint8_t satellites = 0) {
    return GpsFrame().Latitude(latitude).Longitude(longitude).GPSAltitude(altitude).SatellitesTracked(satellites);
}
inline EngineFrame EngineOf(int monitor, uint8_t L = 56) { return EngineFrame(L).MonitorNumber(monitor); }

}  // namespace krelby::testing
