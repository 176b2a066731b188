// Drives the real program from outside: starts a copy of it in a folder of
// its own, finds its window and controls, clicks, reads texts, answers its
// message boxes, and reads what the stand-ins recorded.
#pragma once

#include <windows.h>

#include <chrono>
#include <functional>
#include <initializer_list>
#include <string>
#include <utility>
#include <vector>

#include "tests/support/files.h"
#include "tests/support/process.h"
#include "tests/support/text.h"
#include "tests/support/wait.h"
#include "win32/handles.h"

namespace e2e {

using support::endProcessesNamed;
using support::fileNameOf;
using support::narrow;
using support::Process;
using support::processesNamed;
using support::readFileBytes;
using support::sameFile;
using support::systemDir;
using support::TempDir;
using support::waitUntil;
using support::windowsDir;

// The folder that holds the built program, its library and the stand-ins.
inline std::wstring buildDir() { return support::moduleDir(); }

// Copies the file; a copy that fails fails the test, naming both paths.
bool copyOrFail(const std::wstring& from, const std::wstring& to);

// What a recording stand-in wrote: one record per line, fields split at tabs.
using Record = std::vector<std::wstring>;
// The records in a file that stand-ins write to (E2E_RECORD).
std::vector<Record> recordsIn(const std::wstring& file);

// A launch seen by the recording stand-in.
struct Launch {
    std::wstring path;
    std::wstring commandLine;
    int show = -1;
    std::wstring directory;
};

// The shell started as the program starts it: the Windows directory's
// explorer.exe, minimised.
void expectLaunchOfShell(const Launch& launch);

// Starts copies of the waiting stand-in under the given image name.
Process startNamed(const TempDir& dir, const std::wstring& imageName);

// The system's explorer.exe and rundll32.exe, which the recording stand-in
// takes the place of while a Program runs.
std::vector<std::wstring> standInFiles();
// A launched stand-in records as it starts and then exits: once no process
// runs from any of these files, every launch made before is on record.
bool waitUntilNoneRunsFrom(const std::vector<std::wstring>& files);

struct ProgramOptions {
    bool withSkinLibrary = true;    // the real SkinH_VB6.dll beside the program
    bool recordingSkin = false;     // the recording stand-in instead
    bool withSkinFile = true;       // the default skinh.she beside the program
    std::wstring currentDirectory;  // empty: the program's folder
    std::wstring folderName = L"prog";
    // Files copied into the program's folder before the start: {source, name}.
    std::vector<std::pair<std::wstring, std::wstring>> planted;
    // A program to start where it lies, with what lies beside it: nothing is
    // copied and the options above are not used. Empty: a fresh copy.
    std::wstring runInPlace;
};

class Program {
  public:
    explicit Program(const ProgramOptions& options = {});
    Program(const Program&) = delete;
    Program& operator=(const Program&) = delete;
    ~Program();

    HWND window() const { return window_; }
    const Process& process() const { return process_; }
    const std::wstring& folder() const { return folder_.path(); }

    HWND control(int id) const;
    std::wstring text(int id) const;
    // The control's rectangle in the window's client area.
    RECT rect(int id) const;
    RECT clientRect() const;
    // Status-bar panel text, panels counted from 1.
    std::wstring statusText(int panel) const;
    RECT statusPanelRect(int panel) const;
    // The bytes the status bar writes in answer to the message, into a
    // buffer of that size lent in the program's memory.
    std::vector<char> askStatusBar(UINT message, WPARAM wParam, size_t bytes) const;
    // Posted, so a handler that opens a modal box does not block the test.
    void click(int id) const;
    // Returns once the program's thread next looks at its messages: all it
    // did before that, without waiting for input, is done.
    bool sync() const;
    void close() const;

    // The program's top-level dialog box (#32770) with this title, or null.
    HWND findMessageBox(const std::wstring& title) const;
    HWND waitForMessageBox(const std::wstring& title, DWORD timeoutMs = 15000) const;
    size_t messageBoxCount(const std::wstring& title) const;
    static std::wstring messageBoxText(HWND box);
    // The ids of the box's visible buttons (IDOK, IDYES, ...), in ascending order.
    static std::vector<int> messageBoxButtons(HWND box);
    static void answer(HWND box, int buttonId);

    std::vector<std::wstring> listItems() const;
    int listSelection() const;

    std::vector<Record> records() const;
    std::vector<Launch> launches() const;
    // The launches on record once no stand-in runs any more: a check that
    // nothing (more) was started must not run ahead of a start under way.
    std::vector<Launch> settledLaunches() const;
    bool waitForLaunches(size_t count, DWORD timeoutMs = 15000) const;
    std::wstring recordFile() const { return recordFile_; }

  private:
    bool prepareFolder(const ProgramOptions& options) const;

    TempDir folder_;
    std::wstring recordFile_;
    Process process_;
    HWND window_ = nullptr;
};

// PROPID_ACC_NAME, Name_Property_GUID and LiveSetting_Property_GUID, as the
// recording service writes them.
inline constexpr wchar_t kAccNameProperty[] = L"{608D3DF8-8128-4AA7-A428-F55E49267291}";
inline constexpr wchar_t kUiaNameProperty[] = L"{C3A6921B-4A99-44F1-BCA6-61187052C431}";
inline constexpr wchar_t kLiveSettingProperty[] = L"{C12BCD8E-2A8E-4950-8AE7-3625111D58EB}";

// For its life, the annotation service's class in the test prefix is the
// recording stand-in (annotation_recorder.dll): Wine's own service keeps no
// annotation, so what a program annotates is read from its record file
// instead ("annotate" and "clear" records). Given another server, that one:
// a missing file makes a service that cannot be created.
class RecordingAnnotations {
  public:
    explicit RecordingAnnotations(const std::wstring& server = {});
    RecordingAnnotations(const RecordingAnnotations&) = delete;
    RecordingAnnotations& operator=(const RecordingAnnotations&) = delete;
    // Registers the class as it was.
    ~RecordingAnnotations();
    bool installed() const { return installed_; }

  private:
    std::wstring server_;
    std::wstring threadingModel_;
    bool installed_ = false;
};

// Real key presses into the window, as a user's: it is brought to the
// foreground first, and the modifiers are held around the key.
void pressKey(HWND window, WORD key, std::initializer_list<WORD> modifiers = {});
// A real left click at a point of the window's client area.
void clickAt(HWND window, POINT client);
// The control with the keyboard focus in the window's thread, or null.
HWND focusIn(HWND window);
// Waits until the focus of the window's thread is on the control.
bool waitForFocus(HWND window, HWND control);

// The accessibility events of one kind that any program raises from the
// moment this is made, seen by an out-of-context hook of this thread. They
// come only while the thread handles its messages, which waitFor does.
class WinEvents {
  public:
    struct Event {
        HWND window;
        long object;
        long child;
    };
    explicit WinEvents(DWORD event);
    WinEvents(const WinEvents&) = delete;
    WinEvents& operator=(const WinEvents&) = delete;
    ~WinEvents();

    bool hooked() const { return static_cast<bool>(hook_); }
    // Handles messages until this many events came from the window, or the time is up.
    bool waitFor(HWND window, size_t count, DWORD timeoutMs = 15000);
    // Those from the window, in order.
    std::vector<Event> from(HWND window) const;

  private:
    static void CALLBACK record(HWINEVENTHOOK, DWORD, HWND window, LONG object, LONG child, DWORD,
                                DWORD);

    static inline WinEvents* current_ = nullptr;
    std::vector<Event> seen_;
    win32::UniqueWinEventHook hook_;
};

// The clipboard, from the test's side.
bool putTextOnClipboard(const std::wstring& text);
bool clipboardHoldsData();

}  // namespace e2e
