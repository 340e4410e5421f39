// What a replay hands to its consumers: the chart, the CSV and KML exports, summaries.
// A replay is a function of a flight and its sinks; each sink keeps its own state.
#pragma once
#include <cstddef>
#include <cstdint>
#include <span>

#include "format/frame.h"

namespace krelby {

struct DataItem;

class GpsMessage;

// One data item's value at one sample: the charted number and what its CSV text is made of.
struct ItemValue {
    double y = 0;           // in the units chosen
    double text = 0;        // the number a FixedText is made from
    int64_t integer = 0;    // the number an IntegerText is made from
    uint8_t precision = 0;  // FixedText P/D; precision 0 means IntegerText
    uint8_t decimals = 0;
};

// A ticked item read from a message, as the replay hands the items of one message at once.
struct ItemSample {
    const DataItem* item;
    ItemValue value;
};

struct ReplayEnd {
    double lastTime = 0;  // the time of the last FlightMessage taken, 0 when none was
    bool anyFlightMessage = false;
};

class ReplaySink {
public:
    virtual ~ReplaySink() = default;
    // Before the first byte of the flight.
    virtual void OnBegin() {}
    // Every Frame that passed its tests, undecoded, before its decoding; only to a sink that
    // reads messages (the replay asks once, so the others cost nothing per Frame).
    virtual bool ReadsMessages() const { return false; }
    // The FrameTypes such a sink reads (asked once too): it is called for those alone.
    virtual unsigned MessageTypes() const { return kEveryFrameType; }
    virtual void OnMessage(FrameType /*type*/, const uint8_t* /*frame*/, size_t /*size*/) {}
    // A FlightMessage with a date the calendar accepts: its time is the time of every sample
    // until the next one. Comes before the message's own items.
    virtual void OnFlightTime(double /*time*/) {}
    // A ticked data item whose field is present in its Frame, at the current sample time; only
    // to a sink that takes items (asked once, like ReadsMessages: a sink that reads messages
    // alone says no, and the items cost it nothing).
    virtual bool TakesItems() const { return true; }
    virtual void OnItem(const DataItem& /*item*/, double /*time*/, const ItemValue& /*value*/) {}
    // The items of one message, in the order of decoding: one call for them all (a sink may
    // take them in one loop), each to OnItem unless the sink takes them otherwise.
    virtual void OnItems(double time, std::span<const ItemSample> samples) {
        for (const ItemSample& s : samples) OnItem(*s.item, time, s.value);
    }
    // Every GpsMessage, also one without a ticked item; only to a sink that takes them (asked
    // once: when no sink reads GpsMessages at all, the replay need not even test them).
    virtual bool TakesGps() const { return true; }
    virtual void OnGps(const GpsMessage& /*message*/) {}
    // After the last byte.
    virtual void OnEnd(const ReplayEnd& /*end*/) {}
};

}  // namespace krelby
