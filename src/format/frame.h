// Frame layout, FrameTypes and their length rules.
#pragma once
#include <cstddef>
#include <cstdint>

namespace krelby {

enum class FrameType : uint8_t {
    Flight = 1,
    Gps = 2,
    Attitude = 3,
    Inputs = 4,
    Engine = 10,
    Fuel = 11,
    Navigation = 30,
};

constexpr uint8_t kSync1 = 0x05;
constexpr uint8_t kSync2 = 0x02;
// A Frame is L + 20 bytes: 5 header bytes, an (L + 11)-byte body, a 4-byte CRC-32.
constexpr size_t kFrameOverhead = 20;
constexpr size_t FrameSize(uint8_t L) { return size_t{L} + kFrameOverhead; }
constexpr size_t kFrameHeaderSize = 5;

// The header: the two sync bytes, L, L's complement, the FrameType.
inline void WriteFrameHeader(uint8_t* frame, FrameType type, uint8_t L) {
    frame[0] = kSync1;
    frame[1] = kSync2;
    frame[2] = L;
    frame[3] = static_cast<uint8_t>(L ^ 0xFF);
    frame[4] = static_cast<uint8_t>(type);
}

// Fixed length byte of FrameTypes 1, 2, 3, 30; -1 where any length is taken.
constexpr int RequiredLength(FrameType t) {
    switch (t) {
        case FrameType::Flight: return 24;
        case FrameType::Gps: return 36;
        case FrameType::Attitude: return 20;
        case FrameType::Navigation: return 44;
        default: return -1;
    }
}

// Frame buffer capacity per FrameType; a Frame longer than this is never stored.
constexpr size_t FrameCapacity(FrameType t) {
    switch (t) {
        case FrameType::Flight: return 44;
        case FrameType::Gps: return 56;
        case FrameType::Attitude: return 40;
        case FrameType::Inputs: return 64;
        case FrameType::Engine: return 76;
        case FrameType::Fuel: return 144;
        case FrameType::Navigation: return 64;
    }
    return 0;
}
constexpr size_t kMaxFrameCapacity = 144;

// True for the seven FrameTypes of the system.
constexpr bool IsKnownFrameType(uint8_t b) {
    return b == 1 || b == 2 || b == 3 || b == 4 || b == 10 || b == 11 || b == 30;
}

// Index 0..6 of a known FrameType, for per-type tables.
constexpr int FrameTypeIndex(FrameType t) {
    switch (t) {
        case FrameType::Flight: return 0;
        case FrameType::Gps: return 1;
        case FrameType::Attitude: return 2;
        case FrameType::Inputs: return 3;
        case FrameType::Engine: return 4;
        case FrameType::Fuel: return 5;
        case FrameType::Navigation: return 6;
    }
    return -1;
}
constexpr int kFrameTypeCount = 7;

// A set of FrameTypes, a bit each at its FrameTypeIndex.
constexpr unsigned FrameTypeBit(FrameType t) { return 1u << FrameTypeIndex(t); }
constexpr unsigned kEveryFrameType = (1u << kFrameTypeCount) - 1;

static_assert(FrameSize(24) == 44 && FrameSize(36) == 56 && FrameSize(20) == 40 && FrameSize(44) == 64);
static_assert(FrameSize(56) == FrameCapacity(FrameType::Engine));
static_assert(FrameSize(124) == FrameCapacity(FrameType::Fuel));

}  // namespace krelby
