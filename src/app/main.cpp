// krelby: the windowed program. A file given on the command line (as the file manager
// gives it) is opened as a drop would open it; without one, the flight shown at the last
// close is shown again.
#include <QApplication>
#include <QTimer>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "application.h"
#include "base/error.h"
#include "base/file.h"
#include "base/system.h"
#include "file_names.h"
#include "program_folder.h"

namespace {

constexpr const char* kUsage =
    "usage: krelby [FILE]\n"
    "       krelby --help | --version\n"
    "Shows a flight file (*.FLT) or imports a recording (ZelvoBB.DAT, VQ5bb.dat, *.REC) in the\n"
    "Krelby window; without FILE it shows again the flight shown when it was last closed.\n"
    "Qt's own options (-platform, -style, ...) are taken too; -- ends the options.\n";

// 0, or 1 with a message on stderr when stdout cannot take the text.
int Print(const char* text) {
    std::fputs(text, stdout);
    if (std::fflush(stdout) == 0 && !std::ferror(stdout)) return 0;
    const std::string why = std::strerror(errno);
    std::fprintf(stderr, "krelby: %s\n", krelby::UnableToWriteTo(krelby::kStandardOutput, why).c_str());
    return 1;
}

int UsageError(const QString& text) {
    std::fprintf(stderr, "krelby: %s\n%s", qPrintable(text), kUsage);
    return 2;
}

}  // namespace

int main(int argc, char** argv) {
    krelby::GuardStandardStreams();  // no flight file may take a closed stream's number
    krelby::RemoveTemporariesOnSignals();
    // Answered before Qt starts, so that they need no display.
    for (int i = 1; i < argc && std::strcmp(argv[i], "--") != 0; ++i) {
        if (std::strcmp(argv[i], "--help") == 0 || std::strcmp(argv[i], "-h") == 0) return Print(kUsage);
        if (std::strcmp(argv[i], "--version") == 0) return Print("krelby " KRELBY_VERSION "\n");
    }
    QApplication qt(argc, argv);  // takes Qt's own options out of the arguments
    QApplication::setApplicationName("Krelby");  // names the per-user data folder
    QApplication::setApplicationVersion(KRELBY_VERSION);
    // The desktop entry's id, by which the desktop finds the window's name and icon.
    QGuiApplication::setDesktopFileName("org.krelby.Krelby");

    // A file is taken as its own bytes, which need not be UTF-8 (Qt has taken its options
    // out of argv, so argv and the arguments match).
    const QStringList args = QApplication::arguments();
    std::vector<std::string> files;
    bool options = true;
    for (int i = 1; i < args.size(); ++i) {
        const QString& a = args.at(i);
        if (options && a == QLatin1String("--")) options = false;
        else if (options && a.startsWith(QLatin1Char('-'))) return UsageError("Unknown option " + a);
#ifdef Q_OS_WIN
        else files.push_back(krelby::PathBytes(a));
#else
        else files.push_back(i < argc ? std::string(argv[i]) : krelby::PathBytes(a));
#endif
    }
    if (files.size() > 1) return UsageError("Unexpected argument " + args.last());

    krelby::Application app(krelby::ChooseProgramFolder());
    app.window().show();
    // Once the window is up, so that questions, messages and progress stand over it.
    const std::string file = files.empty() ? std::string() : files.front();
    QTimer::singleShot(0, &app.window(), [&app, file] { app.window().Start(file); });
    return QApplication::exec();
}
