#include "export/whole_file.h"

#include "base/error.h"
#include "base/file.h"
#include "format/output_guard.h"

namespace krelby {

void WriteWholeFile(const std::string& path, std::string_view data, const std::string& source) {
    if (!source.empty()) RefuseInputAsOutput(path, source);
    RefuseFlightDataAsOutput(path);
    AtomicFile file;
    RemoveStaleTemporariesOf(path);  // left by an earlier save of this file that was killed
    if (file.Create(path) != 0) throw Error(CannotCreateFile(path));
    if (file.Write(data.data(), data.size()) != 0) throw Error("Cannot write file " + path);
    if (file.Commit() != 0) throw Error(CannotCreateFile(path));
}

}  // namespace krelby
