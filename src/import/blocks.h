// A recording is a run of 512-byte blocks, each a 4-byte header and 508 bytes of the Frame
// stream; only the last may be short. An internal recording's headers mean nothing to the
// import; an SD card's end the recording at the first header of 0.
#pragma once
#include <cstddef>

namespace krelby {

inline constexpr size_t kBlockSize = 512;
inline constexpr size_t kBlockHeaderSize = 4;
inline constexpr size_t kBlockPayloadSize = kBlockSize - kBlockHeaderSize;

}  // namespace krelby
