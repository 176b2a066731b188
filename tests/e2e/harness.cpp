#include "tests/e2e/harness.h"

#include <algorithm>
#include <array>
#include <commctrl.h>
#include <gtest/gtest.h>
#include <iterator>
#include <tlhelp32.h>

#include "resources/form1_design.h"
#include "tests/e2e/probes.h"

namespace e2e {
namespace {

constexpr wchar_t kProgram[] = L"ZelkUsbTool.exe";
constexpr wchar_t kWindowClass[] = L"ZelkUsbTool.Form1";

std::wstring moduleDir() {
    std::array<wchar_t, MAX_PATH> path{};
    const DWORD length = GetModuleFileNameW(nullptr, path.data(), MAX_PATH);
    std::wstring text(path.data(), length);
    return text.substr(0, text.find_last_of(L"\\/"));
}

std::wstring className(HWND window) {
    std::array<wchar_t, 128> name{};
    const int length = GetClassNameW(window, name.data(), static_cast<int>(name.size()));
    return std::wstring(name.data(), static_cast<size_t>(length > 0 ? length : 0));
}

std::wstring windowTextOf(HWND window) {
    const int length = GetWindowTextLengthW(window);
    std::wstring text(static_cast<size_t>(length) + 1, L'\0');
    const int copied = GetWindowTextW(window, text.data(), length + 1);
    text.resize(static_cast<size_t>(copied > 0 ? copied : 0));
    return text;
}

// A visible top-level window of the process with this class and, if given, title.
HWND findTopLevel(DWORD processId, const std::wstring& cls, const std::wstring* title) {
    struct Search {
        DWORD pid;
        const std::wstring* cls;
        const std::wstring* title;
        HWND found;
    } search{processId, &cls, title, nullptr};
    EnumWindows(
        [](HWND window, LPARAM param) WINAPI -> BOOL {
            auto* s = reinterpret_cast<Search*>(param);
            DWORD owner = 0;
            GetWindowThreadProcessId(window, &owner);
            if (owner != s->pid || !IsWindowVisible(window) || className(window) != *s->cls)
                return TRUE;
            if (s->title && windowTextOf(window) != *s->title) return TRUE;
            s->found = window;
            return FALSE;
        },
        reinterpret_cast<LPARAM>(&search));
    return search.found;
}

std::wstring readUtf8File(const std::wstring& path) {
    const std::string bytes = readFileBytes(path);
    const int chars =
        MultiByteToWideChar(CP_UTF8, 0, bytes.data(), static_cast<int>(bytes.size()), nullptr, 0);
    std::wstring text(static_cast<size_t>(chars), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, bytes.data(), static_cast<int>(bytes.size()), text.data(),
                        chars);
    return text;
}

std::vector<std::wstring> split(const std::wstring& text, wchar_t separator) {
    std::vector<std::wstring> parts;
    size_t start = 0;
    for (size_t at; (at = text.find(separator, start)) != std::wstring::npos; start = at + 1) {
        parts.push_back(text.substr(start, at - start));
    }
    parts.push_back(text.substr(start));
    return parts;
}

void removeTree(const std::wstring& path) {
    WIN32_FIND_DATAW found{};
    const HANDLE search = FindFirstFileW((path + L"\\*").c_str(), &found);
    if (search != INVALID_HANDLE_VALUE) {
        do {
            const std::wstring name = found.cFileName;
            if (name == L"." || name == L"..") continue;
            const std::wstring child = path + L"\\" + name;
            if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
                removeTree(child);
            } else {
                SetFileAttributesW(child.c_str(), FILE_ATTRIBUTE_NORMAL);
                DeleteFileW(child.c_str());
            }
        } while (FindNextFileW(search, &found));
        FindClose(search);
    }
    RemoveDirectoryW(path.c_str());
}

bool copyFile(const std::wstring& from, const std::wstring& to) {
    // A stand-in that is still running keeps its file busy for a moment.
    return waitUntil([&] { return CopyFileW(from.c_str(), to.c_str(), FALSE) != FALSE; }, 5000);
}

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

Process startProcess(const std::wstring& path, std::vector<wchar_t>* environment,
                     const std::wstring& directory) {
    std::wstring commandLine = L"\"" + path + L"\"";
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION info{};
    if (!CreateProcessW(path.c_str(), commandLine.data(), nullptr, nullptr, FALSE,
                        environment ? CREATE_UNICODE_ENVIRONMENT : 0,
                        environment ? environment->data() : nullptr,
                        directory.empty() ? nullptr : directory.c_str(), &startup, &info)) {
        ADD_FAILURE() << "cannot start the program, error " << GetLastError();
        return {};
    }
    CloseHandle(info.hThread);
    return Process(info.hProcess, info.dwProcessId);
}

}  // namespace

bool waitUntil(const std::function<bool()>& condition, DWORD timeoutMs) {
    const ULONGLONG deadline = GetTickCount64() + timeoutMs;
    for (;;) {
        if (condition()) return true;
        if (GetTickCount64() >= deadline) return false;
        Sleep(20);
    }
}

std::wstring buildDir() { return moduleDir(); }

std::wstring systemDir() {
    std::array<wchar_t, MAX_PATH> path{};
    const UINT length = GetSystemDirectoryW(path.data(), MAX_PATH);
    return std::wstring(path.data(), length);
}

std::wstring windowsDir() {
    std::array<wchar_t, MAX_PATH> path{};
    const UINT length = GetSystemWindowsDirectoryW(path.data(), MAX_PATH);
    return std::wstring(path.data(), length);
}

std::wstring fileNameOf(const std::wstring& path) {
    return path.substr(path.find_last_of(L"\\/") + 1);
}

bool sameFile(const std::wstring& a, const std::wstring& b) {
    return _wcsicmp(a.c_str(), b.c_str()) == 0;
}

TempDir::TempDir(const std::wstring& name) {
    static int counter = 0;
    std::array<wchar_t, MAX_PATH> temp{};
    GetTempPathW(MAX_PATH, temp.data());
    std::wstring base = temp.data();
    if (!base.empty() && base.back() == L'\\') base.pop_back();
    path_ = base + L"\\" + name + L"-" + std::to_wstring(GetCurrentProcessId()) + L"-" +
            std::to_wstring(++counter) + L"-" + std::to_wstring(GetTickCount64() % 100000);
    CreateDirectoryW(path_.c_str(), nullptr);
}

TempDir::~TempDir() { removeTree(path_); }

Process::~Process() {
    if (!handle_) return;
    terminate();
    CloseHandle(handle_);
}

bool Process::running() const { return handle_ && WaitForSingleObject(handle_, 0) == WAIT_TIMEOUT; }

bool Process::waitForExit(DWORD timeoutMs) const {
    return handle_ && WaitForSingleObject(handle_, timeoutMs) == WAIT_OBJECT_0;
}

DWORD Process::exitCode() const {
    DWORD code = STILL_ACTIVE;
    if (handle_) GetExitCodeProcess(handle_, &code);
    return code;
}

ULONGLONG Process::exitTime() const {
    if (!handle_ || running()) return 0;
    FILETIME created{}, exited{}, kernel{}, user{};
    if (!GetProcessTimes(handle_, &created, &exited, &kernel, &user)) return 0;
    return ULARGE_INTEGER{{exited.dwLowDateTime, exited.dwHighDateTime}}.QuadPart;
}

void Process::terminate() {
    if (running()) {
        TerminateProcess(handle_, 1);
        WaitForSingleObject(handle_, 5000);
    }
}

Process startNamed(const TempDir& dir, const std::wstring& imageName) {
    const std::wstring path = dir.file(imageName);
    if (GetFileAttributesW(path.c_str()) == INVALID_FILE_ATTRIBUTES) {
        copyFile(buildDir() + L"\\sleeper.exe", path);
    }
    return startProcess(path, nullptr, dir.path());
}

std::vector<DWORD> processesNamed(const std::wstring& imageName) {
    return processIdsNamed(imageName.c_str());
}

bool endProcessesNamed(const std::wstring& imageName) {
    for (const DWORD id : processesNamed(imageName)) {
        const HANDLE process = OpenProcess(PROCESS_TERMINATE | SYNCHRONIZE, FALSE, id);
        if (!process) continue;
        TerminateProcess(process, 1);
        WaitForSingleObject(process, 5000);
        CloseHandle(process);
    }
    // A process that is ending can linger in the list for a moment.
    return waitUntil([&] { return processesNamed(imageName).empty(); }, 5000);
}

Program::Program(const ProgramOptions& options) : folder_(options.folderName) {
    const std::wstring build = buildDir();
    const bool inPlace = !options.runInPlace.empty();
    const std::wstring exe = inPlace ? options.runInPlace : folder_.file(kProgram);
    const std::wstring home = inPlace ? exe.substr(0, exe.find_last_of(L"\\/")) : folder_.path();
    recordFile_ = folder_.file(L"record.txt");
    if (!inPlace) {
        copyFile(build + L"\\" + kProgram, exe);
        if (options.recordingSkin) {
            copyFile(build + L"\\recording\\SkinH_VB6.dll", folder_.file(L"SkinH_VB6.dll"));
        } else if (options.withSkinLibrary) {
            copyFile(build + L"\\SkinH_VB6.dll", folder_.file(L"SkinH_VB6.dll"));
        }
        if (options.withSkinFile) copyFile(build + L"\\skinh.she", folder_.file(L"skinh.she"));
        for (const auto& [source, name] : options.planted) copyFile(source, folder_.file(name));
    }

    // The recording stand-ins take the place of the system's explorer.exe and
    // rundll32.exe (the test runner's DLL overrides let them win).
    copyFile(build + L"\\recorder.exe", windowsDir() + L"\\explorer.exe");
    copyFile(build + L"\\recorder.exe", systemDir() + L"\\rundll32.exe");
    std::vector<wchar_t> environment = environmentWith(recordFile_);
    process_ = startProcess(exe, &environment,
                            options.currentDirectory.empty() ? home : options.currentDirectory);
    const DWORD pid = process_.id();
    waitUntil([&] { return (window_ = findTopLevel(pid, kWindowClass, nullptr)) != nullptr; });
    if (!window_) ADD_FAILURE() << "the program's window did not appear";
    // Let it finish what it queued for itself before the test acts.
    WaitForInputIdle(process_.handle(), 5000);
}

Program::~Program() {
    process_.terminate();
    // Launched stand-ins exit by themselves; give them a moment to let go of the folder.
    waitUntil([] { return false; }, 50);
}

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

std::vector<char> Program::remoteSend(HWND target, UINT message, WPARAM wParam,
                                      size_t bytes) const {
    std::vector<char> result(bytes, 0);
    const HANDLE process = OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE,
                                       FALSE, process_.id());
    if (!process) return result;
    void* remote = VirtualAllocEx(process, nullptr, bytes, MEM_COMMIT, PAGE_READWRITE);
    if (remote) {
        SendMessageW(target, message, wParam, reinterpret_cast<LPARAM>(remote));
        SIZE_T read = 0;
        ReadProcessMemory(process, remote, result.data(), bytes, &read);
        VirtualFreeEx(process, remote, 0, MEM_RELEASE);
    }
    CloseHandle(process);
    return result;
}

std::wstring Program::statusText(int panel) const {
    // SB_GETTEXTW writes into the program's own memory: lend it a buffer there.
    const HWND bar = control(design::kS1);
    const auto part = static_cast<WPARAM>(panel - 1);
    const size_t length = LOWORD(SendMessageW(bar, SB_GETTEXTLENGTHW, part, 0));
    const std::vector<char> bytes =
        remoteSend(bar, SB_GETTEXTW, part, (length + 1) * sizeof(wchar_t));
    std::wstring text(length, L'\0');
    memcpy(text.data(), bytes.data(), length * sizeof(wchar_t));
    return text;
}

RECT Program::statusPanelRect(int panel) const {
    const std::vector<char> bytes =
        remoteSend(control(design::kS1), SB_GETRECT, static_cast<WPARAM>(panel - 1), sizeof(RECT));
    RECT r{};
    memcpy(&r, bytes.data(), sizeof r);
    return r;
}

std::vector<char> Program::askStatusBar(UINT message, WPARAM wParam, size_t bytes) const {
    return remoteSend(control(design::kS1), message, wParam, bytes);
}

void Program::click(int id) const { PostMessageW(control(id), BM_CLICK, 0, 0); }

void Program::close() const { PostMessageW(window_, WM_CLOSE, 0, 0); }

HWND Program::findMessageBox(const std::wstring& title) const {
    return findTopLevel(process_.id(), L"#32770", &title);
}

HWND Program::waitForMessageBox(const std::wstring& title, DWORD timeoutMs) const {
    HWND box = nullptr;
    waitUntil([&] { return (box = findMessageBox(title)) != nullptr; }, timeoutMs);
    return box;
}

std::wstring Program::messageBoxText(HWND box) { return windowTextOf(GetDlgItem(box, 0xFFFF)); }

std::vector<int> Program::messageBoxButtons(HWND box) {
    std::vector<int> ids;
    // The box may keep the buttons it does not use, hidden.
    for (HWND child = GetWindow(box, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        if (className(child) != L"Button" || !IsWindowVisible(child)) continue;
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

std::vector<Record> Program::records() const {
    std::vector<Record> result;
    for (const std::wstring& line : split(readUtf8File(recordFile_), L'\n')) {
        if (!line.empty()) result.push_back(split(line, L'\t'));
    }
    return result;
}

std::vector<Launch> Program::launches() const {
    std::vector<Launch> result;
    for (const Record& r : records()) {
        if (r.size() == 5 && r[0] == L"launch")
            result.push_back({r[1], r[2], _wtoi(r[3].c_str()), r[4]});
    }
    return result;
}

bool Program::waitForLaunches(size_t count, DWORD timeoutMs) const {
    return waitUntil([&] { return launches().size() >= count; }, timeoutMs);
}

void pressKey(HWND window, WORD key, std::initializer_list<WORD> modifiers) {
    SetForegroundWindow(window);
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
    SetForegroundWindow(window);
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
