#include "app/form1.h"

#include "app/delay.h"
#include "app/guard.h"
#include "app/kill_process.h"
#include "app/texts.h"

namespace app {

namespace t = texts;

bool runGuarded(Host& host, const std::function<void()>& handler) {
    return runGuarded(&host, false, [&handler] {
        handler();
        return true;
    });
}

void Form1::KillProcess(const std::wstring& imageName) { app::KillProcess(api_, imageName); }

void Form1::Delay(const std::int16_t& milliseconds) { app::Delay(host_, api_, milliseconds); }

void Form1::Form_Load() {
    // Attached twice with the same arguments; the result is never examined.
    for (int attach = 0; attach < 2; ++attach) {
        const std::string path = api_.toAnsi(host_.programDirectory() + L"/skinh.she");
        const std::string password;
        api_.skinAttachEx(path.c_str(), password.c_str());
    }
    const WindowHandle window = host_.windowHandle();
    const auto style = static_cast<std::uint32_t>(api_.getWindowLongA(window, kGwlStyle));
    api_.setWindowLongA(window, kGwlStyle, static_cast<std::int32_t>(style & ~kWsThickFrame));
}

std::wstring Form1::closePrompt() {
    return std::wstring(t::kCloseThanks) + L"\r" + L" " + L"\r" + t::kCloseQuestion;
}

void Form1::Form_QueryUnload(std::int16_t& cancel, int /*unloadMode*/) {
    const int answer = host_.messageBox(closePrompt(), kYesNoCancelInfo, t::kCloseTitle);
    if (answer == kAnswerYes) {
        host_.launch(std::wstring(t::kExplorer) + L" " + t::kForum, WindowStyle::MinimizedFocus);
        host_.unloadWindow();
    } else if (answer == kAnswerNo) {
        host_.unloadWindow();
    } else {
        cancel = 1;
    }
}

void Form1::Option1_Click() {
    host_.launch(std::wstring(t::kExplorer) + L" " + t::kWebSite, WindowStyle::MinimizedFocus);
}

void Form1::Option2_Click() {
    host_.launch(std::wstring(t::kExplorer) + L" " + t::kForum, WindowStyle::MinimizedFocus);
}

void Form1::Command1_Click() {
    host_.clearClipboard();
    host_.setStatusText(2, t::kStatusClipboard);
}

void Form1::Command2_Click() {
    KillProcess(t::kRundll32);
    host_.setStatusText(2, t::kStatusProcesses);
}

void Form1::Command3_Click() {
    const std::wstring caption = host_.buttonCaption(Button::Command3);
    if (caption == t::kCaptionClearExplorer) {
        KillProcess(t::kExplorer);
        host_.setStatusText(2, t::kStatusExplorerCleared);
        host_.setButtonCaption(Button::Command3, t::kCaptionRestartExplorer);
    } else if (caption == t::kCaptionRestartExplorer) {
        host_.setButtonCaption(Button::Command3, t::kCaptionClearExplorer);
        startShell();
        host_.setStatusText(2, t::kStatusExplorerRestarted);
    }
}

void Form1::startShell() { host_.launch(t::kExplorer, WindowStyle::MinimizedFocus); }

void Form1::Command5_Click() { host_.launch(t::kSafelyRemoveHardware, WindowStyle::NormalFocus); }

void Form1::writeLog(const wchar_t* piece) {
    const std::wstring line = t::kLogOpen + host_.timeOfDayText() + piece;
    // The count is a signed 16-bit value: make room so a new run still logs.
    while (host_.listCount() >= kLogCapacity) host_.listRemove(0);
    host_.listAppend(line);
    host_.listSelect(host_.listCount() - 1);
}

bool Form1::runRepairStages() {
    // Each stage: its action, then its log line, then its pause.
    struct Stage {
        void (*action)(Form1&);
        const wchar_t* piece;
        std::int16_t pause;
        bool shellEnded;  // the shell is down during this stage's pause
    };
    static constexpr Stage kStages[] = {
        {nullptr, L" ]正进行一键强力修复...", 2000, false},
        {[](Form1& f) { f.host_.clearClipboard(); }, L" ]已清空剪贴板...", 2000, false},
        {[](Form1& f) { f.KillProcess(t::kRundll32); }, L" ]已清除相关进程...", 3000, false},
        {[](Form1& f) { f.KillProcess(t::kExplorer); }, L" ]已清除E,正在重启...", 2000, true},
        {[](Form1& f) { f.startShell(); }, L" ]已重启E...", 2000, false},
        {nullptr, L" ]一键强力修复完毕...", 0, false},
        {nullptr, L" ]您可以尝试卸载U盘...", 1000, false},
    };
    // Whatever ends a stage that ended the shell, a close answered in its
    // pause or an error, never leaves the user without taskbar and desktop
    // (unless the session itself is ending): an error's message box would
    // otherwise be read with neither.
    const auto restoreShell = [this](const Stage& stage) {
        if (stage.shellEnded && !host_.sessionEnding()) startShell();
    };
    for (const Stage& stage : kStages) {
        if (stage.action) stage.action(*this);
        try {
            writeLog(stage.piece);
            if (stage.pause > 0) Delay(stage.pause);
        } catch (...) {
            restoreShell(stage);
            throw;
        }
        if (!host_.windowAlive()) {
            // A close answered during the pause unloaded the window: the run
            // ends quietly.
            restoreShell(stage);
            return false;
        }
    }
    return true;
}

void Form1::Command4_Click() {
    if (host_.messageBox(t::kRepairPrompt, kYesNoInfo, t::kRepairTitle) != kAnswerYes) return;
    host_.setButtonEnabled(Button::Command4, false);
    bool finished = false;
    try {
        finished = runRepairStages();
    } catch (const HostError&) {
        // The run stops at the failing stage; the button lets the user retry.
        if (host_.windowAlive()) host_.setButtonEnabled(Button::Command4, true);
        throw;
    }
    if (!finished) return;  // the window was closed during a pause
    host_.setButtonEnabled(Button::Command4, true);
    host_.launch(t::kSafelyRemoveHardware, WindowStyle::NormalFocus);
}

}  // namespace app
