// Imports of realistic generated recordings, checked against what the generator wrote.
#include "support/import_fixture.h"

#include <array>
#include <cmath>

#include "format/frame_scanner.h"
#include "format/messages.h"
#include "gen/generator.h"

using namespace krelby;
using namespace krelby::test;

namespace {

// What a re-scan of one flight file finds.
struct Scan : FrameHandler {
    void OnFrame(FrameType t, const uint8_t* f, size_t n) override {
        if (const int i = FrameTypeIndex(t); i >= 0) ++frames[size_t(i)];
        bytes += n;
        if (t == FrameType::Flight) {
            const double time = MessageDateTime(FlightMessage(f)).value;
            if (last != 0 && std::fabs(time - last) > kOneMinute) ++jumps;
            last = time;
        }
    }
    std::array<uint64_t, 7> frames{};
    uint64_t bytes = 0;
    int jumps = 0;
    double last = 0;
};

Scan ScanBytes(const Bytes& bytes) {
    ChecksumOptions checks;
    FrameScanner scanner(checks);
    Scan scan;
    scanner.Feed(bytes.data(), bytes.size(), scan);
    return scan;
}

// Every file is one flight of whole Frames; returns the Frames of all files by type.
std::array<uint64_t, 7> CheckFlights(const std::map<std::string, Bytes>& files) {
    std::array<uint64_t, 7> total{};
    for (const auto& [name, content] : files) {
        const Scan scan = ScanBytes(content);
        EXPECT_EQ(scan.bytes, content.size()) << name;
        EXPECT_EQ(scan.jumps, 0) << name;
        for (size_t i = 0; i < 7; ++i) total[i] += scan.frames[i];
    }
    return total;
}

}  // namespace

TEST_F(ImportTest, GeneratedRecordingWithFaultsKeepsEveryIntactFrame) {
    gen::RecordingOptions o;
    o.flights = 4;
    o.secondsPerFlight = 120;
    o.faults = {0.02, 0.02, 0.02, 0.02};
    EXPECT_EQ(Import(gen::Recording(o)).FlightCount, 4);
    EXPECT_EQ(CheckFlights(Flights()), ScanBytes(gen::FrameStream(o)).frames);
}

TEST_F(ImportTest, GeneratedWrappedAndSdRecordings) {
    gen::RecordingOptions o;
    o.flights = 4;
    o.secondsPerFlight = 200;
    o.wrap = true;
    gen::RecordingStats stats;
    const auto r = Import(gen::Recording(o, &stats));
    const auto files = Flights();
    EXPECT_EQ(r.FlightCount, int(files.size()) + 1);  // the start joined the last flight
    CheckFlights(files);

    o.wrap = false;
    o.sdCard = true;
    Import(gen::Recording(o, &stats), RecordingKind::SdCard);
    EXPECT_EQ(Flights("Flights_SD").size(), size_t(stats.flights));  // none from behind the zero block
    CheckFlights(Flights("Flights_SD"));
}
