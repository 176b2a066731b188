// The main window's close requests: its menu, its caption's close button,
// Alt+F4, and the system's at log-off, shutdown or for the Restart Manager.
#include "window/main_window.h"

namespace platform {
namespace {

// Why the window is asked to close (the handler asks the same either way).
constexpr int kUnloadFromMenu = 0;
constexpr int kUnloadSessionEnd = 2;

// Shown beside the program on the system's list of programs that hold up a
// log-off or shutdown, while the close question waits for the user.
constexpr wchar_t kBlockReason[] = L"正在询问是否退出";

}  // namespace

// Every close request asks the question once; the unload it makes does not
// ask again, and a request that comes while the question is open asks
// nothing new. Yes and No unload the window from inside the handler; Cancel,
// or a failed step (the forum could not be opened), keeps it.
void MainWindow::askToClose(int unloadMode) {
    sessionCloseQueued_ = false;  // this question answers the session's too
    if (questionOpen_) return;
    questionOpen_ = true;
    std::int16_t cancel = 0;
    app::runGuarded(host_, [&] { form_.Form_QueryUnload(cancel, unloadMode); });
    questionOpen_ = false;
    allowSessionEnd();
}

void MainWindow::onClose() { askToClose(kUnloadFromMenu); }

// The system wants its query answered at once: after a few seconds it covers
// the screen with the programs that hold the session up, and an answer given
// later goes to nobody. A critical end is agreed, asking nothing. Any other
// is refused, with the reason on that screen, and the question is asked as
// any close request is, posted rather than inside the query; its answer is
// carried out whether or not the system still waits.
LRESULT MainWindow::onQueryEndSession(LPARAM flags) {
    if (flags & ENDSESSION_CRITICAL) return TRUE;
    blockSessionEnd();
    if (!questionOpen_ && !sessionCloseQueued_)
        sessionCloseQueued_ = ::PostMessageW(window_, kAskToCloseForSession, 0, 0) != FALSE;
    return FALSE;
}

void MainWindow::onQueuedSessionClose() {
    if (sessionCloseQueued_) askToClose(kUnloadSessionEnd);
}

// The user chose "Shut down anyway", or the end was critical: the program
// ends unasked, and an open question goes with the window that owns it.
void MainWindow::onEndSession(bool ending, LPARAM flags) {
    if (!ending) return;
    // The Restart Manager may close this program alone: the session goes on.
    if (!(flags & ENDSESSION_CLOSEAPP)) host_.endSession();
    host_.unloadWindow();
}

void MainWindow::blockSessionEnd() {
    sessionEndBlocked_ = ::ShutdownBlockReasonCreate(window_, kBlockReason) != FALSE;
}

void MainWindow::allowSessionEnd() {
    if (sessionEndBlocked_ && window_) ::ShutdownBlockReasonDestroy(window_);
    sessionEndBlocked_ = false;
}

}  // namespace platform
