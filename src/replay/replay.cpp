#include "replay/replay.h"

#include <cerrno>
#include <vector>

#include "base/file.h"
#include "base/error.h"
#include "format/datetime.h"
#include "format/frame_scanner.h"
#include "format/messages.h"
#include "replay/data_items.h"

namespace krelby {

namespace {

constexpr size_t kBlockSize = 1 << 18;
constexpr uint64_t kProgressStep = 4u << 20;

// The ticked items of one message kind, in the order of decoding. The selection does not
// change during a replay, so it is read once and unticked items cost nothing per Frame.
std::vector<const DataItem*> Ticked(std::span<const DataItem> items, const Settings& settings) {
    std::vector<const DataItem*> out;
    for (const DataItem& item : items)
        if (settings.selection.Ticked(item.checkBox)) out.push_back(&item);
    return out;
}

// One replay's decoders: each good Frame goes to every sink raw, then decoded.
class Decoders : public FrameHandler {
public:
    Decoders(const ReplayInputs& in, std::span<ReplaySink* const> sinks)
        : in_(in), sinks_(sinks), readers_(Readers(sinks)),
          flight_(Ticked(FlightItems(), in.settings)),
          gps_(Ticked(GpsItems(), in.settings)),
          attitude_(Ticked(AttitudeItems(), in.settings)),
          navigation_(Ticked(NavigationItems(), in.settings)),
          inputs_(Ticked(InputItems(), in.settings)),
          fuel_(Ticked(FuelItems(), in.settings)) {
        for (int m = 0; m < kEngineMonitors; ++m) {
            const EngineMonitorItems& items = EngineItems()[m];
            engine_[m] = Ticked(items.quantities, in.settings);
            for (int n = 0; n < kThermocoupleInputs; ++n) {
                const int kind = ThermocoupleKindIndex(in.settings.thermocouples[ThermocoupleIndex(m + 1, n)]);
                const DataItem& item = items.thermocouples[n].byKind[kind];
                if (in.settings.selection.Ticked(item.checkBox)) engine_[m].push_back(&item);
            }
        }
    }

    void OnFrame(FrameType type, const uint8_t* frame, size_t size) override {
        for (ReplaySink* s : readers_) s->OnMessage(type, frame, size);
        switch (type) {
            case FrameType::Flight: OnFlight(frame); break;
            case FrameType::Gps: OnGps(frame); break;
            case FrameType::Attitude: All(attitude_, frame); break;
            case FrameType::Inputs: OnInputs(frame); break;
            case FrameType::Engine: OnEngine(frame); break;
            case FrameType::Fuel: OnFuel(frame); break;
            case FrameType::Navigation: All(navigation_, frame); break;
        }
    }

    ReplayEnd End() const { return {time_, flightTaken_}; }

private:
    // The per-item step: a ticked item present in its Frame goes to every sink.
    void Item(const DataItem& item, const uint8_t* frame) {
        ItemValue value;
        if (!ReadItem(item, frame, in_.settings.units, value)) return;
        for (ReplaySink* s : sinks_) s->OnItem(item, time_, value);
    }
    void All(const std::vector<const DataItem*>& items, const uint8_t* frame) {
        for (const DataItem* item : items) Item(*item, frame);
    }

    // MessageDateTime, with the calendar sum of the date made once for the FlightMessages of
    // one day: the same value to the bit.
    MessageTime DateTime(const FlightMessage& m) {
        const uint32_t day = uint32_t{m.Day()} | uint32_t{m.Month()} << 8 | uint32_t{m.Year()} << 16;
        if (day != day_) {
            day_ = day;
            date_ = {DateStatus::NoDate, 0.0};
            if (m.Day() != 0 && m.Month() != 0) {
                const std::optional<double> date = EncodeDate(2000 + m.Year(), m.Month(), m.Day());
                date_ = date ? MessageTime{DateStatus::Ok, *date} : MessageTime{DateStatus::InvalidDate, 0.0};
            }
        }
        if (date_.status != DateStatus::Ok) return date_;
        const std::optional<double> time = EncodeTime(m.Hour(), m.Minute(), m.Second() > 59 ? 59 : m.Second());
        return time ? MessageTime{DateStatus::Ok, date_.value + *time} : MessageTime{DateStatus::InvalidTime, 0.0};
    }

    void OnFlight(const uint8_t* frame) {
        const MessageTime t = DateTime(FlightMessage(frame));
        // A message the calendar rejects is skipped like one failing its checksum.
        if (t.status != DateStatus::Ok) return;
        for (ReplaySink* s : sinks_) s->OnFlightTime(t.value);
        time_ = t.value;
        flightTaken_ = true;
        All(flight_, frame);
    }

    void OnGps(const uint8_t* frame) {
        const GpsMessage m(frame);
        for (ReplaySink* s : sinks_) s->OnGps(m);
        All(gps_, frame);
    }

    void OnEngine(const uint8_t* frame) {
        const EngineMessage m(frame);
        if (!m.HasMonitorNumber()) return;
        const int monitor = m.MonitorNumber();
        if (monitor < 1 || monitor > kEngineMonitors) return;
        All(engine_[monitor - 1], frame);  // the quantities, then the thermocouples
    }

    void OnFuel(const uint8_t* frame) {
        const FuelMessage m(frame);
        if (!m.HasCount()) return;
        const int n = m.EntryCount();
        for (const DataItem* item : fuel_) {
            if (item->checkBox - FuelItems()[0].checkBox >= n) break;  // entries beyond the count
            Item(*item, frame);
        }
    }

    void OnInputs(const uint8_t* frame) {
        if (inputs_.empty()) return;
        const InputsMessage m(frame);
        const bool digital = m.DigitalInputCount() > 8;
        const bool analog = m.AnalogInputCount() > 8;
        for (const DataItem* item : inputs_) {
            if (item->presence == Presence::DigitalCount && !digital) continue;
            if (item->presence == Presence::AnalogCount && !analog) continue;
            Item(*item, frame);
        }
    }

    static std::vector<ReplaySink*> Readers(std::span<ReplaySink* const> sinks) {
        std::vector<ReplaySink*> out;
        for (ReplaySink* s : sinks)
            if (s->ReadsMessages()) out.push_back(s);
        return out;
    }

    const ReplayInputs& in_;
    std::span<ReplaySink* const> sinks_;
    const std::vector<ReplaySink*> readers_;
    const std::vector<const DataItem*> flight_, gps_, attitude_, navigation_, inputs_, fuel_;
    std::array<std::vector<const DataItem*>, kEngineMonitors> engine_;
    uint32_t day_ = UINT32_MAX;  // the date of the last FlightMessage, and its value
    MessageTime date_{};
    double time_ = 0;  // the current sample time: a replay's clock starts at 0
    bool flightTaken_ = false;
};

}  // namespace

InputFile OpenFlight(const std::string& path) {
    InputFile file;
    if (const int err = file.Open(path)) {
        if (err == EISDIR || err == kNotRegularFile) ThrowFileError(err, path);
        throw Error(CannotOpenFlightFile(path, SystemErrorText(err)));
    }
    return file;
}

bool HasGoodFrame(InputFile& file, const ChecksumOptions& checks) {
    struct FirstFrame : FrameHandler {
        bool found = false;
        void OnFrame(FrameType, const uint8_t*, size_t) override { found = true; }
        bool StopScanning() const override { return found; }
    } first;
    file.Rewind();
    FrameScanner scanner(checks);
    std::vector<uint8_t> block(kBlockSize);
    for (;;) {
        size_t n = 0;
        if (const int err = file.ReadSome(block.data(), block.size(), n))
            throw Error(CannotReadFlightFile(file.Path(), SystemErrorText(err)));
        if (n > 0) scanner.Feed(block.data(), n, first);
        if (first.found || n < block.size()) break;
    }
    file.Rewind();
    return first.found;
}

ReplayEnd FlightReplay(InputFile& file, const ReplayInputs& in, std::span<ReplaySink* const> given) {
    std::vector<ReplaySink*> present;  // a caller may leave a place empty (no chart)
    for (ReplaySink* s : given)
        if (s) present.push_back(s);
    const std::span<ReplaySink* const> sinks(present);
    const uint64_t total = file.Size();
    file.Rewind();
    for (ReplaySink* s : sinks) s->OnBegin();
    FrameScanner scanner(in.checks);
    Decoders decoders(in, sinks);
    std::vector<uint8_t> block(kBlockSize);
    uint64_t done = 0, reported = 0;
    for (;;) {
        size_t n = 0;
        if (const int err = file.ReadSome(block.data(), block.size(), n))
            throw Error(CannotReadFlightFile(file.Path(), SystemErrorText(err)));
        if (n > 0) scanner.Feed(block.data(), n, decoders);
        done += n;
        if (in.progress && *in.progress && done - reported >= kProgressStep) {
            (*in.progress)(done, total);
            reported = done;
        }
        if (n < block.size()) break;
    }
    const ReplayEnd end = decoders.End();
    for (ReplaySink* s : sinks) s->OnEnd(end);
    if (in.progress && *in.progress) (*in.progress)(done, total);
    return end;
}

ReplayEnd ChartReplay(ChartModel& chart, const std::string& path, const ReplayInputs& inputs,
                      std::span<ReplaySink* const> more) {
    InputFile file;
    try {
        file = OpenFlight(path);
    } catch (...) {
        chart.ResetChart();
        throw;
    }
    std::vector<ReplaySink*> sinks{&chart};
    sinks.insert(sinks.end(), more.begin(), more.end());
    return FlightReplay(file, inputs, sinks);
}

}  // namespace krelby
