#include "logbook/exceedance_outputs.h"

#include <algorithm>
#include <climits>
#include <set>

#include "replay/replay.h"

namespace krelby {

void FirstExceedances::Take(const Exceedance& e) {
    ++count_;
    if (after_ && !ExceedanceBefore(*after_, e)) return;  // given out before
    if (capacity_ == 0) {
        leftOut_ = true;
        return;
    }
    if (kept_.size() == capacity_) {
        leftOut_ = true;
        if (!ExceedanceBefore(e, kept_.top())) return;
        kept_.pop();
    }
    kept_.push(e);
}

std::vector<Exceedance> FirstExceedances::Sorted() {
    std::vector<Exceedance> list;
    list.reserve(kept_.size());
    for (; !kept_.empty(); kept_.pop()) list.push_back(kept_.top());
    std::reverse(list.begin(), list.end());
    return list;
}

namespace {

// One replay of the open flight into `out`, checksums tested, as for the logbook.
void FindInto(InputFile& file, const ThermocoupleKinds& kinds, const Limits& limits, ExceedanceOutput& out) {
    const Settings nothingTicked;
    const ChecksumOptions checks;
    ExceedanceSink sink(kinds, limits, out);
    FlightReplay(file, {nothingTicked, checks}, {&sink});
}

}  // namespace

std::vector<Exceedance> FindExceedances(const std::string& path, const ThermocoupleKinds& kinds,
                                        const Limits& limits) {
    InputFile file = OpenFlight(path);
    if (!limits.Any()) return {};
    ExceedanceList list;
    FindInto(file, kinds, limits, list);
    SortExceedances(list.found);
    return std::move(list.found);
}

namespace {

// Writes rows as soon as no row still to come can sort before them, on a flight whose clock
// never steps back (learnt from an earlier replay): the rows of the CSV after `after`, the
// first `capacity` that wait for a run still open kept in order. Once one of them had to be
// left out, none after it is written in this replay.
class StreamedRows : public ExceedanceOutput {
public:
    StreamedRows(size_t capacity, std::optional<Exceedance>& after, const std::function<void(std::string_view)>& write)
        : capacity_(capacity), after_(after), write_(write) {}
    void Attach(const ExceedanceSink& sink) { sink_ = &sink; }
    void Take(const Exceedance& e) override {
        if (after_ && !ExceedanceBefore(*after_, e)) return;
        if (leftOut_ && !ExceedanceBefore(e, *leftOut_)) return;
        waiting_.insert(e);
        if (waiting_.size() > capacity_) {
            const auto last = std::prev(waiting_.end());
            leftOut_ = *last;
            waiting_.erase(last);
        }
        Write(sink_->Watermark());
    }
    // The rest, at the end of the replay; whether some were left out for the next one.
    bool Finish() {
        Write(INT64_MAX);
        Flush();
        return leftOut_.has_value();
    }

private:
    void Write(int64_t before) {
        while (!waiting_.empty() && waiting_.begin()->start < before) {
            AppendExceedanceRow(text_, *waiting_.begin());
            after_ = *waiting_.begin();
            waiting_.erase(waiting_.begin());
            if (text_.size() >= (1 << 16)) Flush();
        }
    }
    void Flush() {
        write_(text_);
        text_.clear();
    }
    struct Before {
        bool operator()(const Exceedance& a, const Exceedance& b) const { return ExceedanceBefore(a, b); }
    };
    size_t capacity_;
    std::optional<Exceedance>& after_;
    const std::function<void(std::string_view)>& write_;
    const ExceedanceSink* sink_ = nullptr;
    std::multiset<Exceedance, Before> waiting_;
    std::optional<Exceedance> leftOut_;  // the first left out
    std::string text_;
};

}  // namespace

// The rows are sorted by start, but they become final in another order (a long run ends
// after many short ones that began later). The first replay keeps the first `batch` rows and
// writes them at its end. Where more are left, and the clock never stepped back, a row is
// written during the next replay as soon as no run still open or to come can start before it:
// mostly all in that one replay. Where it did step back, each replay writes the next batch.
void WriteExceedancesCsv(const std::string& path, const ThermocoupleKinds& kinds, const Limits& limits,
                         const std::function<void(std::string_view)>& write, size_t batch) {
    InputFile file = OpenFlight(path);
    write(kExceedancesHeader);
    if (!limits.Any()) return;
    batch = std::max<size_t>(batch, 1);
    const Settings nothingTicked;
    const ChecksumOptions checks;
    std::optional<Exceedance> after;
    bool steppedBack = false;
    for (bool first = true, more = true; more; first = false) {
        if (first || steppedBack) {
            FirstExceedances rows(batch, after);
            ExceedanceSink sink(kinds, limits, rows);
            FlightReplay(file, {nothingTicked, checks}, {&sink});
            steppedBack = sink.ClockSteppedBack();
            more = rows.LeftOut();
            std::string text;
            const std::vector<Exceedance> sorted = rows.Sorted();
            for (const Exceedance& e : sorted) AppendExceedanceRow(text, e);
            if (!sorted.empty()) after = sorted.back();
            write(text);
        } else {
            StreamedRows rows(batch, after, write);
            ExceedanceSink sink(kinds, limits, rows);
            rows.Attach(sink);
            FlightReplay(file, {nothingTicked, checks}, {&sink});
            more = rows.Finish();
        }
    }
}

}  // namespace krelby
