// Flight files built from Frames in a temporary folder, replayed as the window shows them.
#pragma once
#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "format/messages.h"
#include "support/messages.h"
#include "support/shown_flight.h"
#include "support/temp_folder.h"
#include "export/csv_sink.h"
#include "replay/replay.h"
#include "replay/value_text.h"

namespace krelby::testing {

// Records the CSV export's header and rows, and the GpsMessages a KML export would write.
struct RecordingOutput : CsvOutput, ReplaySink {
    std::vector<std::string> headers;
    std::vector<std::pair<double, std::string>> rows;  // time, the row's value texts
    int coordinates = 0;
    void CsvHeader(const CsvColumns& c) override {
        std::string h;
        for (const auto& n : c.names)
            if (!n.empty()) h += "," + n;
        headers.push_back(h);
    }
    void CsvRow(double time, const CsvColumns& c) override {
        std::string r;
        for (const auto& v : c.values)
            if (v.form != CsvValue::Form::Empty) {
                r += ",";
                AppendCsvValueText(r, v, '.');
            }
        rows.emplace_back(time, r);
    }
    void OnGps(const GpsMessage&) override { ++coordinates; }
};

struct ReplayTest : ::testing::Test {
    TempFolder folder;
    ShownFlight session;
    CsvColumns csv;  // the columns a CSV export would gather
    CsvColumnsSink columns{csv, session.settings};

    void Tick(const std::vector<int>& boxes) {
        for (int b : boxes) session.settings.selection.Set(b, true);
    }
    // Into the chart and the CSV columns, and `more`.
    void Replay(const std::vector<Frame>& frames, std::initializer_list<ReplaySink*> more = {}) {
        std::vector<ReplaySink*> sinks{&columns};
        sinks.insert(sinks.end(), more.begin(), more.end());
        session.Show(WriteFrames(folder / "t.FLT", frames), sinks);
    }
    const SeriesSlot& Slot(int i) const { return session.chart.Slot(i); }
    std::string Text(int column) const {
        std::string s;
        AppendCsvValueText(s, csv.values[column], '.');
        return s;
    }
};

}  // namespace krelby::testing
