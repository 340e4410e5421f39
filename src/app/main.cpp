// krelby: the windowed program. Reads no command line.
#include <QApplication>

#include "application.h"
#include "program_folder.h"

int main(int argc, char** argv) {
    QApplication qt(argc, argv);
    QApplication::setApplicationName("Krelby");  // names the per-user data folder
    krelby::Application app(krelby::ChooseProgramFolder());
    app.window().show();
    return QApplication::exec();
}
