// Builds Frames from fields (for the recording generator, tests and fuzz seeds).
#pragma once
#include <cstdint>
#include <vector>

#include "format/bytes.h"
#include "format/crc32.h"
#include "format/frame.h"

namespace krelby {

class FrameBuilder {
public:
    FrameBuilder(FrameType type, uint8_t L) : bytes_(FrameSize(L), 0) { WriteFrameHeader(bytes_.data(), type, L); }
    explicit FrameBuilder(FrameType type)
        : FrameBuilder(type, static_cast<uint8_t>(FrameCapacity(type) - kFrameOverhead)) {}

    FrameBuilder& u8(size_t off, uint8_t v) { bytes_.at(off) = v; return *this; }
    FrameBuilder& u16(size_t off, uint16_t v) { check(off, 2); put16le(bytes_.data(), off, v); return *this; }
    FrameBuilder& i16(size_t off, int16_t v) { return u16(off, static_cast<uint16_t>(v)); }
    FrameBuilder& u32(size_t off, uint32_t v) { check(off, 4); put32le(bytes_.data(), off, v); return *this; }
    FrameBuilder& i32(size_t off, int32_t v) { return u32(off, static_cast<uint32_t>(v)); }

    // Computes and stores the CRC-32; call after the last field.
    std::vector<uint8_t> Sealed() const {
        std::vector<uint8_t> out = bytes_;
        SealFrame(out.data());
        return out;
    }
    // The Frame with a deliberately wrong CRC-32.
    std::vector<uint8_t> BadCrc() const {
        std::vector<uint8_t> out = Sealed();
        out.back() ^= 0xFF;
        return out;
    }

private:
    void check(size_t off, size_t w) const { (void)bytes_.at(off + w - 1); }
    std::vector<uint8_t> bytes_;
};

}  // namespace krelby
