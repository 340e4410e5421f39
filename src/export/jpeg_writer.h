// The chart picture as a progressive JPEG file of quality 90, colour at every pixel (4:4:4)
// and 96 DPI, through libjpeg.
#pragma once
#include <cstdint>
#include <span>
#include <string>

namespace krelby {

// `rgb` holds height rows of width pixels, 3 bytes each (red, green, blue), top row first.
// The file is written whole or not at all: an existing file is replaced only on success.
// Throws krelby::Error: "Cannot create file " + path when it cannot be created, or the
// encoder's message when compressing or writing fails. A path that leads to `source` (the
// flight the chart shows) is refused before anything is written.
void WriteJpeg(const std::string& path, int width, int height, std::span<const uint8_t> rgb,
               const std::string& source = {});

}  // namespace krelby
