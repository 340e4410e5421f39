// A position as the pilot reads it, in the format of the GeoPos unit setting (Krelby.INI,
// [Units], not in the Options dialog): 0, the default, degrees and decimal minutes as
// charts and GPS units give them; 1 decimal degrees; 2 degrees, minutes and seconds. Any
// other value reads as 0. The same text in every locale.
#pragma once
#include <string>

#include "settings/records.h"

namespace krelby {

enum class PositionFormat { DegreesMinutes = 0, Degrees = 1, DegreesMinutesSeconds = 2 };

PositionFormat PositionFormatOf(const UnitSettings& u);

// "N 47°12.345' E 008°31.234'", "N 47.20575° E 8.52057°" or "N 47°12'20.7" E 8°31'14.0"";
// a longitude beyond ±180° (a track unwrapped across the antimeridian) is taken round.
std::string PositionText(double latitude, double longitude, PositionFormat format);

}  // namespace krelby
