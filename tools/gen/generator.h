// Deterministic synthetic recordings: realistic flights of every message type, in 512-byte
// blocks, with optional wrap-around, SD card block headers and injectable faults.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

namespace krelby::gen {

struct Faults {
    double junkBytes = 0;       // chance per Frame of a run of stray bytes before it
    double badCrc = 0;          // chance per Frame of a wrong CRC-32
    double truncated = 0;       // chance per Frame of being cut short
    double oversizedLength = 0; // chance per Frame of an oversized length byte (types 4, 10, 11)
};

struct RecordingOptions {
    uint32_t seed = 1;
    int flights = 3;              // flights, separated by clock jumps of more than a minute
    int secondsPerFlight = 300;   // one FlightMessage per second of flight
    int engineMonitors = 2;       // 0..4
    int startYear = 2024, startMonth = 6, startDay = 14, startHour = 9, startMinute = 30;
    bool wrap = false;            // the display overwrote the start: the first flight continues the last
    bool sdCard = false;          // non-zero block headers, then one zero block and trailing garbage
    Faults faults;
    uint64_t targetBytes = 0;     // when non-zero, add flights until the recording reaches this size
};

// The Frame stream of a recording, without block headers.
std::vector<uint8_t> FrameStream(const RecordingOptions& options);
// The recording file's bytes: 512-byte blocks, each a 4-byte header and 508 stream bytes.
std::vector<uint8_t> Recording(const RecordingOptions& options);
// Streams the recording to a file without holding it in memory (large benchmark files).
void WriteRecording(const std::string& path, const RecordingOptions& options);

}  // namespace krelby::gen
