// What an import finds of earlier imports in its folder: the same flights, copies cut short
// or left by an import that was killed, and other flights of the same second.
#include <csignal>

#include "base/file.h"
#include "gen/generator.h"
#include "support/import_fixture.h"

using namespace krelby;
using namespace krelby::test;

namespace {

Bytes Head(const Bytes& b, size_t n) { return Bytes(b.begin(), b.begin() + long(n)); }

}  // namespace

TEST_F(ImportTest, AFlightAnEarlierImportHoldsWithMoreIsNotWrittenAgain) {
    const Bytes a = Flight(0, 5), g = Flight(3600, 3), b = Flight(7200, 6);
    const Bytes whole = Blocks(Cat({a, g, b}));
    struct Case {
        const char* what;
        std::map<std::string, Bytes> before;
        Bytes recording;
        std::string message;
        std::map<std::string, Bytes> after;
    } cases[] = {
        {"cut short", {}, Head(whole, whole.size() - 100), "Imported 3 flights.\n1 flight was already imported.", {}},
        {"two flights cut short", {}, Blocks(Cat({Head(a, 200), g, Head(b, 300)})),
         "Imported 3 flights.\n2 flights were already imported.", {}},
        {"the same again", {}, whole, "Imported 3 flights.", {}},
        // The same first Frame is not the same flight: every byte counts.
        {"another flight of that second", {{"5-3-14 100000.FLT", Cat({Fm(0, 0), Gps(77)})}}, Blocks(a),
         "Imported 1 flights.",
         {{"5-3-14 100000.FLT", Cat({Fm(0, 0), Gps(77)})}, {"5-3-14 100000 (2).FLT", a}}},
    };
    const std::map<std::string, Bytes> imported = {
        {"5-3-14 100000.FLT", a}, {"5-3-14 110000.FLT", g}, {"5-3-14 120000.FLT", b}};
    for (const Case& c : cases) {
        fs::remove_all(root + "Flights_INT");
        fs::create_directory(root + "Flights_INT");
        if (c.before.empty()) Import(whole);
        for (const auto& [name, bytes] : c.before) WriteFile(root + "Flights_INT/" + name, bytes);
        FileStamp longer;
        StampOf(root + "Flights_INT/5-3-14 120000.FLT", longer);
        EXPECT_EQ(Import(c.recording).Message(), c.message) << c.what;
        EXPECT_EQ(Flights(), c.after.empty() ? imported : c.after) << c.what;
        FileStamp now;
        if (c.before.empty() && c.message != "Imported 3 flights.") {
            EXPECT_TRUE(StampOf(root + "Flights_INT/5-3-14 120000.FLT", now) && now == longer) << c.what;  // untouched
        }
    }
}

#ifndef _WIN32
// A wrapped recording's import killed between its two passes leaves the flights of the first
// pass (the first flight's among them), the last flight's temporary file, and whatever the
// folder held; copies of the last flight as far as the first pass wrote it may lie beside the
// joined one. Importing the recording again leaves the folder as a clean import does.
TEST_F(ImportTest, ReimportAfterAnImportKilledBetweenThePassesLeavesTheFolderClean) {
    gen::RecordingOptions o;
    o.flights = 4;
    o.secondsPerFlight = 120;
    o.wrap = true;
    WriteFile(root + "rec.dat", gen::Recording(o));
    const auto import = [&] { return ImportRecording(root + "rec.dat", RecordingKind::Internal, root, {}, checks); };
    const auto killedBetweenThePasses = [&] {
        InChild([&] {
            ImportRecording(root + "rec.dat", RecordingKind::Internal, root, {}, checks, [](uint64_t done, uint64_t total) {
                if (done == total) raise(SIGKILL);  // the first pass has read the whole recording
            });
            return std::string();
        });
    };
    const auto reset = [&] {
        fs::remove_all(root + "Flights_INT");
        fs::create_directory(root + "Flights_INT");
    };
    import();
    const std::map<std::string, Bytes> clean = Flights();
    reset();
    killedBetweenThePasses();
    const std::map<std::string, Bytes> killed = Flights();
    std::string joined, first;  // the last flight's name, joined; the first flight's
    for (const auto& [name, bytes] : clean)
        if (!killed.count(name)) joined = name;
    for (const auto& [name, bytes] : killed)
        if (!clean.count(name) && name[0] != '.') first = name;
    ASSERT_FALSE(joined.empty() || first.empty());
    const Bytes& whole = clean.at(joined);
    const Bytes firstPass = Head(whole, whole.size() - killed.at(first).size());
    const std::string stem = joined.substr(0, joined.size() - 4);

    struct Case {
        const char* what;
        bool cleanFirst, killed;
        std::map<std::string, Bytes> leftovers;
    } cases[] = {
        {"killed in a fresh folder", false, true, {}},
        {"killed over a clean import", true, true, {}},
        {"the first pass's copy beside the joined flight", true, false, {{stem + " (2).FLT", firstPass}}},
        {"the joined flight beside the first pass's copy", false, false,
         {{joined, firstPass}, {stem + " (2).FLT", whole}}},
    };
    for (const Case& c : cases) {
        reset();
        if (c.cleanFirst) import();
        if (c.killed) killedBetweenThePasses();
        for (const auto& [name, bytes] : c.leftovers) WriteFile(root + "Flights_INT/" + name, bytes);
        import();
        EXPECT_EQ(Flights(), clean) << c.what;
    }
}
#endif
