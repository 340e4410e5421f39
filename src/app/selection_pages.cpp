#include "selection_pages.h"

#include <array>

namespace krelby {
namespace {

struct EngineRow {
    const char* caption;
    std::array<int, 4> numbers;  // ZEDA 1 to 4
};

constexpr EngineRow kEngineRows[] = {
    {"RPM", {11, 122, 145, 168}},
    {"RPM 2 / Pulse / Rotor", {210, 211, 212, 213}},
    {"Oil pressure", {12, 123, 146, 169}},
    {"Fuel pressure", {13, 124, 147, 170}},
    {"Coolant temp", {14, 125, 148, 171}},
    {"Oil temp", {15, 126, 149, 172}},
    {"Aux 1 temp", {16, 127, 150, 173}},
    {"Aux 2 temp", {17, 128, 151, 174}},
    {"Fuel flow", {18, 129, 152, 175}},
    {"MAP", {19, 130, 153, 176}},
    {"Current", {120, 131, 154, 177}},
    {"Carb temp", {121, 132, 155, 178}},
};
constexpr std::array<int, 4> kFirstThermocouple = {20, 133, 156, 179};
constexpr const char* kThermocoupleCaptions[12] = {"TC1", "TC2", "TC3", "TC4",  "TC5",  "TC6",
                                                   "TC7", "TC8", "TC9", "TC10", "TC11", "TC12"};
constexpr const char* kZedaTitles[4] = {"ZEDA 1", "ZEDA 2", "ZEDA 3", "ZEDA 4"};

SelectionPage EnginePage(int monitor) {
    SelectionColumn quantities, thermocouples;
    for (const auto& row : kEngineRows) quantities.boxes.push_back({row.numbers[monitor], row.caption});
    for (int i = 0; i < 12; ++i)
        thermocouples.boxes.push_back({kFirstThermocouple[monitor] + i, kThermocoupleCaptions[i]});
    return {kZedaTitles[monitor], {quantities, thermocouples}, "Please select TC usage in Options"};
}

SelectionPage FuelPage() {
    SelectionPage page{"Fuel levels", {}};
    for (int m = 0; m < 4; ++m) {
        const int first = 53 + 4 * m;
        page.columns.push_back({kZedaTitles[m],
                                {{first, "Fuel level tank 1"},
                                 {first + 1, "Fuel level tank 2"},
                                 {first + 2, "Fuel level calc 1"},
                                 {first + 3, "Fuel level calc 2"}}});
    }
    return page;
}

SelectionPage InputsPage() {
    static const char* const kDigital[16] = {
        "Input 1 as digital",  "Input 2 as digital",  "Input 3 as digital",  "Input 4 as digital",
        "Input 5 as digital",  "Input 6 as digital",  "Input 7 as digital",  "Input 8 as digital",
        "Input 9 as digital",  "Input 10 as digital", "Input 11 as digital", "Input 12 as digital",
        "Input 13 as digital", "Input 14 as digital", "Input 15 as digital", "Input 16 as digital"};
    static const char* const kAnalog[16] = {
        "Input 1 as analog",  "Input 2 as analog",  "Input 3 as analog",  "Input 4 as analog",
        "Input 5 as analog",  "Input 6 as analog",  "Input 7 as analog",  "Input 8 as analog",
        "Input 9 as analog",  "Input 10 as analog", "Input 11 as analog", "Input 12 as analog",
        "Input 13 as analog", "Input 14 as analog", "Input 15 as analog", "Input 16 as analog"};
    SelectionColumn digital1, analog1, digital9, analog9;
    for (int i = 0; i < 8; ++i) {
        digital1.boxes.push_back({69 + i, kDigital[i]});
        analog1.boxes.push_back({77 + i, kAnalog[i]});
        digital9.boxes.push_back({194 + i, kDigital[8 + i]});
        analog9.boxes.push_back({202 + i, kAnalog[8 + i]});
    }
    SelectionColumn positions{nullptr,
                              {{85, "Flap position"},
                               {86, "Pitch trim position"},
                               {87, "Bank trim position"},
                               {88, "Yaw trim position"},
                               {89, "Gear 1 state"},
                               {90, "Gear 2 state"},
                               {91, "Gear 3 state"}}};
    return {"Inputs",
            {digital1, analog1, digital9, analog9, positions},
            "Note: Inputs 9 to 16 are from a connected Zelvo extender connected via CAN bus"};
}

std::vector<SelectionPage> BuildPages() {
    std::vector<SelectionPage> pages;
    pages.push_back({"Primary flight",
                     {{nullptr,
                       {{1, "Pressure altitude"},
                        {2, "Altitude (Baro corrected)"},
                        {3, "Airspeed (ASI)"},
                        {4, "True airspeed (TAS)"},
                        {5, "Angle of attack (AOA)"},
                        {6, "Vertical speed (VSI)"},
                        {7, "Actual barometric pressure"},
                        {8, "Local pressure setting (QNH)"},
                        {9, "Ambient temperature (OAT)"},
                        {10, "Humidity"}}}}});
    pages.push_back({"Attitude",
                     {{nullptr,
                       {{41, "Heading (Magnetic, compass)"},
                        {42, "AHRS Pitch angle"},
                        {43, "AHRS Bank angle"},
                        {44, "AHRS Yaw angle"},
                        {45, "AHRS Turn rate"},
                        {46, "AHRS Slip"},
                        {47, "AHRS Acceleration up/down axis"},
                        {48, "AHRS Acceleration left/right axis"},
                        {49, "AHRS acceleration front/rear axis"}}},
                      {nullptr, {{50, "AHRS Bank rate"}, {51, "AHRS Pitch rate"}, {52, "AHRS Yaw rate"}}}}});
    pages.push_back({"GPS",
                     {{nullptr,
                       {{32, "Altitude (3D fix)"},
                        {33, "Altitude above ground (AGL)"},
                        {34, "Vertical velocity (from NED)"},
                        {35, "Ground speed (GS)"},
                        {36, "Track (true)"},
                        {37, "Variation"},
                        {38, "Satellites tracked"},
                        {39, "RAIM_HError"},
                        {40, "RAIM_VError"}}},
                      {nullptr, {{193, "Position (CSV file only)"}}}}});
    // The last column's validity flags stand beside the items they qualify.
    pages.push_back({"Navigation",
                     {{nullptr,
                       {{95, "HSI valid"},
                        {92, "HSI needle angle"},
                        {93, "HSI rose angle"},
                        {94, "Track deviation"},
                        {98, "HSI source type"},
                        {101, "Heading bug"},
                        {102, "Altimeter bug"},
                        {117, "GPS Waypoint active"},
                        {118, "GPS Distance to waypoint"},
                        {119, "GPS true track to waypoint"}}},
                      {nullptr, {{96, "VNAV valid"}, {97, "Vertical deviation"}, {99, "VNAV source type"}}},
                      {nullptr,
                       {{100, "Autopilot engaged"},
                        {103, "Autopilot vertical mode"},
                        {104, "VOR 1 Radial"},
                        {105, "VOR 2 Radial"},
                        {115, "DME 1"},
                        {116, "DME 2"},
                        {106, "ILS deviation"},
                        {107, "Glideslope deviation"},
                        {112, "GLS horizontal deviation"},
                        {114, "GLS vertical deviation"},
                        {113, "GLS Active"}}},
                      {nullptr,
                       {{},
                        {},
                        {108, "VOR 1 valid"},
                        {109, "VOR 2 valid"},
                        {191, "DME 1 valid"},
                        {192, "DME 2 valid"},
                        {110, "ILS valid"},
                        {111, "Glideslope valid"}}}}});
    for (int m = 0; m < 4; ++m) pages.push_back(EnginePage(m));
    pages.push_back(FuelPage());
    pages.push_back(InputsPage());
    return pages;
}

}  // namespace

const std::vector<SelectionPage>& SelectionPages() {
    static const std::vector<SelectionPage> pages = BuildPages();
    return pages;
}

}  // namespace krelby
