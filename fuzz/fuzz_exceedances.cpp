// Flights built from arbitrary bytes, 8 to a message (FlightMessages whose clock moves by
// small steps, back too, and EngineMessages whose fields stay close to the limits), under
// limits chosen by the first bytes: the exceedances written in small batches, or as they are
// found, must be the whole sorted list.
#include <unistd.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <iterator>
#include <string>

#include "base/error.h"
#include "format/frame_builder.h"
#include "format/messages.h"
#include "logbook/exceedance_outputs.h"

namespace {

using namespace krelby;
using E = EngineMessage;

void Append(std::FILE* f, const std::vector<uint8_t>& frame) { std::fwrite(frame.data(), 1, frame.size(), f); }

// Near `at`: from at - 4 to at + 3.
int Near(int at, uint8_t v) { return at + v % 8 - 4; }

void WriteFlight(const std::string& path, const uint8_t* data, size_t size) {
    std::FILE* f = std::fopen(path.c_str(), "wb");
    if (!f) return;
    int seconds = 40000;
    for (size_t at = 0; at + 8 <= size; at += 8) {
        const uint8_t* b = data + at;
        if (b[0] % 3 == 0) {
            seconds = std::clamp(seconds + static_cast<int8_t>(b[1]) % 16, 0, 86399);
            const size_t hour = FlightMessage::kSecondOffset - 2, day = FlightMessage::kSecondOffset + 1;
            FrameBuilder fm(FrameType::Flight);
            fm.u8(hour, uint8_t(seconds / 3600)).u8(hour + 1, uint8_t(seconds / 60 % 60)).u8(hour + 2, uint8_t(seconds % 60));
            fm.u8(day, 14).u8(day + 1, 3).u8(day + 2, 24);
            Append(f, fm.Sealed());
            continue;
        }
        FrameBuilder e(FrameType::Engine, b[0] & 0x80 ? 56 : 36);  // a short one lacks the inputs
        e.u8(E::kMonitorNumber, uint8_t(1 + b[0] % 4));
        e.u16(E::kRpm, uint16_t(b[1] & 0x80 ? Near(2000, b[1]) : Near(500, b[1])));
        e.u16(E::kManifoldPressure, uint16_t(Near(10000, b[2])));
        e.u16(E::kOilPressure, uint16_t(b[3] & 0x80 ? Near(20000, b[3]) : Near(50000, b[3])));
        e.i16(E::kOilTemp, int16_t(Near(80, b[4])));
        e.u16(E::kFuelPressure, uint16_t(b[5] & 0x80 ? Near(2000, b[5]) : Near(5000, b[5])));
        e.i16(E::kCoolantTemp, int16_t(Near(90, b[6])));
        if (b[0] & 0x80)
            for (int n = 1; n <= 12; ++n) e.i16(E::TcOffset(n), int16_t(n % 2 ? Near(700, uint8_t(b[7] >> (n % 4))) : Near(180, b[7])));
        Append(f, e.Sealed());
    }
    std::fclose(f);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static const std::string path = [] {
        std::atexit([] { std::remove(("/tmp/krelby-fuzz-exceedances-" + std::to_string(getpid()) + ".FLT").c_str()); });
        return "/tmp/krelby-fuzz-exceedances-" + std::to_string(getpid()) + ".FLT";
    }();
    if (size < 4) return 0;
    WriteFlight(path, data + 4, size - 4);

    // Byte 0: which limits are set; byte 1: the merge and minimum seconds; byte 2: the kinds;
    // byte 3: the batch.
    Limits limits;
    const double values[] = {2000, 1, 2, 5, 80, 0.2, 0.5, 90, 700, 180, 30, 20};
    static_assert(std::size(values) == kLimitKeyCount, "a value for every limit");
    for (int k = 0; k < kLimitKeyCount; ++k)
        if ((data[0] >> (k % 8)) & 1 || k == data[0] % kLimitKeyCount)
            limits.Set(static_cast<LimitKey>(k), values[k] + (data[1] & 1 ? 0.5 : 0));
    Limits::Set(limits.mergeSeconds, data[1] >> 4);
    Limits::Set(limits.minSeconds, data[1] >> 1 & 7);
    ThermocoupleKinds kinds{};
    for (size_t i = 0; i < kinds.size(); ++i) kinds[i] = static_cast<uint8_t>((i + data[2]) % 3);
    const size_t batch = 1 + data[3] % 8;
    try {
        const std::vector<Exceedance> list = FindExceedances(path, kinds, limits);
        for (const Exceedance& e : list)  // never negative, never below the minimum
            if (e.DurationS() < 0 || e.DurationS() < limits.minSeconds.value) std::abort();
        const std::string whole = ExceedancesCsv(list);
        std::string got;
        WriteExceedancesCsv(path, kinds, limits, [&](std::string_view t) { got += t; }, batch);
        if (got != whole) std::abort();
    } catch (const Error&) {
    }
    return 0;
}
