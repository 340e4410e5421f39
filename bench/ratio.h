// Target ratios between two benchmarks of the same run, printed as "ratio NAME VALUE".
#pragma once

namespace krelby::bench {

int RegisterRatio(const char* name, const char* numerator, const char* denominator);

}  // namespace krelby::bench

#define KRELBY_RATIO_CAT2(a, b) a##b
#define KRELBY_RATIO_CAT(a, b) KRELBY_RATIO_CAT2(a, b)
// KRELBY_RATIO("import/baseline", "BM_Import", "BM_Baseline"): real time per iteration.
#define KRELBY_RATIO(name, numerator, denominator)                     \
    static const int KRELBY_RATIO_CAT(krelby_ratio_, __LINE__) =       \
        ::krelby::bench::RegisterRatio(name, numerator, denominator)
