// krelby: the windowed program. A file given on the command line (as the file manager
// gives it) is opened as a drop would open it; without one, nothing is read or shown.
#include <QApplication>
#include <QTimer>

#include "application.h"
#include "program_folder.h"

int main(int argc, char** argv) {
    QApplication qt(argc, argv);  // takes Qt's own options out of the arguments
    QApplication::setApplicationName("Krelby");  // names the per-user data folder
    QApplication::setApplicationVersion(KRELBY_VERSION);
    krelby::Application app(krelby::ChooseProgramFolder());
    app.window().show();
    const QStringList args = QApplication::arguments();
    if (args.size() > 1) {
        const QString file = args.at(1);
        // Once the window is up, so that questions and messages stand over it.
        QTimer::singleShot(0, &app.window(), [&app, file] { app.window().OpenDropped(file); });
    }
    return QApplication::exec();
}
