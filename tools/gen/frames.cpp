#include "frames.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include "format/bytes.h"
#include "format/crc32.h"
#include "format/frame.h"
#include "format/messages.h"

namespace krelby::gen {
namespace {

constexpr double kPi = 3.14159265358979323846;
constexpr double kDeg = kPi / 180.0;

// Rounds halves away from zero into [lo, hi]; clamping first keeps the conversion defined.
int64_t Fit(double v, int64_t lo, int64_t hi) {
    if (!(v > static_cast<double>(lo))) return lo;
    if (v >= static_cast<double>(hi)) return hi;
    return static_cast<int64_t>(v < 0 ? v - 0.5 : v + 0.5);
}
uint16_t U16(double v) { return static_cast<uint16_t>(Fit(v, 0, 65535)); }
uint16_t I16(double v) { return static_cast<uint16_t>(static_cast<int16_t>(Fit(v, -32768, 32767))); }
uint32_t I32(double v) {
    return static_cast<uint32_t>(static_cast<int32_t>(Fit(v, INT32_MIN, INT32_MAX)));
}
double Wrap360(double d) { d = std::fmod(d, 360.0); return d < 0 ? d + 360.0 : d; }
double Wrap180(double d) { d = Wrap360(d); return d > 180.0 ? d - 360.0 : d; }
// Tenths of a degree in 0..3599.
uint16_t Tenths360(double deg) { return static_cast<uint16_t>(Fit(Wrap360(deg) * 10, 0, 3600) % 3600); }

// Starts a Frame of `type` with length byte L, body zeroed; returns its size.
size_t Begin(uint8_t* f, FrameType type, uint8_t L) {
    const size_t n = FrameSize(L);
    std::memset(f, 0, n);
    WriteFrameHeader(f, type, L);
    return n;
}
size_t Seal(uint8_t* f, size_t n) {
    SealFrame(f);
    return n;
}

double PressureAltitudeFt(const AircraftState& s) { return s.altitudeFt + (1013.25 - s.qnhMbar) * 27.3; }

struct Station {
    double lat, lon;
};
// Two VOR/DME stations near home: one close by, one further out.
Station Vor(const FlightPlan& p, int n) {
    const double bearing = n == 1 ? 45 : 200, km = n == 1 ? 8 : 40;
    return {p.home.lat + km * 1000 * std::cos(bearing * kDeg) / 111320.0,
            p.home.lon + km * 1000 * std::sin(bearing * kDeg) / (111320.0 * std::cos(p.home.lat * kDeg))};
}
void Polar(double fromLat, double fromLon, double toLat, double toLon, double& bearing, double& metres) {
    const double n = (toLat - fromLat) * 111320.0;
    const double e = (toLon - fromLon) * 111320.0 * std::cos(fromLat * kDeg);
    bearing = Wrap360(std::atan2(e, n) / kDeg);
    metres = std::sqrt(n * n + e * e);
}

}  // namespace

int16_t EncodeCompressedRate(double rate) {
    if (rate >= 150) return static_cast<int16_t>(Fit(15000 + (rate - 150) * 10, 15000, 32767));
    return static_cast<int16_t>(Fit(rate * 100, -32768, 14999));
}

size_t EncodeFlight(uint8_t* f, const AircraftState& s, const CivilTime& t) {
    const size_t n = Begin(f, FrameType::Flight, 24);
    const double palt = PressureAltitudeFt(s);
    put32le(f, 8, I32(palt));
    put32le(f, 12, I32(s.altitudeFt));
    put16le(f, 16, U16(s.iasKmh * 10));
    put16le(f, 18, U16(s.tasKmh * 10));
    put16le(f, 20, I16(s.aoaDeg * 10));
    put16le(f, 22, I16(s.verticalSpeedFpm));
    put16le(f, 24, U16(1013.25 * std::pow(1 - 6.8756e-6 * palt, 5.2559) * 10));
    put16le(f, 26, U16(s.qnhMbar * 10));
    put16le(f, 28, I16(s.oatC));
    f[32] = static_cast<uint8_t>(t.hour);
    f[33] = static_cast<uint8_t>(t.minute);
    f[34] = static_cast<uint8_t>(t.second);
    f[35] = static_cast<uint8_t>(t.day);
    f[36] = static_cast<uint8_t>(t.month);
    f[37] = static_cast<uint8_t>(t.year - 2000);
    return Seal(f, n);
}

size_t EncodeGps(uint8_t* f, const FlightModel& m) {
    const AircraftState& s = m.State();
    const size_t n = Begin(f, FrameType::Gps, 36);
    put32le(f, 8, I32(s.lat * kPositionUnitsPerDegree));
    put32le(f, 12, I32(s.lon * kPositionUnitsPerDegree));
    put32le(f, 16, I32(s.altitudeFt + 40));  // the fix sits a little above the baro altitude
    put32le(f, 20, I32(s.aglFt));
    put32le(f, 32, I32(-s.verticalSpeedFpm));
    put16le(f, 36, U16(s.groundspeedKmh * 10));
    put16le(f, 38, Tenths360(s.trackDeg));
    put16le(f, 40, I16(m.Plan().home.variationDeg * 10));
    f[43] = static_cast<uint8_t>(s.satellites);
    f[49] = static_cast<uint8_t>(s.raimH);
    f[50] = static_cast<uint8_t>(s.raimV);
    return Seal(f, n);
}

size_t EncodeAttitude(uint8_t* f, const FlightModel& m) {
    const AircraftState& s = m.State();
    const size_t n = Begin(f, FrameType::Attitude, 20);
    const double magnetic = s.headingDeg - m.Plan().home.variationDeg;
    put16le(f, 8, Tenths360(magnetic));
    put16le(f, 10, I16(s.pitchDeg * 10));
    put16le(f, 12, I16(s.bankDeg * 10));
    put16le(f, 14, I16(Wrap180(magnetic) * 10));
    put16le(f, 16, I16(s.turnRateDps * 10));
    put16le(f, 18, I16(s.slip));
    put16le(f, 20, I16(s.gLoad * 100));
    put16le(f, 22, I16(s.lrG * 100));
    put16le(f, 24, I16(s.frG * 100));
    put16le(f, 26, static_cast<uint16_t>(EncodeCompressedRate(s.bankRateDps)));
    put16le(f, 28, static_cast<uint16_t>(EncodeCompressedRate(s.pitchRateDps)));
    put16le(f, 30, static_cast<uint16_t>(EncodeCompressedRate(s.yawRateDps)));
    return Seal(f, n);
}

size_t EncodeEngine(uint8_t* f, const FlightModel& m, int monitor) {
    const EngineState& e = m.State().engine[monitor - 1];
    const size_t n = Begin(f, FrameType::Engine, 56);
    f[8] = static_cast<uint8_t>(monitor);
    put16le(f, 12, U16(e.rpm));
    put16le(f, 14, U16(e.rpm / 2.43));  // propeller speed behind the reduction gearbox
    put16le(f, 16, U16(e.oilPressureBar * 10000));
    put16le(f, 20, U16(e.fuelPressureBar * 10000));
    put16le(f, 22, I16(e.coolantC));
    put16le(f, 24, I16(e.oilC));
    put16le(f, 28, I16(e.aux1C));
    put16le(f, 30, I16(e.aux2C));
    put16le(f, 36, U16(e.fuelFlowLph * 100));
    put16le(f, 40, U16(e.manifoldBar * 10000));
    for (int k = 0; k < 12; ++k) put16le(f, 48 + 2 * static_cast<size_t>(k), I16(e.tc[k] + e.tcNoise[k]));
    return Seal(f, n);
}

size_t EncodeFuel(uint8_t* f, const FlightModel& m, int monitors) {
    const int entries = 4 * std::clamp(monitors, 1, 4);
    const size_t n = Begin(f, FrameType::Fuel, static_cast<uint8_t>(8 * entries - 4));
    put32le(f, 8, static_cast<uint32_t>(entries));
    for (int k = 0; k < entries; ++k) {
        put32le(f, 12 + 8 * static_cast<size_t>(k), I32(m.State().fuelLitres[k] * 10));
        put32le(f, 16 + 8 * static_cast<size_t>(k), 800);  // tank capacity, not decoded
    }
    return Seal(f, n);
}

size_t EncodeInputs(uint8_t* f, const FlightModel& m) {
    const AircraftState& s = m.State();
    const bool ext = m.Plan().extender;
    const bool airborne = !s.onGround || s.phase == Phase::TakeoffRoll;
    const bool running = s.engine[0].rpm > 300;
    const size_t n = Begin(f, FrameType::Inputs, 44);
    f[8] = ext ? 12 : 8;
    f[9] = ext ? 16 : 8;
    f[10] = s.gear[0];
    f[11] = s.gear[1];
    f[12] = s.gear[2];
    put16le(f, 16, I16(s.flapsDeg));
    put16le(f, 18, I16(s.pitchTrim));
    put16le(f, 20, I16(s.bankTrim));
    put16le(f, 22, I16(s.yawTrim));
    uint32_t bits = 0x1 | 0x40;  // master and navigation lights
    if (airborne) bits |= 0x2;   // strobes
    if (s.landingLight) bits |= 0x4;
    if (s.fuelPump) bits |= 0x8;
    if (s.autopilot) bits |= 0x10;
    if (!s.onGround && s.oatC < 5) bits |= 0x20;  // pitot heat
    if (ext) {
        bits |= 0x100;                             // canopy locked
        if (s.flapsDeg >= 20) bits |= 0x400;       // approach flap warning
    }
    put32le(f, 24, bits);
    const uint16_t analog[16] = {
        static_cast<uint16_t>(running ? 1410 : 1245),            // bus voltage, 0.01 V
        U16(2048 + (running ? 160 : -90)),                       // ammeter, centred ADC
        U16(400 + s.flapsDeg * 100),                             // flap potentiometer
        U16(2048 + s.pitchTrim * 4),                             // trim potentiometer
        U16(1000 + s.engine[0].aux1C * 10),                      // cabin sensor
        3000, 0, 4095,                                           // oil level, spare, pulled up
        U16(ext ? 1800 + s.flapsDeg : 0), U16(ext ? 2000 + s.oatC * 10 : 0),
        U16(ext ? s.engine[0].fuelPressureBar * 4000 : 0), 0, 0, 0, 0, 0,
    };
    for (int k = 0; k < 16; ++k) put16le(f, 28 + 2 * static_cast<size_t>(k), analog[k]);
    return Seal(f, n);
}

size_t EncodeNavigation(uint8_t* f, const FlightModel& m) {
    const AircraftState& s = m.State();
    const FlightPlan& p = m.Plan();
    const size_t n = Begin(f, FrameType::Navigation, 44);
    const bool flying = !s.onGround;
    const bool descending = s.phase == Phase::Descent || s.phase == Phase::Approach;
    double wpBearing, wpMetres;
    Polar(s.lat, s.lon, s.waypointLat, s.waypointLon, wpBearing, wpMetres);
    uint16_t flags = 0;
    if (s.satellites >= 4) flags |= 0x0001;
    if (descending) flags |= 0x0002;
    if (flying) flags |= 0x0004;
    if (s.autopilot) flags |= 0x0008;
    double radial[2], dme[2];
    for (int v = 0; v < 2; ++v) {
        const Station st = Vor(p, v + 1);
        Polar(st.lat, st.lon, s.lat, s.lon, radial[v], dme[v]);
        if (flying && s.aglFt > 300 && dme[v] < 150000) flags |= static_cast<uint16_t>((0x10 | 0x40) << v);
    }
    const bool ils = s.approachGuidance && p.ilsKind == 1, gls = s.approachGuidance && p.ilsKind == 2;
    if (ils) flags |= 0x0100 | 0x0200;
    if (gls) flags |= 0x0400;
    put16le(f, 8, flags);
    f[10] = 1;             // HSI from the GPS
    f[11] = ils ? 2 : 1;   // vertical guidance from the glideslope, else from the GPS
    const double magneticHeading = s.headingDeg - p.home.variationDeg;
    put16le(f, 14, I16(Wrap180(s.courseDeg - s.headingDeg) * 10));
    put16le(f, 16, Tenths360(magneticHeading));
    const double crossTrackNm = wpMetres * std::sin((wpBearing - s.courseDeg) * kDeg) / 1852.0;
    put16le(f, 18, I16(std::clamp(crossTrackNm, -2.5, 2.5) * 4096));
    put16le(f, 20, I16(descending ? std::clamp((s.altitudeFt - s.altitudeBugFt) / 500, -2.5, 2.5) * 4096 : 0));
    put16le(f, 22, Tenths360(s.courseDeg));
    put32le(f, 24, I32(s.altitudeBugFt));
    put32le(f, 28, I32(wpMetres / 100));
    put16le(f, 40, Tenths360(wpBearing));
    put16le(f, 42, Tenths360(radial[0]));
    put16le(f, 44, Tenths360(radial[1]));
    put16le(f, 46, U16(dme[0] / 100));
    put16le(f, 48, U16(dme[1] / 100));
    const double wobble = std::sin(m.Second() * 0.21);
    if (ils) {
        put16le(f, 50, I16(0.3 * wobble * 4096));
        put16le(f, 52, I16(0.2 * std::cos(m.Second() * 0.17) * 4096));
    }
    if (gls) {
        put16le(f, 54, I16(0.25 * wobble * 4096));
        put16le(f, 56, I16(-0.15 * std::cos(m.Second() * 0.13) * 4096));
    }
    return Seal(f, n);
}

}  // namespace krelby::gen
