#include "import/flight_file_namer.h"

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <map>
#include <memory>

#include "base/file.h"

namespace krelby {
namespace {

constexpr size_t kHeadSize = 64;

// "STEM.FLT" is name 1 of STEM, "STEM (n).FLT" name n; false for any other name.
bool SplitName(const std::string& name, std::string& stem, int& number) {
    if (name.size() < 5 || name.compare(name.size() - 4, 4, ".FLT") != 0) return false;
    stem = name.substr(0, name.size() - 4);
    number = 1;
    const size_t open = stem.rfind(" (");
    if (stem.back() != ')' || open == std::string::npos || stem.size() - open > 12) return true;
    const std::string digits = stem.substr(open + 2, stem.size() - open - 3);
    if (digits.empty() || digits[0] == '0' ||
        !std::all_of(digits.begin(), digits.end(), [](char c) { return c >= '0' && c <= '9'; }))
        return true;
    const int n = std::stoi(digits);
    if (n < 2) return true;
    stem.resize(open);
    number = n;
    return true;
}

// The size and first bytes of a file; false when it cannot be read.
bool ReadHead(const std::string& path, uint64_t& size, std::vector<uint8_t>& head) {
    InputFile f;
    if (f.Open(path) != 0) return false;
    size = f.Size();
    head.resize(kHeadSize);
    size_t got = 0;
    if (f.ReadSome(head.data(), head.size(), got) != 0) return false;
    head.resize(got);
    return true;
}

// Whether two heads agree as far as both go.
bool HeadsAgree(const std::vector<uint8_t>& a, const std::vector<uint8_t>& b) {
    const size_t n = std::min(a.size(), b.size());
    return std::memcmp(a.data(), b.data(), n) == 0;
}

enum class Order { Same, Shorter, Longer, Other };

// How the bytes of file `a` stand to those of `b`: the same, the start of them (Shorter),
// holding all of them and more (Longer), or anything else (unreadable included). Reads grow
// from 4 KiB, so that files differing early are told apart at once.
Order CompareFiles(const std::string& a, const std::string& b) {
    InputFile x, y;
    if (x.Open(a) != 0 || y.Open(b) != 0) return Order::Other;
    constexpr size_t kLargest = 256 << 10;
    std::unique_ptr<uint8_t[]> p(new uint8_t[kLargest]), q(new uint8_t[kLargest]);
    for (size_t chunk = 4096;; chunk = std::min(chunk * 2, kLargest)) {
        size_t n = 0, m = 0;
        if (x.ReadSome(p.get(), chunk, n) != 0 || y.ReadSome(q.get(), chunk, m) != 0) return Order::Other;
        if (std::memcmp(p.get(), q.get(), std::min(n, m)) != 0) return Order::Other;
        if (n == chunk && m == chunk) continue;
        return n == m ? Order::Same : n < m ? Order::Shorter : Order::Longer;
    }
}

}  // namespace

std::string FlightFileNamer::NameOf(const std::string& stem, int n) const {
    return n == 1 ? stem + ".FLT" : stem + " (" + std::to_string(n) + ").FLT";
}

void FlightFileNamer::ReadFolder() {
    found_.clear();
    stems_.clear();
    std::error_code ec;
    for (std::filesystem::directory_iterator it(PathOf(folderPath_), ec), end; !ec && it != end; it.increment(ec)) {
        std::string stem;
        int number = 0;
        const std::string name = TextOf(it->path().filename());
        if (SplitName(name, stem, number)) found_[stem].push_back(name);
    }
}

FlightFileNamer::Stem& FlightFileNamer::StemOf(const std::string& stem) {
    const auto [it, added] = stems_.try_emplace(stem);
    if (!added) return it->second;
    // In the order of their numbers, so that of two equal files the first is chosen.
    std::vector<std::pair<int, std::string>> names;
    for (const std::string& name : found_[stem]) {
        std::string s;
        int number = 0;
        SplitName(name, s, number);
        names.emplace_back(number, name);
    }
    std::sort(names.begin(), names.end());
    for (const auto& [number, name] : names) {
        Earlier e{name, 0, {}, true};
        if (ReadHead(folderPath_ + name, e.size, e.head)) it->second.earlier.push_back(std::move(e));
    }
    return it->second;
}

FlightFileNamer::Choice FlightFileNamer::Choose(double t, const std::string& written) {
    const std::string first = FlightFileName(t, regional_);
    const std::string stem = first.substr(0, first.size() - 4);
    Stem& st = StemOf(stem);
    uint64_t size = 0;
    std::vector<uint8_t> head;
    const bool known = ReadHead(written, size, head);
    // How an existing file stands to the flight, its head looked at first where it is known.
    const auto order = [&](const std::string& name) {
        for (const Earlier& e : st.earlier)
            if (e.name == name && known && !HeadsAgree(e.head, head)) return Order::Other;
        return CompareFiles(folderPath_ + name, written);
    };
    std::string free;
    for (;; ++st.next) {
        const std::string name = NameOf(stem, st.next);
        if (st.ours.count(name) || st.taken.count(name)) continue;
        if (!Exists(folderPath_ + name)) {
            free = name;
            break;
        }
        const Order o = order(name);
        if (o == Order::Same || o == Order::Shorter) return {name, true};
    }
    // No earlier copy on the way: is there one that holds the flight and more?
    if (known)
        for (const Earlier& e : st.earlier)
            if (e.active && e.size > size && HeadsAgree(e.head, head) &&
                CompareFiles(folderPath_ + e.name, written) == Order::Longer)
                return {};
    return {free, false};
}

void FlightFileNamer::Placed(const std::string& name) {
    std::string stem;
    int number = 0;
    if (!SplitName(name, stem, number)) return;
    Stem& st = StemOf(stem);
    st.ours.insert(name);
    for (Earlier& e : st.earlier)
        if (e.name == name) e.active = false;
    st.next = std::max(st.next, number + 1);
}

void FlightFileNamer::Taken(const std::string& name) {
    std::string stem;
    int number = 0;
    if (SplitName(name, stem, number)) StemOf(stem).taken.insert(name);
}

void FlightFileNamer::Removed(const std::string& name) {
    std::string stem;
    int number = 0;
    if (SplitName(name, stem, number)) StemOf(stem).ours.erase(name);
}

void FlightFileNamer::RemoveEarlierCopies() {
    for (auto& [stem, st] : stems_) {
        std::map<std::string, std::pair<uint64_t, std::vector<uint8_t>>> heads;  // of ours
        for (const std::string& name : st.ours) {
            auto& [size, head] = heads[name];
            if (!ReadHead(folderPath_ + name, size, head)) heads.erase(name);
        }
        for (Earlier& e : st.earlier) {
            if (!e.active) continue;
            for (const auto& [name, sh] : heads) {
                if (e.size > sh.first || !HeadsAgree(e.head, sh.second)) continue;
                const Order o = CompareFiles(folderPath_ + e.name, folderPath_ + name);
                if (o != Order::Same && o != Order::Shorter) continue;
                RemoveFile(folderPath_ + e.name);
                e.active = false;
                break;
            }
        }
    }
}

}  // namespace krelby
