#include "tests/unit/fake_host.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <functional>
#include <gtest/gtest.h>
#include <stdexcept>

namespace fake {
namespace {

std::string hex(std::uint64_t value) {
    char text[24];
    std::snprintf(text, sizeof text, "0x%llX", static_cast<unsigned long long>(value));
    return text;
}

std::string nameOf(app::Button button) {
    switch (button) {
        case app::Button::Command1:
            return "Command1";
        case app::Button::Command2:
            return "Command2";
        case app::Button::Command3:
            return "Command3";
        case app::Button::Command4:
            return "Command4";
        case app::Button::Command5:
            return "Command5";
    }
    return "Button?";
}

}  // namespace

std::string utf8(const std::wstring& text) {
    std::string out;
    for (const wchar_t wide : text) {
        const auto c = static_cast<std::uint32_t>(wide);
        if (c < 0x80) {
            out += static_cast<char>(c);
        } else if (c < 0x800) {
            out += static_cast<char>(0xC0 | (c >> 6));
            out += static_cast<char>(0x80 | (c & 0x3F));
        } else if (c < 0x10000) {
            out += static_cast<char>(0xE0 | (c >> 12));
            out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (c & 0x3F));
        } else {
            out += static_cast<char>(0xF0 | (c >> 18));
            out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
            out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (c & 0x3F));
        }
    }
    return out;
}

// ---- FakeSystem

std::vector<std::string> FakeSystem::select(Level least) const {
    std::vector<std::string> out;
    for (const Entry& entry : entries) {
        if (entry.level >= least) out.push_back(entry.text);
    }
    return out;
}

int FakeSystem::count(const std::string& text) const {
    return static_cast<int>(std::count_if(entries.begin(), entries.end(),
                                          [&](const Entry& entry) { return entry.text == text; }));
}

std::vector<std::uint32_t> FakeSystem::timesOf(const std::string& prefix) const {
    std::vector<std::uint32_t> out;
    for (const Entry& entry : entries) {
        if (entry.text.starts_with(prefix)) out.push_back(entry.at);
    }
    return out;
}

// ---- FakeHost

FakeHost::FakeHost(FakeSystem& sys) : sys_(sys) {
    captions[app::Button::Command3] = L"清除Explorer";
    for (auto button : {app::Button::Command1, app::Button::Command2, app::Button::Command3,
                        app::Button::Command4, app::Button::Command5}) {
        enabled[button] = true;
    }
}

std::wstring FakeHost::timeText(int n) { return L"15:04:" + std::to_wstring(10 + n); }

int FakeHost::messageBox(const std::wstring& prompt, int flags, const std::wstring& title) {
    sys_.add(Level::Effect,
             "messageBox(" + utf8(prompt) + "," + std::to_string(flags) + "," + utf8(title) + ")");
    if (answers.empty()) {
        ADD_FAILURE() << "message box with no scripted answer";
        return app::kAnswerCancel;
    }
    const int answer = answers.front();
    answers.pop_front();
    return answer;
}

void FakeHost::clearClipboard() {
    sys_.add(Level::Effect, "clearClipboard");
    if (++clipboardCalls_ == failClearClipboardAt) {
        throw app::HostError(L"clearClipboard", L"the clipboard stays open");
    }
    if (clipboardCalls_ == closeDuringClearClipboardAt) {
        alive = false;
        throw app::WindowClosed();
    }
}

void FakeHost::launch(const std::wstring& commandLine, app::WindowStyle style) {
    sys_.add(Level::Effect,
             "launch(" + utf8(commandLine) + "," + std::to_string(static_cast<int>(style)) + ")");
    if (++launchCalls_ == failLaunchAt) throw app::HostError(L"launch", L"file not found");
}

void FakeHost::setStatusText(int panel, const std::wstring& text) {
    sys_.add(Level::Effect, "status(" + std::to_string(panel) + "," + utf8(text) + ")");
    status[panel] = text;
}

std::wstring FakeHost::buttonCaption(app::Button button) {
    sys_.add(Level::Query, "buttonCaption(" + nameOf(button) + ")");
    return captions[button];
}

void FakeHost::setButtonCaption(app::Button button, const std::wstring& caption) {
    sys_.add(Level::Effect, "setCaption(" + nameOf(button) + "," + utf8(caption) + ")");
    captions[button] = caption;
}

void FakeHost::setButtonEnabled(app::Button button, bool isEnabled) {
    sys_.add(Level::Effect, "enable(" + nameOf(button) + "," + (isEnabled ? "1" : "0") + ")");
    enabled[button] = isEnabled;
}

void FakeHost::listAppend(const std::wstring& text) {
    sys_.add(Level::Effect, "listAppend(" + utf8(text) + ")");
    if (++listAppendCalls_ == failListAppendAt) throw app::HostError(L"listAppend", L"no memory");
    // The list box's count is a signed 16-bit value.
    if (lines.size() >= 32767) ADD_FAILURE() << "appended to a full list box";
    lines.push_back(text);
    mostLines = std::max(mostLines, lines.size());
}

std::int16_t FakeHost::listCount() {
    sys_.add(Level::Query, "listCount");
    if (lines.size() > 32767) ADD_FAILURE() << "list count beyond 16 bits";
    return static_cast<std::int16_t>(lines.size());
}

void FakeHost::listRemove(int index) {
    sys_.add(Level::Effect, "listRemove(" + std::to_string(index) + ")");
    if (index < 0 || static_cast<std::size_t>(index) >= lines.size()) {
        ADD_FAILURE() << "removed list line " << index << " of " << lines.size();
        return;
    }
    lines.erase(lines.begin() + index);
}

void FakeHost::listSelect(int index) {
    sys_.add(Level::Effect, "listSelect(" + std::to_string(index) + ")");
    if (index < 0 || static_cast<std::size_t>(index) >= lines.size()) {
        ADD_FAILURE() << "selected list line " << index << " of " << lines.size();
    }
    selected = index;
}

std::wstring FakeHost::timeOfDayText() {
    sys_.add(Level::Query, "timeOfDayText");
    return timeText(timeTexts_++);
}

bool FakeHost::pumpEvents() {
    sys_.add(Level::Query, "pumpEvents");
    // A caller that spins instead of sleeping would never end on a still
    // counter: fail and ask it to quit.
    if (++pumps > kMostPumps) {
        if (pumps == kMostPumps + 1) ADD_FAILURE() << "pumped more than " << kMostPumps << " times";
        return false;
    }
    if (onPump) {
        // A copy: the hook may replace itself.
        const std::function<void()> hook = onPump;
        hook();
    }
    return !quitRequested;
}

void FakeHost::waitForEvents(std::uint32_t milliseconds) {
    sys_.add(Level::Query, "waitForEvents(" + std::to_string(milliseconds) + ")");
    waits.push_back({milliseconds, sys_.reads.empty() ? sys_.now : sys_.reads.back()});
    sys_.now += std::min(milliseconds, wakeAfter);
}

std::wstring FakeHost::programDirectory() {
    sys_.add(Level::Query, "programDirectory");
    return directory;
}

app::WindowHandle FakeHost::windowHandle() {
    sys_.add(Level::Query, "windowHandle");
    return window;
}

bool FakeHost::windowAlive() {
    sys_.add(Level::Query, "windowAlive");
    return alive;
}

void FakeHost::unloadWindow() {
    sys_.add(Level::Effect, "unloadWindow");
    alive = false;
    quitRequested = true;  // the program ends with its window
}

bool FakeHost::sessionEnding() {
    sys_.add(Level::Query, "sessionEnding");
    return ending;
}

void FakeHost::reportError(const app::HostError& error) {
    if (failReport) throw std::runtime_error("report failed");
    sys_.add(Level::Effect, "reportError(" + utf8(error.operation()) + ")");
    errors.push_back(error.operation());
    reasons.push_back(error.reason());
}

// ---- FakeBindings

std::uint32_t FakeBindings::timeGetTime() {
    sys_.add(Level::Query, "timeGetTime");
    const std::uint32_t value = sys_.now;
    sys_.reads.push_back(value);
    sys_.now += sys_.readStep;
    return value;
}

std::int32_t FakeBindings::getWindowLongA(app::WindowHandle handle, int index) {
    sys_.add(Level::Effect, "GetWindowLongA(" + hex(handle) + "," + std::to_string(index) + ")");
    return static_cast<std::int32_t>(style);
}

std::int32_t FakeBindings::setWindowLongA(app::WindowHandle handle, int index, std::int32_t value) {
    sys_.add(Level::Effect, "SetWindowLongA(" + hex(handle) + "," + std::to_string(index) + "," +
                                hex(static_cast<std::uint32_t>(value)) + ")");
    const auto previous = static_cast<std::int32_t>(style);
    style = static_cast<std::uint32_t>(value);
    return previous;
}

app::KernelHandle FakeBindings::createToolhelp32Snapshot(std::uint32_t flags,
                                                         std::uint32_t processId) {
    sys_.add(Level::Effect, "CreateToolhelp32Snapshot(" + std::to_string(flags) + "," +
                                std::to_string(processId) + ")");
    if (snapshotResult != app::kInvalidHandleValue && snapshotResult != 0) {
        taken_ = processes;
        next_ = 0;
        openHandles.insert(snapshotResult);
    }
    return snapshotResult;
}

int FakeBindings::fetch(const char* name, app::KernelHandle snapshot, app::ProcessEntry32A* entry,
                        bool first) {
    sys_.add(Level::Walk,
             std::string(name) + "(" + label(snapshot) + "," + std::to_string(entry->dwSize) + ")");
    record_ = entry;
    // The system refuses a record whose size it does not know.
    if (entry->dwSize != sizeof(app::ProcessEntry32A)) return 0;
    if (!openHandles.contains(snapshot)) return 0;
    if (first) {
        next_ = 0;
        if (failFirstFetch) return 0;
    }
    if (next_ >= taken_.size()) return 0;
    const FakeProcess& process = taken_[next_++];
    // Like the system, write only the name and its NUL: whatever a longer
    // earlier name left behind stays in the record.
    const std::size_t length = std::min(process.name.size(), sizeof entry->szExeFile);
    std::memcpy(entry->szExeFile, process.name.data(), length);
    if (length < sizeof entry->szExeFile) entry->szExeFile[length] = '\0';
    entry->th32ProcessID = process.pid;
    entry->cntThreads = 3;
    return 1;
}

int FakeBindings::process32First(app::KernelHandle snapshot, app::ProcessEntry32A* entry) {
    return fetch("Process32First", snapshot, entry, true);
}

int FakeBindings::process32Next(app::KernelHandle snapshot, app::ProcessEntry32A* entry) {
    return fetch("Process32Next", snapshot, entry, false);
}

app::KernelHandle FakeBindings::openProcess(std::uint32_t access, int inherit,
                                            std::uint32_t processId) {
    sys_.add(Level::Walk, "OpenProcess(" + std::to_string(access) + "," + std::to_string(inherit) +
                              "," + std::to_string(processId) + ")");
    const auto running = std::find_if(processes.begin(), processes.end(),
                                      [&](const FakeProcess& p) { return p.pid == processId; });
    if (running == processes.end() || !running->canOpen) return 0;
    const app::KernelHandle handle = nextHandle_++;
    processHandles_[handle] = processId;
    openHandles.insert(handle);
    return handle;
}

int FakeBindings::terminateProcess(app::KernelHandle process, std::uint32_t exitCode) {
    sys_.add(Level::Effect,
             "TerminateProcess(" + label(process) + "," + std::to_string(exitCode) + ")");
    const auto found = processHandles_.find(process);
    if (found == processHandles_.end() || !openHandles.contains(process)) return 0;
    const std::uint32_t pid = found->second;
    const auto gone = std::remove_if(processes.begin(), processes.end(),
                                     [&](const FakeProcess& p) { return p.pid == pid; });
    if (gone == processes.end()) return 0;
    processes.erase(gone, processes.end());
    ended.push_back(pid);
    return 1;
}

int FakeBindings::closeHandle(app::KernelHandle handle) {
    sys_.add(Level::Walk, "CloseHandle(" + label(handle) + ")");
    return openHandles.erase(handle) ? 1 : 0;
}

std::int32_t FakeBindings::skinAttachEx(const char* skinPath, const char* password) {
    if (skinPath == nullptr || password == nullptr) {
        ADD_FAILURE() << "skin attached with a null string";
    }
    sys_.add(Level::Effect, std::string("SkinH_AttachEx(") + (skinPath ? skinPath : "<null>") +
                                "," + (password ? password : "<null>") + ")");
    if (attachResults.empty()) return 1;
    const std::int32_t result = attachResults.front();
    attachResults.pop_front();
    return result;
}

std::string FakeBindings::toAnsi(const std::wstring& text) {
    sys_.add(Level::Query, "toAnsi");
    std::string out;
    for (const wchar_t c : text) out += c < 0x100 ? static_cast<char>(c) : '?';
    return out;
}

std::wstring FakeBindings::fromAnsi(const char* text, std::size_t length) {
    sys_.add(Level::Query, "fromAnsi(" + std::to_string(length) + ")");
    if (record_ != nullptr) {
        const auto at = reinterpret_cast<std::uintptr_t>(text);
        const auto begin = reinterpret_cast<std::uintptr_t>(record_);
        const auto fieldEnd =
            reinterpret_cast<std::uintptr_t>(record_->szExeFile) + sizeof record_->szExeFile;
        if (at >= begin && at < begin + sizeof *record_ && at + length > fieldEnd) {
            ADD_FAILURE() << "name read runs " << (at + length - fieldEnd)
                          << " bytes past the record's name field";
            length = fieldEnd - at;
        }
    }
    std::wstring out;
    for (std::size_t i = 0; i < length; ++i) {
        out += static_cast<wchar_t>(static_cast<unsigned char>(text[i]));
    }
    return out;
}

std::string FakeBindings::label(app::KernelHandle handle) const {
    if (handle == 0) return "0";
    if (handle == app::kInvalidHandleValue) return "INVALID";
    if (handle == kSnapshot) return "hsnap";
    const auto found = processHandles_.find(handle);
    if (found != processHandles_.end()) return "hproc" + std::to_string(found->second);
    return hex(handle);
}

}  // namespace fake
