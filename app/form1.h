// The main window's event handlers. The platform raises them; they act only
// through the host services and the by-name bindings.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "app/bindings.h"
#include "app/host.h"

namespace app {

class Form1 {
  public:
    Form1(Host& host, Bindings& api) : host_(host), api_(api) {}

    void Form_Load();
    // cancel is set to keep the window; the unload itself goes through the host.
    void Form_QueryUnload(std::int16_t& cancel, int unloadMode);

    void Command1_Click();
    void Command2_Click();
    void Command3_Click();
    void Command4_Click();
    void Command5_Click();
    void Option1_Click();
    void Option2_Click();

    // The close question's prompt, exactly as shown.
    static std::wstring closePrompt();

    // The log holds at most this many lines; a full log drops its oldest.
    static constexpr int kLogCapacity = 32767;

  private:
    void KillProcess(const std::wstring& imageName);
    void Delay(const std::int16_t& milliseconds);
    void writeLog(const wchar_t* piece);
    void startShell();
    // Runs the forced repair's stages; false when the window went away.
    bool runRepairStages();

    Host& host_;
    Bindings& api_;
};

// Runs one handler. A host operation that fails, or anything else thrown,
// stops the handler at that step; the failure is reported and the program
// keeps running. A handler whose window was unloaded during a wait ends
// without a report. Returns false when the handler was stopped either way.
bool runGuarded(Host& host, const std::function<void()>& handler);

}  // namespace app
