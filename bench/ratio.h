// Target ratios between two benchmarks of the same run, printed as "ratio NAME VALUE".
#pragma once

namespace krelby::bench {

// `unit` and `scale` say how a side's "seconds" per iteration are printed (a benchmark with
// manual time may give another measure there, such as MiB).
int RegisterRatio(const char* name, const char* numerator, const char* denominator, const char* unit = "ms",
                  double scale = 1e3);

}  // namespace krelby::bench

#define KRELBY_RATIO_CAT2(a, b) a##b
#define KRELBY_RATIO_CAT(a, b) KRELBY_RATIO_CAT2(a, b)
// KRELBY_RATIO("import/baseline", "BM_Import", "BM_Baseline"): real time per iteration.
#define KRELBY_RATIO(name, numerator, denominator)                     \
    static const int KRELBY_RATIO_CAT(krelby_ratio_, __LINE__) =       \
        ::krelby::bench::RegisterRatio(name, numerator, denominator)
// KRELBY_RATIO_IN("flights-rss-1e6/flights-rss-1e4", "BM_A", "BM_B", "MiB", 1): a measure
// given as each side's manual time.
#define KRELBY_RATIO_IN(name, numerator, denominator, unit, scale)      \
    static const int KRELBY_RATIO_CAT(krelby_ratio_, __LINE__) =        \
        ::krelby::bench::RegisterRatio(name, numerator, denominator, unit, scale)
