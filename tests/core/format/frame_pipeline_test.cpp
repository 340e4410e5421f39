// Reading a file's Frames with the scanning on a second thread hands on exactly what one
// scanner fed the file block by block does, whatever the file's length and damage.
#include <gtest/gtest.h>

#include <stdexcept>
#include <vector>

#include "format/frame_pipeline.h"
#include "gen/generator.h"
#include "support/temp_folder.h"

using namespace krelby;
using krelby::testing::Bytes;

namespace {

struct Frames : FrameHandler {
    std::vector<std::pair<FrameType, Bytes>> got;
    void OnFrame(FrameType t, const uint8_t* f, size_t n) override { got.emplace_back(t, Bytes(f, f + n)); }
};

// A damaged recording's Frame stream cut to `bytes`, so that Frames lie across block ends.
Bytes Stream(size_t bytes) {
    gen::RecordingOptions o;
    o.flights = 1, o.secondsPerFlight = 16000, o.engineMonitors = 4, o.seed = 7;
    o.faults = {0.01, 0.01, 0.01, 0.01};
    Bytes s = gen::FrameStream(o);
    s.resize(std::min(s.size(), bytes));
    return s;
}

Frames OneScanner(const Bytes& stream, unsigned types) {
    const ChecksumOptions checks;
    FrameScanner scanner(checks, types);
    Frames f;
    for (size_t i = 0; i < stream.size(); i += kScanBlockSize)
        scanner.Feed(stream.data() + i, std::min(kScanBlockSize, stream.size() - i), f);
    return f;
}

}  // namespace

TEST(ScanWholeFile, HandsOnWhatOneScannerFindsForAnyLengthAndTypes) {
    const Bytes whole = Stream(SIZE_MAX);
    ASSERT_GT(whole.size(), kPipelinedBytes + kScanBlockSize);
    krelby::testing::TempFolder dir;
    const unsigned flightAndEngine = FrameTypeBit(FrameType::Flight) | FrameTypeBit(FrameType::Engine);
    for (size_t bytes : {size_t{0}, size_t{100}, kScanBlockSize + 1, size_t{kPipelinedBytes}, size_t{kPipelinedBytes} + 7, whole.size()}) {
        for (unsigned types : {kEveryFrameType, flightAndEngine}) {
            const Bytes stream(whole.begin(), whole.begin() + std::ptrdiff_t(bytes));
            krelby::testing::WriteFile(dir / "f", stream);
            InputFile file(dir / "f");
            Frames got;
            std::vector<uint64_t> progress;
            const ChecksumOptions checks;
            EXPECT_EQ(ScanWholeFile(file, checks, types, got, [&](uint64_t done) { progress.push_back(done); }), 0);
            const Frames want = OneScanner(stream, types);
            // The Frames of some types are those of all types but the others: an untested
            // Frame moves no boundary.
            std::vector<std::pair<FrameType, Bytes>> ofTypes;
            for (const auto& f : OneScanner(stream, kEveryFrameType).got)
                if (types & FrameTypeBit(f.first)) ofTypes.push_back(f);
            EXPECT_TRUE(want.got == ofTypes) << bytes;
            EXPECT_EQ(got.got.size(), want.got.size()) << bytes;
            EXPECT_TRUE(got.got == want.got) << bytes << " bytes, types " << types;
            ASSERT_FALSE(progress.empty());
            EXPECT_EQ(progress.back(), bytes);
        }
    }
}

TEST(ScanWholeFile, AHandlersExceptionEndsTheReadingAndPasses) {
    krelby::testing::TempFolder dir;
    krelby::testing::WriteFile(dir / "f", Stream(SIZE_MAX));
    struct Failing : FrameHandler {
        size_t frames = 0;
        void OnFrame(FrameType, const uint8_t*, size_t) override {
            if (++frames == 5000) throw std::runtime_error("disk full");
        }
    } failing;
    InputFile file(dir / "f");
    const ChecksumOptions checks;
    EXPECT_THROW(ScanWholeFile(file, checks, kEveryFrameType, failing), std::runtime_error);
    EXPECT_EQ(failing.frames, 5000u);
}
