// The engine analysis' figures that the logbook lists: the cruise, and each monitor's
// takeoff maxima, cruise fuel flow, fastest CHT cooling and last lean test's spread, each
// rounded as `krelby-cli analysis` writes it, so that the two read alike to the digit.
#pragma once
#include <optional>

#include "logbook/analysis.h"
#include "logbook/summary.h"

namespace krelby {

// The spread of a sweep as shown: the fuel flow of the first peak minus that of the last,
// each rounded to 0.01 l/h first, so that it is their difference to the digit; none unless
// every one of two or more EGT inputs peaked.
std::optional<double> ShownSpreadLph(const Sweep& sweep);

// Fills the summary's analysis figures from `analysis` (those it has no figure for stay empty).
void AddAnalysisFigures(const Analysis& analysis, FlightSummary& summary);

}  // namespace krelby
