// The error every command ends on; its text is shown to the user as it stands.
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
