// Thermocouple kinds that fit the engine: each input's kind guessed from its greatest reading,
// and the warning when the kinds set look wrong for a flight.
#pragma once
#include <array>
#include <optional>
#include <string>
#include <vector>

#include "logbook/cruise.h"
#include "logbook/flight_record.h"
#include "settings/records.h"

namespace krelby {

// Each monitor's inputs 1 to 12 (at index 0 to 11): the greatest reading, none when never read.
using GreatestReadings = std::array<std::array<std::optional<int>, 12>, 4>;

constexpr int kEgtAboveC = 350;  // a greatest reading above this is an EGT
constexpr int kChtFromC = 60;    // from this up to 350 a CHT; below, Other

// The greatest reading of each input of `points` whose time lies in [from, to].
std::array<std::optional<int>, 12> GreatestOver(const std::vector<EnginePoint>& points, int64_t from, int64_t to);

// The greatest reading of each input over the messages in the cruise, or over the whole
// flight where there is no cruise (or the input has no reading in it).
GreatestReadings GreatestReadingsOf(const FlightRecord& record, const std::optional<CruiseStretch>& cruise);

// Above 350 °C EGT, 60 to 350 °C CHT, else Other; none for an input never read.
std::optional<uint8_t> GuessKind(std::optional<int> greatest);

// The kinds proposed for every input; an input never read keeps its kind of `current`.
ThermocoupleKinds GuessKinds(const GreatestReadings& greatest, const ThermocoupleKinds& current);

// One line per monitor and kind of mistake, for inputs set to EGT or CHT whose readings say
// otherwise (Other is the pilot's choice for anything, a TIT included, and never questioned):
// "Inputs 9–12 of monitor 1 never read above 100 °C: set their kinds in Options". None when the
// kinds fit.
std::vector<std::string> KindWarnings(const GreatestReadings& greatest, const ThermocoupleKinds& kinds);

}  // namespace krelby
