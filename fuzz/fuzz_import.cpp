// Arbitrary bytes as an internal and as an SD card recording: the import must end normally or
// with a krelby::Error, and every flight file it leaves must be whole Frames back to back.
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "base/error.h"
#include "format/frame_scanner.h"
#include "import/import.h"

namespace fs = std::filesystem;

namespace {

struct Sizes : krelby::FrameHandler {
    void OnFrame(krelby::FrameType, const uint8_t*, size_t n) override { total += n; }
    size_t total = 0;
};

// Re-scanning a flight file finds Frames that fill it exactly.
void CheckFlightFiles(const std::string& folder, const krelby::ChecksumOptions& options) {
    for (const auto& e : fs::directory_iterator(folder)) {
        std::ifstream in(e.path(), std::ios::binary);
        const std::vector<uint8_t> bytes((std::istreambuf_iterator<char>(in)), {});
        krelby::FrameScanner scanner(options);
        Sizes sizes;
        scanner.Feed(bytes.data(), bytes.size(), sizes);
        if (sizes.total != bytes.size()) std::abort();
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    // A memory file system where there is one: many small files are made and removed.
    std::string tmpl = fs::is_directory("/dev/shm") ? "/dev/shm" : "/tmp";
    tmpl += "/krelby-fuzz-import-XXXXXX";
    if (!mkdtemp(tmpl.data())) return 0;
    const std::string root = tmpl + "/";
    fs::create_directory(root + "Flights_INT");
    fs::create_directory(root + "Flights_SD");
    const std::string recording = root + "recording.dat";
    std::ofstream(recording, std::ios::binary).write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
    krelby::ChecksumOptions options;
    options.IgnoreChecksums = size > 0 && (data[size - 1] & 1);
    for (auto kind : {krelby::RecordingKind::Internal, krelby::RecordingKind::SdCard}) {
        try {
            const auto result = krelby::ImportRecording(recording, kind, root, {}, options);
            if (result.FlightCount < 0 || result.SkippedInvalidDates < 0) std::abort();
        } catch (const krelby::Error&) {
        }
        CheckFlightFiles(root + (kind == krelby::RecordingKind::SdCard ? "Flights_SD" : "Flights_INT"), options);
    }
    fs::remove_all(root);
    return 0;
}
