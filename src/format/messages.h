// Field readers of the seven messages, reading in place at frame offsets, little-endian.
// For the variable-length messages (FrameTypes 4, 10, 11) a field is present only when it
// lies wholly inside the data area (frame offsets 8 to L+15); absent fields are never read.
#pragma once
#include <cstddef>
#include <cstdint>

#include "base/recorded_units.h"
#include "format/bytes.h"
#include "format/datetime.h"

namespace krelby {

class FrameReader {
public:
    explicit FrameReader(const uint8_t* frame) : f_(frame) {}
    uint8_t Length() const { return f_[2]; }
    const uint8_t* Bytes() const { return f_; }
    // True when `width` bytes at frame offset `offset` lie inside the data area.
    bool Has(size_t offset, size_t width) const { return FieldPresent(offset, width, Length()); }

protected:
    const uint8_t* f_;
};

// FrameType 1, L = 24.
class FlightMessage : public FrameReader {
public:
    using FrameReader::FrameReader;
    // Frame offsets of the fields.
    static constexpr size_t kPAltitude = 8, kBAltitude = 12, kASI = 16, kTAS = 18, kAOA = 20,
                            kVSI = 22, kBaro = 24, kQNH = 26, kOAT = 28;
    static constexpr size_t kSecondOffset = 34;
    int32_t PAltitude() const { return i32le(f_, kPAltitude); }
    int32_t BAltitude() const { return i32le(f_, kBAltitude); }
    uint16_t ASI() const { return u16le(f_, kASI); }
    uint16_t TAS() const { return u16le(f_, kTAS); }
    int16_t AOA() const { return i16le(f_, kAOA); }
    int16_t VSI() const { return i16le(f_, kVSI); }
    uint16_t Baro() const { return u16le(f_, kBaro); }
    uint16_t QNH() const { return u16le(f_, kQNH); }
    int16_t OAT() const { return i16le(f_, kOAT); }
    uint8_t Hour() const { return f_[32]; }
    uint8_t Minute() const { return f_[33]; }
    uint8_t Second() const { return f_[34]; }
    uint8_t Day() const { return f_[35]; }
    uint8_t Month() const { return f_[36]; }
    uint8_t Year() const { return f_[37]; }
};

// FrameType 2, L = 36.
class GpsMessage : public FrameReader {
public:
    using FrameReader::FrameReader;
    // Frame offsets of the fields.
    static constexpr size_t kLatitude = 8, kLongitude = 12, kGPSAltitude = 16, kAGL = 20,
                            kDownVelocity = 32, kGroundspeed = 36, kTrackTrue = 38, kVariation = 40,
                            kSatellitesTracked = 43, kRaimH = 49, kRaimV = 50;
    int32_t Latitude() const { return i32le(f_, kLatitude); }
    int32_t Longitude() const { return i32le(f_, kLongitude); }
    int32_t GPSAltitude() const { return i32le(f_, kGPSAltitude); }
    int32_t AGL() const { return i32le(f_, kAGL); }
    int32_t DownVelocity() const { return i32le(f_, kDownVelocity); }
    uint16_t Groundspeed() const { return u16le(f_, kGroundspeed); }
    uint16_t TrackTrue() const { return u16le(f_, kTrackTrue); }
    int16_t Variation() const { return i16le(f_, kVariation); }
    uint8_t SatellitesTracked() const { return f_[kSatellitesTracked]; }
    uint8_t RaimH() const { return f_[kRaimH]; }
    uint8_t RaimV() const { return f_[kRaimV]; }
};

// FrameType 3, L = 20.
class AttitudeMessage : public FrameReader {
public:
    using FrameReader::FrameReader;
    // Frame offsets of the fields.
    static constexpr size_t kHeadingMAG = 8, kAHRSPitch = 10, kAHRSBank = 12, kAHRSYAW = 14,
                            kTurnRate = 16, kSlip = 18, kGForce = 20, kLRForce = 22, kFRForce = 24,
                            kBankRate = 26, kPitchRate = 28, kYawRate = 30;
    uint16_t HeadingMAG() const { return u16le(f_, kHeadingMAG); }
    int16_t AHRSPitch() const { return i16le(f_, kAHRSPitch); }
    int16_t AHRSBank() const { return i16le(f_, kAHRSBank); }
    int16_t AHRSYAW() const { return i16le(f_, kAHRSYAW); }
    int16_t TurnRate() const { return i16le(f_, kTurnRate); }
    int16_t Slip() const { return i16le(f_, kSlip); }
    int16_t GForce() const { return i16le(f_, kGForce); }
    int16_t LRForce() const { return i16le(f_, kLRForce); }
    int16_t FRForce() const { return i16le(f_, kFRForce); }
    int16_t BankRate() const { return i16le(f_, kBankRate); }
    int16_t PitchRate() const { return i16le(f_, kPitchRate); }
    int16_t YawRate() const { return i16le(f_, kYawRate); }
};

// FrameType 10, any L; L = 56 holds every field.
class EngineMessage : public FrameReader {
public:
    using FrameReader::FrameReader;
    static constexpr size_t kMonitorNumber = 8, kRpm = 12, kPulse = 14, kOilPressure = 16,
                            kFuelPressure = 20, kCoolantTemp = 22, kOilTemp = 24, kAux1Temp = 28,
                            kAux2Temp = 30, kFuelFlow = 36, kManifoldPressure = 40;
    static constexpr size_t TcOffset(int n) { return 48 + 2 * static_cast<size_t>(n - 1); }
    bool HasMonitorNumber() const { return Has(kMonitorNumber, 1); }
    uint8_t MonitorNumber() const { return f_[kMonitorNumber]; }
    uint16_t Rpm() const { return u16le(f_, kRpm); }
    uint16_t Pulse() const { return u16le(f_, kPulse); }
    uint16_t OilPressure() const { return u16le(f_, kOilPressure); }
    uint16_t FuelPressure() const { return u16le(f_, kFuelPressure); }
    int16_t CoolantTemp() const { return i16le(f_, kCoolantTemp); }
    int16_t OilTemp() const { return i16le(f_, kOilTemp); }
    int16_t Aux1Temp() const { return i16le(f_, kAux1Temp); }
    int16_t Aux2Temp() const { return i16le(f_, kAux2Temp); }
    uint16_t FuelFlow() const { return u16le(f_, kFuelFlow); }
    uint16_t ManifoldPressure() const { return u16le(f_, kManifoldPressure); }
    int16_t TC(int n) const { return i16le(f_, TcOffset(n)); }  // n = 1..12
};

// FrameType 11, any L, never checksum-tested.
class FuelMessage : public FrameReader {
public:
    using FrameReader::FrameReader;
    static constexpr size_t LevelOffset(int k) { return 12 + 8 * static_cast<size_t>(k - 1); }
    bool HasCount() const { return Has(8, 4); }
    int32_t FuelLevelCount() const { return i32le(f_, 8); }
    // Entries to read: the count clamped to 16, none when 0 or negative.
    int EntryCount() const {
        const int32_t n = FuelLevelCount();
        return n <= 0 ? 0 : (n > 16 ? 16 : n);
    }
    bool HasLevel(int k) const { return Has(LevelOffset(k), 4); }
    int32_t FuelLevel(int k) const { return i32le(f_, LevelOffset(k)); }  // k = 1..16
};

// FrameType 4, any L; L = 44 holds every field.
class InputsMessage : public FrameReader {
public:
    using FrameReader::FrameReader;
    static constexpr size_t kAnalogCount = 8, kDigitalCount = 9, kGear = 10, kFlaps = 16,
                            kPitchTrim = 18, kBankTrim = 20, kYawTrim = 22, kDigitalInputs = 24;
    static constexpr size_t AnalogOffset(int n) { return 28 + 2 * static_cast<size_t>(n - 1); }
    uint8_t AnalogInputCount() const { return f_[kAnalogCount]; }
    uint8_t DigitalInputCount() const { return f_[kDigitalCount]; }
    // Gear states 1..3: the unsigned bytes at frame offsets 10, 11 and 12.
    static constexpr size_t GearOffset(int g) { return kGear + static_cast<size_t>(g - 1); }
    uint8_t GearState(int g) const { return f_[GearOffset(g)]; }
    int16_t Flaps() const { return i16le(f_, kFlaps); }
    int16_t PitchTrim() const { return i16le(f_, kPitchTrim); }
    int16_t BankTrim() const { return i16le(f_, kBankTrim); }
    int16_t YawTrim() const { return i16le(f_, kYawTrim); }
    uint32_t DigitalInputs() const { return u32le(f_, kDigitalInputs); }
    int DigitalInput(int n) const { return (DigitalInputs() >> (n - 1)) & 1; }  // n = 1..16
    uint16_t AnalogInput(int n) const { return u16le(f_, AnalogOffset(n)); }   // n = 1..16
};

// FrameType 30, L = 44.
class NavigationMessage : public FrameReader {
public:
    using FrameReader::FrameReader;
    // Frame offsets of the fields.
    static constexpr size_t kNavFlags = 8, kHSI_SRC = 10, kVNAV_SRC = 11, kHSI_Angle = 14,
                            kHSI_Rose = 16, kHSI_Dev = 18, kVNAV_Dev = 20, kHeadingBug = 22,
                            kAltitudeBug = 24, kWPDist = 28, kWPTrack = 40, kVOR1_Rad = 42,
                            kVOR2_Rad = 44, kDME1_Dist = 46, kDME2_Dist = 48, kILS_Dev = 50,
                            kGS_Dev = 52, kGLSH_Dev = 54, kGLSV_Dev = 56;
    enum Flag : uint16_t {
        HSI_Valid = 0x0001, VNAV_Valid = 0x0002, WP_Valid = 0x0004, AP_Engaged = 0x0008,
        VOR1_Valid = 0x0010, VOR2_Valid = 0x0020, DME1_Valid = 0x0040, DME2_Valid = 0x0080,
        ILS_Valid = 0x0100, GS_Valid = 0x0200, GLS_Valid = 0x0400,
    };
    uint16_t NavFlags() const { return u16le(f_, kNavFlags); }
    int FlagValue(Flag f) const { return (NavFlags() & f) ? 1 : 0; }
    uint8_t HSI_SRC() const { return f_[kHSI_SRC]; }
    uint8_t VNAV_SRC() const { return f_[kVNAV_SRC]; }
    int16_t HSI_Angle() const { return i16le(f_, kHSI_Angle); }
    uint16_t HSI_Rose() const { return u16le(f_, kHSI_Rose); }
    int16_t HSI_Dev() const { return i16le(f_, kHSI_Dev); }
    int16_t VNAV_Dev() const { return i16le(f_, kVNAV_Dev); }
    int16_t HeadingBug() const { return i16le(f_, kHeadingBug); }
    int32_t AltitudeBug() const { return i32le(f_, kAltitudeBug); }
    int32_t WPDist() const { return i32le(f_, kWPDist); }
    int16_t WPTrack() const { return i16le(f_, kWPTrack); }
    int16_t VOR1_Rad() const { return i16le(f_, kVOR1_Rad); }
    int16_t VOR2_Rad() const { return i16le(f_, kVOR2_Rad); }
    uint16_t DME1_Dist() const { return u16le(f_, kDME1_Dist); }
    uint16_t DME2_Dist() const { return u16le(f_, kDME2_Dist); }
    int16_t ILS_Dev() const { return i16le(f_, kILS_Dev); }
    int16_t GS_Dev() const { return i16le(f_, kGS_Dev); }
    int16_t GLSH_Dev() const { return i16le(f_, kGLSH_Dev); }
    int16_t GLSV_Dev() const { return i16le(f_, kGLSV_Dev); }
};

// Latitudes and longitudes are recorded in 1/180000 degree.
constexpr int32_t kPositionUnitsPerDegree = 180000;
inline double PositionDegrees(int32_t v) { return v / static_cast<double>(kPositionUnitsPerDegree); }

// Whether a GpsMessage carries a position: not both coordinates 0, and on the globe.
// Tracks and distances skip the others rather than join them.
inline bool CarriesPosition(const GpsMessage& m) {
    constexpr int64_t kDegree = kPositionUnitsPerDegree;
    const int64_t lat = m.Latitude(), lon = m.Longitude();
    return !(lat == 0 && lon == 0) && lat >= -90 * kDegree && lat <= 90 * kDegree && lon >= -180 * kDegree &&
           lon <= 180 * kDegree;
}

// Real value of a CompressedRate field: hundredths below 15000, tenths above 150 from there.
inline double CompressedRate(int16_t v) {
    return v >= 15000 ? 150.0 + (v - 15000) / 10.0 : v / 100.0;
}

// Date-time of a FlightMessage (Second above 59 taken as 59).
enum class DateStatus { Ok, NoDate, InvalidDate, InvalidTime };
struct MessageTime {
    DateStatus status;
    double value;
};
// NoDate when Day or Month is 0 (the import neither times nor writes such a message);
// InvalidDate / InvalidTime when the calendar rejects it.
MessageTime MessageDateTime(const FlightMessage& m);

// MessageDateTime of one FlightMessage after another, the calendar's work on a date done once
// for the messages of one day: the same values to the bit, for the replay and the import.
class MessageClock {
public:
    MessageTime Of(const FlightMessage& m) {
        const uint32_t day = uint32_t{m.Day()} | uint32_t{m.Month()} << 8 | uint32_t{m.Year()} << 16;
        if (day != day_) NewDay(m, day);
        if (date_.status != DateStatus::Ok) return date_;
        const std::optional<double> time = EncodeTime(m.Hour(), m.Minute(), m.Second() > 59 ? 59 : m.Second());
        return time ? MessageTime{DateStatus::Ok, date_.value + *time} : MessageTime{DateStatus::InvalidTime, 0.0};
    }

private:
    void NewDay(const FlightMessage& m, uint32_t day);

    uint32_t day_ = UINT32_MAX;  // the date of the last message (day, month, year), and its value
    MessageTime date_{DateStatus::NoDate, 0.0};
};

}  // namespace krelby
