// The main window's close requests: its menu, its caption's close button,
// Alt+F4, and the system's at log-off, shutdown or for the Restart Manager.
#include "platform/main_window.h"

namespace platform {
namespace {

// Why the window is asked to close (the handler asks the same either way).
constexpr int kUnloadFromMenu = 0;
constexpr int kUnloadSessionEnd = 2;

}  // namespace

// Every close request asks the question once; the unload it makes does not
// ask again, and a request that comes while the question is open asks
// nothing new. Yes and No unload the window from inside the handler; Cancel,
// or a failed step (the forum could not be opened), keeps it.
void MainWindow::askToClose(int unloadMode) {
    if (questionOpen_) return;
    questionOpen_ = true;
    std::int16_t cancel = 0;
    app::runGuarded(host_, [&] { form_.Form_QueryUnload(cancel, unloadMode); });
    questionOpen_ = false;
}

void MainWindow::onClose() { askToClose(kUnloadFromMenu); }

// Log-off, shutdown and the Restart Manager ask as any close does: Cancel
// refuses, Yes and No agree, and the window stays until the session ends.
LRESULT MainWindow::onQueryEndSession() {
    if (questionOpen_) return FALSE;  // the open question answers for it
    host_.holdUnload();
    askToClose(kUnloadSessionEnd);
    leaveAgreed_ = host_.releaseUnload();
    return leaveAgreed_ ? TRUE : FALSE;
}

void MainWindow::onEndSession(bool ending, LPARAM flags) {
    if (ending) {
        // The Restart Manager may close this program alone: the session goes on.
        if (!(flags & ENDSESSION_CLOSEAPP)) host_.endSession();
        // Ends even with the question still open, unanswered.
        host_.releaseUnload();
        host_.unloadWindow();
    } else if (leaveAgreed_) {
        // Another program kept the session, but the user chose to leave.
        host_.unloadWindow();
    }
}

}  // namespace platform
