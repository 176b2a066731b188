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

namespace e2e {

// Polls until the condition holds; generous by default, never a timing test.
bool waitUntil(const std::function<bool()>& condition, DWORD timeoutMs = 15000);

// The folder that holds the built program, its library and the stand-ins.
std::wstring buildDir();
std::wstring systemDir();
std::wstring windowsDir();

// A fresh folder under the temporary directory, removed with its content.
class TempDir {
  public:
    explicit TempDir(const std::wstring& name = L"e2e");
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;
    ~TempDir();
    const std::wstring& path() const { return path_; }
    std::wstring file(const std::wstring& name) const { return path_ + L"\\" + name; }

  private:
    std::wstring path_;
};

// What a recording stand-in wrote: one record per line, fields split at tabs.
using Record = std::vector<std::wstring>;

// A launch seen by the recording stand-in.
struct Launch {
    std::wstring path;
    std::wstring commandLine;
    int show = -1;
    std::wstring directory;
};

// A started process that the test owns and ends.
class Process {
  public:
    Process() = default;
    Process(HANDLE process, DWORD id) : handle_(process), id_(id) {}
    Process(const Process&) = delete;
    Process& operator=(const Process&) = delete;
    Process(Process&& other) noexcept
        : handle_(std::exchange(other.handle_, nullptr)), id_(other.id_) {}
    Process& operator=(Process&& other) noexcept {
        std::swap(handle_, other.handle_);
        std::swap(id_, other.id_);
        return *this;
    }
    ~Process();
    HANDLE handle() const { return handle_; }
    DWORD id() const { return id_; }
    bool running() const;
    bool waitForExit(DWORD timeoutMs = 15000) const;
    DWORD exitCode() const;
    // When it ended, in FILETIME units (100 ns, UTC); 0 while it runs.
    ULONGLONG exitTime() const;
    void terminate();

  private:
    HANDLE handle_ = nullptr;
    DWORD id_ = 0;
};

// Starts copies of the waiting stand-in under the given image name.
Process startNamed(const TempDir& dir, const std::wstring& imageName);

// Ids of the running processes with this image name, in any letter case.
std::vector<DWORD> processesNamed(const std::wstring& imageName);
// Ends every such process from the test's side; true when none is left.
bool endProcessesNamed(const std::wstring& imageName);

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
    void close() const;

    // The program's top-level dialog box (#32770) with this title, or null.
    HWND findMessageBox(const std::wstring& title) const;
    HWND waitForMessageBox(const std::wstring& title, DWORD timeoutMs = 15000) const;
    static std::wstring messageBoxText(HWND box);
    // The ids of the box's visible buttons (IDOK, IDYES, ...), in ascending order.
    static std::vector<int> messageBoxButtons(HWND box);
    static void answer(HWND box, int buttonId);

    std::vector<std::wstring> listItems() const;
    int listSelection() const;

    std::vector<Record> records() const;
    std::vector<Launch> launches() const;
    bool waitForLaunches(size_t count, DWORD timeoutMs = 15000) const;
    std::wstring recordFile() const { return recordFile_; }

  private:
    // Sends a message whose answer the control writes into a buffer: the
    // buffer must live in the program's memory.
    std::vector<char> remoteSend(HWND target, UINT message, WPARAM wParam, size_t bytes) const;

    TempDir folder_;
    std::wstring recordFile_;
    Process process_;
    HWND window_ = nullptr;
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

// The clipboard, from the test's side.
bool putTextOnClipboard(const std::wstring& text);
bool clipboardHoldsData();

std::wstring fileNameOf(const std::wstring& path);
// ASCII-ish text for a failure message.
inline std::string narrow(const std::wstring& text) {
    return std::string(text.begin(), text.end());
}
bool sameFile(const std::wstring& a, const std::wstring& b);

}  // namespace e2e
