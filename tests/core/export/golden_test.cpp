// Golden files: a generated recording imported, every flight replayed and exported to CSV and
// KML, byte for byte against the references in tests/golden/expected. After an intended change
// of output, rebuild and run with KRELBY_UPDATE_GOLDEN=1 to rewrite the references, then read
// the differences before committing them (tests/golden/README.md).
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "export/csv_export.h"
#include "export/kml_export.h"
#include "support/temp_folder.h"
#include "import/import.h"
#include "replay/replay.h"
#include "support/shown_flight.h"

namespace fs = std::filesystem;
using namespace krelby;
using krelby::testing::ReadFile;
using krelby::testing::TempFolder;

namespace {

const fs::path kGolden = fs::path(KRELBY_SOURCE_DIR) / "tests" / "golden";

// A few items of every kind: air data, GPS, attitude, both engine monitors, fuel, inputs,
// navigation; more than the chart's 16 slots, so the first come first served rule shows too.
constexpr int kTicked[] = {1, 3, 6, 9, 32, 35, 41, 43, 47, 11, 12, 18, 20, 24, 122, 53, 71, 77, 89, 85, 94, 102, 118, 106};

// Relative path -> bytes of every file under `root`.
std::vector<std::pair<std::string, std::string>> Tree(const fs::path& root) {
    std::vector<std::pair<std::string, std::string>> out;
    if (!fs::exists(root)) return out;
    for (const auto& e : fs::recursive_directory_iterator(root))
        if (e.is_regular_file()) out.emplace_back(fs::relative(e.path(), root).generic_string(), ReadFile(e.path().string()));
    std::sort(out.begin(), out.end());
    return out;
}

void Write(const fs::path& path, const std::string& bytes) {
    fs::create_directories(path.parent_path());
    krelby::testing::WriteFile(path.string(), bytes);
}

}  // namespace

TEST(Golden, ImportReplayAndExportsMatchTheReferences) {
    TempFolder folder;
    ASSERT_FALSE(folder.path().empty());
    const fs::path out = fs::path(folder.path()) / "out";
    fs::create_directories(folder / "Flights_INT");
    const ImportResult imported = ImportRecording((kGolden / "ZelvoBB.DAT").string(), RecordingKind::Internal,
                                                  folder.path(), Regional{}, ChecksumOptions{});
    Write(out / "import.txt", imported.Message() + "\n");

    std::vector<fs::path> flights;
    for (const auto& e : fs::directory_iterator(folder / "Flights_INT")) flights.push_back(e.path());
    std::sort(flights.begin(), flights.end());
    ASSERT_FALSE(flights.empty());
    for (const auto& flight : flights) {
        const std::string stem = flight.stem().string();
        Write(out / "Flights_INT" / flight.filename(), ReadFile(flight.string()));
        krelby::testing::ShownFlight session;
        session.ProgramFolder = folder.path();
        for (int n : kTicked) session.settings.selection.Set(n, true);
        session.CurrentFlightFile = flight.string();
        session.Show(flight.string());
        fs::create_directories(out / "Exports");
        session.Csv((out / "Exports" / (stem + ".CSV")).string());
        fs::create_directories(out / "KML");
        session.Kml((out / "KML" / (stem + ".kml")).string());
    }

    const auto produced = Tree(out);
    const fs::path expectedRoot = kGolden / "expected";
    const char* update = std::getenv("KRELBY_UPDATE_GOLDEN");
    if (update && std::string(update) == "1") {
        fs::remove_all(expectedRoot);
        for (const auto& [name, bytes] : produced) Write(expectedRoot / name, bytes);
        GTEST_SKIP() << "references rewritten in " << expectedRoot;
    }
    const auto expected = Tree(expectedRoot);
    std::vector<std::string> producedNames, expectedNames;
    for (const auto& p : produced) producedNames.push_back(p.first);
    for (const auto& e : expected) expectedNames.push_back(e.first);
    ASSERT_EQ(producedNames, expectedNames);
    for (size_t i = 0; i < produced.size(); ++i) {
        const std::string& got = produced[i].second;
        const std::string& want = expected[i].second;
        if (got == want) continue;
        const auto diff = std::mismatch(got.begin(), got.end(), want.begin(), want.end());
        ADD_FAILURE() << produced[i].first << " differs from its reference at byte " << (diff.first - got.begin())
                      << " (" << got.size() << " bytes, reference " << want.size() << ")";
    }
}
