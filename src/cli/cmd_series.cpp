// series FLIGHT: replays a flight file under the folder's settings and prints the chart model.
#include <cstdio>

#include "cli/cli.h"
#include "replay/replay.h"

namespace krelby::cli {
namespace {

int Series(const Args& args) {
    Session session = FolderSession(args);
    FlightReplay(session, args.positional[0]);

    const ChartModel& chart = session.chart;
    std::printf("margin %d\n", chart.LeftMargin());
    // The names are right-aligned, so the right end does not depend on the text width.
    const auto labels = chart.AxisLabels(0, [](std::string_view s) { return static_cast<int>(s.size()); });
    for (const AxisLabel& l : labels)
        std::printf("axis %d position %d label %s x %d\n", l.axis, chart.Axis(l.axis).position, l.text.c_str(), l.rightX);
    for (int i = 0; i < chart.SlotsInChart(); ++i) {
        const SeriesSlot& s = chart.Slot(i);
        std::printf("slot %d title %s axis %d points %zu\n", i, s.title.c_str(), s.axis, s.xs.size());
        for (size_t k = 0; k < s.xs.size(); ++k) std::printf("%.17g %.17g\n", s.xs[k], s.ys[k]);
    }
    return 0;
}

const Register reg({"series", "FLIGHT [--folder DIR]", "Prints the chart of a flight as text.", Series,
                    {"--folder"}, "FLIGHT"});

}  // namespace
}  // namespace krelby::cli
