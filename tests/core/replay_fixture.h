// Flight files built from Frames in a temporary folder, replayed as the window shows them.
#pragma once
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <utility>
#include <vector>

#include "format/frame_builder.h"
#include "shown_flight.h"
#include "temp_dir.h"
#include "format/messages.h"
#include "export/csv_sink.h"
#include "replay/replay.h"
#include "replay/value_text.h"

namespace krelby::testing {

using Frame = std::vector<uint8_t>;

class TempFolder {
public:
    TempFolder() {
        path_ = MakeTempDir("krelby-replay-");
    }
    ~TempFolder() { std::filesystem::remove_all(path_); }
    std::string File(const std::string& name) const { return path_ + "/" + name; }

private:
    std::string path_;
};

inline std::string WriteFile(const std::string& path, const std::vector<Frame>& frames) {
    std::ofstream out(path, std::ios::binary);
    for (const auto& f : frames) out.write(reinterpret_cast<const char*>(f.data()), static_cast<std::streamsize>(f.size()));
    return path;
}

// A FlightMessage of 14 March 2024 at 10:mm:ss.
inline FrameBuilder FlightAt(int minute, int second) {
    FrameBuilder b(FrameType::Flight);
    b.u8(32, 10).u8(33, static_cast<uint8_t>(minute)).u8(34, static_cast<uint8_t>(second));
    b.u8(35, 14).u8(36, 3).u8(37, 24);
    return b;
}
inline double TimeAt(int minute, int second) {
    return 45365.0 + (10 * 3600 + minute * 60 + second) / 86400.0;  // 2024-03-14
}

inline FrameBuilder EngineOf(int monitor, uint8_t L = 56) {
    FrameBuilder b(FrameType::Engine, L);
    b.u8(8, static_cast<uint8_t>(monitor));
    return b;
}

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
        session.Show(WriteFile(folder.File("t.FLT"), frames), sinks);
    }
    const SeriesSlot& Slot(int i) const { return session.chart.Slot(i); }
    std::string Text(int column) const {
        std::string s;
        AppendCsvValueText(s, csv.values[column], '.');
        return s;
    }
};

}  // namespace krelby::testing
