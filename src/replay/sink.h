// What a replay hands to its consumers: the chart, the CSV and KML exports, summaries.
// A replay is a function of a flight and its sinks; each sink keeps its own state.
#pragma once
#include <cstddef>
#include <cstdint>

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
    virtual void OnMessage(FrameType /*type*/, const uint8_t* /*frame*/, size_t /*size*/) {}
    // A FlightMessage with a date the calendar accepts: its time is the time of every sample
    // until the next one. Comes before the message's own items.
    virtual void OnFlightTime(double /*time*/) {}
    // A ticked data item whose field is present in its Frame, at the current sample time.
    virtual void OnItem(const DataItem& /*item*/, double /*time*/, const ItemValue& /*value*/) {}
    // Every GpsMessage, also one without a ticked item.
    virtual void OnGps(const GpsMessage& /*message*/) {}
    // After the last byte.
    virtual void OnEnd(const ReplayEnd& /*end*/) {}
};

}  // namespace krelby
