// report FLIGHT... -o FILE.pdf: the flight report as the window's Export menu writes it, drawn
// by Qt's offscreen platform (no display needed), on the paper of the locale or --paper;
// several flights or --all-flights write one report each into -d DIR.
#include <QApplication>
#include <QSettings>

#include <cstdio>
#include <cstdlib>

#include "chart/flight_report.h"
#include "chart/map_tiles.h"
#include "chart/tile_fetcher.h"
#include "cli/cli.h"
#include "export/exports.h"

namespace krelby::cli {
namespace {

QPageSize::PageSizeId PaperOf(const Args& args) {
    const auto paper = args.Option("--paper");
    if (!paper) return LocalePaper();
    if (*paper == "a4" || *paper == "A4") return QPageSize::A4;
    if (*paper == "letter" || *paper == "Letter") return QPageSize::Letter;
    throw UsageError("Invalid paper " + *paper + " (a4 or letter)");
}

// One for all the flights of a batch, never torn down (the program ends after the command).
void StartQt() {
    static QApplication* app = nullptr;
    if (app) return;
    setenv("QT_QPA_PLATFORM", "offscreen", 0);  // a report needs no display
    // Qt's own notices (no runtime folder, fonts) are noise on a command line.
    qInstallMessageHandler([](QtMsgType type, const QMessageLogContext&, const QString& text) {
        if (type == QtCriticalMsg || type == QtFatalMsg) std::fprintf(stderr, "%s\n", qPrintable(text));
    });
    static int argc = 1;
    static char name[] = "krelby-cli";
    static char* argv[] = {name, nullptr};
    app = new QApplication(argc, argv);
}

int Report(const Args& args) {
    const std::string out = *args.Option("-o");
    const QPageSize::PageSizeId paper = PaperOf(args);
    const FolderSettings folder = ReadFolderSettings(args);
    const std::string& flight = args.positional[0];
    RequireFlightData(ChecksumOptions{}, flight);
    StartQt();
    ReportOptions options;
    options.paper = paper;
    options.itemsCharted = args.Flag("--charted");
    // The map under the track as the pilot chose it in the window (the same tile cache).
    const MapSettings map = ReadMapSettings(QSettings(QSettings::NativeFormat, QSettings::UserScope, "Krelby", "Krelby"));
    TileFetcher tiles(DefaultTileCacheFolder(), map.CacheBytes());
    tiles.SetSource(map.Source());
    options.tiles = &tiles;
    const auto write = [&](const std::string& path) {
        return WriteFlightReport(flight, folder.settings, folder.regional, options, path);
    };
    if (ToStandardOutput(out) || IsSpecialOutput(out)) {
        WriteExport(out, [&](const std::string& path) { write(path); });
        return 0;
    }
    const int pages = write(out);
    Say(args, out + " written, " + std::to_string(pages) + (pages == 1 ? " page" : " pages"));
    return 0;
}

// The export table's report row, whose writer is in chart/.
const ExportInfo& kReport = *ExportNamed("report");
const Register reg(Batch({kReport.name,
                          "FLIGHT... [--all-flights] [-o FILE.pdf | -d DIR] [--paper a4|letter] [--charted] "
                          "[--folder DIR] [-q]",
                          kReport.summary, Report, {"--folder", "-o", "--paper", "--charted"}, "FLIGHT", true},
                         Suffix("pdf")));

}  // namespace
}  // namespace krelby::cli
