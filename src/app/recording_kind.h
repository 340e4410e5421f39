// Which import a dropped recording needs.
#pragma once
#include <string>

#include "import/import.h"

namespace krelby {

// SD card when named *.REC, or when its block headers say so (RecordingKindOfHeaders);
// otherwise internal. An unreadable file counts as internal (its import reports the error).
RecordingKind GuessRecordingKind(const std::string& path);

}  // namespace krelby
