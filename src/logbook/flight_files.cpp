#include "logbook/flight_files.h"

#include <algorithm>
#include <filesystem>

#include "base/program_folder.h"
#include "settings/limits.h"

namespace krelby {

namespace fs = std::filesystem;

std::string SummaryStampKey(const ThermocoupleKinds& kinds, const Limits& limits) {
    std::string key(kinds.begin(), kinds.end());
    if (!limits.Any()) return key;
    // The limits exactly as the rule compares them ("2.50" and "2.5" are one limit, 2700.99999
    // is not 2701), and how runs are joined and dropped.
    // The keys since the first logbooks follow, by name and only when set, so that their
    // cached flights stay valid.
    constexpr size_t kFirstKeys = static_cast<size_t>(LimitKey::ChtCoolingMax);
    for (size_t k = 0; k < kFirstKeys; ++k) {
        key += ';';
        if (limits.keys[k].value) key += LimitText(*limits.keys[k].value);
    }
    key += ";merge " + std::to_string(limits.mergeSeconds.value) + ";min " + std::to_string(limits.minSeconds.value);
    for (size_t k = kFirstKeys; k < limits.keys.size(); ++k)
        if (limits.keys[k].value) key += ";" + std::string(kLimitKeys[k].name) + " " + LimitText(*limits.keys[k].value);
    return key;
}

namespace {

// Any visible file ending in ".FLT" in any case, whatever else its name says.
bool HasFlightExtension(const std::string& name) {
    if (name.size() < 5 || name[0] == '.') return false;
    std::string ext = name.substr(name.size() - 4);
    for (char& c : ext) c = c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;  // not the locale's
    return ext == ".FLT";
}

}  // namespace

std::vector<FlightFile> FindFlightFiles(const std::string& folder, const std::string& kinds) {
    std::vector<FlightFile> out;
    for (const char* sub : kFlightFolders) {
        std::error_code ec;
        for (fs::directory_iterator it(PathOf(folder + sub), ec), end; !ec && it != end; it.increment(ec)) {
            const std::string name = TextOf(it->path().filename());
            if (!HasFlightExtension(name)) continue;
            FlightFile f{std::string(sub) + "/" + name, TextOf(it->path()), {}};
            if (!StampOf(f.path, f.stamp.file) || !f.stamp.file.regular) continue;
            f.stamp.kinds = kinds;
            out.push_back(std::move(f));
        }
    }
    std::sort(out.begin(), out.end(), [](const FlightFile& a, const FlightFile& b) { return a.relative < b.relative; });
    return out;
}

}  // namespace krelby
