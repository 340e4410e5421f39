// Turns one second of a flight into sealed Frames of every message type.
#pragma once
#include <cstddef>
#include <cstdint>

#include "clock.h"
#include "flight_model.h"

namespace krelby::gen {

// Each writes a whole, sealed Frame into `f` (room for 144 bytes) and returns its length.
size_t EncodeFlight(uint8_t* f, const AircraftState& s, const CivilTime& t);
size_t EncodeGps(uint8_t* f, const FlightModel& m);
size_t EncodeAttitude(uint8_t* f, const FlightModel& m);
size_t EncodeEngine(uint8_t* f, const FlightModel& m, int monitor);  // monitor 1..4
size_t EncodeFuel(uint8_t* f, const FlightModel& m, int monitors);    // 4 entries per monitor
size_t EncodeInputs(uint8_t* f, const FlightModel& m);
size_t EncodeNavigation(uint8_t* f, const FlightModel& m);

// The CompressedRate field of a rate: hundredths below 150, tenths above.
int16_t EncodeCompressedRate(double rate);

}  // namespace krelby::gen
