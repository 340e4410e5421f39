#include "recording_kind.h"

#include <array>
#include <cctype>
#include <fstream>

#include "format/bytes.h"

namespace krelby {

RecordingKind GuessRecordingKind(const std::string& path) {
    const size_t dot = path.find_last_of("./");
    if (dot != std::string::npos && path[dot] == '.') {
        std::string ext = path.substr(dot + 1);
        for (char& c : ext) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
        if (ext == "REC") return RecordingKind::SdCard;
    }
    std::ifstream in(path, std::ios::binary);
    std::array<uint8_t, 5> head{};  // a block of 4 bytes or fewer carries nothing
    for (uint64_t offset = 0;; offset += 512) {
        in.seekg(static_cast<std::streamoff>(offset));
        in.read(reinterpret_cast<char*>(head.data()), head.size());
        if (in.gcount() < static_cast<std::streamsize>(head.size())) return RecordingKind::Internal;
        if (u32le(head.data(), 0) == 0) return offset > 0 ? RecordingKind::SdCard : RecordingKind::Internal;
    }
}

}  // namespace krelby
