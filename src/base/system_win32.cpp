#ifdef _WIN32
#define WIN32_LEAN_AND_MEAN
#include <windows.h>

#include <fcntl.h>
#include <io.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "base/program_folder.h"
#include "base/system.h"

namespace krelby {
namespace {

std::string Narrow(const wchar_t* wide) {
    const int n = WideCharToMultiByte(CP_UTF8, 0, wide, -1, nullptr, 0, nullptr, nullptr);
    std::string out(static_cast<size_t>(n > 0 ? n - 1 : 0), '\0');
    if (n > 1) WideCharToMultiByte(CP_UTF8, 0, wide, -1, out.data(), n, nullptr, nullptr);
    for (char& c : out)
        if (c == '\\') c = '/';
    return out;
}

// A locale text that is one printable ASCII character (spaces aside); the fallback otherwise.
char LocaleChar(LCTYPE what, char fallback) {
    wchar_t text[16] = {};
    if (GetLocaleInfoEx(LOCALE_NAME_USER_DEFAULT, what, text, 16) <= 0) return fallback;
    std::string narrow;
    for (const wchar_t* p = text; *p; ++p) narrow += *p < 0x80 ? static_cast<char>(*p) : '\x7f';
    return SingleSeparator(narrow, fallback);
}

}  // namespace

std::string ExecutableFolder() {
    std::wstring path(32768, L'\0');
    const DWORD n = GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
    path.resize(n);
    return FolderOfExecutable(Narrow(path.c_str()));
}

bool IsProgramsFolder(const std::string& folder) {
    const auto lower = [](std::string s) {
        for (char& c : s) c = c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c == '\\' ? '/' : c;
        while (!s.empty() && s.back() == '/') s.pop_back();
        return s;
    };
    const std::string f = lower(folder);
    for (const wchar_t* name : {L"ProgramFiles", L"ProgramFiles(x86)", L"ProgramW6432", L"SystemRoot"}) {
        const wchar_t* value = _wgetenv(name);
        if (!value || !*value) continue;
        const std::string top = lower(Narrow(value));
        if (!top.empty() && (f == top || f.rfind(top + "/", 0) == 0)) return true;
    }
    return false;
}

// A folder marked read-only still takes new files on Windows; one that refuses them shows
// when the program first writes there.
bool IsWritableFolder(const std::string& folder) {
    const int n = MultiByteToWideChar(CP_UTF8, 0, folder.c_str(), -1, nullptr, 0);
    std::wstring wide(static_cast<size_t>(n > 0 ? n : 1), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, folder.c_str(), -1, wide.data(), n);
    const DWORD attributes = GetFileAttributesW(wide.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

std::string UserDataFolder() {
    const wchar_t* data = _wgetenv(L"APPDATA");
    return (data && *data ? Narrow(data) : std::string(".")) + "/Krelby/";
}

void UseBinaryStandardStreams() {
    _setmode(_fileno(stdout), _O_BINARY);
    _setmode(_fileno(stderr), _O_BINARY);
}

// The file layer works with handles, never the C runtime's descriptors: nothing can take a
// closed stream's place.
void GuardStandardStreams() {}

bool StandardErrorIsTerminal() {
    DWORD mode = 0;
    return GetConsoleMode(GetStdHandle(STD_ERROR_HANDLE), &mode) != 0;
}

Regional SystemRegional() {
    Regional r;
    r.dateSeparator = LocaleChar(LOCALE_SDATE, r.dateSeparator);
    r.timeSeparator = LocaleChar(LOCALE_STIME, r.timeSeparator);
    r.decimalSeparator = LocaleChar(LOCALE_SDECIMAL, r.decimalSeparator);
    return r;
}

}  // namespace krelby
#endif
