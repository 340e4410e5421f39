// The error every command ends on; its text is shown to the user as it stands. The core
// reports every failure this way. Only the low-level calls of the file layer (InputFile's
// Open and ReadSome, AtomicFile's Create, Write, Truncate, Retarget and Commit) return an
// errno value instead, for the caller that decides what the failure means.
#pragma once
#include <stdexcept>
#include <string>

namespace krelby {

class Error : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

inline constexpr const char* kInvalidDateText = "Invalid argument to date encode";
inline constexpr const char* kInvalidTimeText = "Invalid argument to time encode";

// The file errors, worded here once so that the command line and the window say them alike.
// `why`, when given, follows after a colon ("Cannot create file PATH: Permission denied").
namespace detail {
inline std::string Said(const char* what, const std::string& path, const std::string& why) {
    return what + path + (why.empty() ? std::string() : ": " + why);
}
}  // namespace detail
inline std::string CannotCreateFile(const std::string& path, const std::string& why = {}) {
    return detail::Said("Cannot create file ", path, why);
}
inline std::string UnableToWriteTo(const std::string& path, const std::string& why = {}) {
    return detail::Said("Unable to write to ", path, why);
}
inline std::string CannotOpenFlightFile(const std::string& path, const std::string& why) {
    return detail::Said("Cannot open flight file ", path, why);
}
inline std::string CannotReadFlightFile(const std::string& path, const std::string& why) {
    return detail::Said("Cannot read flight file ", path, why);
}
// A flight file without one good Frame; `name` as the one who tells it names the file.
inline std::string NoFlightDataIn(const std::string& name) { return "No flight data in " + name; }
// What UnableToWriteTo names when the output is the standard output.
inline constexpr const char* kStandardOutput = "standard output";

}  // namespace krelby
