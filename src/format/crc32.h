// The one checksum module: CRC-32 (ISO-HDLC / IEEE 802.3 / zlib) and the Frame checksum test.
#pragma once
#include <cstddef>
#include <cstdint>

namespace krelby {

// The option "Ignore checksums when importing recording". Read at every test,
// so switching it takes effect at the next Frame; governs import and replay alike.
struct ChecksumOptions {
    bool IgnoreChecksums = false;
};

uint32_t Crc32(const uint8_t* data, size_t count);

// True if the Frame in `frame` (complete, from its first sync byte) carries a
// matching CRC-32 over frame offsets 4 to L+15, or if checksums are ignored.
bool ChecksumTest(const uint8_t* frame, const ChecksumOptions& options);

// Stores the CRC-32 of frame offsets 4 to L+15 at L+16 (for writers of Frames).
void SealFrame(uint8_t* frame);

}  // namespace krelby
