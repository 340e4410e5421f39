#include "export/csv_columns.h"

#include "replay/value_text.h"

namespace krelby {

void AppendCsvValueText(std::string& out, const CsvValue& v, char sep) {
    // A comma decimal separator would split a real value in two: quote such fields.
    const bool quote = sep == ',';
    auto real = [&](double x, int P, int D) {
        if (quote) out += '"';
        AppendFixedText(out, x, P, D, sep);
        if (quote) out += '"';
    };
    switch (v.form) {
        case CsvValue::Form::Empty: break;
        case CsvValue::Form::Integer: out += IntegerText(v.integer); break;
        case CsvValue::Form::Fixed: real(v.real, v.precision, v.decimals); break;
        case CsvValue::Form::Position:
            real(v.real, 9, 7);
            out += ',';
            real(v.real2, 9, 7);
            break;
    }
}

}  // namespace krelby
