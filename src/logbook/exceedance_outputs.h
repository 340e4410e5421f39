// What is done with the exceedances a replay finds: counted (the logbook), kept (a short list
// for the tests), or the first of them in the CSV's order kept (the window's list, and the
// CSV in batches), so that no use holds more of them than it shows.
#pragma once
#include <cstdint>
#include <functional>
#include <optional>
#include <queue>
#include <string>
#include <string_view>
#include <vector>

#include "logbook/exceedances.h"

namespace krelby {

class ExceedanceCount : public ExceedanceOutput {
public:
    void Take(const Exceedance&) override { ++count; }
    int64_t count = 0;
};

class ExceedanceList : public ExceedanceOutput {
public:
    void Take(const Exceedance& e) override { found.push_back(e); }
    std::vector<Exceedance> found;
};

// Of the exceedances that come after `after` in the CSV's order (all of them without one), the
// first `capacity`; and how many were taken in all.
class FirstExceedances : public ExceedanceOutput {
public:
    explicit FirstExceedances(size_t capacity, std::optional<Exceedance> after = std::nullopt)
        : capacity_(capacity), after_(std::move(after)) {}
    void Take(const Exceedance& e) override;
    int64_t Count() const { return count_; }  // every one taken, also those before `after`
    bool LeftOut() const { return leftOut_; }  // some after `after` did not fit
    // The ones kept, in the CSV's order; the output is empty afterwards.
    std::vector<Exceedance> Sorted();

private:
    struct Before {
        bool operator()(const Exceedance& a, const Exceedance& b) const { return ExceedanceBefore(a, b); }
    };
    size_t capacity_;
    std::optional<Exceedance> after_;
    std::priority_queue<Exceedance, std::vector<Exceedance>, Before> kept_;  // the last kept on top
    int64_t count_ = 0;
    bool leftOut_ = false;
};

// The exceedances of a flight file, sorted; throws krelby::Error when it cannot be read.
std::vector<Exceedance> FindExceedances(const std::string& path, const ThermocoupleKinds& kinds,
                                        const Limits& limits);

constexpr size_t kExceedanceBatch = size_t{1} << 16;
// The CSV of a flight file's exceedances (ExceedancesCsv), handed to `write` in pieces in
// order. At most `batch` exceedances are held at a time: a flight with more is replayed once
// more for each further batch. Throws krelby::Error when the file cannot be read, and what
// `write` throws.
void WriteExceedancesCsv(const std::string& path, const ThermocoupleKinds& kinds, const Limits& limits,
                         const std::function<void(std::string_view)>& write, size_t batch = kExceedanceBatch);

}  // namespace krelby
