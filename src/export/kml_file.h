// The KML document: head with the track style, one coordinate line per GpsMessage, tail.
#pragma once
#include <optional>
#include <string>
#include <string_view>

#include "export/text_file.h"
#include "format/messages.h"
#include "base/regional.h"
#include "replay/sink.h"
#include "settings/records.h"

namespace krelby {

class KmlFile {
public:
    // `source`: the flight exported, which the file may not replace.
    explicit KmlFile(const std::string& path, const InputFile* source = nullptr) : file_(path, source) {}

    void WriteHead(std::string_view name, const KmlStyle& style);
    void KmlCoordinate(const GpsMessage& message);
    void WriteTail();
    void Close() { file_.Close(); }

private:
    TextFile file_;
    std::string line_;
};

// A replay's consumer that writes one coordinate line per GpsMessage.
class KmlCoordinatesSink : public ReplaySink {
public:
    explicit KmlCoordinatesSink(KmlFile& file) : file_(file) {}
    bool TakesItems() const override { return false; }
    void OnGps(const GpsMessage& message) override { file_.KmlCoordinate(message); }

private:
    KmlFile& file_;
};

// Any text made a well-formed XML text node or attribute value: bytes that are not UTF-8
// become U+FFFD, the characters XML cannot hold (control characters other than tab, LF and
// CR; U+FFFE, U+FFFF) are dropped, and &, <, > and " are written as entities.
std::string XmlEscaped(std::string_view text);
// A track's name: the time of one of the flight's good FlightMessages with the regional
// separators, or the flight file's name without extension when it has none.
std::string TrackName(const ReplayEnd& end, const std::string& flightFile, const Regional& regional);  // the last
std::string TrackName(const std::optional<double>& time, const std::string& flightFile, const Regional& regional);

// The time of a replay's first good FlightMessage: the flight's start, which names it.
class FlightStartSink : public ReplaySink {
public:
    void OnBegin() override { start.reset(); }
    bool TakesItems() const override { return false; }
    bool TakesGps() const override { return false; }
    void OnFlightTime(double time) override {
        if (!start) start = time;
    }
    std::optional<double> start;
};

// Both opacities fully transparent: the line becomes fully opaque, so the track shows. The
// export applies this to the settings themselves, which keep it.
void ApplyOpacityRule(KmlStyle& style);

// "  lon,lat,alt" in degrees and metres, full stops whatever the regional settings.
std::string KmlCoordinateText(int32_t latitude, int32_t longitude, int32_t gpsAltitudeFeet);
// "aabbggrr" for an opacity and colour index; an index without a table entry takes the
// setting's default entry.
std::string KmlColor(uint8_t opacity, uint8_t defaultOpacity, uint8_t color, uint8_t defaultColor);

}  // namespace krelby
