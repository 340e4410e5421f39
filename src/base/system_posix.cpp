#ifndef _WIN32
#include <cerrno>
#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <langinfo.h>
#include <locale.h>
#include <sys/stat.h>
#include <unistd.h>

#include "base/program_folder.h"
#include "base/system.h"

namespace krelby {

std::string ExecutableFolder() {
    std::error_code ec;
    return FolderOfExecutable(std::filesystem::read_symlink("/proc/self/exe", ec).string());
}

namespace {

std::string Canonical(const std::string& folder) {
    std::error_code ec;
    std::string f = std::filesystem::weakly_canonical(folder, ec).string();
    if (ec) f = folder;
    while (f.size() > 1 && f.back() == '/') f.pop_back();
    return f;
}

}  // namespace

bool IsProgramsFolder(const std::string& folder) {
    const std::string f = Canonical(folder);
    for (const char* top : {"/usr", "/bin", "/sbin", "/lib", "/lib64", "/opt", "/snap", KRELBY_INSTALL_BINDIR})
        if (f == top || f.rfind(std::string(top) + "/", 0) == 0) return true;
    // Where the package manager installs programs: root's folders that the shell searches.
    const char* path = std::getenv("PATH");
    for (std::string rest = path ? path : ""; !rest.empty();) {
        const size_t colon = rest.find(':');
        const std::string entry = rest.substr(0, colon);
        rest = colon == std::string::npos ? "" : rest.substr(colon + 1);
        struct stat st{};
        if (!entry.empty() && entry[0] == '/' && Canonical(entry) == f && ::stat(f.c_str(), &st) == 0 && st.st_uid == 0)
            return true;
    }
    return false;
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
