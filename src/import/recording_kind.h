// Which import a recording needs. Its block headers tell: an SD card recording has non-zero
// block headers from its first block on, up to a block whose header is 0; an internal
// recording (whose import never reads the headers) does not end so.
#pragma once
#include <optional>
#include <string>

#include "import/import.h"

namespace krelby {

// Nothing when the file cannot be opened or is not a regular file (its import reports
// why); never waits on a FIFO or a device. A last block of 4 bytes or fewer is not looked at.
std::optional<RecordingKind> RecordingKindOfHeaders(const std::string& path);

// For a recording opened without a choice (dropped, or named to the window): SD card when
// named *.REC, or when its block headers say so; otherwise internal. An unreadable file
// counts as internal (its import reports the error).
RecordingKind GuessRecordingKind(const std::string& path);

}  // namespace krelby
