#include "import/import.h"

#include <algorithm>
#include <chrono>
#include <memory>
#include <thread>

#include "base/error.h"
#include "base/program_folder.h"
#include "format/bytes.h"
#include "format/frame_scanner.h"
#include "import/blocks.h"
#include "import/flight_file_writer.h"
#include "import/import_state.h"

namespace krelby {
namespace {

// 256 KiB per read: the read buffer and the flight file buffer stay in the second-level cache
// while the Frames are tested and copied. The block is the format's unit.
constexpr size_t kReadSize = 512 * kBlockSize;

// Walks a recording block by block, feeding each block's stream bytes to the scanner.
class RecordingPass {
public:
    RecordingPass(InputFile& file, FrameScanner& scanner, ImportState& state,
                  const Progress& progress)
        : file_(file), scanner_(scanner), state_(state), progress_(progress),
          capacity_(static_cast<size_t>(std::min<uint64_t>((file.Size() / kBlockSize + 1) * kBlockSize, kReadSize))),
          buffer_(new uint8_t[capacity_]) {}

    // First pass. Returns false when an SD card block header of 0 ended it early.
    bool First(bool stopAtEmptyBlock) {
        uint64_t done = 0;
        stream_ = 0;
        for (;;) {
            const size_t n = file_.Read(buffer_.get(), capacity_);
            if (n == 0) return true;
            for (size_t at = 0; at < n; at += kBlockSize) {
                const size_t len = std::min(kBlockSize, n - at);
                if (len <= kBlockHeaderSize) continue;
                const uint8_t* block = buffer_.get() + at;
                if (stopAtEmptyBlock && u32le(block, 0) == 0) return false;
                Feed(block + kBlockHeaderSize, len - kBlockHeaderSize);
            }
            done += n;
            if (progress_) progress_(done, file_.Size());
            if (n < capacity_) return true;
        }
    }

    // Second pass: from the start again until the last flight file is closed by a clock jump.
    void Second() {
        file_.Rewind();
        state_.BeginSecondPass();
        stream_ = 0;
        bool cutFrame = scanner_.State() != 0;
        for (;;) {
            const size_t n = file_.Read(buffer_.get(), capacity_);
            for (size_t at = 0; at < n; at += kBlockSize) {
                const size_t len = std::min(kBlockSize, n - at);
                if (len <= kBlockHeaderSize) continue;
                const uint8_t* p = buffer_.get() + at + kBlockHeaderSize;
                size_t left = len - kBlockHeaderSize;
                // The Frame cut by the end of the file completes byte by byte, so it is known
                // apart from the Frames the first pass has already seen.
                while (cutFrame && left > 0) {
                    state_.SetCompletingCutFrame(true);
                    const size_t used = Feed(p, 1);
                    state_.SetCompletingCutFrame(false);
                    p += used;
                    left -= used;
                    cutFrame = used == 1 && scanner_.State() != 0;
                }
                Feed(p, left);
                if (!state_.FlightFileOpen()) return;
            }
            if (n < capacity_) return;
        }
    }

private:
    size_t Feed(const uint8_t* p, size_t n) {
        state_.SetPieceOffset(stream_);
        const size_t used = scanner_.Feed(p, n, state_);
        stream_ += int64_t(used);
        return used;
    }

    InputFile& file_;
    FrameScanner& scanner_;
    ImportState& state_;
    const Progress& progress_;
    size_t capacity_;
    std::unique_ptr<uint8_t[]> buffer_;
    int64_t stream_ = 0;  // stream bytes fed in this pass
};

// Makes the flight folder the import's alone for the rest of it: waits for another import
// that holds its lock. A folder whose lock file cannot be made (missing, read-only) is used
// as it is, and the flight file that cannot be made there says why.
void LockFolder(FileLock& lock, const std::string& flights, const ImportOptions& options) {
    const std::string path = flights + "/" + kImportLockFile;
    const auto busy = [&] { return Error("Another import into " + flights + " is running"); };
    const auto start = std::chrono::steady_clock::now();
    for (bool told = false;; std::this_thread::sleep_for(std::chrono::milliseconds(50))) {
        const int err = lock.TryLock(path);
        if (err != kLockBusy) return;
        if (!options.wait) throw busy();
        if (!told && std::chrono::steady_clock::now() - start < std::chrono::seconds(2)) continue;
        told = true;
        if (options.waiting && !options.waiting()) throw busy();
    }
}

}  // namespace

std::string ImportResult::Message() const {
    std::string text = "Imported " + std::to_string(FlightCount) + " flights.";
    if (AlreadyImported == 1) text += "\n1 flight was already imported.";
    if (AlreadyImported > 1) {
        text += '\n';
        text += std::to_string(AlreadyImported);
        text += " flights were already imported.";
    }
    if (SkippedInvalidDates > 0)
        text += "\nSkipped " + std::to_string(SkippedInvalidDates) +
                " flight messages with an invalid date or time.";
    return text;
}

ImportResult ImportRecording(const std::string& recording, RecordingKind kind,
                             const std::string& programFolder, const Regional& regional,
                             const ChecksumOptions& checks, const ImportOptions& options) {
    std::string folder = programFolder;
    if (!folder.empty() && folder.back() != '/') folder += '/';
    const bool sd = kind == RecordingKind::SdCard;
    InputFile file(recording);
    const char* const flightsName = sd ? kSdFlightsFolder : kInternalFlightsFolder;
    const std::string flights = folder + flightsName;
    FileLock lock;  // outlives the state, whose end may still write a flight file
    ImportState state(folder, flightsName, regional, file.Size(), [&] {
        if (options.beforeWriting) options.beforeWriting();
        LockFolder(lock, flights, options);
    });
    FrameScanner scanner(checks);
    state.Watch(scanner);
    RecordingPass pass(file, scanner, state, options.progress);

    const bool reachedEnd = pass.First(sd);
    if (reachedEnd && state.WrapDetected()) pass.Second();
    state.Finish();
    SyncFolder(flights);
    return {state.FlightCount(), state.SkippedInvalidDates(), state.ValidFrames(), state.AlreadyImported()};
}

}  // namespace krelby
