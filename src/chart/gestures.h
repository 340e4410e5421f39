// The keys and mouse gestures a pane answers, for the window's F1 sheet. Each pane declares
// its own list once, where it is built (a pane whose own code does not yet declare them is
// declared by whoever builds it); the sheet finds every declaration among the window's
// children, so a gesture declared with its pane appears without the sheet being touched.
// The window's actions (QAction with a shortcut) are listed from the actions themselves.
#pragma once
#include <QObject>
#include <QString>

#include <vector>

namespace krelby {

struct Gesture {
    QString keys;  // as the user does it: "Shift+drag", "Wheel", "Ctrl+C"
    QString does;  // "Marks a span and lists its figures"
};

// The sheet's groups, in its order; a pane of another name is listed after them.
inline const QStringList kGestureGroups = {"Window", "Chart", "Strips", "Playback", "Track", "Logbook"};

// `owner` answers `gestures`, listed under `where` (one of kGestureGroups). The declaration
// is a child of `owner`: it goes with it.
void DeclareGestures(QObject* owner, const QString& where, std::vector<Gesture> gestures);

struct GestureGroup {
    QString where;
    std::vector<Gesture> gestures;
};
// Every declaration of `root` and its children at any depth, in the order of declaration.
std::vector<GestureGroup> DeclaredGestures(const QObject* root);

// The chart's and the strips' own (chart_gestures.cpp), declared by the chart widget.
void DeclareChartGestures(QObject* chart);

}  // namespace krelby
