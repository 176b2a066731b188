#include "tests/e2e/harness.h"

#include <algorithm>
#include <gtest/gtest.h>

#include "resources/form1_design.h"
#include "tests/support/program_under_test.h"
#include "tests/support/remote_status_bar.h"
#include "tests/support/window_lookup.h"
#include "tests/support/wine.h"

namespace e2e {
namespace {

using support::kProgramFile;
using support::kProgramWindowClass;

// Checked once, before any test: the tests copy stand-ins over the system's
// explorer.exe and rundll32.exe and end every process of those names.
// E2E_ACT_AS_WINDOWS makes a run refuse as it would on Windows, so that
// the refusal itself can be tested; it can only stop a run, never allow one.
class WineOnly : public testing::Environment {
  public:
    void SetUp() override {
        if (support::underWine() && !GetEnvironmentVariableW(L"E2E_ACT_AS_WINDOWS", nullptr, 0))
            return;
        GTEST_FAIL() << "Not under Wine: these tests overwrite the system's explorer.exe and "
                        "rundll32.exe and end every process of those names, so they run only "
                        "in a Wine prefix: every test is skipped.";
    }
};
[[maybe_unused]] testing::Environment* const kWineOnly =
    testing::AddGlobalTestEnvironment(new WineOnly);

// The environment of the program under test: ours, with the record file set.
std::vector<wchar_t> environmentWith(const std::wstring& recordFile) {
    std::vector<wchar_t> block;
    wchar_t* strings = GetEnvironmentStringsW();
    for (const wchar_t* entry = strings; *entry; entry += wcslen(entry) + 1) {
        const std::wstring text = entry;
        if (_wcsnicmp(entry, L"E2E_RECORD=", 11) == 0) continue;
        block.insert(block.end(), text.begin(), text.end());
        block.push_back(L'\0');
    }
    FreeEnvironmentStringsW(strings);
    const std::wstring record = L"E2E_RECORD=" + recordFile;
    block.insert(block.end(), record.begin(), record.end());
    block.push_back(L'\0');
    block.push_back(L'\0');
    return block;
}

Process startOrFail(const std::wstring& path, const std::wstring& directory,
                    std::vector<wchar_t>* environment = nullptr) {
    DWORD error = 0;
    Process process = support::startProcess(path, directory, environment, &error);
    if (!process.handle()) ADD_FAILURE() << "cannot start " << narrow(path) << ", error " << error;
    return process;
}

// The recording stand-ins take the place of the system's explorer.exe and
// rundll32.exe (the test runner's DLL overrides let them win).
bool installStandIns() {
    const std::wstring recorder = buildDir() + L"\\recorder.exe";
    const std::vector<std::wstring> files = standInFiles();
    return std::all_of(files.begin(), files.end(),
                       [&](const std::wstring& file) { return copyOrFail(recorder, file); });
}

}  // namespace

bool copyOrFail(const std::wstring& from, const std::wstring& to) {
    DWORD error = 0;
    if (support::copyFile(from, to, &error)) return true;
    ADD_FAILURE() << "cannot copy " << narrow(from) << " to " << narrow(to) << ", error " << error;
    return false;
}

void expectLaunchOfShell(const Launch& launch) {
    EXPECT_TRUE(sameFile(launch.path, windowsDir() + L"\\explorer.exe")) << narrow(launch.path);
    EXPECT_EQ(launch.commandLine, L"explorer.exe");
    EXPECT_EQ(launch.show, SW_SHOWMINIMIZED);
}

Process startNamed(const TempDir& dir, const std::wstring& imageName) {
    const std::wstring path = dir.file(imageName);
    if (GetFileAttributesW(path.c_str()) == INVALID_FILE_ATTRIBUTES &&
        !copyOrFail(buildDir() + L"\\sleeper.exe", path)) {
        return {};
    }
    return startOrFail(path, dir.path());
}

std::vector<std::wstring> standInFiles() {
    return {windowsDir() + L"\\explorer.exe", systemDir() + L"\\rundll32.exe"};
}

bool waitUntilNoneRunsFrom(const std::vector<std::wstring>& files) {
    const auto runsFrom = [](const std::wstring& file) {
        for (const DWORD id : processesNamed(fileNameOf(file))) {
            if (sameFile(support::imagePathOf(id), file)) return true;
        }
        return false;
    };
    return waitUntil([&] { return std::none_of(files.begin(), files.end(), runsFrom); });
}

Program::Program(const ProgramOptions& options) : folder_(options.folderName) {
    const bool inPlace = !options.runInPlace.empty();
    const std::wstring exe = inPlace ? options.runInPlace : folder_.file(kProgramFile);
    const std::wstring home = inPlace ? exe.substr(0, exe.find_last_of(L"\\/")) : folder_.path();
    recordFile_ = folder_.file(L"record.txt");
    // Nothing runs in a half-prepared folder: each failed copy has failed the test.
    if (!(inPlace || prepareFolder(options)) || !installStandIns()) return;

    std::vector<wchar_t> environment = environmentWith(recordFile_);
    process_ = startOrFail(exe, options.currentDirectory.empty() ? home : options.currentDirectory,
                           &environment);
    if (!process_.handle()) return;
    const DWORD pid = process_.id();
    waitUntil(
        [&] { return (window_ = support::findTopLevel(pid, kProgramWindowClass)) != nullptr; });
    if (!window_) ADD_FAILURE() << "the program's window did not appear";
    // Let it finish what it queued for itself before the test acts.
    WaitForInputIdle(process_.handle(), 5000);
}

bool Program::prepareFolder(const ProgramOptions& options) const {
    const std::wstring build = buildDir();
    std::vector<std::pair<std::wstring, std::wstring>> files = {
        {build + L"\\" + kProgramFile, kProgramFile}};
    if (options.recordingSkin) {
        files.emplace_back(build + L"\\recording\\SkinH_VB6.dll", L"SkinH_VB6.dll");
    } else if (options.withSkinLibrary) {
        files.emplace_back(build + L"\\SkinH_VB6.dll", L"SkinH_VB6.dll");
    }
    if (options.withSkinFile) files.emplace_back(build + L"\\skinh.she", L"skinh.she");
    files.insert(files.end(), options.planted.begin(), options.planted.end());
    return std::all_of(files.begin(), files.end(), [&](const auto& file) {
        return copyOrFail(file.first, folder_.file(file.second));
    });
}

// The folder goes once the program and what it launched let go of it.
Program::~Program() { process_.terminate(); }

HWND Program::control(int id) const { return GetDlgItem(window_, id); }

// WM_GETTEXT itself: a control of another process keeps its own text.
std::wstring Program::text(int id) const {
    const HWND target = control(id);
    const auto length = static_cast<size_t>(SendMessageW(target, WM_GETTEXTLENGTH, 0, 0));
    std::wstring text(length + 1, L'\0');
    const LRESULT copied =
        SendMessageW(target, WM_GETTEXT, length + 1, reinterpret_cast<LPARAM>(text.data()));
    text.resize(static_cast<size_t>(copied));
    return text;
}

RECT Program::rect(int id) const {
    RECT r{};
    GetWindowRect(control(id), &r);
    MapWindowPoints(nullptr, window_, reinterpret_cast<POINT*>(&r), 2);
    return r;
}

RECT Program::clientRect() const {
    RECT r{};
    GetClientRect(window_, &r);
    return r;
}

std::wstring Program::statusText(int panel) const {
    return support::statusBarText(control(design::kS1), process_.id(), panel - 1);
}

RECT Program::statusPanelRect(int panel) const {
    return support::statusBarRect(control(design::kS1), process_.id(), panel - 1);
}

std::vector<char> Program::askStatusBar(UINT message, WPARAM wParam, size_t bytes) const {
    return support::askIntoRemoteBuffer(control(design::kS1), process_.id(), message, wParam,
                                        bytes);
}

void Program::click(int id) const { PostMessageW(control(id), BM_CLICK, 0, 0); }

bool Program::sync() const {
    DWORD_PTR answer = 0;
    return SendMessageTimeoutW(window_, WM_NULL, 0, 0, SMTO_NORMAL, 30000, &answer) != 0;
}

void Program::close() const { PostMessageW(window_, WM_CLOSE, 0, 0); }

HWND Program::findMessageBox(const std::wstring& title) const {
    return support::findTopLevel(process_.id(), L"#32770", title.c_str());
}

size_t Program::messageBoxCount(const std::wstring& title) const {
    return support::allTopLevel(process_.id(), L"#32770", title.c_str()).size();
}

HWND Program::waitForMessageBox(const std::wstring& title, DWORD timeoutMs) const {
    HWND box = nullptr;
    waitUntil([&] { return (box = findMessageBox(title)) != nullptr; }, timeoutMs);
    return box;
}

std::wstring Program::messageBoxText(HWND box) {
    return support::windowTextOf(GetDlgItem(box, 0xFFFF));
}

std::vector<int> Program::messageBoxButtons(HWND box) {
    std::vector<int> ids;
    // The box may keep the buttons it does not use, hidden.
    for (HWND child = GetWindow(box, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        if (support::classNameOf(child) != L"Button" || !IsWindowVisible(child)) continue;
        ids.push_back(GetDlgCtrlID(child));
    }
    std::sort(ids.begin(), ids.end());
    return ids;
}

void Program::answer(HWND box, int buttonId) {
    const HWND button = GetDlgItem(box, buttonId);
    if (button) {
        PostMessageW(button, BM_CLICK, 0, 0);
    } else {
        PostMessageW(box, WM_COMMAND, static_cast<WPARAM>(buttonId), 0);
    }
}

std::vector<std::wstring> Program::listItems() const {
    const HWND list = control(design::kList1);
    std::vector<std::wstring> items;
    const LRESULT count = SendMessageW(list, LB_GETCOUNT, 0, 0);
    for (LRESULT i = 0; i < count; ++i) {
        const LRESULT length = SendMessageW(list, LB_GETTEXTLEN, static_cast<WPARAM>(i), 0);
        std::wstring item(static_cast<size_t>(length) + 1, L'\0');
        SendMessageW(list, LB_GETTEXT, static_cast<WPARAM>(i),
                     reinterpret_cast<LPARAM>(item.data()));
        item.resize(static_cast<size_t>(length));
        items.push_back(item);
    }
    return items;
}

int Program::listSelection() const {
    return static_cast<int>(SendMessageW(control(design::kList1), LB_GETCURSEL, 0, 0));
}

std::vector<Record> recordsIn(const std::wstring& file) {
    std::vector<Record> result;
    for (const std::wstring& line : support::split(support::readUtf8File(file), L'\n')) {
        if (!line.empty()) result.push_back(support::split(line, L'\t'));
    }
    return result;
}

std::vector<Record> Program::records() const { return recordsIn(recordFile_); }

std::vector<Launch> Program::launches() const {
    std::vector<Launch> result;
    for (const Record& r : records()) {
        if (r.size() == 5 && r[0] == L"launch")
            result.push_back({r[1], r[2], _wtoi(r[3].c_str()), r[4]});
    }
    return result;
}

std::vector<Launch> Program::settledLaunches() const {
    EXPECT_TRUE(waitUntilNoneRunsFrom(standInFiles())) << "a started stand-in still runs";
    return launches();
}

bool Program::waitForLaunches(size_t count, DWORD timeoutMs) const {
    return waitUntil([&] { return launches().size() >= count; }, timeoutMs);
}

namespace {

constexpr wchar_t kAnnotationServer[] =
    L"Software\\Classes\\CLSID\\{B5F8350B-0548-48B1-A6EE-88BD00B4A5E7}\\InprocServer32";

std::wstring annotationServerValue(const wchar_t* name) {
    wchar_t value[MAX_PATH]{};
    DWORD bytes = sizeof value;
    if (RegGetValueW(HKEY_LOCAL_MACHINE, kAnnotationServer, name, RRF_RT_REG_SZ, nullptr, value,
                     &bytes) != ERROR_SUCCESS) {
        return {};
    }
    return value;
}

bool setAnnotationServerValue(const wchar_t* name, const std::wstring& value) {
    if (value.empty())
        return RegDeleteKeyValueW(HKEY_LOCAL_MACHINE, kAnnotationServer, name) == ERROR_SUCCESS;
    return RegSetKeyValueW(HKEY_LOCAL_MACHINE, kAnnotationServer, name, REG_SZ, value.c_str(),
                           static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t))) ==
           ERROR_SUCCESS;
}

}  // namespace

RecordingAnnotations::RecordingAnnotations(const std::wstring& server)
    : server_(annotationServerValue(nullptr)),
      threadingModel_(annotationServerValue(L"ThreadingModel")) {
    installed_ =
        setAnnotationServerValue(
            nullptr, server.empty() ? buildDir() + L"\\annotation_recorder.dll" : server) &&
        setAnnotationServerValue(L"ThreadingModel", L"Both");
    if (!installed_) ADD_FAILURE() << "cannot register the recording annotation service";
}

RecordingAnnotations::~RecordingAnnotations() {
    setAnnotationServerValue(nullptr, server_);
    setAnnotationServerValue(L"ThreadingModel", threadingModel_);
}

namespace {

// Input goes to the foreground window: a key or click sent before the
// window is there would land elsewhere.
void bringToFront(HWND window) {
    SetForegroundWindow(window);
    waitUntil([window] { return GetForegroundWindow() == window; }, 5000);
}

}  // namespace

void pressKey(HWND window, WORD key, std::initializer_list<WORD> modifiers) {
    bringToFront(window);
    std::vector<INPUT> inputs;
    const auto add = [&inputs](WORD vk, DWORD flags) {
        INPUT input{};
        input.type = INPUT_KEYBOARD;
        input.ki.wVk = vk;
        input.ki.dwFlags = flags;
        inputs.push_back(input);
    };
    for (WORD m : modifiers) add(m, 0);
    add(key, 0);
    add(key, KEYEVENTF_KEYUP);
    for (auto m = std::rbegin(modifiers); m != std::rend(modifiers); ++m) add(*m, KEYEVENTF_KEYUP);
    SendInput(static_cast<UINT>(inputs.size()), inputs.data(), sizeof(INPUT));
}

void clickAt(HWND window, POINT client) {
    bringToFront(window);
    ClientToScreen(window, &client);
    // Absolute moves run from 0 to 65535 across the primary screen.
    const auto scaled = [](LONG at, int metric) {
        return static_cast<LONG>((at * 65535 + GetSystemMetrics(metric) / 2) /
                                 (GetSystemMetrics(metric) - 1));
    };
    std::array<INPUT, 3> inputs{};
    for (INPUT& input : inputs) {
        input.type = INPUT_MOUSE;
        input.mi.dx = scaled(client.x, SM_CXSCREEN);
        input.mi.dy = scaled(client.y, SM_CYSCREEN);
        input.mi.dwFlags = MOUSEEVENTF_ABSOLUTE | MOUSEEVENTF_MOVE;
    }
    inputs[1].mi.dwFlags |= MOUSEEVENTF_LEFTDOWN;
    inputs[2].mi.dwFlags |= MOUSEEVENTF_LEFTUP;
    SendInput(static_cast<UINT>(inputs.size()), inputs.data(), sizeof(INPUT));
}

HWND focusIn(HWND window) {
    GUITHREADINFO info{};
    info.cbSize = sizeof info;
    const DWORD thread = GetWindowThreadProcessId(window, nullptr);
    return GetGUIThreadInfo(thread, &info) ? info.hwndFocus : nullptr;
}

bool waitForFocus(HWND window, HWND control) {
    return waitUntil([&] { return focusIn(window) == control; });
}

bool putTextOnClipboard(const std::wstring& text) {
    if (!OpenClipboard(nullptr)) return false;
    EmptyClipboard();
    const size_t bytes = (text.size() + 1) * sizeof(wchar_t);
    HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, bytes);
    if (memory) {
        memcpy(GlobalLock(memory), text.c_str(), bytes);
        GlobalUnlock(memory);
        if (!SetClipboardData(CF_UNICODETEXT, memory)) GlobalFree(memory);
    }
    CloseClipboard();
    return IsClipboardFormatAvailable(CF_UNICODETEXT) != FALSE;
}

bool clipboardHoldsData() { return CountClipboardFormats() > 0; }

}  // namespace e2e

namespace e2e {
WinEvents::WinEvents(DWORD event) {
    current_ = this;
    hook_.reset(SetWinEventHook(event, event, nullptr, record, 0, 0, WINEVENT_OUTOFCONTEXT));
}

WinEvents::~WinEvents() {
    hook_.reset();
    current_ = nullptr;
}

void CALLBACK WinEvents::record(HWINEVENTHOOK, DWORD, HWND window, LONG object, LONG child, DWORD,
                                DWORD) {
    if (current_) current_->seen_.push_back({window, object, child});
}

bool WinEvents::waitFor(HWND window, size_t count, DWORD timeoutMs) {
    const ULONGLONG deadline = GetTickCount64() + timeoutMs;
    for (;;) {
        MSG message{};
        while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&message);
        if (from(window).size() >= count) return true;
        const ULONGLONG now = GetTickCount64();
        if (now >= deadline) return false;
        MsgWaitForMultipleObjects(0, nullptr, FALSE, static_cast<DWORD>(deadline - now),
                                  QS_ALLINPUT);
    }
}

std::vector<WinEvents::Event> WinEvents::from(HWND window) const {
    std::vector<Event> found;
    for (const Event& e : seen_) {
        if (e.window == window) found.push_back(e);
    }
    return found;
}

}  // namespace e2e
