#include "format/datetime.h"

#include <charconv>
#include <cmath>

#include "base/recorded_units.h"

namespace krelby {
namespace {

constexpr int64_t kMsPerDay = 86400000;

bool IsLeap(int y) { return (y % 4 == 0 && y % 100 != 0) || y % 400 == 0; }

}  // namespace

int DaysInMonth(int y, int m) {
    static const int days[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    return m == 2 && IsLeap(y) ? 29 : days[m - 1];
}

// Days from 1970-01-01 to y-m-d, proleptic Gregorian.
int64_t DaysFromCivil(int y, int m, int d) {
    y -= m <= 2;
    const int64_t era = (y >= 0 ? y : y - 399) / 400;
    const int64_t yoe = y - era * 400;
    const int64_t doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
    const int64_t doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + doe - 719468;  // days since 1970-01-01
}

namespace {
constexpr int64_t kEpoch = -static_cast<int64_t>(kUnixEpochDay);  // 1899-12-30, in days since 1970-01-01
}  // namespace

void CivilFromDays(int64_t z, int& y, int& m, int& d) {
    z += 719468;
    const int64_t era = (z >= 0 ? z : z - 146096) / 146097;
    const int64_t doe = z - era * 146097;
    const int64_t yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const int64_t doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const int64_t mp = (5 * doy + 2) / 153;
    d = static_cast<int>(doy - (153 * mp + 2) / 5 + 1);
    m = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
    y = static_cast<int>(yoe + era * 400 + (m <= 2));
}

std::optional<double> EncodeDate(int year, int month, int day) {
    if (year < 1 || year > 9999 || month < 1 || month > 12 || day < 1 ||
        day > DaysInMonth(year, month))
        return std::nullopt;
    return static_cast<double>(DaysFromCivil(year, month, day) - kEpoch);
}

DateTimeParts DecodeDateTime(double t) {
    // Whole milliseconds, like the platform's own decoding; negative values run backwards in days.
    const double days = std::trunc(t);
    int64_t msOfDay = std::llround(std::fabs(t - days) * static_cast<double>(kMsPerDay));
    int64_t day = static_cast<int64_t>(days);
    if (msOfDay >= kMsPerDay) {
        msOfDay -= kMsPerDay;
        day += t >= 0 ? 1 : -1;
    }
    DateTimeParts p{};
    CivilFromDays(day + kEpoch, p.year, p.month, p.day);
    p.hour = static_cast<int>(msOfDay / 3600000);
    p.minute = static_cast<int>(msOfDay / 60000 % 60);
    p.second = static_cast<int>(msOfDay / 1000 % 60);
    p.millisecond = static_cast<int>(msOfDay % 1000);
    return p;
}

DateTimeParts UnixTimeParts(int64_t seconds) {
    int64_t days = seconds / kSecondsPerDay;
    int64_t rest = seconds % kSecondsPerDay;
    if (rest < 0) {
        rest += kSecondsPerDay;
        --days;
    }
    DateTimeParts p{};
    CivilFromDays(days, p.year, p.month, p.day);
    p.hour = static_cast<int>(rest / 3600);
    p.minute = static_cast<int>(rest / 60 % 60);
    p.second = static_cast<int>(rest % 60);
    return p;
}

void AppendPadded(std::string& out, int v, int width) {
    char digits[16];
    const unsigned magnitude = v < 0 ? 0u - static_cast<unsigned>(v) : static_cast<unsigned>(v);
    const int n = static_cast<int>(std::to_chars(digits, digits + sizeof digits, magnitude).ptr - digits);
    if (v < 0) out += '-';
    const int pad = width - n - (v < 0 ? 1 : 0);
    if (pad > 0) out.append(static_cast<size_t>(pad), '0');
    out.append(digits, static_cast<size_t>(n));
}

std::string FormatShortDateTime(double t, const Regional& r) {
    const DateTimeParts p = DecodeDateTime(t);
    std::string s;
    AppendPadded(s, p.day, 0);
    s += r.dateSeparator;
    AppendPadded(s, p.month, 0);
    s += r.dateSeparator;
    AppendPadded(s, ((p.year % 100) + 100) % 100, 2);
    if (p.hour || p.minute || p.second || p.millisecond) {
        s += ' ';
        AppendPadded(s, p.hour, 2);
        s += r.timeSeparator;
        AppendPadded(s, p.minute, 2);
        s += r.timeSeparator;
        AppendPadded(s, p.second, 2);
    }
    return s;
}

std::string FormatTimeStamp(double t, const Regional& r) {
    // Written digit by digit: one such text starts every CSV row.
    const DateTimeParts p = DecodeDateTime(t);
    char buf[20];
    auto two = [&](int at, int v) {
        buf[at] = static_cast<char>('0' + v / 10 % 10);
        buf[at + 1] = static_cast<char>('0' + v % 10);
    };
    const int year = p.year < 0 ? 0 : p.year % 10000;
    two(0, year / 100);
    two(2, year % 100);
    buf[4] = r.dateSeparator;
    two(5, p.month);
    buf[7] = r.dateSeparator;
    two(8, p.day);
    buf[10] = ' ';
    two(11, p.hour);
    buf[13] = r.timeSeparator;
    two(14, p.minute);
    buf[16] = r.timeSeparator;
    two(17, p.second);
    return std::string(buf, 19);
}

std::string IsoText(const DateTimeParts& p) {
    std::string s;
    AppendPadded(s, p.year, 4);
    s += '-';
    AppendPadded(s, p.month, 2);
    s += '-';
    AppendPadded(s, p.day, 2);
    s += 'T';
    AppendPadded(s, p.hour, 2);
    s += ':';
    AppendPadded(s, p.minute, 2);
    s += ':';
    AppendPadded(s, p.second, 2);
    return s;
}

}  // namespace krelby
