// Deterministic synthetic recordings: realistic flights of every message type, in 512-byte
// blocks, with optional wrap-around, SD card block headers and injectable faults.
#pragma once
#include <array>
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
    double engineWear = 0;        // 0 new .. 1 worn: oil pressure 0.6 bar lower, CHTs 25 °C hotter
    // Mixture sweeps: in every flight's cruise, monitors 1 to sweepMonitors each lean through
    // the peak EGT of their inputs 1 to 4 once (1.5 to 4 l/h over 2 to 6 minutes).
    int sweepMonitors = 0;
    bool sweepsRichOfPeak = false;  // the sweeps stop before any EGT peaks: leaning, no sweep
    double egtNoise = 0;          // the EGT inputs 1 to 4 read up to this much off (°C), uniformly
};

// What a generated sweep truly was, to measure the lean test against.
struct SweepTruth {
    int flight = 0;                // 0, 1, ... in the recording
    int monitor = 0;               // 1 to 4
    int64_t start = 0, end = 0;    // the first and last second of the leaning, since 1970-01-01
    double richLph = 0, leanLph = 0;
    std::array<double, 4> peakLph{};  // the fuel flow at which inputs 1 to 4 peak
    bool stepped = false;          // leaned in steps rather than smoothly
    bool endsAtPeak = false;       // the leaning stops at the last input's peak
};

// What a generation wrote. Frame counts are indexed by FrameTypeIndex (format/frame.h) and
// cover the whole generated stream, also the part a wrap overwrote.
struct RecordingStats {
    int flights = 0;
    std::array<uint64_t, 7> frames{};  // every Frame written, faulty or not
    std::array<uint64_t, 7> intact{};  // Frames a scanner of the stream finds: no fault, not
                                       // swallowed by a truncated Frame before them
    uint64_t junkRuns = 0, badCrc = 0, truncated = 0, oversized = 0;
    uint64_t streamBytes = 0;          // the generated Frame stream
    uint64_t fileBytes = 0;
    int wrapGapSeconds = 0;            // wrap: first FlightMessage of the file minus the last
    std::vector<SweepTruth> sweeps;    // in the order of the flights, then of the monitors
};

// The Frame stream a recording carries, in file order, without block headers (for an SD
// card recording: up to its zero block).
std::vector<uint8_t> FrameStream(const RecordingOptions& options, RecordingStats* stats = nullptr);
// The recording file's bytes: 512-byte blocks, each a 4-byte header and 508 stream bytes.
std::vector<uint8_t> Recording(const RecordingOptions& options, RecordingStats* stats = nullptr);
// Streams the recording to a file without holding it in memory (large benchmark files).
void WriteRecording(const std::string& path, const RecordingOptions& options,
                    RecordingStats* stats = nullptr);

}  // namespace krelby::gen
