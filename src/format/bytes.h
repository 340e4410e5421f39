// Explicit little-endian readers and writers over byte buffers.
#pragma once
#include <cstddef>
#include <cstdint>

namespace krelby {

inline uint8_t u8(const uint8_t* b, size_t off) { return b[off]; }
inline uint16_t u16le(const uint8_t* b, size_t off) {
    return static_cast<uint16_t>(b[off] | (b[off + 1] << 8));
}
inline int16_t i16le(const uint8_t* b, size_t off) { return static_cast<int16_t>(u16le(b, off)); }
inline uint32_t u32le(const uint8_t* b, size_t off) {
    return static_cast<uint32_t>(b[off]) | (static_cast<uint32_t>(b[off + 1]) << 8) |
           (static_cast<uint32_t>(b[off + 2]) << 16) | (static_cast<uint32_t>(b[off + 3]) << 24);
}
inline int32_t i32le(const uint8_t* b, size_t off) { return static_cast<int32_t>(u32le(b, off)); }

inline void put16le(uint8_t* b, size_t off, uint16_t v) {
    b[off] = static_cast<uint8_t>(v);
    b[off + 1] = static_cast<uint8_t>(v >> 8);
}
inline void put32le(uint8_t* b, size_t off, uint32_t v) {
    for (int i = 0; i < 4; ++i) b[off + i] = static_cast<uint8_t>(v >> (8 * i));
}

}  // namespace krelby
