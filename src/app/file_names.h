// File names cross between Qt and the core as the system's bytes: a name that is not UTF-8
// still opens, and shows with U+FFFD where its bytes are not text.
#pragma once
#include <QString>
#include <string>

namespace krelby {

// The bytes of `path` for the core. Qt gives a name that is not UTF-8 with U+FFFD in it (and
// leaves it out of its own folder listings); such a name is matched against the entries of
// its folder, so the file it stands for is found.
std::string PathBytes(const QString& path);
// A path of the core as text to show; bytes that are not UTF-8 become U+FFFD.
QString ShownPath(const std::string& path);
// The file's own name, without its folder, as ShownPath shows it.
QString ShownFileName(const std::string& path);
// Whether `path` (bytes) is a regular file, or a link to one.
bool IsFileAt(const std::string& path);

}  // namespace krelby
