#include "application.h"

#include "base/system.h"
#include "program_folder.h"

namespace krelby {

Application::Application(const std::string& programFolder, Prompter* prompter) {
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
