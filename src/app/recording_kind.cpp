#include "recording_kind.h"

#include <cctype>

#include "import/recording_kind.h"

namespace krelby {

RecordingKind GuessRecordingKind(const std::string& path) {
    const size_t dot = path.find_last_of("./");
    if (dot != std::string::npos && path[dot] == '.') {
        std::string ext = path.substr(dot + 1);
        for (char& c : ext) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
        if (ext == "REC") return RecordingKind::SdCard;
    }
    return RecordingKindOfHeaders(path).value_or(RecordingKind::Internal);
}

}  // namespace krelby
