#include "settings/ini_file.h"

#include <algorithm>
#include <cstring>

#include "base/file.h"
#include "base/error.h"

namespace krelby {
namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\v' || c == '\f'; }

std::string_view Trim(std::string_view s) {
    while (!s.empty() && IsBlank(s.front())) s.remove_prefix(1);
    while (!s.empty() && IsBlank(s.back())) s.remove_suffix(1);
    return s;
}

char Lower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

std::string IndexKey(std::string_view section, std::string_view key) {
    std::string k;
    k.reserve(section.size() + key.size() + 1);
    for (char c : section) k += Lower(c);
    k += '\n';
    for (char c : key) k += Lower(c);
    return k;
}

bool SameName(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i)
        if (Lower(a[i]) != Lower(b[i])) return false;
    return true;
}

std::string LowerName(std::string_view name) {
    std::string k(name);
    for (char& c : k) c = Lower(c);
    return k;
}

int DigitValue(char c, int base) {
    int d = c >= '0' && c <= '9' ? c - '0' : c >= 'a' && c <= 'f' ? c - 'a' + 10 : c >= 'A' && c <= 'F' ? c - 'A' + 10 : 99;
    return d < base ? d : -1;
}
}  // namespace

std::optional<int32_t> ParseIniInteger(std::string_view s) {
    bool negative = false;
    if (!s.empty() && (s[0] == '+' || s[0] == '-')) {
        negative = s[0] == '-';
        s.remove_prefix(1);
    }
    int base = 10;
    if (!s.empty() && s[0] == '$') {
        base = 16;
        s.remove_prefix(1);
    } else if (s.size() >= 2 && s[0] == '0' && (s[1] == 'x' || s[1] == 'X')) {
        base = 16;
        s.remove_prefix(2);
    }
    if (s.empty()) return std::nullopt;
    const int64_t limit = negative ? 2147483648LL : 2147483647LL;
    int64_t v = 0;
    for (char c : s) {
        int d = DigitValue(c, base);
        if (d < 0) return std::nullopt;
        v = v * base + d;
        if (v > limit) return std::nullopt;
    }
    return static_cast<int32_t>(negative ? -v : v);
}

IniFile IniFile::Parse(std::string_view text, std::span<const std::string_view> only) {
    IniFile ini;
    Section* current = nullptr;
    auto wanted = [&](std::string_view name) {
        if (only.empty()) return true;
        for (std::string_view w : only)
            if (SameName(w, name)) return true;
        return false;
    };
    // A byte-order mark, as some editors put before UTF-8 text, is no part of the first line.
    if (text.substr(0, 3) == "\xEF\xBB\xBF") text.remove_prefix(3);
    // A line ends at LF, CR LF or a lone CR. The next of each is looked for only once the
    // last one found is passed, so every byte is scanned once whatever the line ends are.
    const auto next = [&text](char c, size_t from) {
        const void* p = std::memchr(text.data() + from, c, text.size() - from);
        return p ? static_cast<size_t>(static_cast<const char*>(p) - text.data()) : text.size();
    };
    size_t lf = next('\n', 0), cr = next('\r', 0);
    for (size_t at = 0; at < text.size();) {
        if (lf < at) lf = next('\n', at);
        if (cr < at) cr = next('\r', at);
        const size_t end = std::min(lf, cr);
        std::string_view line = Trim(text.substr(at, end - at));
        at = end == cr && lf == cr + 1 ? lf + 1 : end + 1;
        if (line.empty() || line[0] == ';' || line[0] == '#') continue;
        if (line[0] == '[') {
            size_t close = line.find(']');
            if (close == std::string_view::npos) continue;
            const std::string_view name = Trim(line.substr(1, close - 1));
            current = wanted(name) ? &ini.SectionNamed(name) : nullptr;
            continue;
        }
        if (!current) continue;
        size_t eq = line.find('=');
        if (eq == std::string_view::npos) continue;
        std::string_view key = Trim(line.substr(0, eq));
        if (key.empty()) continue;
        std::string id = IndexKey(current->name, key);
        if (ini.index_.count(id)) continue;  // the first of two equal keys wins
        size_t s = static_cast<size_t>(current - ini.sections_.data());
        ini.index_.emplace(std::move(id), std::make_pair(s, current->entries.size()));
        current->entries.push_back({std::string(key), std::string(Trim(line.substr(eq + 1)))});
    }
    return ini;
}

IniFile IniFile::Read(const std::string& path, bool* cut, std::span<const std::string_view> only) {
    if (cut) *cut = false;
    InputFile file;
    const int err = file.Open(path);
    if (err == EISDIR || err == kNotRegularFile) ThrowFileError(err, path);
    if (err) return {};
    // One byte past the limit tells a file of exactly the limit from a longer one.
    std::string text(kIniSizeLimit + 1, '\0');
    size_t got = 0;
    if (file.ReadSome(reinterpret_cast<uint8_t*>(text.data()), text.size(), got) != 0) return {};
    if (got > kIniSizeLimit) {
        got = kIniSizeLimit;
        if (cut) *cut = true;
    }
    text.resize(got);
    return Parse(text, only);
}

IniFile::Section& IniFile::SectionNamed(std::string_view name) {
    const auto [it, added] = sectionIndex_.try_emplace(LowerName(name), sections_.size());
    if (added) sections_.push_back({std::string(name), {}});
    return sections_[it->second];
}

std::optional<std::string_view> IniFile::Find(std::string_view section, std::string_view key) const {
    auto it = index_.find(IndexKey(section, key));
    if (it == index_.end()) return std::nullopt;
    return std::string_view(sections_[it->second.first].entries[it->second.second].value);
}

int32_t IniFile::ReadInteger(std::string_view section, std::string_view key, int32_t def) const {
    auto text = Find(section, key);
    if (!text) return def;
    return ParseIniInteger(*text).value_or(def);
}

bool IniFile::ReadBool(std::string_view section, std::string_view key, bool def) const {
    return ReadInteger(section, key, def ? 1 : 0) != 0;
}

std::string IniFile::ReadText(std::string_view section, std::string_view key, std::string_view def) const {
    auto text = Find(section, key);
    if (!text) return std::string(def.substr(0, kIniTextLimit));
    return std::string(Trim(text->substr(0, kIniTextLimit)));  // reads back as it is written
}

void IniFile::Write(std::string_view section, std::string_view key, std::string_view value) {
    // A line break would end the key line early and turn the rest into a line of its own.
    value = value.substr(0, value.find_first_of("\r\n"));
    std::string id = IndexKey(section, key);
    auto it = index_.find(id);
    if (it != index_.end()) {
        sections_[it->second.first].entries[it->second.second].value.assign(value);
        return;
    }
    Section& s = SectionNamed(section);
    index_.emplace(std::move(id), std::make_pair(static_cast<size_t>(&s - sections_.data()), s.entries.size()));
    s.entries.push_back({std::string(key), std::string(value)});
}

void IniFile::WriteInteger(std::string_view section, std::string_view key, int64_t value) {
    Write(section, key, std::to_string(value));
}

std::string IniFile::Text() const {
    std::string out;
    for (const auto& s : sections_) {
        if (!out.empty()) out += "\r\n";
        out += '[';
        out += s.name;
        out += "]\r\n";
        for (const auto& e : s.entries) {
            out += e.key;
            out += '=';
            out += e.value;
            out += "\r\n";
        }
    }
    return out;
}

void IniFile::Save(const std::string& path) const {
    const Error failure(UnableToWriteTo(path));
    // A file marked read-only is not replaced, as the platform's profile writer refuses it.
    if (IsMarkedReadOnly(path)) throw failure;
    // Through a symbolic link the file it points to is replaced, and the link stays a link.
    AtomicFile file;
    const std::string text = Text();
    if (file.Create(path, ".new") != 0 || file.Write(text.data(), text.size()) != 0 || file.Commit() != 0)
        throw failure;
}

}  // namespace krelby
