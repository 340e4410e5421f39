// Which flight files the logbook lists as copies of one flight, and which as flights of their own.
#include <gtest/gtest.h>

#include <filesystem>

#include "logbook/columns.h"
#include "logbook/logbook.h"
#include "support/messages.h"
#include "support/temp_folder.h"

using namespace krelby;
using namespace krelby::testing;

namespace {

// One flight: a FlightMessage and a GpsMessage a second from 10:00:00 to 10:00:`seconds - 1`,
// at `altitude` (what tells this flight from another of the same times), but the seconds left out.
std::vector<Frame> Flight(int seconds, int32_t altitude, std::vector<int> without = {}) {
    std::vector<Frame> frames;
    for (int s = 0; s < seconds; ++s) {
        if (std::find(without.begin(), without.end(), s) != without.end()) continue;
        frames.push_back(FlightAt(0, s).PAltitude(altitude + s).ASI(900).Sealed());
        frames.push_back(GpsAt(-4860000, 27000000 + s * 100, 1000).Sealed());
    }
    return frames;
}

std::vector<Frame> Head(const std::vector<Frame>& f, size_t n) { return {f.begin(), f.begin() + long(n)}; }

}  // namespace

TEST(LogbookCopies, CopiesAreTheSameFlightMessagesOrSomeOfThemNeverAnotherFlights) {
    const std::vector<Frame> whole = Flight(40, 1000);
    struct Case {
        const char* what;
        std::map<std::string, std::vector<Frame>> files;  // under Flights_INT
        std::vector<std::vector<std::string>> rows;        // each row's copies, the one shown first
    } cases[] = {
        {"a flight and its copy cut short, as an earlier import named it",
         {{"5-3-14 100000.FLT", whole}, {"5-3-14 100000 (2).FLT", Head(whole, 31)}},
         {{"5-3-14 100000.FLT", "5-3-14 100000 (2).FLT"}}},
        {"the copy cut short under the first name",
         {{"5-3-14 100000.FLT", Head(whole, 50)}, {"5-3-14 100000 (2).FLT", whole}},
         {{"5-3-14 100000 (2).FLT", "5-3-14 100000.FLT"}}},
        {"a copy with damaged messages, and one cut short as well",
         {{"a.FLT", whole}, {"b.FLT", Flight(40, 1000, {3, 17})}, {"c.FLT", Head(Flight(40, 1000, {5}), 20)}},
         {{"a.FLT", "b.FLT", "c.FLT"}}},
        {"four different flights with the same start and end",
         {{"a.FLT", whole}, {"b.FLT", Flight(40, 2000)}, {"c.FLT", Flight(40, 3000)}, {"d.FLT", Flight(40, 4000)}},
         {{"a.FLT"}, {"b.FLT"}, {"c.FLT"}, {"d.FLT"}}},
        {"another flight whose times are some of this one's",
         {{"a.FLT", whole}, {"b.FLT", Flight(40, 2000, {3, 4, 5})}},
         {{"a.FLT"}, {"b.FLT"}}},
    };
    for (const Case& c : cases) {
        TempFolder folder;
        std::filesystem::create_directory(folder / "Flights_INT");
        for (const auto& [name, frames] : c.files) WriteFrames(folder / ("Flights_INT/" + name), frames);
        std::vector<std::vector<std::string>> rows;
        for (const LogbookEntry& e : ListFlights(folder.path(), ThermocoupleKinds{})) {
            rows.emplace_back();
            for (const std::string& f : e.copies) rows.back().push_back(f.substr(12));  // after "Flights_INT/"
            EXPECT_EQ(e.copies[0], e.file) << c.what;
        }
        EXPECT_EQ(rows, c.rows) << c.what;
    }
}
