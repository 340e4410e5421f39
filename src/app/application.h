// The one object of a run: it owns the session (settings, flags, chart model) and
// the main window, which creates its two dialogs.
#pragma once
#include <memory>
#include <string>

#include "main_window.h"
#include "session.h"

namespace krelby {

class Application {
public:
    // `prompter` answers the dialogs; Qt's own dialogs when null.
    explicit Application(const std::string& programFolder, Prompter* prompter = nullptr);
    ~Application();

    Session& session() { return session_; }
    MainWindow& window() { return *window_; }

private:
    Session session_;
    std::unique_ptr<Prompter> ownPrompter_;
    std::unique_ptr<MainWindow> window_;
};

}  // namespace krelby
