// Tick labels that never run together: as many ticks as an axis of a given length holds with
// room between its widest labels. The ticker's count is only a wish (it picks round steps),
// so the labels it would make are measured, fewer asked for until they fit.
#pragma once

class QCPAxis;

namespace krelby {

// Sets the tick count of `axis`'s ticker for its range laid out over `pixels`, at most `most`.
void FitTickCount(QCPAxis& axis, double pixels, int most = 10);

// Whether the labels of `axis` as now laid out stand apart (for tests and checks).
bool TickLabelsApart(const QCPAxis& axis);

}  // namespace krelby
