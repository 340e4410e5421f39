// The internal and SD card recording imports: scan, split into flights, write flight files.
#pragma once
#include <cstdint>
#include <string>

#include "format/crc32.h"
#include "format/datetime.h"
#include "base/progress.h"
#include "base/regional.h"

namespace krelby {

enum class RecordingKind { Internal, SdCard };

struct ImportResult {
    int32_t FlightCount = 0;
    int32_t SkippedInvalidDates = 0;  // FlightMessages whose date or time the calendar rejects
    int64_t ValidFrames = 0;  // none: the file is no recording at all
    // "Imported N flights." and, when any were skipped, a second line.
    std::string Message() const;
};

// Imports `recording` into the program folder's Flights_INT (or Flights_SD).
// Throws krelby::Error with the file error's text; flight files written so far stay whole.
ImportResult ImportRecording(const std::string& recording, RecordingKind kind,
                             const std::string& programFolder, const Regional& regional,
                             const ChecksumOptions& checks, const Progress& progress = {});

}  // namespace krelby
