// Text from outside the program (file names above all) made fit to be written into text files.
#pragma once
#include <string>
#include <string_view>

namespace krelby {

// `bytes` as UTF-8: each maximal ill-formed sequence (a stray or cut byte, an overlong form,
// a surrogate, beyond U+10FFFF) becomes U+FFFD; well-formed text comes back unchanged.
std::string ValidUtf8(std::string_view bytes);

// `raw` as a JSON string, quotes included, appended to `out`: made valid UTF-8 as ValidUtf8
// does, the quote, the backslash and control characters escaped.
void AppendJsonString(std::string& out, std::string_view raw);

}  // namespace krelby
