#include "replay/data_items.h"

#include <deque>
#include <string>
#include <vector>

#include "format/bytes.h"
#include "format/frame.h"
#include "format/messages.h"
#include "replay/item_reader.h"
#include "replay/units.h"

namespace krelby {
namespace {

using Flt = FlightMessage;
using G = GpsMessage;
using At = AttitudeMessage;
using Nav = NavigationMessage;
using E = EngineMessage;
using In = InputsMessage;

// A row of the table as written: one check box, its place in the dialog and its item.
struct Row {
    uint8_t box;
    const char* caption;
    Place place;
    Source source = Source::None;
    const char* title = "";
    Axis axis = Axis::Number;
    uint8_t column = 0;
    const char* name = "";  // the CSV column's
    size_t offset = 0;
    Raw raw = Raw::U8;
    uint8_t bit = 0;
    Conv conv = Conv::None;
    std::array<uint8_t, 2> text = {0, 0};  // FixedText P/D; {0, 0}: IntegerText
};

constexpr std::array<uint8_t, 2> Fixed(uint8_t p, uint8_t d) { return {p, d}; }

// Pages of the dialog, in tab order.
enum Page : uint8_t { kPrimary, kAttitude, kGps, kNavigation, kZeda1, kZeda2, kZeda3, kZeda4, kFuel, kInputs };

// The boxes written out one by one, each message's items in the order of decoding. The
// heading bug and the altitude bug have CSV columns of their own (181, 182), so that ticking
// them beside the track deviation or the HSI source type loses nothing.
constexpr Row kRows[] = {
    {.box = 1, .caption = "Pressure altitude", .place = {kPrimary, 0, 0}, .source = Source::Flight, .title = "PALT", .axis = Axis::Altitude, .column = 0, .name = "PAltitude", .offset = Flt::kPAltitude, .raw = Raw::I32, .conv = Conv::Altitude},
    {.box = 2, .caption = "Altitude (Baro corrected)", .place = {kPrimary, 0, 1}, .source = Source::Flight, .title = "BALT", .axis = Axis::Altitude, .column = 1, .name = "BAltitude", .offset = Flt::kBAltitude, .raw = Raw::I32, .conv = Conv::Altitude},
    {.box = 3, .caption = "Airspeed (ASI)", .place = {kPrimary, 0, 2}, .source = Source::Flight, .title = "ASI", .axis = Axis::Speed, .column = 2, .name = "ASI", .offset = Flt::kASI, .raw = Raw::U16, .conv = Conv::Speed},
    {.box = 4, .caption = "True airspeed (TAS)", .place = {kPrimary, 0, 3}, .source = Source::Flight, .title = "TAS", .axis = Axis::Speed, .column = 3, .name = "TAS", .offset = Flt::kTAS, .raw = Raw::U16, .conv = Conv::Speed},
    {.box = 5, .caption = "Angle of attack (AOA)", .place = {kPrimary, 0, 4}, .source = Source::Flight, .title = "AOA", .axis = Axis::AngleOfAttack, .column = 4, .name = "AOA", .offset = Flt::kAOA, .raw = Raw::I16, .conv = Conv::Tenths, .text = Fixed(1, 3)},
    {.box = 6, .caption = "Vertical speed (VSI)", .place = {kPrimary, 0, 5}, .source = Source::Flight, .title = "VSI", .axis = Axis::VerticalSpeed, .column = 5, .name = "VSI", .offset = Flt::kVSI, .raw = Raw::I16, .conv = Conv::VerticalSpeed},
    {.box = 7, .caption = "Actual barometric pressure", .place = {kPrimary, 0, 6}, .source = Source::Flight, .title = "Baro", .axis = Axis::Pressure, .column = 6, .name = "Baro", .offset = Flt::kBaro, .raw = Raw::U16, .conv = Conv::Baro, .text = Fixed(7, 5)},
    {.box = 8, .caption = "Local pressure setting (QNH)", .place = {kPrimary, 0, 7}, .source = Source::Flight, .title = "QNH", .axis = Axis::Pressure, .column = 7, .name = "Local", .offset = Flt::kQNH, .raw = Raw::U16, .conv = Conv::Baro, .text = Fixed(7, 5)},
    {.box = 9, .caption = "Ambient temperature (OAT)", .place = {kPrimary, 0, 8}, .source = Source::Flight, .title = "OAT", .axis = Axis::AirTemperature, .column = 8, .name = "OAT", .offset = Flt::kOAT, .raw = Raw::I16, .conv = Conv::Temperature},
    {.box = 10, .caption = "Humidity", .place = {kPrimary, 0, 9}},

    {.box = 32, .caption = "Altitude (3D fix)", .place = {kGps, 0, 0}, .source = Source::Gps, .title = "GPSALT", .axis = Axis::Altitude, .column = 9, .name = "GPSAltitude", .offset = G::kGPSAltitude, .raw = Raw::I32, .conv = Conv::Altitude},
    {.box = 33, .caption = "Altitude above ground (AGL)", .place = {kGps, 0, 1}, .source = Source::Gps, .title = "AGL", .axis = Axis::Altitude, .column = 10, .name = "AGL", .offset = G::kAGL, .raw = Raw::I32, .conv = Conv::Altitude},
    {.box = 34, .caption = "Vertical velocity (from NED)", .place = {kGps, 0, 2}, .source = Source::Gps, .title = "GPSVSI", .axis = Axis::VerticalSpeed, .column = 11, .name = "DownVelocity", .offset = G::kDownVelocity, .raw = Raw::I32, .conv = Conv::NegVerticalSpeed},
    {.box = 35, .caption = "Ground speed (GS)", .place = {kGps, 0, 3}, .source = Source::Gps, .title = "GS", .axis = Axis::Speed, .column = 12, .name = "Groundspeed", .offset = G::kGroundspeed, .raw = Raw::U16, .conv = Conv::Speed},
    {.box = 36, .caption = "Track (true)", .place = {kGps, 0, 4}, .source = Source::Gps, .title = "Track", .axis = Axis::Angle, .column = 13, .name = "TrackTrue", .offset = G::kTrackTrue, .raw = Raw::U16, .conv = Conv::Tenths, .text = Fixed(7, 1)},
    {.box = 37, .caption = "Variation", .place = {kGps, 0, 5}, .source = Source::Gps, .title = "VAR", .axis = Axis::Angle, .column = 14, .name = "Variation", .offset = G::kVariation, .raw = Raw::I16, .conv = Conv::Tenths, .text = Fixed(7, 1)},
    {.box = 38, .caption = "Satellites tracked", .place = {kGps, 0, 6}, .source = Source::Gps, .title = "Tracked", .axis = Axis::Number, .column = 15, .name = "SatellitesTracked", .offset = G::kSatellitesTracked, .raw = Raw::U8},
    {.box = 39, .caption = "RAIM_HError", .place = {kGps, 0, 7}, .source = Source::Gps, .title = "RaimH", .axis = Axis::Quantity, .column = 16, .name = "RAIM Horizontal", .offset = G::kRaimH, .raw = Raw::U8},
    {.box = 40, .caption = "RAIM_VError", .place = {kGps, 0, 8}, .source = Source::Gps, .title = "RaimV", .axis = Axis::Quantity, .column = 17, .name = "RAIM Vertical", .offset = G::kRaimV, .raw = Raw::U8},
    {.box = kPositionCheckBox, .caption = "Position (CSV file only)", .place = {kGps, 1, 0}, .source = Source::Position, .column = kPositionColumn},

    {.box = 41, .caption = "Heading (Magnetic, compass)", .place = {kAttitude, 0, 0}, .source = Source::Attitude, .title = "MAG", .axis = Axis::Angle, .column = 19, .name = "HeadingMAG", .offset = At::kHeadingMAG, .raw = Raw::U16, .conv = Conv::Tenths, .text = Fixed(7, 1)},
    {.box = 42, .caption = "AHRS Pitch angle", .place = {kAttitude, 0, 1}, .source = Source::Attitude, .title = "Pitch", .axis = Axis::Angle, .column = 20, .name = "AHRSPitch", .offset = At::kAHRSPitch, .raw = Raw::I16, .conv = Conv::Tenths, .text = Fixed(7, 1)},
    {.box = 43, .caption = "AHRS Bank angle", .place = {kAttitude, 0, 2}, .source = Source::Attitude, .title = "Bank", .axis = Axis::Angle, .column = 21, .name = "AHRSBank", .offset = At::kAHRSBank, .raw = Raw::I16, .conv = Conv::Tenths, .text = Fixed(7, 1)},
    {.box = 44, .caption = "AHRS Yaw angle", .place = {kAttitude, 0, 3}, .source = Source::Attitude, .title = "Yaw", .axis = Axis::Angle, .column = 22, .name = "AHRSYAW", .offset = At::kAHRSYAW, .raw = Raw::I16, .conv = Conv::Tenths, .text = Fixed(7, 1)},
    {.box = 45, .caption = "AHRS Turn rate", .place = {kAttitude, 0, 4}, .source = Source::Attitude, .title = "Turnrate", .axis = Axis::Number, .column = 23, .name = "TurnRate", .offset = At::kTurnRate, .raw = Raw::I16, .conv = Conv::Tenths, .text = Fixed(7, 1)},
    {.box = 46, .caption = "AHRS Slip", .place = {kAttitude, 0, 5}, .source = Source::Attitude, .title = "Slip", .axis = Axis::Number, .column = 24, .name = "Slip", .offset = At::kSlip, .raw = Raw::I16},
    {.box = 47, .caption = "AHRS Acceleration up/down axis", .place = {kAttitude, 0, 6}, .source = Source::Attitude, .title = "G_UD", .axis = Axis::Number, .column = 25, .name = "GForce", .offset = At::kGForce, .raw = Raw::I16, .conv = Conv::Hundredths, .text = Fixed(7, 2)},
    {.box = 48, .caption = "AHRS Acceleration left/right axis", .place = {kAttitude, 0, 7}, .source = Source::Attitude, .title = "G_LR", .axis = Axis::Number, .column = 26, .name = "LRForce", .offset = At::kLRForce, .raw = Raw::I16, .conv = Conv::Hundredths, .text = Fixed(7, 2)},
    {.box = 49, .caption = "AHRS acceleration front/rear axis", .place = {kAttitude, 0, 8}, .source = Source::Attitude, .title = "G_FB", .axis = Axis::Number, .column = 27, .name = "FRForce", .offset = At::kFRForce, .raw = Raw::I16, .conv = Conv::Hundredths, .text = Fixed(7, 2)},
    {.box = 50, .caption = "AHRS Bank rate", .place = {kAttitude, 1, 0}, .source = Source::Attitude, .title = "Bankrate", .axis = Axis::Angle, .column = 28, .name = "BankRate", .offset = At::kBankRate, .raw = Raw::I16, .conv = Conv::Rate, .text = Fixed(7, 2)},
    {.box = 51, .caption = "AHRS Pitch rate", .place = {kAttitude, 1, 1}, .source = Source::Attitude, .title = "Pitchrate", .axis = Axis::Angle, .column = 29, .name = "PitchRate", .offset = At::kPitchRate, .raw = Raw::I16, .conv = Conv::Rate, .text = Fixed(7, 2)},
    {.box = 52, .caption = "AHRS Yaw rate", .place = {kAttitude, 1, 2}, .source = Source::Attitude, .title = "Yawrate", .axis = Axis::Angle, .column = 30, .name = "YawRate", .offset = At::kYawRate, .raw = Raw::I16, .conv = Conv::Rate, .text = Fixed(7, 2)},

    {.box = 95, .caption = "HSI valid", .place = {kNavigation, 0, 0}, .source = Source::Navigation, .title = "HSI_Valid", .axis = Axis::Digital, .column = 154, .name = "HSI_Valid", .offset = Nav::kNavFlags, .raw = Raw::Bit16, .bit = 0},
    {.box = 96, .caption = "VNAV valid", .place = {kNavigation, 1, 0}, .source = Source::Navigation, .title = "VNAV_Valid", .axis = Axis::Digital, .column = 155, .name = "VNAV_Valid", .offset = Nav::kNavFlags, .raw = Raw::Bit16, .bit = 1},
    {.box = 117, .caption = "GPS Waypoint active", .place = {kNavigation, 0, 7}, .source = Source::Navigation, .title = "WP_Valid", .axis = Axis::Digital, .column = 156, .name = "WP_Valid", .offset = Nav::kNavFlags, .raw = Raw::Bit16, .bit = 2},
    {.box = 100, .caption = "Autopilot engaged", .place = {kNavigation, 2, 0}, .source = Source::Navigation, .title = "AP_Engaged", .axis = Axis::Digital, .column = 157, .name = "AP_Engaged", .offset = Nav::kNavFlags, .raw = Raw::Bit16, .bit = 3},
    {.box = 108, .caption = "VOR 1 valid", .place = {kNavigation, 3, 2}, .source = Source::Navigation, .title = "VOR1_Valid", .axis = Axis::Digital, .column = 158, .name = "VOR1_Valid", .offset = Nav::kNavFlags, .raw = Raw::Bit16, .bit = 4},
    {.box = 109, .caption = "VOR 2 valid", .place = {kNavigation, 3, 3}, .source = Source::Navigation, .title = "VOR2_Valid", .axis = Axis::Digital, .column = 159, .name = "VOR2_Valid", .offset = Nav::kNavFlags, .raw = Raw::Bit16, .bit = 5},
    {.box = 191, .caption = "DME 1 valid", .place = {kNavigation, 3, 4}, .source = Source::Navigation, .title = "DME1_Valid", .axis = Axis::Digital, .column = 160, .name = "DME1_Valid", .offset = Nav::kNavFlags, .raw = Raw::Bit16, .bit = 6},
    {.box = 192, .caption = "DME 2 valid", .place = {kNavigation, 3, 5}, .source = Source::Navigation, .title = "DME2_Valid", .axis = Axis::Digital, .column = 161, .name = "DME2_Valid", .offset = Nav::kNavFlags, .raw = Raw::Bit16, .bit = 7},
    {.box = 110, .caption = "ILS valid", .place = {kNavigation, 3, 6}, .source = Source::Navigation, .title = "ILS_Valid", .axis = Axis::Digital, .column = 162, .name = "ILS_Valid", .offset = Nav::kNavFlags, .raw = Raw::Bit16, .bit = 8},
    {.box = 111, .caption = "Glideslope valid", .place = {kNavigation, 3, 7}, .source = Source::Navigation, .title = "GS_Valid", .axis = Axis::Digital, .column = 163, .name = "GS_Valid", .offset = Nav::kNavFlags, .raw = Raw::Bit16, .bit = 9},
    {.box = 113, .caption = "GLS Active", .place = {kNavigation, 2, 10}, .source = Source::Navigation, .title = "GLS_Valid", .axis = Axis::Digital, .column = 164, .name = "GLS_Valid", .offset = Nav::kNavFlags, .raw = Raw::Bit16, .bit = 10},
    {.box = 92, .caption = "HSI needle angle", .place = {kNavigation, 0, 1}, .source = Source::Navigation, .title = "HSI_Angle", .axis = Axis::Angle, .column = 165, .name = "HSI_Angle", .offset = Nav::kHSI_Angle, .raw = Raw::I16, .conv = Conv::Tenths, .text = Fixed(7, 1)},
    {.box = 93, .caption = "HSI rose angle", .place = {kNavigation, 0, 2}, .source = Source::Navigation, .title = "HSI_Rose", .axis = Axis::Angle, .column = 166, .name = "HSI_Rose", .offset = Nav::kHSI_Rose, .raw = Raw::U16, .conv = Conv::Tenths, .text = Fixed(7, 1)},
    {.box = 94, .caption = "Track deviation", .place = {kNavigation, 0, 3}, .source = Source::Navigation, .title = "HSI_Dev", .axis = Axis::Deviation, .column = 167, .name = "HSI_Dev", .offset = Nav::kHSI_Dev, .raw = Raw::I16, .conv = Conv::Deviation, .text = Fixed(7, 4)},
    {.box = 98, .caption = "HSI source type", .place = {kNavigation, 0, 4}, .source = Source::Navigation, .title = "HSI_SRC", .axis = Axis::Number, .column = 168, .name = "HSI_SRC", .offset = Nav::kHSI_SRC, .raw = Raw::U8},
    {.box = 101, .caption = "Heading bug", .place = {kNavigation, 0, 5}, .source = Source::Navigation, .title = "HeadingBug", .axis = Axis::Angle, .column = 181, .name = "Headingbug", .offset = Nav::kHeadingBug, .raw = Raw::I16, .conv = Conv::Tenths, .text = Fixed(7, 1)},
    {.box = 102, .caption = "Altimeter bug", .place = {kNavigation, 0, 6}, .source = Source::Navigation, .title = "AltitudeBug", .axis = Axis::Altitude, .column = 182, .name = "AltitudeBug", .offset = Nav::kAltitudeBug, .raw = Raw::I32},
    {.box = 119, .caption = "GPS true track to waypoint", .place = {kNavigation, 0, 9}, .source = Source::Navigation, .title = "WPTrack", .axis = Axis::Angle, .column = 169, .name = "WPTrack", .offset = Nav::kWPTrack, .raw = Raw::I16, .conv = Conv::Tenths, .text = Fixed(7, 1)},
    {.box = 118, .caption = "GPS Distance to waypoint", .place = {kNavigation, 0, 8}, .source = Source::Navigation, .title = "WPDist", .axis = Axis::Quantity, .column = 170, .name = "WPDist", .offset = Nav::kWPDist, .raw = Raw::I32, .conv = Conv::Speed, .text = Fixed(7, 1)},
    {.box = 97, .caption = "Vertical deviation", .place = {kNavigation, 1, 1}, .source = Source::Navigation, .title = "VNAV_Dev", .axis = Axis::Deviation, .column = 171, .name = "VNAV_Dev", .offset = Nav::kVNAV_Dev, .raw = Raw::I16, .conv = Conv::Deviation, .text = Fixed(7, 4)},
    {.box = 99, .caption = "VNAV source type", .place = {kNavigation, 1, 2}, .source = Source::Navigation, .title = "VNAV_SRC", .axis = Axis::Number, .column = 172, .name = "VNAV_SRC", .offset = Nav::kVNAV_SRC, .raw = Raw::U8},
    {.box = 104, .caption = "VOR 1 Radial", .place = {kNavigation, 2, 2}, .source = Source::Navigation, .title = "VOR1_Rad", .axis = Axis::Angle, .column = 173, .name = "VOR1_Rad", .offset = Nav::kVOR1_Rad, .raw = Raw::I16, .conv = Conv::Tenths, .text = Fixed(7, 1)},
    {.box = 105, .caption = "VOR 2 Radial", .place = {kNavigation, 2, 3}, .source = Source::Navigation, .title = "VOR2_Rad", .axis = Axis::Angle, .column = 174, .name = "VOR2_Rad", .offset = Nav::kVOR2_Rad, .raw = Raw::I16, .conv = Conv::Tenths, .text = Fixed(7, 1)},
    {.box = 115, .caption = "DME 1", .place = {kNavigation, 2, 4}, .source = Source::Navigation, .title = "DME1_Dist", .axis = Axis::Quantity, .column = 175, .name = "DME1_Dist", .offset = Nav::kDME1_Dist, .raw = Raw::U16, .conv = Conv::Speed, .text = Fixed(7, 1)},
    {.box = 116, .caption = "DME 2", .place = {kNavigation, 2, 5}, .source = Source::Navigation, .title = "DME2_Dist", .axis = Axis::Quantity, .column = 176, .name = "DME2_Dist", .offset = Nav::kDME2_Dist, .raw = Raw::U16, .conv = Conv::Speed, .text = Fixed(7, 1)},
    {.box = 106, .caption = "ILS deviation", .place = {kNavigation, 2, 6}, .source = Source::Navigation, .title = "ILS_Dev", .axis = Axis::Deviation, .column = 177, .name = "ILS_Dev", .offset = Nav::kILS_Dev, .raw = Raw::I16, .conv = Conv::Deviation, .text = Fixed(7, 4)},
    {.box = 107, .caption = "Glideslope deviation", .place = {kNavigation, 2, 7}, .source = Source::Navigation, .title = "GS_Dev", .axis = Axis::Deviation, .column = 178, .name = "GS_Dev", .offset = Nav::kGS_Dev, .raw = Raw::I16, .conv = Conv::Deviation, .text = Fixed(7, 4)},
    {.box = 112, .caption = "GLS horizontal deviation", .place = {kNavigation, 2, 8}, .source = Source::Navigation, .title = "GLSH_Dev", .axis = Axis::Deviation, .column = 179, .name = "GLSH_Dev", .offset = Nav::kGLSH_Dev, .raw = Raw::I16, .conv = Conv::Deviation, .text = Fixed(7, 4)},
    {.box = 114, .caption = "GLS vertical deviation", .place = {kNavigation, 2, 9}, .source = Source::Navigation, .title = "GLSV_Dev", .axis = Axis::Deviation, .column = 180, .name = "GLSV_Dev", .offset = Nav::kGLSV_Dev, .raw = Raw::I16, .conv = Conv::Deviation, .text = Fixed(7, 4)},
    {.box = 103, .caption = "Autopilot vertical mode", .place = {kNavigation, 2, 1}},
};

// The ten engine quantities of every monitor, in the order of decoding, and where each
// stands in its monitor's page. `columnFromBase` counts from the monitor's base column; the
// pulse item's own column comes from the monitor table.
struct EngineQuantity {
    const char* caption;
    const char* stem;
    uint8_t row;
    Axis axis;
    uint8_t columnFromBase;
    uint8_t offset;
    Raw raw;
    Conv conv;
    std::array<uint8_t, 2> text;
};
constexpr std::array<EngineQuantity, kEngineQuantities> kQuantityTable = {{
    {"RPM", "RPM", 0, Axis::Rpm, 0, E::kRpm, Raw::U16, Conv::None, {0, 0}},
    {"RPM 2 / Pulse / Rotor", "PULSE", 1, Axis::Rpm, 0, E::kPulse, Raw::U16, Conv::None, {0, 0}},
    {"Oil pressure", "OILP", 2, Axis::EnginePressure, 1, E::kOilPressure, Raw::U16, Conv::EnginePressure, {7, 1}},
    {"Fuel pressure", "FP", 3, Axis::EnginePressure, 2, E::kFuelPressure, Raw::U16, Conv::EnginePressure, {7, 1}},
    {"Oil temp", "OILT", 5, Axis::EngineTemperature, 3, E::kOilTemp, Raw::I16, Conv::Temperature, {7, 1}},
    {"Coolant temp", "COOL", 4, Axis::EngineTemperature, 4, E::kCoolantTemp, Raw::I16, Conv::Temperature, {7, 1}},
    {"Aux 1 temp", "AUX1", 6, Axis::EngineTemperature, 5, E::kAux1Temp, Raw::I16, Conv::Temperature, {7, 1}},
    {"Aux 2 temp", "AUX2", 7, Axis::EngineTemperature, 6, E::kAux2Temp, Raw::I16, Conv::Temperature, {7, 1}},
    {"Fuel flow", "FF", 8, Axis::Quantity, 7, E::kFuelFlow, Raw::U16, Conv::FuelFlow, {7, 2}},
    {"MAP", "MAP", 9, Axis::Pressure, 8, E::kManifoldPressure, Raw::U16, Conv::Manifold, {7, 1}},
}};
constexpr int kPulse = 1;
// Two more rows of each monitor's page, for quantities no message carries.
constexpr std::array<const char*, 2> kUnrecorded = {"Current", "Carb temp"};

// Per-monitor attributes. Each pulse item has a column of its own (208-211) instead of
// sharing the RPM column, where it would overwrite the RPM values.
struct EngineMonitor {
    std::array<uint8_t, kEngineQuantities> checkBoxes;  // in the order of kQuantityTable
    std::array<uint8_t, 2> unrecordedBoxes;
    uint8_t firstThermocoupleBox;
    uint8_t baseColumn;
    uint8_t pulseColumn;
    const char* pulseColumnName;
};
constexpr std::array<EngineMonitor, kEngineMonitors> kMonitorTable = {{
    {{11, 210, 12, 13, 15, 14, 16, 17, 18, 19}, {120, 121}, 20, 31, 208, "PULSE_1"},
    {{122, 211, 123, 124, 126, 125, 127, 128, 129, 130}, {131, 132}, 133, 52, 209, "PULSE_2"},
    {{145, 212, 146, 147, 149, 148, 150, 151, 152, 153}, {154, 155}, 156, 73, 210, "PULSE_3"},
    {{168, 213, 169, 170, 172, 171, 173, 174, 175, 176}, {177, 178}, 179, 94, 211, "Pulse_4"},
}};

struct ThermocoupleKindAttr {
    const char* prefix;
    Axis axis;
};
constexpr std::array<ThermocoupleKindAttr, 3> kThermocoupleKinds = {
    {{"EGT", Axis::Egt}, {"CHT", Axis::Cht}, {"TC", Axis::EngineTemperature}}};

constexpr std::array<const char*, 4> kFuelCaptions = {"Fuel level tank 1", "Fuel level tank 2", "Fuel level calc 1",
                                                      "Fuel level calc 2"};

// Titles and captions built once at first use; the tables point into this pool for the run.
std::string_view Keep(std::string text) {
    static std::deque<std::string> pool;
    return pool.emplace_back(std::move(text));
}

// prefix, n in decimal, then ending: "EGT" 3 "_1" gives EGT3_1.
std::string_view Numbered(std::string_view prefix, int n, std::string_view ending = {}) {
    std::string s(prefix);
    s += std::to_string(n);
    s += ending;
    return Keep(std::move(s));
}

constexpr uint8_t U8(size_t v) { return static_cast<uint8_t>(v); }

// Everything the table and the decoders' lists are made of, built once.
struct Tables {
    std::array<ItemBox, 213> boxes{};
    std::vector<DataItem> flight, gps, attitude, navigation, inputs;
    std::array<EngineMonitorItems, kEngineMonitors> engine{};
    std::array<DataItem, kFuelEntries> fuel{};

    void Add(const ItemBox& b) { boxes[b.checkBox - 1] = b; }

    Tables() {
        for (const Row& r : kRows) {
            const DataItem item{r.box, r.title, r.axis, r.column, r.name, U8(r.offset), r.raw, r.bit,
                                r.conv, r.text[0], r.text[1]};
            Add({r.box, r.caption, r.place, r.source, 0, 0, item});
            switch (r.source) {
                case Source::Flight: flight.push_back(item); break;
                case Source::Gps: gps.push_back(item); break;
                case Source::Attitude: attitude.push_back(item); break;
                case Source::Navigation: navigation.push_back(item); break;
                default: break;
            }
        }
        AddEngines();
        AddFuel();
        AddInputs();
    }

    void AddEngines() {
        for (int m = 0; m < kEngineMonitors; ++m) {
            const EngineMonitor& mon = kMonitorTable[m];
            const uint8_t page = U8(kZeda1 + m);
            const std::string_view ending = Numbered("_", m + 1);
            for (int q = 0; q < kEngineQuantities; ++q) {
                const EngineQuantity& e = kQuantityTable[q];
                const std::string_view title = Keep(std::string(e.stem).append(ending));
                const bool pulse = q == kPulse;
                const DataItem item{mon.checkBoxes[q], title, e.axis,
                                    U8(pulse ? mon.pulseColumn : mon.baseColumn + e.columnFromBase),
                                    pulse ? std::string_view(mon.pulseColumnName) : title,
                                    e.offset, e.raw, 0, e.conv, e.text[0], e.text[1]};
                engine[m].quantities[q] = item;
                Add({item.checkBox, e.caption, {page, 0, e.row}, Source::Engine, U8(m + 1), 0, item});
            }
            for (int u = 0; u < 2; ++u)
                Add({mon.unrecordedBoxes[u], kUnrecorded[u], {page, 0, U8(kEngineQuantities + u)}, Source::None, 0, 0, {}});
            for (int n = 1; n <= kThermocoupleInputs; ++n) {
                const uint8_t box = U8(mon.firstThermocoupleBox + n - 1);
                for (int k = 0; k < 3; ++k) {
                    const std::string_view title = Numbered(kThermocoupleKinds[k].prefix, n, ending);
                    engine[m].thermocouples[n - 1].byKind[k] = {
                        box, title, kThermocoupleKinds[k].axis, U8(mon.baseColumn + 8 + n), title,
                        U8(EngineMessage::TcOffset(n)), Raw::I16, 0, Conv::Temperature, 7, 1};
                }
                Add({box, Numbered("TC", n), {page, 1, U8(n - 1)}, Source::Engine, U8(m + 1), U8(n),
                     engine[m].thermocouples[n - 1].byKind[0]});
            }
        }
    }

    void AddFuel() {
        for (int k = 1; k <= kFuelEntries; ++k) {
            const std::string_view title = Numbered("Fuel_", k);
            const DataItem item{U8(52 + k), title, Axis::Fuel, U8(114 + k), title,
                                U8(FuelMessage::LevelOffset(k)), Raw::I32, 0, Conv::FuelLevel, 7, 1};
            fuel[k - 1] = item;
            Add({item.checkBox, kFuelCaptions[(k - 1) % 4], {kFuel, U8((k - 1) / 4), U8((k - 1) % 4)}, Source::Fuel,
                 0, 0, item});
        }
    }

    void AddInputs() {
        for (int n = 1; n <= 16; ++n) {
            const bool extender = n > 8;
            const uint8_t row = U8((n - 1) % 8);
            const std::string_view digital = Numbered("Dig_", n), analog = Numbered("Ana_", n);
            const DataItem d{U8(extender ? 185 + n : 68 + n), digital, Axis::Digital,
                             U8(extender ? 183 + n : 130 + n), digital, U8(In::kDigitalInputs), Raw::Bit32,
                             U8(n - 1), Conv::None, 0, 0,
                             extender ? Presence::DigitalCount : Presence::Always};
            const DataItem a{U8(extender ? 193 + n : 76 + n), analog, Axis::Analog,
                             U8(extender ? 191 + n : 138 + n), analog, U8(In::AnalogOffset(n)), Raw::U16, 0,
                             Conv::None, 0, 0, extender ? Presence::AnalogCount : Presence::Always};
            inputs.push_back(d);
            inputs.push_back(a);
            Add({d.checkBox, Numbered("Input ", n, " as digital"), {kInputs, U8(extender ? 2 : 0), row},
                 Source::Inputs, 0, 0, d});
            Add({a.checkBox, Numbered("Input ", n, " as analog"), {kInputs, U8(extender ? 3 : 1), row},
                 Source::Inputs, 0, 0, a});
        }
        for (int g = 1; g <= 3; ++g) {
            const std::string_view title = Numbered("Gear_", g);
            const DataItem item{U8(88 + g), title, Axis::Digital, U8(146 + g), title, U8(In::GearOffset(g)), Raw::U8,
                                0, Conv::None, 0, 0};
            inputs.push_back(item);
            Add({item.checkBox, Numbered("Gear ", g, " state"), {kInputs, 4, U8(3 + g)}, Source::Inputs, 0, 0, item});
        }
        const struct { uint8_t box; const char* title; const char* caption; size_t offset; } trims[] = {
            {85, "Flaps", "Flap position", In::kFlaps},
            {86, "PitchTrim", "Pitch trim position", In::kPitchTrim},
            {87, "BankTrim", "Bank trim position", In::kBankTrim},
            {88, "YawTrim", "Yaw trim position", In::kYawTrim},
        };
        for (const auto& t : trims) {
            const DataItem item{t.box, t.title, Axis::Analog, U8(150 + t.box - 85), t.title, U8(t.offset), Raw::I16,
                                0, Conv::None, 0, 0};
            inputs.push_back(item);
            Add({t.box, t.caption, {kInputs, 4, U8(t.box - 85)}, Source::Inputs, 0, 0, item});
        }
    }
};

const Tables& Built() {
    static const Tables tables;
    return tables;
}

constexpr std::array<SelectionPageInfo, kSelectionPages> kPageInfos = {{
    {"Primary flight", {}, {}},
    {"Attitude", {}, {}},
    {"GPS", {}, {}},
    {"Navigation", {}, {}},
    {"ZEDA 1", {}, "Please select TC usage in Options"},
    {"ZEDA 2", {}, "Please select TC usage in Options"},
    {"ZEDA 3", {}, "Please select TC usage in Options"},
    {"ZEDA 4", {}, "Please select TC usage in Options"},
    {"Fuel levels", {"ZEDA 1", "ZEDA 2", "ZEDA 3", "ZEDA 4"}, {}},
    {"Inputs", {}, "Note: Inputs 9 to 16 are from a connected Zelvo extender connected via CAN bus"},
}};

}  // namespace

const std::array<ItemBox, 213>& ItemBoxes() { return Built().boxes; }
const std::array<SelectionPageInfo, kSelectionPages>& SelectionPageInfos() { return kPageInfos; }
std::span<const DataItem> FlightItems() { return Built().flight; }
std::span<const DataItem> GpsItems() { return Built().gps; }
std::span<const DataItem> AttitudeItems() { return Built().attitude; }
std::span<const DataItem> NavigationItems() { return Built().navigation; }
std::span<const DataItem> InputItems() { return Built().inputs; }
const std::array<EngineMonitorItems, kEngineMonitors>& EngineItems() { return Built().engine; }
const std::array<DataItem, kFuelEntries>& FuelItems() { return Built().fuel; }

int Width(Raw r) {
    switch (r) {
        case Raw::U8: return 1;
        case Raw::I16:
        case Raw::U16:
        case Raw::Bit16: return 2;
        case Raw::I32:
        case Raw::Bit32: return 4;
    }
    return 4;
}

std::optional<UnitQuantity> UnitQuantityOf(const DataItem& item) {
    switch (item.conv) {
        case Conv::Altitude: return UnitQuantity::Altitude;
        // Speeds on their axis; the navigation distances take the same choice.
        case Conv::Speed: return item.axis == Axis::Speed ? UnitQuantity::Speed : UnitQuantity::Distance;
        case Conv::VerticalSpeed:
        case Conv::NegVerticalSpeed: return UnitQuantity::VerticalSpeed;
        case Conv::Baro: return UnitQuantity::BaroPressure;
        case Conv::Manifold: return UnitQuantity::ManifoldPressure;
        case Conv::Temperature: return UnitQuantity::Temperature;
        case Conv::EnginePressure: return UnitQuantity::EnginePressure;
        case Conv::FuelFlow: return UnitQuantity::FuelFlow;
        case Conv::FuelLevel: return UnitQuantity::LiquidQuantity;
        default: return std::nullopt;
    }
}

ItemReader::ItemReader(const DataItem& item, const UnitSettings& units)
    : item_(&item), end_(uint8_t(item.offset + Width(item.raw))) {
    if (const auto q = ConversionQuantity(item.conv)) unit_ = &ShownUnit(*q, units);
    // The row's conversion leaves a value as it is: the same numbers as Evaluate gives.
    const bool unchanged = unit_ && unit_->multiplier == 1 && unit_->divisor == 1 && unit_->offset == 0;
    switch (item.conv) {
        case Conv::None: op_ = Op::Whole; break;
        case Conv::Tenths: op_ = Op::Divided, divisor_ = 10.0; break;
        case Conv::Hundredths: op_ = Op::Divided, divisor_ = 100.0; break;
        case Conv::Deviation: op_ = Op::Divided, divisor_ = 4096.0; break;
        case Conv::Altitude:
        case Conv::Speed:
        case Conv::Temperature: op_ = unchanged ? Op::Whole : Op::Scaled; break;
        case Conv::Baro:
        case Conv::EnginePressure:
        case Conv::Manifold: op_ = unchanged ? Op::Divided : Op::Scaled; break;
        case Conv::VerticalSpeed:
        case Conv::NegVerticalSpeed:
        case Conv::FuelFlow:
        case Conv::FuelLevel: op_ = unchanged ? Op::Other : Op::Scaled; break;
        case Conv::Rate: op_ = Op::Other; break;
    }
}

bool ReadItem(const DataItem& item, const uint8_t* frame, const UnitSettings& units, ItemValue& value) {
    return ItemReader(item, units).Read(frame, value);
}

}  // namespace krelby
