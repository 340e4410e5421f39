#include "application.h"

#include <QApplication>
#include <QIcon>
#include <QLocale>

#include "program_folder.h"

namespace krelby {

Application::Application(const std::string& programFolder, Prompter* prompter) {
    // Every window of the run, dialogs and message boxes too, carries the program's icon.
    QIcon icon;
    for (const char* size : {"48", "256"}) icon.addFile(QString(":/icons/org.krelby.Krelby-%1.png").arg(size));
    QApplication::setWindowIcon(icon);
    session_.ProgramFolder = programFolder;
    session_.regional = RegionalOf(QLocale::system());
    if (!prompter) {
        ownPrompter_ = std::make_unique<DialogPrompter>();
        prompter = ownPrompter_.get();
    }
    window_ = std::make_unique<MainWindow>(session_, *prompter);
}

Application::~Application() = default;

}  // namespace krelby
