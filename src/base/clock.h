// The sample clock: days since 1899-12-30 of the last FlightMessage taken.
#pragma once

namespace krelby {
// The one clock shared by the import and the replay: the time of the last FlightMessage taken.
struct SampleClock {
    double CurrentSampleTime = 0.0;
};
}  // namespace krelby
