// What the picture steps share: letting the window settle and saving a widget as a PNG.
#pragma once
#include <QString>

class QWidget;

namespace krelby {
class MainWindow;
}

namespace krelby::shots {

void Settle();
bool Save(QWidget& widget, const QString& path);
// A 10-hour flight of four engine monitors with sixteen items, in the strip view and the
// single chart, at the window's first size and maximised: strips-long.png,
// strips-long-max.png, single-long.png, single-long-max.png in `beside`.
bool SaveLongFlight(const QString& beside);
// The track pane beside the chart, over tiles from a tile server of its own: map.png.
bool SaveMap(MainWindow& window, const QString& path);
// A generated flight with a sweep on two monitors, the Engine pane on its Lean test tab:
// engine.png in `beside`; with a `prefix`, each tab as PREFIX-engine-TAB.png too.
bool SaveEngine(const QString& beside, const QString& prefix = {});
// A span marked on the window's chart with its table, span.png, printed, span-print.pdf, and
// F1's sheet, shortcuts.png, in `beside`.
bool SaveSpan(MainWindow& window, const QString& beside);

}  // namespace krelby::shots
