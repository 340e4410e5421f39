#include "application.h"

#include <QLocale>

#include "program_folder.h"

namespace krelby {

Application::Application(const std::string& programFolder, Prompter* prompter) {
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
