#include "replay/replay.h"

#include <cerrno>
#include <vector>

#include "base/file.h"
#include "format/error.h"
#include "format/frame_scanner.h"
#include "format/messages.h"
#include "replay/data_items.h"

namespace krelby {

namespace {

constexpr size_t kBlockSize = 1 << 18;
constexpr uint64_t kProgressStep = 4u << 20;

template <size_t N>
void PlotAll(Session& s, const std::array<DataItem, N>& items, const uint8_t* frame) {
    for (const DataItem& item : items) PlotDataItem(s, item, frame);
}

// One replay's decoders; the only state of its own is whether a FlightMessage was taken,
// which decides whether there is a finished row to write.
class Decoders : public FrameHandler {
public:
    explicit Decoders(Session& s) : s_(s) {}

    void OnFrame(FrameType type, const uint8_t* frame, size_t) override {
        switch (type) {
            case FrameType::Flight: Flight(frame); break;
            case FrameType::Gps: Gps(frame); break;
            case FrameType::Attitude: PlotAll(s_, kAttitudeItems, frame); break;
            case FrameType::Inputs: Inputs(frame); break;
            case FrameType::Engine: Engine(frame); break;
            case FrameType::Fuel: Fuel(frame); break;
            case FrameType::Navigation: PlotAll(s_, kNavigationItems, frame); break;
        }
    }

    // The row of the last FlightMessage, once the file has been read to its end.
    void Finish() {
        if (RowsEnabled() && flightTaken_ && s_.output) s_.output->CsvRow(s_.clock.CurrentSampleTime, s_.csv);
    }

private:
    bool RowsEnabled() const { return s_.flags.CsvExportActive && s_.flags.CsvRowsEnabled; }

    void Flight(const uint8_t* frame) {
        const MessageTime t = MessageDateTime(FlightMessage(frame));
        // A message the calendar rejects is skipped like one failing its checksum.
        if (t.status != DateStatus::Ok) return;
        if (RowsEnabled() && s_.output) {
            if (s_.flags.CsvHeaderPending) {
                s_.output->CsvHeader(s_.csv);
                s_.flags.CsvHeaderPending = false;
            }
            // A row holds the values up to the next FlightMessage, under its own time.
            if (flightTaken_) s_.output->CsvRow(s_.clock.CurrentSampleTime, s_.csv);
        }
        s_.clock.CurrentSampleTime = t.value;
        flightTaken_ = true;
        PlotAll(s_, kFlightItems, frame);
    }

    void Gps(const uint8_t* frame) {
        const GpsMessage m(frame);
        if (s_.flags.KmlExportActive && s_.output) s_.output->KmlCoordinate(m);
        PlotAll(s_, kGpsItems, frame);
        if (s_.flags.CsvExportActive && s_.settings.selection.Ticked(kPositionCheckBox)) {
            s_.csv.SetName(kPositionColumn, kPositionColumnName);
            s_.csv.SetPosition(kPositionColumn, m.Latitude() / 180000.0, m.Longitude() / 180000.0);
        }
    }

    void Engine(const uint8_t* frame) {
        const EngineMessage m(frame);
        if (!m.HasMonitorNumber()) return;
        const int monitor = m.MonitorNumber();
        if (monitor < 1 || monitor > kEngineMonitors) return;
        const EngineMonitorItems& items = EngineItems()[monitor - 1];
        PlotAll(s_, items.quantities, frame);
        const size_t first = static_cast<size_t>(kThermocouples * (monitor - 1));
        for (int n = 0; n < kThermocouples; ++n) {
            const int kind = ThermocoupleKindIndex(s_.settings.thermocouples[first + n]);
            PlotDataItem(s_, items.thermocouples[n].byKind[kind], frame);
        }
    }

    void Fuel(const uint8_t* frame) {
        const FuelMessage m(frame);
        if (!m.HasCount()) return;
        const int n = m.EntryCount();
        const auto& items = FuelItems();
        for (int k = 0; k < n; ++k) PlotDataItem(s_, items[k], frame);
    }

    void Inputs(const uint8_t* frame) {
        const InputsMessage m(frame);
        const bool digital = m.DigitalInputCount() > 8;
        const bool analog = m.AnalogInputCount() > 8;
        for (const DataItem& item : InputItems()) {
            if (item.presence == Presence::DigitalCount && !digital) continue;
            if (item.presence == Presence::AnalogCount && !analog) continue;
            PlotDataItem(s_, item, frame);
        }
    }

    Session& s_;
    bool flightTaken_ = false;
};

void Replay(Session& session, InputFile& file);

}  // namespace

InputFile OpenFlight(const std::string& path) {
    InputFile file;
    if (const int err = file.Open(path)) {
        if (err == EISDIR || err == kNotRegularFile) ThrowFileError(err, path);
        throw Error("Cannot open flight file " + path + ": " + SystemErrorText(err));
    }
    return file;
}

void FlightReplay(Session& session, const std::string& path) {
    session.chart.ResetChart();
    session.CurrentFlightFile = path;
    InputFile file = OpenFlight(path);
    Replay(session, file);
}

void FlightReplay(Session& session, InputFile& file) {
    session.chart.ResetChart();
    session.CurrentFlightFile = file.Path();
    Replay(session, file);
}

namespace {

void Replay(Session& session, InputFile& file) {
    const uint64_t total = file.Size();
    file.Rewind();

    session.clock.CurrentSampleTime = 0;
    FrameScanner scanner(session.checks);
    Decoders decoders(session);
    std::vector<uint8_t> block(kBlockSize);
    uint64_t done = 0, reported = 0;
    for (;;) {
        size_t n = 0;
        if (const int err = file.ReadSome(block.data(), block.size(), n))
            throw Error("Cannot read flight file " + file.Path() + ": " + SystemErrorText(err));
        if (n > 0) scanner.Feed(block.data(), n, decoders);
        done += n;
        if (session.progress && done - reported >= kProgressStep) {
            session.progress(done, total);
            reported = done;
        }
        if (n < block.size()) break;
    }
    decoders.Finish();
    if (session.progress) session.progress(done, total);
    session.chart.DrawAxisLabels();
}

}  // namespace
}  // namespace krelby
