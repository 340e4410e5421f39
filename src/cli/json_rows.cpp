#include "cli/json_rows.h"

#include <cctype>

#include "base/text.h"

namespace krelby::cli {
namespace {

// -?(0|[1-9][0-9]*)(\.[0-9]+)?([eE][+-]?[0-9]+)?
bool IsJsonNumber(std::string_view s) {
    size_t i = 0;
    const auto digits = [&] {
        const size_t from = i;
        while (i < s.size() && std::isdigit(static_cast<unsigned char>(s[i]))) ++i;
        return i > from;
    };
    if (i < s.size() && s[i] == '-') ++i;
    if (i < s.size() && s[i] == '0') ++i;
    else if (!digits()) return false;
    if (i < s.size() && s[i] == '.' && (++i, !digits())) return false;
    if (i < s.size() && (s[i] == 'e' || s[i] == 'E')) {
        ++i;
        if (i < s.size() && (s[i] == '+' || s[i] == '-')) ++i;
        if (!digits()) return false;
    }
    return i == s.size();
}

}  // namespace

CsvToJson::CsvToJson(std::function<bool(std::string_view)> isText, std::function<void(std::string_view)> write)
    : isText_(std::move(isText)), write_(std::move(write)) {}

void CsvToJson::Feed(std::string_view csv) {
    for (const char c : csv) {
        if (quoted_) {
            if (c == '"') {
                quoted_ = false;
                afterQuote_ = true;
            } else {
                field_ += c;
            }
            continue;
        }
        switch (c) {
            case '"':
                if (afterQuote_) field_ += '"';  // "" within a quoted field
                quoted_ = true;
                afterQuote_ = false;
                break;
            case ',':
                fields_.push_back(std::move(field_));
                field_.clear();
                afterQuote_ = false;
                break;
            case '\r': break;
            case '\n':
                fields_.push_back(std::move(field_));
                field_.clear();
                afterQuote_ = false;
                Record(fields_);
                fields_.clear();
                break;
            default: field_ += c; afterQuote_ = false;
        }
    }
    if (!out_.empty()) {
        write_(out_);
        out_.clear();
    }
}

void CsvToJson::Record(std::vector<std::string>& fields) {
    if (header_.empty()) {
        header_ = std::move(fields);
        for (const std::string& name : header_) text_.push_back(isText_(name));
        return;
    }
    out_ += any_ ? ",\n{" : "[\n{";
    any_ = true;
    for (size_t i = 0; i < header_.size(); ++i) {
        if (i) out_ += ',';
        AppendJsonString(out_, header_[i]);
        out_ += ':';
        const std::string_view v = i < fields.size() ? std::string_view(fields[i]) : std::string_view();
        if (v.empty()) out_ += "null";
        else if (!text_[i] && IsJsonNumber(v)) out_ += v;
        else AppendJsonString(out_, v);
    }
    out_ += '}';
}

void CsvToJson::Finish() {
    if (!fields_.empty() || !field_.empty()) Feed("\n");  // a last line without its line end
    write_(any_ ? "\n]\n" : "[]\n");
}

}  // namespace krelby::cli
