// series FLIGHT: replays a flight file under the folder's settings and prints the chart model.
#include <charconv>
#include <cstdio>

#include "cli/cli.h"
#include "replay/replay.h"
#include "replay/value_text.h"

namespace krelby::cli {
namespace {

// All 17 significant digits ("%.17g" in the C locale), so a reader gets the very double back.
void AppendReal(std::string& out, double x) {
    char text[32];
    out.append(text, std::to_chars(text, text + sizeof text, x, std::chars_format::general, 17).ptr);
}

int Series(const Args& args) {
    const FolderSettings folder = ReadFolderSettings(args);
    ChartModel chart;
    ChartReplay(chart, args.positional[0], folder.Inputs());

    std::string out = "margin " + IntegerText(chart.LeftMargin()) + "\n";
    // The names are right-aligned, so the right end does not depend on the text width.
    const auto labels = chart.AxisLabels(0, [](std::string_view s) { return static_cast<int>(s.size()); });
    for (const AxisLabel& l : labels)
        out += "axis " + IntegerText(l.axis) + " position " + IntegerText(chart.Axis(l.axis).position) + " label " +
               l.text + " x " + IntegerText(l.rightX) + "\n";
    for (int i = 0; i < chart.SlotsInChart(); ++i) {
        const SeriesSlot& s = chart.Slot(i);
        out += "slot " + IntegerText(i) + " title " + s.title + " axis " + IntegerText(s.axis) + " points " +
               IntegerText(static_cast<int64_t>(s.xs.size())) + "\n";
        for (size_t k = 0; k < s.xs.size(); ++k) {
            AppendReal(out, s.xs[k]);
            out += ' ';
            AppendReal(out, s.ys[k]);
            out += '\n';
            if (out.size() >= (1u << 16)) {
                std::fwrite(out.data(), 1, out.size(), stdout);
                out.clear();
            }
        }
    }
    std::fwrite(out.data(), 1, out.size(), stdout);
    return 0;
}

const Register reg({"series", "FLIGHT [--folder DIR]", "Prints the chart of a flight as text.", Series,
                    {"--folder"}, "FLIGHT"});

}  // namespace
}  // namespace krelby::cli
