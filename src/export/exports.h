// Every export of a flight as one table: krelby-cli's command, the window's menu item and save
// dialog, and the function that writes the file. A new export is one row and its writer.
#pragma once
#include <span>
#include <string>
#include <string_view>

#include "base/regional.h"
#include "replay/replay.h"
#include "replay/sink.h"

namespace krelby {

// Writes `flight` to `out` and returns the message that tells the user so (empty for none).
// Both replays also feed `chart` when given. Throws krelby::Error; nothing is left at `out`
// then.
using FlightExportFn = std::string (*)(const std::string& flight, const ReplayInputs& in, const Regional& regional,
                                       const std::string& out, ReplaySink* chart);

struct ExportInfo {
    const char* name;        // the krelby-cli command: "kml"
    const char* extension;   // the save dialog's default, given to a name typed without one: "KML"
    const char* title;       // of the save dialog
    const char* filter;      // of the save dialog, "text|pattern|text|pattern"
    const char* caption;     // the Export menu's item, '&' before its underlined letter
    const char* objectName;  // the menu item's: "ExportKml1"
    const char* progress;    // the window's progress label while it runs; "" for none
    const char* summary;     // krelby-cli's line for --help
    FlightExportFn write;    // null for the chart's picture and the report, drawn by the chart (chart/)
    // Written, unless told otherwise, to ExportsFolderPath without a dialog; the others ask
    // (the save dialog; krelby-cli's -o FILE).
    bool toExportsFolder;
    // krelby-cli's writer where it differs from the window's (a KML track named by the
    // flight's start: the window names the flight it shows by its end); null: `write`.
    FlightExportFn cliWrite = nullptr;
    // A command of its own in krelby-cli, with options of its own (the table), not one of the
    // commands made from this table.
    bool ownCommand = false;
};

// In the order of the Export menu.
std::span<const ExportInfo> Exports();
// The row of a krelby-cli command; nullptr for none.
const ExportInfo* ExportNamed(std::string_view name);

// The program folder (ending in '/') + "Exports/" + the flight file's name with `extension`
// for its own (added when it has none).
std::string ExportsFolderPath(const std::string& programFolder, const std::string& flight, std::string_view extension);

}  // namespace krelby
