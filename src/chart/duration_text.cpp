#include "chart/duration_text.h"

namespace krelby {

QString DurationText(int64_t seconds) {
    if (seconds < 60) return QString("%1 s").arg(seconds);
    if (seconds < 3600) return QString("%1 min %2 s").arg(seconds / 60).arg(seconds % 60);
    return QString("%1 h %2 min %3 s").arg(seconds / 3600).arg(seconds / 60 % 60).arg(seconds % 60);
}

}  // namespace krelby
