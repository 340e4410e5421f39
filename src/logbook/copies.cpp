#include "logbook/copies.h"

#include <algorithm>
#include <map>
#include <mutex>
#include <tuple>

#include "base/error.h"
#include "base/file.h"
#include "replay/replay.h"

namespace krelby {
namespace {

bool Before(const LogbookEntry& a, const LogbookEntry& b) {
    if (a.IsFlight() != b.IsFlight()) return a.IsFlight();
    const auto& x = a.summary.start;
    const auto& y = b.summary.start;
    if (x.has_value() != y.has_value()) return x.has_value();
    if (x && *x != *y) return *x < *y;
    return a.file < b.file;
}

// The digests of a file's dated FlightMessages, in order, as its summary counts them.
class FlightMessagesSink : public ReplaySink {
public:
    bool ReadsMessages() const override { return true; }
    bool TakesItems() const override { return false; }
    unsigned MessageTypes() const override { return FrameTypeBit(FrameType::Flight); }
    void OnMessage(FrameType type, const uint8_t* frame, size_t) override {
        if (type == FrameType::Flight) pending_ = frame;
    }
    void OnFlightTime(double) override {
        if (pending_) digests.push_back(FlightMessageDigest(pending_));
        pending_ = nullptr;
    }
    std::vector<uint64_t> digests;

private:
    const uint8_t* pending_ = nullptr;
};

std::vector<uint64_t> FlightMessagesOf(const std::string& path) {
    InputFile file = OpenFlight(path);
    const Settings nothingTicked;
    const ChecksumOptions checks;  // tested, as the summary tests them
    FlightMessagesSink sink;
    FlightReplay(file, {nothingTicked, checks}, {&sink});
    return std::move(sink.digests);
}

// Whether the flight messages of `part` are some of those of `whole`, in the same order.
// Remembered for the run, keyed by both files' contents as their summaries tell them.
bool IsPartOf(const std::string& part, const FlightSummary& p, const std::string& whole, const FlightSummary& w) {
    using Key = std::tuple<std::string, std::string, int64_t, uint64_t, int64_t, uint64_t>;
    static std::mutex mutex;
    static std::map<Key, bool> known;
    const Key key{part, whole, p.flightMessages, p.messagesDigest, w.flightMessages, w.messagesDigest};
    {
        std::lock_guard lock(mutex);
        if (const auto it = known.find(key); it != known.end()) return it->second;
    }
    bool within = false;
    try {
        const std::vector<uint64_t> a = FlightMessagesOf(part), b = FlightMessagesOf(whole);
        size_t i = 0;
        for (size_t j = 0; i < a.size() && j < b.size(); ++j)
            if (a[i] == b[j]) ++i;
        within = !a.empty() && i == a.size();
    } catch (const Error&) {
        return false;  // gone or unreadable since it was summed up: not joined
    }
    std::lock_guard lock(mutex);
    known[key] = within;
    return within;
}

}  // namespace

bool SameFlightMessages(const FlightSummary& a, const FlightSummary& b) {
    return a.flightMessages > 0 && a.flightMessages == b.flightMessages && a.messagesDigest == b.messagesDigest &&
           a.start == b.start && a.end == b.end;
}

std::vector<LogbookEntry> JoinCopies(std::vector<LogbookEntry> files, const std::string& programFolder) {
    std::sort(files.begin(), files.end(), Before);
    std::vector<LogbookEntry> out;
    out.reserve(files.size());
    std::map<int64_t, std::vector<LogbookEntry*>> byStart;  // the flights that may have copies
    for (LogbookEntry& e : files) {
        if (e.copies.empty()) e.copies = {e.file};
        if (e.IsFlight() && e.summary.start && e.summary.end && e.summary.flightMessages > 0)
            byStart[*e.summary.start].push_back(&e);
        else
            out.push_back(std::move(e));
    }
    for (auto& [start, group] : byStart) {
        // The file with the most flight messages first: it is the one the others may be part of.
        std::stable_sort(group.begin(), group.end(), [](const LogbookEntry* a, const LogbookEntry* b) {
            return a->summary.flightMessages > b->summary.flightMessages;
        });
        struct Row {
            LogbookEntry entry;
            std::string whole;  // the file with the most flight messages, which the others are part of
            FlightSummary wholeSummary;
        };
        std::vector<Row> rows;
        for (LogbookEntry* e : group) {
            const FlightSummary& s = e->summary;
            const auto row = std::find_if(rows.begin(), rows.end(), [&](const Row& r) {
                const FlightSummary& w = r.wholeSummary;
                if (SameFlightMessages(s, w)) return true;
                return s.flightMessages < w.flightMessages && s.openerDigest == w.openerDigest &&
                       IsPartOf(programFolder + e->file, s, programFolder + r.whole, w);
            });
            if (row == rows.end()) {
                Row r{{}, e->file, s};
                r.entry = std::move(*e);
                rows.push_back(std::move(r));
                continue;
            }
            // The row shows the copy that goes on longest, the first file among equals.
            LogbookEntry& shown = row->entry;
            std::vector<std::string> copies = std::move(shown.copies);
            copies.push_back(e->file);
            if (*s.end > *shown.summary.end || (*s.end == *shown.summary.end && e->file < shown.file))
                shown = std::move(*e);
            shown.copies = std::move(copies);
        }
        for (Row& r : rows) {
            std::vector<std::string>& c = r.entry.copies;
            std::sort(c.begin(), c.end());
            const auto at = std::find(c.begin(), c.end(), r.entry.file);
            std::rotate(c.begin(), at, at + 1);
            out.push_back(std::move(r.entry));
        }
    }
    std::stable_sort(out.begin(), out.end(), Before);
    return out;
}

}  // namespace krelby
