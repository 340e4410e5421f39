// The recording's own units and shapes, as the display writes them. Every reader of a field
// relies on these; they are stated here once, for the core and the window alike.
#pragma once
#include <cstddef>
#include <cstdint>

namespace krelby {

// Engine monitors (ZEDA 1 to 4) and the thermocouple inputs of each.
constexpr int kEngineMonitors = 4;
constexpr int kThermocoupleInputs = 12;
constexpr int kThermocoupleCount = kEngineMonitors * kThermocoupleInputs;
// Where input `input` (0 to 11, as the keys TC0 to TC11 count) of monitor `monitor` (1 to 4)
// stands among the 48 thermocouple kinds.
constexpr size_t ThermocoupleIndex(int monitor, int input) {
    return static_cast<size_t>(kThermocoupleInputs * (monitor - 1) + input);
}

// A Frame's body ends before frame offset L + 16 (L its length byte): a field is present when
// it ends within the body, and a field beyond it is never read.
constexpr size_t BodyEnd(uint8_t length) { return size_t{length} + 16; }
constexpr bool FieldPresent(size_t offset, size_t width, uint8_t length) { return offset + width <= BodyEnd(length); }

// Pressures (oil, fuel, manifold, barometric) are recorded in 0.1 mbar, 1/10000 bar.
constexpr double kRawPerBar = 10000;
constexpr int kRawPerMillibar = 10;
// Speeds in 0.1 km/h, distances in 0.1 km.
constexpr int kRawPerKmh = 10;
constexpr int kRawPerKilometre = 10;
constexpr double kMetresPerNauticalMile = 1852;
constexpr double kKnotsPerRawSpeed = 0.1 / (kMetresPerNauticalMile / 1000);
// Fuel levels in 0.1 litre.
constexpr double kRawPerLitre = 10;

// Date-times count days from 1899-12-30, the logbook's times seconds from 1970-01-01: that
// is day 25569.
constexpr double kUnixEpochDay = 25569;
constexpr int64_t kSecondsPerDay = 86400;

}  // namespace krelby
