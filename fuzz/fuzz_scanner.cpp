// Arbitrary bytes in arbitrary piece sizes: the scanner must find the same Frames as when the
// stream comes in one piece, each complete, within its buffer and passing its test. Pieces of
// one byte take every Frame through the byte-by-byte states, the one piece mostly not.
#include <cstdlib>
#include <vector>

#include "format/frame_scanner.h"

namespace {

struct Collect : krelby::FrameHandler {
    explicit Collect(const krelby::ChecksumOptions& o) : options(o) {}
    void OnFrame(krelby::FrameType type, const uint8_t* f, size_t n) override {
        const bool whole = f[0] == krelby::kSync1 && f[1] == krelby::kSync2 && n == krelby::FrameSize(f[2]) &&
                           f[3] == (f[2] ^ 0xFF) && f[4] == static_cast<uint8_t>(type) &&
                           n <= krelby::FrameCapacity(type);
        if (!whole || (type != krelby::FrameType::Fuel && !krelby::ChecksumTest(f, options))) std::abort();
        frames.emplace_back(f, f + n);
    }
    const krelby::ChecksumOptions& options;
    std::vector<std::vector<uint8_t>> frames;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 2) return 0;
    krelby::ChecksumOptions options;
    options.IgnoreChecksums = data[0] & 1;
    const size_t seed = data[1];
    data += 2;
    size -= 2;

    krelby::FrameScanner whole(options);
    Collect all(options);
    whole.Feed(data, size, all);

    krelby::FrameScanner pieces(options);
    Collect some(options);
    for (size_t at = 0, k = 0; at < size; ++k) {
        const size_t n = std::min(size - at, 1 + (seed * 7 + k * 13) % 97);  // 1..97 bytes a piece
        if (pieces.Feed(data + at, n, some) != n) std::abort();
        at += n;
    }
    if (some.frames != all.frames || pieces.State() != whole.State()) std::abort();

    krelby::FrameScanner bytes(options);
    Collect each(options);
    for (size_t at = 0; at < size; ++at) bytes.Feed(data + at, 1, each);
    if (each.frames != all.frames || bytes.State() != whole.State()) std::abort();
    return 0;
}
