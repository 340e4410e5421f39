// The internal and SD card recording imports: scan, split into flights, write flight files.
#pragma once
#include <cstdint>
#include <functional>
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
    int32_t AlreadyImported = 0;  // flights not written: an earlier import's file holds them and more
    // "Imported N flights.", then "1 flight was already imported." (or "N flights were ...")
    // and a line on the messages skipped, when there are any.
    std::string Message() const;
};

// The hidden lock file in a flight folder that an import holds while it writes there.
inline constexpr const char* kImportLockFile = ".krelby-import.lock";

struct ImportOptions {
    Progress progress;
    // Another import holding the flight folder is waited for; without `wait` the import
    // throws at once. While it waits, `waiting` is called (from 2 s on, about 20 times a
    // second; the first call is the one to tell the user); false gives up, and the import
    // throws "Another import into FOLDER is running".
    bool wait = true;
    std::function<bool()> waiting;
    // Called once, before anything is written: the recording holds a flight to write.
    std::function<void()> beforeWriting;
};

// Imports `recording` into the program folder's Flights_INT (or Flights_SD), holding that
// folder's lock (kImportLockFile) from its first flight on, so that imports into one folder
// run one after the other. Throws krelby::Error with the file error's text; flight files
// written so far stay whole.
ImportResult ImportRecording(const std::string& recording, RecordingKind kind,
                             const std::string& programFolder, const Regional& regional,
                             const ChecksumOptions& checks, const ImportOptions& options);
inline ImportResult ImportRecording(const std::string& recording, RecordingKind kind,
                                    const std::string& programFolder, const Regional& regional,
                                    const ChecksumOptions& checks, const Progress& progress = {}) {
    ImportOptions options;
    options.progress = progress;
    return ImportRecording(recording, kind, programFolder, regional, checks, options);
}


}  // namespace krelby
