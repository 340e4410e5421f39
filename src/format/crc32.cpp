#include "format/crc32.h"

#include <zlib.h>
#ifdef KRELBY_HAVE_ISAL
#include <isa-l/crc.h>
#endif

#include "format/bytes.h"

namespace krelby {

uint32_t Crc32(const uint8_t* data, size_t count) {
#ifdef KRELBY_HAVE_ISAL
    // The same CRC by carry-less multiplication: many times zlib's speed on Frame-sized runs,
    // where the import spends most of its time.
    return crc32_gzip_refl(0, data, count);
#else
    // zlib's table-driven CRC-32 is the same polynomial, init and final xor.
    uLong crc = crc32(0L, Z_NULL, 0);
    while (count > 0) {
        const uInt chunk = count > 0x40000000u ? 0x40000000u : static_cast<uInt>(count);
        crc = crc32(crc, data, chunk);
        data += chunk;
        count -= chunk;
    }
    return static_cast<uint32_t>(crc);
#endif
}

bool ChecksumTest(const uint8_t* frame, const ChecksumOptions& options) {
    if (options.IgnoreChecksums) return true;
    const size_t L = frame[2];
    return Crc32(frame + 4, L + 12) == u32le(frame, L + 16);
}

void SealFrame(uint8_t* frame) {
    const size_t L = frame[2];
    put32le(frame, L + 16, Crc32(frame + 4, L + 12));
}

}  // namespace krelby
