// A scripted stand-in for the window's runtime and the bound system
// functions. Both record into one call log, so a test can check the exact
// order in which a handler touches the user interface and the system.
#pragma once

#include <cstddef>
#include <cstdint>
#include <deque>
#include <functional>
#include <limits>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "app/bindings.h"
#include "app/host.h"

namespace fake {

// UTF-8 form of a wide text, so log entries can be compared with literals.
std::string utf8(const std::wstring& text);

// Reads of state (Query) are kept apart from the walk through the process
// list (Walk) and from what the user or the system would notice (Effect), so
// a test can compare only the level it cares about.
enum class Level { Query, Walk, Effect };

// The shared log and the millisecond counter.
class FakeSystem {
  public:
    struct Entry {
        std::string text;
        Level level;
        std::uint32_t at;  // counter value when the call was made
    };

    void add(Level level, std::string text) { entries.push_back({std::move(text), level, now}); }

    std::vector<std::string> all() const { return select(Level::Query); }
    std::vector<std::string> effects() const { return select(Level::Walk); }
    std::vector<std::string> outline() const { return select(Level::Effect); }
    int count(const std::string& text) const;
    // Counter values at which each entry starting with this prefix was logged.
    std::vector<std::uint32_t> timesOf(const std::string& prefix) const;

    std::vector<Entry> entries;

    std::uint32_t now = 0;
    std::uint32_t readStep = 0;  // each timeGetTime read advances the counter so much
    std::vector<std::uint32_t> reads;

  private:
    std::vector<std::string> select(Level least) const;
};

struct FakeProcess {
    std::string name;  // the szExeFile bytes; 260 bytes leave no room for a NUL
    std::uint32_t pid = 0;
    bool canOpen = true;
};

class FakeHost : public app::Host {
  public:
    explicit FakeHost(FakeSystem& sys);

    int messageBox(const std::wstring& prompt, int flags, const std::wstring& title) override;
    void clearClipboard() override;
    void launch(const std::wstring& commandLine, app::WindowStyle style) override;
    void setStatusText(int panel, const std::wstring& text) override;
    std::wstring buttonCaption(app::Button button) override;
    void setButtonCaption(app::Button button, const std::wstring& caption) override;
    void setButtonEnabled(app::Button button, bool isEnabled) override;
    void listAppend(const std::wstring& text) override;
    std::int16_t listCount() override;
    void listRemove(int index) override;
    void listSelect(int index) override;
    std::wstring timeOfDayText() override;
    bool pumpEvents() override;
    void waitForEvents(std::uint32_t milliseconds) override;
    std::wstring programDirectory() override;
    app::WindowHandle windowHandle() override;
    bool windowAlive() override;
    void unloadWindow() override;
    bool sessionEnding() override;
    void reportError(const app::HostError& error) override;

    // Time-of-day text of the n-th request (counted from 0).
    static std::wstring timeText(int n);

    // Answers given by the message box, in order.
    std::deque<int> answers;
    // Call number (from 1) at which the operation throws HostError; 0: never.
    int failClearClipboardAt = 0;
    // Call number at which the clipboard's wait sees the window unloaded.
    int closeDuringClearClipboardAt = 0;
    int failLaunchAt = 0;
    int failListAppendAt = 0;
    // The error report itself throws, as a broken host might.
    bool failReport = false;

    std::vector<std::wstring> reasons;  // of the reported errors, in order
    std::vector<std::wstring> lines;
    int selected = -1;
    std::size_t mostLines = 0;

    std::map<app::Button, std::wstring> captions;
    std::map<app::Button, bool> enabled;
    std::map<int, std::wstring> status;

    std::wstring directory = L"C:\\Tools";
    app::WindowHandle window = 0x1234;
    bool alive = true;
    bool quitRequested = false;
    bool ending = false;  // the user's session is ending

    // Runs inside pumpEvents, as a handler raised by a pending event would.
    std::function<void()> onPump;
    int pumps = 0;
    static constexpr int kMostPumps = 100000;
    // An arriving event ends a wait after this many milliseconds.
    std::uint32_t wakeAfter = std::numeric_limits<std::uint32_t>::max();
    struct Wait {
        std::uint32_t milliseconds;
        std::uint32_t lastRead;  // the counter as the caller last read it
    };
    std::vector<Wait> waits;

    std::vector<std::wstring> errors;  // operation of each reported failure

  private:
    FakeSystem& sys_;
    int clipboardCalls_ = 0;
    int launchCalls_ = 0;
    int listAppendCalls_ = 0;
    int timeTexts_ = 0;
};

class FakeBindings : public app::Bindings {
  public:
    explicit FakeBindings(FakeSystem& sys) : sys_(sys) {}

    std::uint32_t timeGetTime() override;
    std::int32_t getWindowLongA(app::WindowHandle window, int index) override;
    std::int32_t setWindowLongA(app::WindowHandle window, int index, std::int32_t value) override;
    app::KernelHandle createToolhelp32Snapshot(std::uint32_t flags,
                                               std::uint32_t processId) override;
    int process32First(app::KernelHandle snapshot, app::ProcessEntry32A* entry) override;
    int process32Next(app::KernelHandle snapshot, app::ProcessEntry32A* entry) override;
    app::KernelHandle openProcess(std::uint32_t access, int inherit,
                                  std::uint32_t processId) override;
    int terminateProcess(app::KernelHandle process, std::uint32_t exitCode) override;
    int closeHandle(app::KernelHandle handle) override;
    std::int32_t skinAttachEx(const char* skinPath, const char* password) override;
    std::string toAnsi(const std::wstring& text) override;
    std::wstring fromAnsi(const char* text, std::size_t length) override;

    static constexpr app::KernelHandle kSnapshot = 0x50;

    // The running processes; a snapshot copies them, terminating removes one.
    std::vector<FakeProcess> processes;
    app::KernelHandle snapshotResult = kSnapshot;
    bool failFirstFetch = false;

    std::uint32_t style = 0;
    // Results of successive skin attaches; 1 once used up.
    std::deque<std::int32_t> attachResults;

    std::vector<std::uint32_t> ended;         // pids terminated, in order
    std::set<app::KernelHandle> openHandles;  // handles not closed yet

  private:
    int fetch(const char* name, app::KernelHandle snapshot, app::ProcessEntry32A* entry,
              bool first);
    std::string label(app::KernelHandle handle) const;

    FakeSystem& sys_;
    std::vector<FakeProcess> taken_;
    std::size_t next_ = 0;
    const app::ProcessEntry32A* record_ = nullptr;
    std::map<app::KernelHandle, std::uint32_t> processHandles_;
    app::KernelHandle nextHandle_ = 0x1000;
};

}  // namespace fake
