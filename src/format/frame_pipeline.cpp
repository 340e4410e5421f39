#include "format/frame_pipeline.h"

#include <algorithm>
#include <array>
#include <atomic>
#include <condition_variable>
#include <exception>
#include <mutex>
#include <thread>
#include <vector>

namespace krelby {
namespace {

// A Frame found in a block: where its bytes lie (in the block itself, or, cut across two
// blocks, copied out of the scanner into the block's spill) and what it is.
struct FrameRef {
    uint32_t at;
    uint8_t size;  // at most kMaxFrameCapacity
    FrameType type;
    bool spilled;
};

struct Block {
    std::vector<uint8_t> bytes = std::vector<uint8_t>(kScanBlockSize);
    std::vector<uint8_t> spill;
    std::vector<FrameRef> frames;
    uint64_t done = 0;  // bytes read up to this block's end
    bool last = false;
    int error = 0;
    std::exception_ptr failure;
};

// Notes each good Frame of the block being scanned.
struct Collector : FrameHandler {
    Block* block = nullptr;
    void OnFrame(FrameType type, const uint8_t* frame, size_t size) override {
        const uint8_t* begin = block->bytes.data();
        if (frame >= begin && frame < begin + block->bytes.size()) {
            block->frames.push_back({uint32_t(frame - begin), uint8_t(size), type, false});
        } else {
            block->frames.push_back({uint32_t(block->spill.size()), uint8_t(size), type, true});
            block->spill.insert(block->spill.end(), frame, frame + size);
        }
    }
};

// Blocks go round between the reader (empty ones in, scanned ones out) and the caller. Three
// of them: one being scanned, one being decoded, one ready for whichever is faster.
class Pipeline {
public:
    Pipeline(InputFile& file, const ChecksumOptions& checks, unsigned types) : file_(file), scanner_(checks, types) {
        for (Block& b : blocks_) empty_.push_back(&b);
        reader_ = std::thread([this] { Read(); });
    }
    ~Pipeline() {
        {
            std::lock_guard lock(mutex_);
            stopped_ = true;
        }
        changed_.notify_all();
        reader_.join();
    }

    Block* NextScanned() {
        std::unique_lock lock(mutex_);
        changed_.wait(lock, [&] { return !scanned_.empty(); });
        Block* b = scanned_.front();
        scanned_.erase(scanned_.begin());
        return b;
    }
    void GiveBack(Block* b) {
        {
            std::lock_guard lock(mutex_);
            empty_.push_back(b);
        }
        changed_.notify_all();
    }

private:
    void Read() {
        uint64_t done = 0;
        for (;;) {
            Block* b = nullptr;
            {
                std::unique_lock lock(mutex_);
                changed_.wait(lock, [&] { return stopped_ || !empty_.empty(); });
                if (stopped_) return;
                b = empty_.back();
                empty_.pop_back();
            }
            b->frames.clear();
            b->spill.clear();
            try {
                size_t n = 0;
                b->error = file_.ReadSome(b->bytes.data(), b->bytes.size(), n);
                Collector collect;
                collect.block = b;
                if (!b->error && n > 0) scanner_.Feed(b->bytes.data(), n, collect);
                done += n;
                b->done = done;
                b->last = b->error || n < b->bytes.size();
            } catch (...) {
                b->failure = std::current_exception();
                b->last = true;
            }
            {
                std::lock_guard lock(mutex_);
                scanned_.push_back(b);
            }
            changed_.notify_all();
            if (b->last) return;
        }
    }

    InputFile& file_;
    FrameScanner scanner_;
    std::array<Block, 3> blocks_;
    std::mutex mutex_;
    std::condition_variable changed_;
    std::vector<Block*> empty_, scanned_;  // scanned ones in file order
    bool stopped_ = false;
    std::thread reader_;  // last: it starts once all else is ready
};

// The threads of this process reading Frames just now: a replay takes a second one only while
// a core is left for it, not when several replays already share the machine (the logbook
// reads several flights at once).
std::atomic<unsigned> g_readers{0};

class Readers {
public:
    // One thread, or two when a core is free for the second.
    Readers() {
        const unsigned cores = std::max(1u, std::thread::hardware_concurrency());
        unsigned now = g_readers.load();
        do taken_ = now + 2 <= cores ? 2 : 1;
        while (!g_readers.compare_exchange_weak(now, now + taken_));
    }
    ~Readers() { g_readers -= taken_; }
    Readers(const Readers&) = delete;
    Readers& operator=(const Readers&) = delete;
    bool Two() const { return taken_ == 2; }

private:
    unsigned taken_ = 1;
};

int ScanOnThisThread(InputFile& file, const ChecksumOptions& checks, unsigned types, FrameHandler& handler,
                     const std::function<void(uint64_t)>& afterBlock) {
    FrameScanner scanner(checks, types);
    std::vector<uint8_t> block(kScanBlockSize);
    uint64_t done = 0;
    for (;;) {
        size_t n = 0;
        if (const int err = file.ReadSome(block.data(), block.size(), n)) return err;
        if (n > 0) scanner.Feed(block.data(), n, handler);
        done += n;
        if (afterBlock) afterBlock(done);
        if (n < block.size()) return 0;
    }
}

}  // namespace

int ScanWholeFile(InputFile& file, const ChecksumOptions& checks, unsigned types, FrameHandler& handler,
                  const std::function<void(uint64_t)>& afterBlock) {
    // A second thread and its blocks pay only for a long flight: the logbook lists a thousand
    // short ones faster without.
    const Readers readers;
    if (file.Size() < kPipelinedBytes || !readers.Two())
        return ScanOnThisThread(file, checks, types, handler, afterBlock);
    Pipeline pipeline(file, checks, types);
    for (;;) {
        Block* b = pipeline.NextScanned();
        if (b->failure) std::rethrow_exception(b->failure);
        for (const FrameRef& f : b->frames)
            handler.OnFrame(f.type, (f.spilled ? b->spill.data() : b->bytes.data()) + f.at, f.size);
        if (b->error) return b->error;
        if (afterBlock) afterBlock(b->done);
        const bool last = b->last;
        pipeline.GiveBack(b);
        if (last) return 0;
    }
}

}  // namespace krelby
