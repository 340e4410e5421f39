#include "logbook/exceedance_outputs.h"

#include <algorithm>

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

// The rows are sorted by start, but they become final in another order (a long run ends
// after many short ones that began later), and the clock may step back: no row is known to
// be next before the flight's end. So each replay keeps the first `batch` rows after the last
// one written, and writes them at its end.
void WriteExceedancesCsv(const std::string& path, const ThermocoupleKinds& kinds, const Limits& limits,
                         const std::function<void(std::string_view)>& write, size_t batch) {
    InputFile file = OpenFlight(path);
    write(kExceedancesHeader);
    if (!limits.Any()) return;
    std::optional<Exceedance> after;
    for (bool more = true; more;) {
        FirstExceedances first(std::max<size_t>(batch, 1), after);
        FindInto(file, kinds, limits, first);
        more = first.LeftOut();
        std::string text;
        for (const Exceedance& e : first.Sorted()) {
            AppendExceedanceRow(text, e);
            after = e;
            if (text.size() >= (1 << 16)) {
                write(text);
                text.clear();
            }
        }
        write(text);
    }
}

}  // namespace krelby
