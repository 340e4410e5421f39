// The window's start once it is up: the file it was given, or the flight shown last.
#include "file_names.h"
#include "main_window.h"

namespace krelby {

void MainWindow::Start(const std::string& file) {
    if (!file.empty()) {
        OpenFileAt(file);
        return;
    }
    // A flight file that is gone (or on a disk not mounted) leaves nothing selected; its
    // name is still written back at the close.
    if (lastFlight_.empty() || !IsFileAt(lastFlight_)) return;
    RunCommand("Reading flight...", [this] {
        Replay(lastFlight_);
        return QString();
    });
    ShowFlightLabel();
}

}  // namespace krelby
