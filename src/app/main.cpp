// krelby: the windowed program. A file given on the command line (as the file manager
// gives it) is opened as a drop would open it; without one, nothing is read or shown.
#include <QApplication>
#include <QTimer>

#include "application.h"
#include "file_names.h"
#include "program_folder.h"

int main(int argc, char** argv) {
    QApplication qt(argc, argv);  // takes Qt's own options out of the arguments
    QApplication::setApplicationName("Krelby");  // names the per-user data folder
    QApplication::setApplicationVersion(KRELBY_VERSION);
    krelby::Application app(krelby::ChooseProgramFolder());
    app.window().show();
    const QStringList args = QApplication::arguments();
    if (args.size() > 1) {
        // The name's own bytes where they may not be UTF-8 (Qt has taken its options out of argv).
#ifdef Q_OS_WIN
        const std::string file = krelby::PathBytes(args.at(1));
#else
        const std::string file = argc > 1 ? std::string(argv[1]) : krelby::PathBytes(args.at(1));
#endif
        // Once the window is up, so that questions and messages stand over it.
        QTimer::singleShot(0, &app.window(), [&app, file] { app.window().OpenFileAt(file); });
    }
    return QApplication::exec();
}
