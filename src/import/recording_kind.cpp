#include "import/recording_kind.h"

#include <cctype>
#include <memory>

#include "base/file.h"
#include "format/bytes.h"
#include "import/blocks.h"

namespace krelby {
namespace {

constexpr size_t kChunk = 256 * kBlockSize;  // whole blocks per read, so none is split but the last

}  // namespace

std::optional<RecordingKind> RecordingKindOfHeaders(const std::string& path) {
    // The file layer refuses FIFOs and devices without waiting on them.
    InputFile file;
    if (file.Open(path) != 0) return std::nullopt;
    const std::unique_ptr<uint8_t[]> buffer(new uint8_t[kChunk]);
    for (uint64_t offset = 0;;) {
        size_t got = 0;
        if (file.ReadSome(buffer.get(), kChunk, got) != 0) return std::nullopt;
        for (size_t at = 0; at < got; at += kBlockSize, offset += kBlockSize) {
            if (got - at <= kBlockHeaderSize) return RecordingKind::Internal;
            if (u32le(buffer.get() + at, 0) == 0)
                return offset > 0 ? RecordingKind::SdCard : RecordingKind::Internal;
        }
        if (got < kChunk) return RecordingKind::Internal;
    }
}

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
