#ifndef _WIN32
#include <cerrno>
#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <langinfo.h>
#include <locale.h>
#include <unistd.h>

#include "base/program_folder.h"
#include "base/system.h"

namespace krelby {

std::string ExecutableFolder() {
    std::error_code ec;
    return FolderOfExecutable(std::filesystem::read_symlink("/proc/self/exe", ec).string());
}

bool IsWritableFolder(const std::string& folder) {
    std::error_code ec;
    return std::filesystem::is_directory(folder, ec) && ::access(folder.c_str(), W_OK | X_OK) == 0;
}

std::string UserDataFolder() {
    const char* data = std::getenv("XDG_DATA_HOME");
    const char* home = std::getenv("HOME");
    const std::string base = data && *data ? data : std::string(home && *home ? home : ".") + "/.local/share";
    return base + "/Krelby/";
}

void UseBinaryStandardStreams() {}

void GuardStandardStreams() {
    for (int fd = 0; fd <= 2; ++fd) {
        if (fcntl(fd, F_GETFD) != -1 || errno != EBADF) continue;
        const int null = open("/dev/null", fd == 0 ? O_WRONLY : O_RDONLY);
        if (null >= 0 && null != fd) {
            dup2(null, fd);
            close(null);
        }
    }
}

bool StandardErrorIsTerminal() { return isatty(2) == 1; }

Regional SystemRegional() {
    Regional r;
    locale_t loc = newlocale(LC_ALL_MASK, "", static_cast<locale_t>(0));
    if (!loc) return r;
    const char* radix = nl_langinfo_l(RADIXCHAR, loc);
    if (radix) r.decimalSeparator = SingleSeparator(radix, r.decimalSeparator);
    if (const char* f = nl_langinfo_l(D_FMT, loc)) r.dateSeparator = FormatSeparator(f, r.dateSeparator);
    if (const char* f = nl_langinfo_l(T_FMT, loc)) r.timeSeparator = FormatSeparator(f, r.timeSeparator);
    freelocale(loc);
    return r;
}

}  // namespace krelby
#endif
