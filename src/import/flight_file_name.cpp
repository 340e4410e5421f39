#include "import/flight_file_name.h"

#include "format/datetime.h"

namespace krelby {

std::string FlightFileName(double t, const Regional& regional) {
    std::string name;
    for (char c : FormatShortDateTime(t, regional)) {
        if (c == '/') name += '-';
        else if (c != ':') name += c;
    }
    return name + ".FLT";
}

std::string FlightFileNamer::Next(double t) {
    const std::string base = FlightFileName(t, regional_);
    std::string name = base;
    const std::string stem = base.substr(0, base.size() - 4);
    for (int n = 2; taken_.count(name); ++n) name = stem + " (" + std::to_string(n) + ").FLT";
    taken_.insert(name);
    return name;
}

}  // namespace krelby
