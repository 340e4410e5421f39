#include "replay/position_text.h"

#include <cmath>
#include <cstdint>

namespace krelby {
namespace {

// Whole digits, zero-padded to `width`.
std::string Digits(int64_t v, int width) {
    std::string s = std::to_string(v);
    return s.size() < size_t(width) ? std::string(size_t(width) - s.size(), '0') + s : s;
}

// One coordinate: its hemisphere letter, then the magnitude rounded once at the last digit
// shown, so that 59.9996' reads as the next degree, never as 60.000' (and a hair south of
// the equator as N 00°00.000').
std::string Coordinate(double degrees, char positive, char negative, int degreeDigits, PositionFormat format) {
    const double magnitude = std::abs(degrees);
    const int64_t perDegree = format == PositionFormat::Degrees ? 100000
                              : format == PositionFormat::DegreesMinutesSeconds ? 36000
                                                                                : 60000;
    const int64_t units = std::llround(magnitude * double(perDegree));
    std::string out(1, degrees < 0 && units > 0 ? negative : positive);
    out += ' ';
    switch (format) {
        case PositionFormat::Degrees:
            return out + std::to_string(units / perDegree) + "." + Digits(units % perDegree, 5) + "°";
        case PositionFormat::DegreesMinutesSeconds: {
            const int64_t seconds = units % 600;  // in tenths
            return out + std::to_string(units / perDegree) + "°" + Digits(units / 600 % 60, 2) + "'" +
                   Digits(seconds / 10, 2) + "." + std::to_string(seconds % 10) + "\"";
        }
        case PositionFormat::DegreesMinutes: break;
    }
    return out + Digits(units / perDegree, degreeDigits) + "°" + Digits(units % perDegree / 1000, 2) + "." +
           Digits(units % 1000, 3) + "'";
}

}  // namespace

PositionFormat PositionFormatOf(const UnitSettings& u) {
    if (u.GeoPos == 1) return PositionFormat::Degrees;
    if (u.GeoPos == 2) return PositionFormat::DegreesMinutesSeconds;
    return PositionFormat::DegreesMinutes;
}

std::string PositionText(double latitude, double longitude, PositionFormat format) {
    longitude = std::remainder(longitude, 360.0);  // within [-180, 180]
    const bool minutes = format == PositionFormat::DegreesMinutes;
    return Coordinate(latitude, 'N', 'S', minutes ? 2 : 1, format) + " " +
           Coordinate(longitude, 'E', 'W', minutes ? 3 : 1, format);
}

}  // namespace krelby
