// Where a noisy EGT peaked over a falling fuel flow: the top of the curve that EGT against fuel
// flow traces in a sweep, found to a few hundredths of a litre per hour through the noise of
// the probes (a few °C each message) and of the flow meter.
#pragma once
#include <optional>
#include <vector>

namespace krelby {

// One message of a sweep: the smoothed fuel flow (l/h, falling from message to message but
// for noise) and the input's EGT (°C).
struct FlowSample {
    double ff;
    double egt;
};

struct FlowPeak {
    double ff;    // the fuel flow at the top
    double egt;   // the curve's top
    size_t near;  // the sample whose fuel flow is nearest to the top
};

namespace peak {
constexpr double kMinRiseC = 3;        // the top above the rich end
constexpr double kMinFallC = 3;        // and above the lean end, when it lies further than:
constexpr double kAtLeanEndLph = 0.5;  // a top this close to the lean end may end the sweep
}  // namespace peak

// The peak of `samples` (in message order, rich end first), or none when the EGT does not
// rise, top and fall (or stop at its top at the lean end).
std::optional<FlowPeak> FindFlowPeak(const std::vector<FlowSample>& samples);

}  // namespace krelby
