// krelby-gen: writes a synthetic recording for demos, tests and benchmarks.
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <algorithm>
#include <string>

#include "base/error.h"
#include "format/datetime.h"
#include "gen/generator.h"

namespace {

const char kUsage[] =
    "usage: krelby-gen OUT [--sd] [--wrap] [--flights N] [--seconds N] [--monitors N]\n"
    "                  [--seed N] [--size BYTES[K|M|G]] [--start YYYY-MM-DD[Thh:mm]]\n"
    "                  [--faults] [--junk P] [--bad-crc P] [--truncated P] [--oversized P]\n"
    "                  [--sweep N] [--egt-noise C]\n"
    "  --sd         SD card recording: ends with a zero block and stale garbage blocks\n"
    "  --wrap       the display overwrote the start: the newest flight continues at the file's start\n"
    "  --flights    flights, hours apart (default 3)\n"
    "  --seconds    seconds per flight, one FlightMessage each (default 300)\n"
    "  --monitors   engine monitors 0..4 (default 2)\n"
    "  --seed       generator seed; the same options give the same bytes (default 1)\n"
    "  --size       add flights until the file reaches this size\n"
    "  --faults     a light mix of faults (junk 0.01, bad CRC 0.005, truncated 0.002, oversized 0.002)\n"
    "  --junk, --bad-crc, --truncated, --oversized   chance per Frame of each fault\n"
    "  --sweep      a mixture sweep in every cruise on monitors 1..N, its true peaks printed;\n"
    "               EGT noise 3 and 1800 seconds per flight unless given\n"
    "  --egt-noise  the EGT inputs 1-4 read up to C degrees off, uniformly (default 0)\n";

long long Number(const std::string& name, const char* text, long long lo, long long hi) {
    char* end = nullptr;
    errno = 0;
    long long v = std::strtoll(text, &end, 10);
    if (end == text || errno != 0) throw krelby::Error(name + " needs a whole number, not \"" + text + "\"");
    const std::string unit = end;
    if (name == "--size" && !unit.empty()) {
        const long long scale = unit == "K" ? 1LL << 10 : unit == "M" ? 1LL << 20 : unit == "G" ? 1LL << 30 : 0;
        if (scale == 0 || v > hi / scale) throw krelby::Error("--size takes bytes with an optional K, M or G");
        v *= scale;
    } else if (!unit.empty()) {
        throw krelby::Error(name + " needs a whole number, not \"" + text + "\"");
    }
    if (v < lo || v > hi)
        throw krelby::Error(name + " must lie between " + std::to_string(lo) + " and " + std::to_string(hi));
    return v;
}

// "flight 1 monitor 2 10:02:11-10:06:40 rich 21.10 lean 18.35 l/h peaks 19.52 19.11 19.80 19.33 spread 0.69"
void PrintSweep(const krelby::gen::SweepTruth& t) {
    const auto clock = [](int64_t s) { return krelby::IsoText(krelby::UnixTimeParts(s)); };
    double first = t.peakLph[0], last = t.peakLph[0];
    for (double p : t.peakLph) first = std::max(first, p), last = std::min(last, p);
    std::printf("sweep flight %d monitor %d %s %s rich %.2f lean %.2f l/h peaks %.2f %.2f %.2f %.2f spread %.2f%s\n",
                t.flight + 1, t.monitor, clock(t.start).c_str(), clock(t.end).c_str(), t.richLph, t.leanLph,
                t.peakLph[0], t.peakLph[1], t.peakLph[2], t.peakLph[3], first - last,
                t.stepped ? " stepped" : "");
}

double Rate(const std::string& name, const char* text) {
    char* end = nullptr;
    const double v = std::strtod(text, &end);
    if (end == text || *end != '\0' || !(v >= 0 && v <= 1))
        throw krelby::Error(name + " needs a chance between 0 and 1, not \"" + text + "\"");
    return v;
}

void Start(const char* text, krelby::gen::RecordingOptions& o) {
    int y, mo, d, h = o.startHour, mi = o.startMinute;
    const int n = std::sscanf(text, "%d-%d-%dT%d:%d", &y, &mo, &d, &h, &mi);
    if (n != 3 && n != 5) throw krelby::Error("--start takes YYYY-MM-DD or YYYY-MM-DDThh:mm");
    o.startYear = y, o.startMonth = mo, o.startDay = d, o.startHour = h, o.startMinute = mi;
}

}  // namespace

int main(int argc, char** argv) {
    try {
        krelby::gen::RecordingOptions o;
        std::string out;
        bool seconds = false, noise = false;
        for (int i = 1; i < argc; ++i) {
            const std::string a = argv[i];
            auto value = [&]() -> const char* {
                if (i + 1 >= argc) throw krelby::Error(a + " needs a value");
                return argv[++i];
            };
            if (a == "-h" || a == "--help") {
                std::fputs(kUsage, stdout);
                return 0;
            } else if (a == "--sd") o.sdCard = true;
            else if (a == "--wrap") o.wrap = true;
            else if (a == "--flights") o.flights = static_cast<int>(Number(a, value(), 0, 1000000));
            else if (a == "--seconds") o.secondsPerFlight = static_cast<int>(Number(a, value(), 1, 1000000)), seconds = true;
            else if (a == "--monitors") o.engineMonitors = static_cast<int>(Number(a, value(), 0, 4));
            else if (a == "--seed") o.seed = static_cast<uint32_t>(Number(a, value(), 0, 4294967295LL));
            else if (a == "--size") o.targetBytes = static_cast<uint64_t>(Number(a, value(), 0, 1LL << 40));
            else if (a == "--start") Start(value(), o);
            else if (a == "--sweep") o.sweepMonitors = static_cast<int>(Number(a, value(), 1, 4));
            else if (a == "--egt-noise") o.egtNoise = static_cast<double>(Number(a, value(), 0, 100)), noise = true;
            else if (a == "--faults") o.faults = {0.01, 0.005, 0.002, 0.002};
            else if (a == "--junk") o.faults.junkBytes = Rate(a, value());
            else if (a == "--bad-crc") o.faults.badCrc = Rate(a, value());
            else if (a == "--truncated") o.faults.truncated = Rate(a, value());
            else if (a == "--oversized") o.faults.oversizedLength = Rate(a, value());
            else if (a.size() > 1 && a[0] == '-') throw krelby::Error("Unknown option " + a + "\n" + kUsage);
            else if (out.empty()) out = a;
            else throw krelby::Error("Only one output file, please\n" + std::string(kUsage));
        }
        if (out.empty()) {
            std::fputs(kUsage, stderr);
            return 2;
        }
        if (o.sweepMonitors > 0 && !seconds) o.secondsPerFlight = 1800;
        if (o.sweepMonitors > 0 && !noise) o.egtNoise = 3;
        if (o.sweepMonitors > o.engineMonitors) throw krelby::Error("--sweep cannot name more monitors than --monitors");
        krelby::gen::RecordingStats s;
        krelby::gen::WriteRecording(out, o, &s);
        uint64_t frames = 0, intact = 0;
        for (int t = 0; t < 7; ++t) frames += s.frames[t], intact += s.intact[t];
        std::printf("%s: %llu bytes, %d flights, %llu Frames (%llu sound)", out.c_str(),
                    static_cast<unsigned long long>(s.fileBytes), s.flights, static_cast<unsigned long long>(frames),
                    static_cast<unsigned long long>(intact));
        if (o.wrap) std::printf(", wrapped with a %d s gap", s.wrapGapSeconds);
        std::printf("\n");
        for (const auto& t : s.sweeps) PrintSweep(t);
        return 0;
    } catch (const std::exception& e) {
        std::fprintf(stderr, "krelby-gen: %s\n", e.what());
        return 1;
    }
}
