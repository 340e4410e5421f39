// A small INI reader and writer with the rules of the platform's profile functions:
// names matched without regard to case, names and values trimmed, the first of two equal
// keys wins, texts cut to 2047 characters, anything unreadable taken as missing.
#pragma once
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace krelby {

constexpr size_t kIniTextLimit = 2047;
// Ours has 281 short keys; anything this long is not a settings file.
constexpr size_t kIniSizeLimit = 1 << 20;

class IniFile {
public:
    struct Entry {
        std::string key, value;
    };
    struct Section {
        std::string name;
        std::vector<Entry> entries;
    };

    // With `only`, the sections of other names are passed over: a reader that wants a few
    // sections of a long file pays only for those.
    static IniFile Parse(std::string_view text, std::span<const std::string_view> only = {});
    // A missing or unreadable file reads as an empty one; a directory or special file
    // throws krelby::Error ("Not a regular file: PATH"). Of a file longer than
    // kIniSizeLimit only the first part is read, and `cut` is set.
    static IniFile Read(const std::string& path, bool* cut = nullptr, std::span<const std::string_view> only = {});

    std::optional<std::string_view> Find(std::string_view section, std::string_view key) const;
    int32_t ReadInteger(std::string_view section, std::string_view key, int32_t def) const;
    bool ReadBool(std::string_view section, std::string_view key, bool def) const;
    std::string ReadText(std::string_view section, std::string_view key, std::string_view def) const;

    // Replaces the first key of that name, or adds the key (and the section) at the end.
    void Write(std::string_view section, std::string_view key, std::string_view value);
    void WriteInteger(std::string_view section, std::string_view key, int64_t value);
    void WriteBool(std::string_view section, std::string_view key, bool value) {
        WriteInteger(section, key, value ? 1 : 0);
    }

    const std::vector<Section>& Sections() const { return sections_; }
    // The file's text, lines ended by CR LF, a blank line between sections.
    std::string Text() const;
    // Writes a new file beside `path` and renames it over `path`; on any failure the old
    // file stays whole and krelby::Error "Unable to write to " + path is thrown.
    void Save(const std::string& path) const;

private:
    Section& SectionNamed(std::string_view name);
    std::vector<Section> sections_;
    // Lower-case "section\nkey" -> (section, entry) of the first such key.
    std::unordered_map<std::string, std::pair<size_t, size_t>> index_;
    // Lower-case section name -> its place in sections_.
    std::unordered_map<std::string, size_t> sectionIndex_;
};

// The platform's whole-number rule: optional sign, decimal digits, or "$" / "0x" hexadecimal;
// nullopt for anything else or a number outside 32 bits.
std::optional<int32_t> ParseIniInteger(std::string_view text);

}  // namespace krelby
