#include "replay/replay.h"

#include <algorithm>
#include <cerrno>
#include <vector>

#include "base/file.h"
#include "base/error.h"
#include "format/datetime.h"
#include "format/frame_pipeline.h"
#include "format/frame_scanner.h"
#include "format/messages.h"
#include "replay/data_items.h"
#include "replay/item_reader.h"

namespace krelby {

namespace {

constexpr size_t kBlockSize = kScanBlockSize;
constexpr uint64_t kProgressStep = 4u << 20;

// The ticked items of one message kind, in the order of decoding, each made ready for its
// units. The selection does not change during a replay, so it is read once and unticked items
// cost nothing per Frame; without a sink that takes items, none is read at all.
using Readers = std::vector<ItemReader>;
Readers Ticked(std::span<const DataItem> items, const Settings& settings, bool any) {
    Readers out;
    if (!any) return out;
    for (const DataItem& item : items)
        if (settings.selection.Ticked(item.checkBox)) out.emplace_back(item, settings.units);
    return out;
}

std::vector<ReplaySink*> Where(std::span<ReplaySink* const> sinks, bool (ReplaySink::*asks)() const) {
    std::vector<ReplaySink*> out;
    for (ReplaySink* s : sinks)
        if ((s->*asks)()) out.push_back(s);
    return out;
}

// The sinks that read the Frames of each type, by FrameTypeIndex.
using ReadersByType = std::array<std::vector<ReplaySink*>, kFrameTypeCount>;
ReadersByType MessageReaders(std::span<ReplaySink* const> sinks) {
    ReadersByType out;
    for (ReplaySink* s : sinks) {
        if (!s->ReadsMessages()) continue;
        const unsigned types = s->MessageTypes();
        for (int t = 0; t < kFrameTypeCount; ++t)
            if (types >> t & 1u) out[size_t(t)].push_back(s);
    }
    return out;
}

// One replay's decoders: each good Frame goes raw to the sinks that read messages, then
// decoded, its ticked items to the sinks that take them.
class Decoders : public FrameHandler {
public:
    Decoders(const ReplayInputs& in, std::span<ReplaySink* const> sinks)
        : sinks_(sinks), readers_(MessageReaders(sinks)),
          takers_(Where(sinks, &ReplaySink::TakesItems)),
          gpsTakers_(Where(sinks, &ReplaySink::TakesGps)),
          flight_(Ticked(FlightItems(), in.settings, !takers_.empty())),
          gps_(Ticked(GpsItems(), in.settings, !takers_.empty())),
          attitude_(Ticked(AttitudeItems(), in.settings, !takers_.empty())),
          navigation_(Ticked(NavigationItems(), in.settings, !takers_.empty())),
          inputs_(Ticked(InputItems(), in.settings, !takers_.empty())),
          fuel_(Ticked(FuelItems(), in.settings, !takers_.empty())) {
        wanted_ = Wanting();
        if (takers_.empty()) return;
        for (int m = 0; m < kEngineMonitors; ++m) {
            const EngineMonitorItems& items = EngineItems()[m];
            engine_[m] = Ticked(items.quantities, in.settings, true);
            for (int n = 0; n < kThermocoupleInputs; ++n) {
                const int kind = ThermocoupleKindIndex(in.settings.thermocouples[ThermocoupleIndex(m + 1, n)]);
                const DataItem& item = items.thermocouples[n].byKind[kind];
                if (in.settings.selection.Ticked(item.checkBox)) engine_[m].emplace_back(item, in.settings.units);
            }
        }
        for (int m = 0; m < kEngineMonitors; ++m)
            if (!engine_[m].empty()) wanted_ |= FrameTypeBit(FrameType::Engine);
        size_t longest = 0;
        for (const Readers* r : {&flight_, &gps_, &attitude_, &navigation_, &inputs_, &fuel_})
            longest = std::max(longest, r->size());
        for (const Readers& r : engine_) longest = std::max(longest, r.size());
        batch_.resize(longest);
    }

    void OnFrame(FrameType type, const uint8_t* frame, size_t size) override {
        switch (type) {
            case FrameType::Flight: Raw<FrameType::Flight>(frame, size), OnFlight(frame); break;
            case FrameType::Gps: Raw<FrameType::Gps>(frame, size), OnGps(frame); break;
            case FrameType::Attitude: Raw<FrameType::Attitude>(frame, size), All(attitude_, frame); break;
            case FrameType::Inputs: Raw<FrameType::Inputs>(frame, size), OnInputs(frame); break;
            case FrameType::Engine: Raw<FrameType::Engine>(frame, size), OnEngine(frame); break;
            case FrameType::Fuel: Raw<FrameType::Fuel>(frame, size), OnFuel(frame); break;
            case FrameType::Navigation: Raw<FrameType::Navigation>(frame, size), All(navigation_, frame); break;
        }
    }

    ReplayEnd End() const { return {time_, flightTaken_}; }
    // The FrameTypes that reach a sink in some way; the replay's clock always needs the
    // FlightMessages. The others need not even be tested.
    unsigned Wanted() const { return wanted_; }

private:
    unsigned Wanting() const {
        unsigned types = FrameTypeBit(FrameType::Flight);
        for (int t = 0; t < kFrameTypeCount; ++t)
            if (!readers_[size_t(t)].empty()) types |= 1u << t;
        if (!gpsTakers_.empty()) types |= FrameTypeBit(FrameType::Gps);
        const std::pair<const Readers*, FrameType> ticked[] = {
            {&gps_, FrameType::Gps}, {&attitude_, FrameType::Attitude}, {&navigation_, FrameType::Navigation},
            {&inputs_, FrameType::Inputs}, {&fuel_, FrameType::Fuel}};
        for (const auto& [r, t] : ticked)
            if (!r->empty()) types |= FrameTypeBit(t);
        return types;
    }

    // The Frame as it is, to the sinks that read its type.
    template <FrameType T>
    void Raw(const uint8_t* frame, size_t size) {
        for (ReplaySink* s : readers_[size_t(FrameTypeIndex(T))]) s->OnMessage(T, frame, size);
    }

    // The ticked items present in the Frame, read in order and handed on at once to every
    // sink that takes items.
    void All(const Readers& items, const uint8_t* frame) {
        if (!items.empty()) ReadAll(items, frame);
    }
    void ReadAll(const Readers& items, const uint8_t* frame) {
        size_t n = 0;
        for (const ItemReader& r : items)
            if (r.Read(frame, batch_[n].value)) batch_[n++].item = &r.Item();
        Hand(n);
    }
    void Hand(size_t n) {
        if (n == 0) return;
        const std::span<const ItemSample> samples(batch_.data(), n);
        for (ReplaySink* s : takers_) s->OnItems(time_, samples);
    }

    void OnFlight(const uint8_t* frame) {
        const MessageTime t = clock_.Of(FlightMessage(frame));
        // A message the calendar rejects is skipped like one failing its checksum.
        if (t.status != DateStatus::Ok) return;
        for (ReplaySink* s : sinks_) s->OnFlightTime(t.value);
        time_ = t.value;
        flightTaken_ = true;
        All(flight_, frame);
    }

    void OnGps(const uint8_t* frame) {
        const GpsMessage m(frame);
        for (ReplaySink* s : gpsTakers_) s->OnGps(m);
        All(gps_, frame);
    }

    void OnEngine(const uint8_t* frame) {
        if (takers_.empty()) return;
        const EngineMessage m(frame);
        if (!m.HasMonitorNumber()) return;
        const int monitor = m.MonitorNumber();
        if (monitor < 1 || monitor > kEngineMonitors) return;
        All(engine_[monitor - 1], frame);  // the quantities, then the thermocouples
    }

    void OnFuel(const uint8_t* frame) {
        if (fuel_.empty()) return;
        const FuelMessage m(frame);
        if (!m.HasCount()) return;
        const int entries = m.EntryCount();
        size_t n = 0;
        for (const ItemReader& r : fuel_) {
            if (r.Item().checkBox - FuelItems()[0].checkBox >= entries) break;  // entries beyond the count
            if (r.Read(frame, batch_[n].value)) batch_[n++].item = &r.Item();
        }
        Hand(n);
    }

    void OnInputs(const uint8_t* frame) {
        if (inputs_.empty()) return;
        const InputsMessage m(frame);
        const bool digital = m.DigitalInputCount() > 8;
        const bool analog = m.AnalogInputCount() > 8;
        size_t n = 0;
        for (const ItemReader& r : inputs_) {
            if (r.Item().presence == Presence::DigitalCount && !digital) continue;
            if (r.Item().presence == Presence::AnalogCount && !analog) continue;
            if (r.Read(frame, batch_[n].value)) batch_[n++].item = &r.Item();
        }
        Hand(n);
    }

    std::span<ReplaySink* const> sinks_;
    const ReadersByType readers_;
    const std::vector<ReplaySink*> takers_, gpsTakers_;
    const Readers flight_, gps_, attitude_, navigation_, inputs_, fuel_;
    std::array<Readers, kEngineMonitors> engine_;
    std::vector<ItemSample> batch_;  // room for the longest list
    MessageClock clock_;
    double time_ = 0;  // the current sample time: a replay's clock starts at 0
    bool flightTaken_ = false;
    unsigned wanted_ = 0;
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
    Decoders decoders(in, sinks);
    uint64_t done = 0, reported = 0;
    const int err = ScanWholeFile(file, in.checks, decoders.Wanted(), decoders, [&](uint64_t read) {
        done = read;
        if (in.progress && *in.progress && done - reported >= kProgressStep) {
            (*in.progress)(done, total);
            reported = done;
        }
    });
    if (err) throw Error(CannotReadFlightFile(file.Path(), SystemErrorText(err)));
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
