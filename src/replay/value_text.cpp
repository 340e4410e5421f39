#include "replay/value_text.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdlib>

namespace krelby {
namespace {

// A decimal expansion 0.d1d2... x 10^E of |x|, with the digits as characters.
struct Decimal {
    bool negative = false;
    char digits[24] = {};
    int count = 0;  // significant digits held
    int E = 0;      // digits before the decimal point
};

// The 18 significant digits of a printed "%.17e" text.
Decimal FromScientific(const char* text) {
    Decimal d;
    const char* p = text;
    if (*p == '-') {
        d.negative = true;
        ++p;
    }
    for (; *p && *p != 'e'; ++p)
        if (*p >= '0' && *p <= '9') d.digits[d.count++] = *p;
    int exponent = 0;
    if (*p == 'e') {
        ++p;
        const bool minus = *p == '-';
        if (*p == '-' || *p == '+') ++p;
        for (; *p >= '0' && *p <= '9'; ++p) exponent = exponent * 10 + (*p - '0');
        if (minus) exponent = -exponent;
    }
    d.E = exponent + 1;
    return d;
}

// The significant digits of x: the 18-digit expansion where the kept digits depend on it,
// else the shortest round-trip digits, which round the same way and print much faster.
// Keeping n <= 15 digits of the shortest digits S gives the same result as of the 18-digit
// expansion T, unless S stops exactly on a 5 at the first dropped place: only then can x
// lie on the other side of that tie (a shorter tie would otherwise be the shortest digits).
// Most recorded values are a whole number of tenths, hundredths ...: for such an x,
// m / 10^j with the fewest decimals j is its shortest round-trip form, found without
// the general digit generation.
bool ShortDecimal(double x, Decimal& d) {
    static constexpr double kPow10[] = {1, 10, 100, 1e3, 1e4, 1e5, 1e6, 1e7};
    const double ax = std::fabs(x);
    if (!(ax >= 1e-7 && ax < 1e15)) return false;
    for (int j = 0; j < 8; ++j) {
        const double m = std::nearbyint(ax * kPow10[j]);
        if (m >= 1e15) return false;
        if (m / kPow10[j] != ax) continue;
        char text[24];
        const auto end = std::to_chars(text, text + sizeof text, static_cast<uint64_t>(m)).ptr;
        const int digits = static_cast<int>(end - text);
        d = Decimal{};
        d.negative = x < 0;
        d.E = digits - j;
        d.count = digits;
        while (d.count > 1 && text[d.count - 1] == '0') --d.count;
        std::copy(text, text + d.count, d.digits);
        return true;
    }
    return false;
}

Decimal SignificantDigits(double x, int P, int D, int& n) {
    char text[48];
    Decimal d;
    if (!ShortDecimal(x, d)) {
        *std::to_chars(text, text + sizeof text - 1, x, std::chars_format::scientific).ptr = '\0';
        d = FromScientific(text);
    }
    n = d.E + D < P ? d.E + D : P;
    const bool tie = n >= 0 && n + 1 == d.count && d.digits[n] == '5';
    if (n <= 15 && !tie) return d;
    *std::to_chars(text, text + sizeof text - 1, x, std::chars_format::scientific, 17).ptr = '\0';
    d = FromScientific(text);
    n = d.E + D < P ? d.E + D : P;
    return d;
}

// Keeps n digits, rounding half away from zero on the next one. False when nothing is left.
bool RoundTo(Decimal& d, int n) {
    if (n < 0) return false;
    const bool up = n < d.count && d.digits[n] >= '5';
    d.count = n < d.count ? n : d.count;
    if (up) {
        int i = d.count - 1;
        while (i >= 0 && d.digits[i] == '9') d.digits[i--] = '0';
        if (i >= 0) {
            ++d.digits[i];
        } else {  // carried out of the first digit: 9.99 -> 10.0, or nothing kept -> one unit
            for (int k = d.count; k > 0; --k) d.digits[k] = d.digits[k - 1];
            d.digits[0] = '1';
            ++d.count;
            ++d.E;
        }
    }
    while (d.count > 0 && d.digits[d.count - 1] == '0') --d.count;
    return d.count > 0;
}

char DigitAt(const Decimal& d, int i) { return i >= 0 && i < d.count ? d.digits[i] : '0'; }

void AppendScientific(std::string& out, const Decimal& d, char sep) {
    if (d.negative) out += '-';
    out += d.digits[0];
    if (d.count > 1) {
        out += sep;
        out.append(d.digits + 1, d.digits + d.count);
    }
    out += 'E';
    const int exponent = d.E - 1;
    if (exponent < 0) out += '-';
    out += IntegerText(std::abs(exponent));
}

}  // namespace

std::string IntegerText(int64_t v) {
    char text[24];
    return std::string(text, std::to_chars(text, text + sizeof text, v).ptr);
}

void AppendDecimalText(std::string& out, double x, int decimals) {
    char text[400];  // the longest double in fixed form with up to 18 decimals
    decimals = decimals < 0 ? 0 : (decimals > 18 ? 18 : decimals);
    const auto r = std::to_chars(text, text + sizeof text, x, std::chars_format::fixed, decimals);
    out.append(text, r.ec == std::errc() ? r.ptr : text);
}

std::string DecimalText(double x, int decimals) {
    std::string s;
    AppendDecimalText(s, x, decimals);
    return s;
}

void AppendFixedText(std::string& out, double x, int P, int D, char sep) {
    P = P < 2 ? 2 : (P > 18 ? 18 : P);
    D = D < 0 ? 0 : (D > 18 ? 18 : D);
    Decimal d;
    bool nonZero = false;
    if (std::isfinite(x) && x != 0) {
        int n = 0;
        d = SignificantDigits(x, P, D, n);
        nonZero = RoundTo(d, n);
    }
    if (!nonZero) {
        out += '0';
        if (D > 0) {
            out += sep;
            out.append(static_cast<size_t>(D), '0');
        }
        return;
    }
    if (d.E > P) {
        AppendScientific(out, d, sep);
        return;
    }
    // At most 18 digits before the point (E <= P) and 18 after: formed in place, appended once.
    char text[40];
    char* p = text;
    if (d.negative) *p++ = '-';
    if (d.E <= 0) {
        *p++ = '0';
    } else {
        for (int i = 0; i < d.E; ++i) *p++ = DigitAt(d, i);
    }
    if (D > 0) {
        *p++ = sep;
        for (int i = 0; i < D; ++i) *p++ = DigitAt(d, d.E + i);
    }
    out.append(text, static_cast<size_t>(p - text));
}

std::string FixedText(double x, int P, int D, char sep) {
    std::string s;
    AppendFixedText(s, x, P, D, sep);
    return s;
}

std::string GeneralText(long double x, char sep) {
    if (!std::isfinite(x) || x == 0) return "0";
    char text[64];
    *std::to_chars(text, text + sizeof text - 1, x, std::chars_format::scientific, 17).ptr = '\0';
    Decimal d = FromScientific(text);
    if (!RoundTo(d, 15)) return "0";
    std::string out;
    if (d.E > 15 || d.E < -3) {
        AppendScientific(out, d, sep);
        return out;
    }
    if (d.negative) out += '-';
    if (d.E >= 1) {
        for (int i = 0; i < d.E; ++i) out += DigitAt(d, i);
        if (d.count > d.E) {
            out += sep;
            out.append(d.digits + d.E, d.digits + d.count);
        }
    } else {
        out += '0';
        out += sep;
        out.append(static_cast<size_t>(-d.E), '0');
        out.append(d.digits, d.digits + d.count);
    }
    return out;
}

}  // namespace krelby
