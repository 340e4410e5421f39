// The names of one import's flight files in one folder, chosen when each flight's bytes are
// known, so that no flight file takes the place of another flight's.
#pragma once
#include <cstdint>
#include <set>
#include <string>
#include <unordered_map>
#include <vector>

#include "base/regional.h"
#include "import/flight_file_name.h"

namespace krelby {

// Flights starting in the same second are X, X (2), X (3) ... in recording order. A flight
// takes the next of those names whose file holds the same bytes (the same recording imported
// again) or the start of them (grown since): that earlier copy is replaced. Where the next
// free name comes first, the flight is imported already if an earlier import's file of X or
// X (n) holds its bytes and more (a recording cut short, imported after the whole one): it
// is not written; otherwise it takes that free name. A file holding anything else is another
// flight and keeps its name, and no file this import wrote is ever replaced. What the folder
// held before the import (ReadFolder) is the earlier imports' work. One counter per start
// keeps this linear in the number of flights.
class FlightFileNamer {
public:
    FlightFileNamer(std::string folderPath, Regional regional)
        : folderPath_(std::move(folderPath)), regional_(regional) {}

    const std::string& Folder() const { return folderPath_; }
    // The first name a flight starting at `t` may get, without folder.
    std::string FirstName(double t) const { return FlightFileName(t, regional_); }
    // Notes the flight files the folder holds now; called once, when the folder is the
    // import's alone (it holds the folder's lock).
    void ReadFolder();

    struct Choice {
        std::string name;      // without folder; empty: the flight is imported already
        bool replace = false;  // the file there is an earlier copy of the flight
    };
    // Where the flight starting at `t`, written to the file `written`, goes.
    Choice Choose(double t, const std::string& written);
    // The flight now lies at `name`, a file of this import.
    void Placed(const std::string& name);
    // Another writer took the free name meanwhile: Choose goes on to the next.
    void Taken(const std::string& name);
    // A file of this import is gone again (a wrapped recording's first flight).
    void Removed(const std::string& name);
    // Removes the earlier files whose bytes are the start of (or all of) a flight this import
    // wrote under the same start: copies, such as an interrupted import left beside it.
    void RemoveEarlierCopies();

private:
    struct Earlier {
        std::string name;
        uint64_t size = 0;
        std::vector<uint8_t> head;  // the first bytes, to pass over most comparisons
        bool active = true;         // still an earlier file: not replaced, not removed
    };
    struct Stem {
        int next = 1;  // the number of the next name to try (1: no number)
        std::vector<Earlier> earlier;
        std::set<std::string> ours, taken;
    };
    Stem& StemOf(const std::string& stem);
    std::string NameOf(const std::string& stem, int n) const;

    std::string folderPath_;  // ends in '/'
    Regional regional_;
    std::unordered_map<std::string, std::vector<std::string>> found_;  // stem -> earlier names
    std::unordered_map<std::string, Stem> stems_;
    std::unordered_map<std::string, std::string> stemOfName_;  // names handed out -> stem
};

}  // namespace krelby
