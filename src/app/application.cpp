#include "application.h"

#include <QApplication>
#include <QIcon>

#include "base/system.h"
#include "program_folder.h"

namespace krelby {

Application::Application(const std::string& programFolder, Prompter* prompter) {
    // Every window of the run, dialogs and message boxes too, carries the program's icon.
    QIcon icon;
    for (const char* size : {"48", "256"}) icon.addFile(QString(":/icons/org.krelby.Krelby-%1.png").arg(size));
    QApplication::setWindowIcon(icon);
    session_.ProgramFolder = programFolder;
    // The command line program takes the same separators, so both name a flight alike.
    session_.regional = SystemRegional();
    if (!prompter) {
        ownPrompter_ = std::make_unique<DialogPrompter>();
        prompter = ownPrompter_.get();
    }
    window_ = std::make_unique<MainWindow>(session_, *prompter);
}

Application::~Application() = default;

}  // namespace krelby
