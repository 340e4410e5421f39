// Each series' exceedances (one monitor's item beyond one limit) in sum, from all of a
// flight's runs however many: what a list that shows only the first of them heads its groups
// with, so that "12 times, 4 min in all" counts every run, not the ones listed.
#pragma once
#include <cstdint>
#include <initializer_list>
#include <map>
#include <string>
#include <tuple>
#include <vector>

#include "logbook/exceedance_outputs.h"

namespace krelby {

struct ExceedanceSeries {
    Exceedance first;    // its first run in the CSV's order
    Exceedance extreme;  // the run of the highest peak (the lowest for a minimum), the first of equals
    int64_t count = 0, seconds = 0;
    double from = 0, to = 0;       // chart times: the earliest start and the latest end of its runs
    std::vector<Exceedance> runs;  // its first runs in the CSV's order, as many as asked for
};

// The series of the exceedances taken, each keeping its first `keep` runs.
class ExceedanceSeriesTotals : public ExceedanceOutput {
public:
    explicit ExceedanceSeriesTotals(size_t keep = 0) : keep_(keep) {}
    void Take(const Exceedance& e) override;
    // In the order of their first runs in the CSV; the output is empty afterwards.
    std::vector<ExceedanceSeries> Sorted();

private:
    using Key = std::tuple<std::string, int, bool>;  // item, limit, minimum
    struct Open {
        ExceedanceSeries sum;
        FirstExceedances kept;
    };
    size_t keep_;
    std::map<Key, Open> series_;
};

// Hands each exceedance to every one of `outputs`.
class ExceedanceTee : public ExceedanceOutput {
public:
    ExceedanceTee(std::initializer_list<ExceedanceOutput*> outputs) : outputs_(outputs) {}
    void Take(const Exceedance& e) override {
        for (ExceedanceOutput* o : outputs_) o->Take(e);
    }

private:
    std::vector<ExceedanceOutput*> outputs_;
};

}  // namespace krelby
