#include "generator.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <optional>

#include "clock.h"
#include "flight_model.h"
#include "format/bytes.h"
#include "base/error.h"
#include "format/frame_scanner.h"
#include "import/blocks.h"
#include "frames.h"
#include "stream.h"

namespace krelby::gen {
namespace {

constexpr uint64_t kPurposeWrap = 4, kPurposeSd = 6;

class Output {
public:
    virtual ~Output() = default;
    virtual void WriteAt(uint64_t pos, const uint8_t* p, size_t n) = 0;
};

class VectorOutput final : public Output {
public:
    explicit VectorOutput(std::vector<uint8_t>& v) : v_(v) {}
    void WriteAt(uint64_t pos, const uint8_t* p, size_t n) override {
        if (v_.size() < pos + n) v_.resize(pos + n);
        std::memcpy(v_.data() + pos, p, n);
    }

private:
    std::vector<uint8_t>& v_;
};

// Gathers contiguous writes into large ones; a wrapped recording seeks once.
class FileOutput final : public Output {
public:
    explicit FileOutput(const std::string& path) : path_(path), file_(path, std::ios::binary | std::ios::trunc) {
        if (!file_) Fail("Cannot create ");
        buf_.reserve(kBuffer);
    }
    void WriteAt(uint64_t pos, const uint8_t* p, size_t n) override {
        if (pos != start_ + buf_.size() || buf_.size() + n > kBuffer) {
            Flush();
            start_ = pos;
        }
        buf_.insert(buf_.end(), p, p + n);
    }
    void Close() {
        Flush();
        file_.close();
        if (!file_) Fail("Cannot write ");
    }
    void Abandon() { file_.close(); }

private:
    static constexpr size_t kBuffer = 4 << 20;
    void Flush() {
        if (buf_.empty()) return;
        file_.seekp(static_cast<std::streamoff>(start_));
        file_.write(reinterpret_cast<const char*>(buf_.data()), static_cast<std::streamsize>(buf_.size()));
        if (!file_) Fail("Cannot write ");
        start_ += buf_.size();
        buf_.clear();
    }
    [[noreturn]] void Fail(const char* what) { throw Error(what + path_ + ": " + std::strerror(errno)); }

    std::string path_;
    std::ofstream file_;
    uint64_t start_ = 0;
    std::vector<uint8_t> buf_;
};

// A recording that wrapped: stream block b was written to file block b mod wrapBlock, so
// the file holds stream blocks totalBlocks - wrapBlock to totalBlocks - 1.
struct Ring {
    bool active = false;
    uint64_t wrapBlock = 0, totalBlocks = 0;
};

// Cuts the stream into 508-byte payloads behind running-number headers.
class BlockAssembler final : public ByteSink {
public:
    BlockAssembler(Output& out, uint32_t firstHeader, const Ring& ring)
        : out_(out), firstHeader_(firstHeader), ring_(ring) {}
    void Put(const uint8_t* p, size_t n) override {
        while (n > 0) {
            const size_t take = std::min<size_t>(n, kBlockPayloadSize - fill_);
            std::memcpy(block_ + kBlockHeaderSize + fill_, p, take);
            fill_ += take;
            p += take;
            n -= take;
            if (fill_ == kBlockPayloadSize) Flush();
        }
    }
    // The last block stays short unless `pad` fills it up with zeros.
    void Finish(bool pad) {
        if (fill_ == 0) return;
        if (pad) {
            std::memset(block_ + kBlockHeaderSize + fill_, 0, kBlockPayloadSize - fill_);
            fill_ = kBlockPayloadSize;
        }
        Flush();
    }
    uint64_t BytesWritten() const { return written_; }

private:
    void Flush() {
        uint32_t header = static_cast<uint32_t>(firstHeader_ + index_);
        if (header == 0) header = 1;
        put32le(block_, 0, header);
        uint64_t fileBlock = index_;
        bool keep = true;
        if (ring_.active) {
            if (index_ >= ring_.wrapBlock) fileBlock = index_ - ring_.wrapBlock;
            else keep = index_ >= ring_.totalBlocks - ring_.wrapBlock;
        }
        if (keep) {
            out_.WriteAt(fileBlock * kBlockSize, block_, kBlockHeaderSize + fill_);
            written_ += kBlockHeaderSize + fill_;
        }
        ++index_;
        fill_ = 0;
    }

    Output& out_;
    uint32_t firstHeader_;
    Ring ring_;
    uint8_t block_[kBlockSize];
    size_t fill_ = 0;
    uint64_t index_ = 0, written_ = 0;
};

void Validate(const RecordingOptions& o) {
    if (o.secondsPerFlight < 1 || o.secondsPerFlight > 1000000)
        throw Error("Seconds per flight must be between 1 and 1000000");
    if (o.flights < 0 || o.flights > 1000000) throw Error("Flights must be between 0 and 1000000");
    if (o.engineMonitors < 0 || o.engineMonitors > 4) throw Error("Engine monitors must be between 0 and 4");
    if (o.startYear < 2000 || o.startYear > 2200 || o.startMonth < 1 || o.startMonth > 12 || o.startDay < 1 ||
        o.startDay > DaysInMonth(o.startYear, o.startMonth) || o.startHour < 0 || o.startHour > 23 ||
        o.startMinute < 0 || o.startMinute > 59)
        throw Error("The start date or time is not a valid date and time from 2000 to 2200");
    for (double p : {o.faults.junkBytes, o.faults.badCrc, o.faults.truncated, o.faults.oversizedLength})
        if (!(p >= 0 && p <= 1)) throw Error("Fault rates must be between 0 and 1");
    if (o.wrap && o.flights < 1 && o.targetBytes == 0) throw Error("A wrapped recording needs at least one flight");
}

// Keeps the stream bytes from one offset on.
class CaptureSink final : public ByteSink {
public:
    explicit CaptureSink(uint64_t from) : from_(from) {}
    void Put(const uint8_t* p, size_t n) override {
        const uint64_t end = at_ + n;
        if (end > from_) {
            const uint64_t skip = at_ >= from_ ? 0 : from_ - at_;
            bytes.insert(bytes.end(), p + skip, p + n);
        }
        at_ = end;
    }
    std::vector<uint8_t> bytes;

private:
    uint64_t from_, at_ = 0;
};

// Offsets of the FlightMessages a fresh scanner finds in a piece of the stream.
std::vector<uint64_t> FlightMessagesFound(const uint8_t* p, size_t n, uint64_t offset) {
    struct Handler final : FrameHandler {
        const uint8_t* base;
        const uint8_t* end;
        uint64_t offset;
        std::vector<uint64_t> found;
        // The scanner hands on its own buffer; where the Frame ended tells where it began.
        const uint8_t* cursor = nullptr;
        void OnFrame(FrameType t, const uint8_t*, size_t size) override {
            if (t == FrameType::Flight) found.push_back(offset + static_cast<uint64_t>(cursor - base) - size);
        }
    } h;
    h.base = p;
    h.offset = offset;
    ChecksumOptions checksums;
    FrameScanner scanner(checksums);
    // One byte at a time, so that the position of each completion is known.
    for (size_t i = 0; i < n; ++i) {
        h.cursor = p + i + 1;
        scanner.Feed(p + i, 1, h);
    }
    return h.found;
}

// Places the wrap inside the newest flight and finds the clock skip that puts the file's first
// FlightMessage 8 to 50 seconds after its last, as a display's interrupted write would.
void PlanWrap(const RecordingOptions& o, Ring& ring, ClockSkip& skip, int& gapSeconds) {
    RecordingStats scratch;
    StreamGenerator measure(o, nullptr, scratch);
    measure.Run({});
    const uint64_t start = measure.LastFlightStart(), end = measure.Offset();
    Rng rng = Rng::Derived(o.seed, kPurposeWrap);
    const double at = rng.Range(0.55, 0.8);
    const uint64_t w = (start + static_cast<uint64_t>(static_cast<double>(end - start) * at)) / kBlockPayloadSize * kBlockPayloadSize;
    ring = {true, w / kBlockPayloadSize, (end + kBlockPayloadSize - 1) / kBlockPayloadSize};
    const char* tooShort = "The flights are too short to wrap the recording; give them more seconds";
    if (w <= start || ring.totalBlocks - ring.wrapBlock > ring.wrapBlock) throw Error(tooShort);

    // Scan the bytes around the wrap as the import will see them: the end of the file read on
    // from a FlightMessage well before it, the start of the file read afresh.
    const auto& fms = measure.LastFlightMessages();
    const FlightMessageRecord* firstAfter = nullptr;
    uint64_t from = start;
    for (const auto& r : fms) {
        if (r.start >= w) {
            firstAfter = &r;
            break;
        }
        if (r.start + 16384 < w && r.sound && r.swallowedFrom < 0) from = r.start;
    }
    if (!firstAfter) throw Error(tooShort);
    CaptureSink capture(from);
    StreamGenerator again(o, &capture, scratch);
    again.StopAt(std::min(end, w + 16384));
    again.Run({});
    const auto* bytes = capture.bytes.data();
    const auto before = FlightMessagesFound(bytes, static_cast<size_t>(w - from), from);
    const auto after = FlightMessagesFound(bytes + (w - from), capture.bytes.size() - static_cast<size_t>(w - from), w);
    auto secondAt = [&](uint64_t offset) {
        for (const auto& r : fms)
            if (r.start == offset) return r.second;
        return -1;
    };
    const int last = before.empty() ? -1 : secondAt(before.back());
    const int first = after.empty() ? -1 : secondAt(after.front());
    const int target = rng.Int(8, 50);
    const int span = last >= 0 && first >= 0 ? first - last : 1;
    skip = {measure.Flights() - 1, firstAfter->second, std::max(0, target - span)};
    gapSeconds = span + skip.seconds;
}

// A zero block ends an SD card recording; what follows is whatever the card held before,
// here random bytes with a few stale but sound Frames of an older recording.
uint64_t WriteSdTail(const RecordingOptions& o, Output& out, uint64_t pos) {
    Rng rng = Rng::Derived(o.seed, kPurposeSd + 1);
    const int blocks = 1 + rng.Int(2, 6);
    AircraftState stale;
    const CivilTime old{std::max(2000, o.startYear - 1), 3, 2, 11, 5, 0};
    uint8_t block[kBlockSize];
    for (int b = 0; b < blocks; ++b) {
        for (uint64_t i = 0; i < kBlockSize; ++i) block[i] = static_cast<uint8_t>(rng.Next());
        uint32_t header = b == 0 ? 0 : static_cast<uint32_t>(rng.Next());
        if (b > 0 && header == 0) header = 1;
        put32le(block, 0, header);
        for (int k = rng.Int(1, 3); k > 0; --k) {
            CivilTime t = old;
            t.second = rng.Int(0, 59);
            uint8_t frame[kMaxFrameCapacity];
            const size_t n = EncodeFlight(frame, stale, t);
            std::memcpy(block + kBlockHeaderSize + rng.Int(0, static_cast<int>(kBlockPayloadSize - n)), frame, n);
        }
        out.WriteAt(pos + b * kBlockSize, block, kBlockSize);
    }
    return static_cast<uint64_t>(blocks) * kBlockSize;
}

void Produce(const RecordingOptions& o, Output& out, RecordingStats& stats) {
    Validate(o);
    stats = RecordingStats{};
    Ring ring;
    ClockSkip skip;
    if (o.wrap) PlanWrap(o, ring, skip, stats.wrapGapSeconds);
    const uint32_t firstHeader = o.sdCard ? static_cast<uint32_t>(Rng::Derived(o.seed, kPurposeSd).Int(1, 60000)) : 1;
    BlockAssembler blocks(out, firstHeader, ring);
    StreamGenerator gen(o, &blocks, stats);
    gen.Run(skip);
    // A wrapped file is whole blocks; so is an SD card's, whose blocks are the card's sectors.
    blocks.Finish(o.wrap || o.sdCard);
    stats.flights = gen.Flights();
    stats.streamBytes = gen.Offset();
    stats.fileBytes = blocks.BytesWritten();
    if (o.sdCard && !o.wrap) stats.fileBytes += WriteSdTail(o, out, stats.fileBytes);
}

}  // namespace

std::vector<uint8_t> Recording(const RecordingOptions& options, RecordingStats* stats) {
    std::vector<uint8_t> bytes;
    VectorOutput out(bytes);
    RecordingStats local;
    Produce(options, out, stats ? *stats : local);
    return bytes;
}

std::vector<uint8_t> FrameStream(const RecordingOptions& options, RecordingStats* stats) {
    const std::vector<uint8_t> file = Recording(options, stats);
    std::vector<uint8_t> stream;
    stream.reserve(file.size());
    for (size_t at = 0; at + kBlockHeaderSize < file.size(); at += kBlockSize) {
        if (options.sdCard && u32le(file.data(), at) == 0) break;
        const size_t end = std::min<size_t>(file.size(), at + kBlockSize);
        stream.insert(stream.end(), file.begin() + static_cast<ptrdiff_t>(at + kBlockHeaderSize),
                      file.begin() + static_cast<ptrdiff_t>(end));
    }
    return stream;
}

void WriteRecording(const std::string& path, const RecordingOptions& options, RecordingStats* stats) {
    Validate(options);
    FileOutput out(path);
    RecordingStats local;
    try {
        Produce(options, out, stats ? *stats : local);
        out.Close();
    } catch (...) {
        // A half-written recording would pass for a whole one: leave none behind.
        out.Abandon();
        std::error_code ec;
        std::filesystem::remove(path, ec);
        throw;
    }
}

}  // namespace krelby::gen
