// The CSV file's 213 columns (a data item's `column`): each one's header name and its value
// in the current row. Values are kept as numbers with their text form and turned into text
// only when a row is written (AppendCsvValueText).
#pragma once
#include <array>
#include <cstdint>
#include <string>
#include <string_view>

namespace krelby {

constexpr int kCsvColumnCount = 213;

struct CsvValue {
    enum class Form : uint8_t { Empty, Integer, Fixed, Position };
    Form form = Form::Empty;
    uint8_t precision = 0;  // Fixed: P
    uint8_t decimals = 0;   // Fixed: D
    int64_t integer = 0;    // Integer
    double real = 0;        // Fixed; Position: latitude in degrees
    double real2 = 0;       // Position: longitude in degrees
};

class CsvColumns {
public:
    std::array<std::string, kCsvColumnCount> names;
    std::array<CsvValue, kCsvColumnCount> values;

    void Clear() {
        for (auto& n : names) n.clear();
        ClearValues();
    }
    void ClearValues() { values.fill(CsvValue{}); }
    void SetName(int col, std::string_view name) {
        if (names[col] != name) names[col].assign(name);
    }
    void SetInteger(int col, int64_t v) {
        auto& c = values[col];
        c.form = CsvValue::Form::Integer;
        c.integer = v;
    }
    void SetFixed(int col, double x, int P, int D) {
        auto& c = values[col];
        c.form = CsvValue::Form::Fixed;
        c.real = x;
        c.precision = static_cast<uint8_t>(P);
        c.decimals = static_cast<uint8_t>(D);
    }
    void SetPosition(int col, double latitude, double longitude) {
        auto& c = values[col];
        c.form = CsvValue::Form::Position;
        c.real = latitude;
        c.real2 = longitude;
    }
};

// The text of one CSV value (the position's two numbers joined by a comma). With a comma
// as decimal separator each real-valued field is written in double quotes, so a row keeps
// its header's field count. Nothing is appended for an empty value.
void AppendCsvValueText(std::string& out, const CsvValue& v, char decimalSeparator);

}  // namespace krelby
