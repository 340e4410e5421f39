// The CSV that `flights` and `exceedances` print, as JSON for --format json: an array of
// one object per row, keyed by the header, written as the CSV comes (a flight of millions
// of exceedances needs no more memory).
#pragma once
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace krelby::cli {

class CsvToJson {
public:
    // A field is null when empty; a number where its column is not text (`isText`) and the
    // field is one; else a string (made valid UTF-8).
    CsvToJson(std::function<bool(std::string_view column)> isText, std::function<void(std::string_view)> write);
    // The next piece of the CSV (RFC 4180: quoted fields, LF or CR LF line ends).
    void Feed(std::string_view csv);
    // The end of the CSV: closes the array.
    void Finish();

private:
    void Record(std::vector<std::string>& fields);

    std::function<bool(std::string_view)> isText_;
    std::function<void(std::string_view)> write_;
    std::vector<std::string> header_;
    std::vector<bool> text_;
    std::vector<std::string> fields_;
    std::string field_;
    bool quoted_ = false, afterQuote_ = false, any_ = false;
    std::string out_;
};

}  // namespace krelby::cli
