// The value texts of the CSV file and the KML coordinates.
#pragma once
#include <cstdint>
#include <string>

namespace krelby {

// Decimal digits, "-" when negative.
std::string IntegerText(int64_t v);
// x with precision P and D decimals, halves away from zero on its 18-digit expansion;
// scientific form when the integer digits exceed P.
std::string FixedText(double x, int P, int D, char decimalSeparator);
void AppendFixedText(std::string& out, double x, int P, int D, char decimalSeparator);
// x with `decimals` decimals and a full stop, rounded on its exact binary value (the digits
// printf's "%.*f" gives in the C locale, whatever the process locale); "-" only when negative.
void AppendDecimalText(std::string& out, double x, int decimals);
std::string DecimalText(double x, int decimals);
// x to 15 significant digits, trailing zeros dropped (KML coordinates).
std::string GeneralText(long double x, char decimalSeparator = '.');

}  // namespace krelby
