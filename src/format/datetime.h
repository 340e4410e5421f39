// Date-times as days since 1899-12-30 (a double, the fraction the time of day).
#pragma once
#include <cstdint>
#include <optional>
#include <string>

#include "base/regional.h"

namespace krelby {

constexpr double kOneMinute = 1.0 / 1440.0;
constexpr double kFiveSeconds = 5.0 / 86400.0;

// The proleptic Gregorian calendar: days since 1970-01-01 and back.
int DaysInMonth(int year, int month);
int64_t DaysFromCivil(int year, int month, int day);
void CivilFromDays(int64_t days, int& year, int& month, int& day);

// Calendar encoding; nullopt where the calendar rejects the value.
std::optional<double> EncodeDate(int year, int month, int day);
// In line: the replay and the import encode the time of every FlightMessage.
inline std::optional<double> EncodeTime(int hour, int minute, int second, int millisecond = 0) {
    if (hour < 0 || hour >= 24 || minute < 0 || minute >= 60 || second < 0 || second >= 60 ||
        millisecond < 0 || millisecond >= 1000)
        return std::nullopt;
    const int64_t ms = hour * 3600000LL + minute * 60000LL + second * 1000LL + millisecond;
    return static_cast<double>(ms) / 86400000.0;
}

struct DateTimeParts {
    int year, month, day, hour, minute, second, millisecond;
};
DateTimeParts DecodeDateTime(double t);
// The parts of a time in whole seconds since 1970-01-01 (the logbook's times).
DateTimeParts UnixTimeParts(int64_t seconds);

// "d/m/yy hh:mm:ss" with regional separators; at exactly midnight the time is left out.
std::string FormatShortDateTime(double t, const Regional& regional);
// "yyyy-MM-ddThh:nn:ss" (ISO 8601 without a zone; the milliseconds are left out).
std::string IsoText(const DateTimeParts& p);
// v in decimal digits, with zeros in front up to `width` characters (a '-' counts), like "%0*d"
// but never touched by the process locale.
void AppendPadded(std::string& out, int v, int width);
// "yyyy/MM/dd hh:nn:ss" with regional separators.
std::string FormatTimeStamp(double t, const Regional& regional);

}  // namespace krelby
