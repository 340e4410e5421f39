// The byte-level state machine that finds Frames in any stream, fed in any number of pieces.
#pragma once
#include <array>
#include <cstddef>
#include <cstdint>

#include "format/crc32.h"
#include "format/frame.h"

namespace krelby {

// The scanner's user: completion actions per FrameType and an optional stop test.
class FrameHandler {
public:
    virtual ~FrameHandler() = default;
    // Called with a complete Frame (size = L + 20) that passed its checksum test
    // (FrameType 11 is never tested). The bytes are valid only during the call: they lie in
    // the fed piece itself or, for a Frame cut across pieces, in the scanner.
    virtual void OnFrame(FrameType type, const uint8_t* frame, size_t size) = 0;
    // Asked before each byte; true ends the current Feed there.
    virtual bool StopScanning() const { return false; }
};

class FrameScanner {
public:
    // Only Frames of `types` (a FrameTypeBit each) are tested and handed on; the others are
    // passed over as a good or a failing Frame is, for their checksums change no boundary.
    explicit FrameScanner(const ChecksumOptions& options, unsigned types = kEveryFrameType);

    void Reset() { state_ = 0; }
    int State() const { return state_; }

    // Feeds `n` bytes in stream order. Returns how many were consumed: all of them,
    // unless the handler's stop test ended the feed early.
    size_t Feed(const uint8_t* data, size_t n, FrameHandler& handler);
    // Inside a completion action: the bytes of the piece being fed up to the end of the Frame.
    size_t Consumed() const { return consumed_; }

private:
    // Starts gathering a Frame whose header (five bytes) has passed.
    void Begin(FrameType t, uint8_t L);
    // Tests the Frame at `frame` and hands it on; true if the handler was called.
    bool Complete(FrameType t, const uint8_t* frame, size_t size, FrameHandler& handler);

    const ChecksumOptions* options_;
    uint32_t wanted_ = 0;  // a bit at each wanted FrameType's own byte value (all below 32)
    int state_ = 0;
    uint16_t length_ = 0;
    FrameType type_ = FrameType::Flight;
    size_t gathered_ = 0;
    size_t toCome_ = 0;
    size_t consumed_ = 0;
    // Only a Frame cut across pieces is gathered here; one at a time, so one buffer serves all.
    std::array<uint8_t, kMaxFrameCapacity> buffer_{};
};

}  // namespace krelby
