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

}  // namespace krelby
