// Arbitrary bytes as Krelby.INI: loading never fails, and what is saved loads back the same.
#include <unistd.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "settings/ini_file.h"
#include "settings/settings_file.h"

namespace {

std::string TempPath(const char* what) {
    return "/tmp/krelby-fuzz-settings-" + std::to_string(getpid()) + what;
}

bool Same(const krelby::Settings& a, const krelby::Settings& b) {
    const auto& x = a.kml;
    const auto& y = b.kml;
    if (x.LineWidth != y.LineWidth || x.LineColor != y.LineColor || x.LineOpacity != y.LineOpacity ||
        x.Clamp2GND != y.Clamp2GND || x.ExtrudePoly != y.ExtrudePoly || x.PolyColor != y.PolyColor ||
        x.PolyOpacity != y.PolyOpacity)
        return false;
    // A unit field whose low 16 bits read as negative is written signed, and a negative number
    // reads back as 0: the file's own rule, so `b` holds 0 where `a` held a negative choice.
    const auto& u = a.units;
    const auto& v = b.units;
    for (auto f : {&krelby::UnitSettings::Altitude, &krelby::UnitSettings::VSI, &krelby::UnitSettings::Speed,
                   &krelby::UnitSettings::Temp, &krelby::UnitSettings::OilP, &krelby::UnitSettings::MAP,
                   &krelby::UnitSettings::FuelP, &krelby::UnitSettings::LiqQ, &krelby::UnitSettings::Baro,
                   &krelby::UnitSettings::HFrac, &krelby::UnitSettings::GeoPos})
        if (std::max<int16_t>(u.*f, 0) != v.*f) return false;
    for (int n = 1; n <= krelby::kCheckBoxCount; ++n)
        if (a.selection.Ticked(n) != b.selection.Ticked(n)) return false;
    return a.thermocouples == b.thermocouples && a.general.View3D == b.general.View3D;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static const std::string in = TempPath("-in.INI"), out = TempPath("-out.INI");
    static const int cleanup = std::atexit([] {
        std::remove(in.c_str());
        std::remove(out.c_str());
    });
    (void)cleanup;

    const std::string text(reinterpret_cast<const char*>(data), size);
    (void)krelby::IniFile::Parse(text).Text();

    FILE* f = std::fopen(in.c_str(), "wb");
    if (!f) return 0;
    std::fwrite(data, 1, size, f);
    std::fclose(f);

    krelby::Settings first, second;
    std::string flight, flight2;
    krelby::LoadSettings(in, first, flight);
    std::remove(out.c_str());
    krelby::SaveSettings(out, first, flight);
    krelby::LoadSettings(out, second, flight2);
    if (!Same(first, second) || flight != flight2) std::abort();
    return 0;
}
