// Measures the real program from outside, the way a user runs it: start-up
// against two baselines (a bare window, and a window with the design's
// controls and nothing else), processor time and memory over forced repairs,
// one KillProcess call over many processes, and the file sizes. Prints one
// markdown table, then the raw figures.
//
// Under Wine another process's processor time is not reported by
// GetProcessTimes, so it is read from the host's /proc through drive Z:.
//
// Usage: bench_driver.exe <clock ticks per second> [start-up runs] [repairs] [processes]
#include <windows.h>
// These need windows.h first.
#include <algorithm>
#include <array>
#include <cmath>
#include <commctrl.h>
#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <cwchar>
#include <psapi.h>
#include <string>
#include <vector>
#include <winternl.h>

#include "resources/form1_design.h"
#include "tests/support/files.h"
#include "tests/support/process.h"
#include "tests/support/program_under_test.h"
#include "tests/support/remote_status_bar.h"
#include "tests/support/text.h"
#include "tests/support/wait.h"
#include "tests/support/window_lookup.h"

namespace {

using support::findTopLevel;
using support::kProgramFile;
using support::kProgramWindowClass;
using support::Process;
using support::waitUntil;

// The baselines, built beside the program: file and window class.
struct Baseline {
    const wchar_t* file;
    const wchar_t* windowClass;
};
constexpr Baseline kBare{L"bare_window.exe", L"ZelkUsbTool.BareWindow"};
constexpr Baseline kDesign{L"design_window.exe", L"ZelkUsbTool.DesignWindow"};

constexpr double kMiB = 1024.0 * 1024.0;

// ---- small helpers ---------------------------------------------------------

double nowMs() {
    static const LONGLONG frequency = [] {
        LARGE_INTEGER f{};
        QueryPerformanceFrequency(&f);
        return f.QuadPart;
    }();
    LARGE_INTEGER t{};
    QueryPerformanceCounter(&t);
    return static_cast<double>(t.QuadPart) * 1000.0 / static_cast<double>(frequency);
}

std::string format(const char* pattern, ...) __attribute__((format(gnu_printf, 1, 2)));
std::string format(const char* pattern, ...) {
    std::array<char, 512> text{};
    va_list args;
    va_start(args, pattern);
    std::vsnprintf(text.data(), text.size(), pattern, args);
    va_end(args);
    return text.data();
}

double median(std::vector<double> values) {
    if (values.empty()) return 0;
    std::sort(values.begin(), values.end());
    const size_t middle = values.size() / 2;
    return values.size() % 2 ? values[middle] : (values[middle - 1] + values[middle]) / 2;
}

std::string joined(const std::vector<double>& values, const char* pattern) {
    std::string text;
    for (double v : values) {
        if (!text.empty()) text += ' ';
        text += format(pattern, v);
    }
    return text;
}

void print(const std::string& text) {
    DWORD written = 0;
    WriteFile(GetStdHandle(STD_OUTPUT_HANDLE), text.data(), static_cast<DWORD>(text.size()),
              &written, nullptr);
}

int listCount(HWND window) {
    return static_cast<int>(SendMessageW(GetDlgItem(window, design::kList1), LB_GETCOUNT, 0, 0));
}

// ---- the host side, through drive Z: --------------------------------------

std::string lower(std::string text) {
    for (char& c : text) {
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    }
    return text;
}

// The host process running this Windows program: the one whose command line
// names its path (each measured program runs from a folder of this run's
// own). 0 while none or more than one does: one that has just been ended
// may linger for a moment.
long hostPidOf(const std::wstring& exePath) {
    const std::string wanted = lower(support::narrow(exePath));
    WIN32_FIND_DATAW found{};
    const HANDLE search = FindFirstFileW(L"Z:\\proc\\*", &found);
    if (search == INVALID_HANDLE_VALUE) return 0;
    std::vector<long> matches;
    do {
        const wchar_t* name = found.cFileName;
        if (*name < L'0' || *name > L'9') continue;
        std::string commandLine =
            support::readFileBytes(std::wstring(L"Z:\\proc\\") + name + L"\\cmdline");
        std::replace(commandLine.begin(), commandLine.end(), '\0', ' ');
        if (lower(commandLine).find(wanted) != std::string::npos) {
            matches.push_back(std::wcstol(name, nullptr, 10));
        }
    } while (FindNextFileW(search, &found));
    FindClose(search);
    return matches.size() == 1 ? matches.front() : 0;
}

long waitForHostPid(const std::wstring& exePath) {
    long pid = 0;
    support::waitUntil([&] { return (pid = hostPidOf(exePath)) != 0; }, 5000);
    return pid;
}

std::wstring procFile(long hostPid, const wchar_t* leaf) {
    return L"Z:\\proc\\" + std::to_wstring(hostPid) + L"\\" + leaf;
}

// utime + stime of the whole process, every thread included, in clock ticks.
long long hostCpuTicks(long hostPid) {
    const std::string stat = support::readFileBytes(procFile(hostPid, L"stat"));
    const size_t close = stat.rfind(')');
    if (close == std::string::npos) return -1;
    // After the name: field 3 (state) onwards; utime and stime are fields 14 and 15.
    const char* at = stat.c_str() + close + 1;
    long long fields[13] = {};
    for (int i = 0; i < 13; ++i) {
        while (*at == ' ') ++at;
        if (i == 0) {
            ++at;  // the state letter
            continue;
        }
        char* end = nullptr;
        fields[i] = std::strtoll(at, &end, 10);
        at = end;
    }
    return fields[11] + fields[12];
}

// A "Vm...:" line of /proc/<pid>/status, in KiB.
long long hostStatusKb(long hostPid, const char* key) {
    const std::string status = support::readFileBytes(procFile(hostPid, L"status"));
    const size_t at = status.find(key);
    if (at == std::string::npos) return -1;
    return std::strtoll(status.c_str() + at + std::strlen(key), nullptr, 10);
}

// ---- measurements ----------------------------------------------------------

// What the system's process list says of one process: its handle count and
// private pages (Wine answers these from its server even for another process).
struct Listed {
    bool found = false;
    ULONG handles = 0;
    SIZE_T privatePages = 0;
};

Listed listedProcess(DWORD processId) {
    using QueryFn = NTSTATUS(NTAPI*)(SYSTEM_INFORMATION_CLASS, PVOID, ULONG, PULONG);
    const auto query = reinterpret_cast<QueryFn>(reinterpret_cast<void (*)()>(
        GetProcAddress(GetModuleHandleW(L"ntdll.dll"), "NtQuerySystemInformation")));
    Listed result;
    if (!query) return result;
    std::vector<char> buffer(1 << 20);
    ULONG needed = 0;
    while (query(SystemProcessInformation, buffer.data(), static_cast<ULONG>(buffer.size()),
                 &needed) == static_cast<NTSTATUS>(0xC0000004L)) {  // STATUS_INFO_LENGTH_MISMATCH
        buffer.resize(std::max<size_t>(buffer.size() * 2, needed));
    }
    for (size_t at = 0;;) {
        const auto* info = reinterpret_cast<const SYSTEM_PROCESS_INFORMATION*>(buffer.data() + at);
        if (reinterpret_cast<ULONG_PTR>(info->UniqueProcessId) == processId) {
            result.found = true;
            result.handles = info->HandleCount;
            result.privatePages = info->PrivatePageCount;
            return result;
        }
        if (!info->NextEntryOffset) return result;
        at += info->NextEntryOffset;
    }
}

struct Memory {
    bool counters = false;                                        // GetProcessMemoryInfo answered
    double peakWorkingSet = 0, workingSet = 0, privateBytes = 0;  // MiB
    DWORD handles = 0;                                            // GetProcessHandleCount
    Listed listed;
    DWORD gdiObjects = 0, userObjects = 0;
    double vmHwm = 0, vmRss = 0, vmData = 0;  // MiB

    // As far as any source tells; 0: nothing does.
    ULONG handleCount() const { return handles ? handles : listed.handles; }
    double privateMiB() const {
        return privateBytes > 0 ? privateBytes : static_cast<double>(listed.privatePages) / kMiB;
    }
};

Memory memoryOf(const Process& child, long hostPid) {
    Memory m;
    PROCESS_MEMORY_COUNTERS_EX counters{};
    counters.cb = sizeof counters;
    if (GetProcessMemoryInfo(child.handle(), reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&counters),
                             sizeof counters)) {
        m.counters = true;
        m.peakWorkingSet = static_cast<double>(counters.PeakWorkingSetSize) / kMiB;
        m.workingSet = static_cast<double>(counters.WorkingSetSize) / kMiB;
        m.privateBytes = static_cast<double>(counters.PrivateUsage) / kMiB;
    }
    if (!GetProcessHandleCount(child.handle(), &m.handles)) m.handles = 0;
    m.listed = listedProcess(child.id());
    m.gdiObjects = GetGuiResources(child.handle(), GR_GDIOBJECTS);
    m.userObjects = GetGuiResources(child.handle(), GR_USEROBJECTS);
    m.vmHwm = static_cast<double>(hostStatusKb(hostPid, "VmHWM:")) / 1024.0;
    m.vmRss = static_cast<double>(hostStatusKb(hostPid, "VmRSS:")) / 1024.0;
    m.vmData = static_cast<double>(hostStatusKb(hostPid, "VmData:")) / 1024.0;
    return m;
}

std::string describe(const char* when, const Memory& m) {
    return format(
        "%s: VmHWM %.2f VmRSS %.2f VmData %.2f MiB; GetProcessMemoryInfo %s peak %.2f now %.2f "
        "private %.2f MiB; handles: GetProcessHandleCount %lu, process list %lu (%s), private %.2f "
        "MiB; GetGuiResources GDI %lu USER %lu\n",
        when, m.vmHwm, m.vmRss, m.vmData, m.counters ? "answered" : "failed", m.peakWorkingSet,
        m.workingSet, m.privateBytes, m.handles, m.listed.handles,
        m.listed.found ? "listed" : "not listed", static_cast<double>(m.listed.privatePages) / kMiB,
        m.gdiObjects, m.userObjects);
}

// ---- one program from outside ----------------------------------------------

// A control's text length, or 0 when it does not answer in time.
size_t textLength(HWND control, UINT message, WPARAM wParam) {
    DWORD_PTR length = 0;
    if (!SendMessageTimeoutW(control, message, wParam, 0, SMTO_NORMAL, 5000, &length)) return 0;
    return LOWORD(length);
}

// Ready: the window shows its last control and the status text.
bool programReady(DWORD processId) {
    const HWND window = findTopLevel(processId, kProgramWindowClass);
    return window && GetDlgItem(window, design::kOption2) &&
           textLength(GetDlgItem(window, design::kS1), SB_GETTEXTLENGTHW, 1) > 0;
}

bool designReady(DWORD processId) {
    const HWND window = findTopLevel(processId, kDesign.windowClass);
    return window && GetDlgItem(window, design::kOption2) &&
           textLength(GetDlgItem(window, design::kS1), WM_GETTEXTLENGTH, 0) > 0;
}

bool bareReady(DWORD processId) { return findTopLevel(processId, kBare.windowClass) != nullptr; }

// Milliseconds from just before the process is created to its window being
// ready, or a negative value if it never was.
double startUp(const std::wstring& exe, const std::wstring& directory, bool (*ready)(DWORD),
               Process* keep = nullptr) {
    const double start = nowMs();
    Process child = support::startProcess(exe, directory);
    if (!child.handle()) return -1;
    const DWORD id = child.id();
    const bool shown = waitUntil([&] { return ready(id); }, 30000, 2);
    const double elapsed = nowMs() - start;
    if (keep) *keep = std::move(child);
    return shown ? elapsed : -1;
}

struct RepairRun {
    bool ok = false;
    double wallMs = 0;
    long long ticks = 0;
    int logLines = 0;
};

RepairRun forcedRepair(const Process& program, HWND window, long hostPid) {
    RepairRun run;
    const HWND button = GetDlgItem(window, design::kCommand4);
    const int linesBefore = listCount(window);
    // Posted: the handler opens a modal box.
    PostMessageW(button, BM_CLICK, 0, 0);
    HWND box = nullptr;
    if (!waitUntil([&] {
            return (box = findTopLevel(program.id(), L"#32770", app::texts::kRepairTitle)) !=
                   nullptr;
        })) {
        return run;
    }
    const long long before = hostCpuTicks(hostPid);
    const double start = nowMs();
    PostMessageW(GetDlgItem(box, IDYES), BM_CLICK, 0, 0);
    if (!waitUntil([&] { return !IsWindowEnabled(button); }, 15000, 5)) return run;
    if (!waitUntil([&] { return IsWindowEnabled(button) != FALSE; }, 60000, 10)) return run;
    run.wallMs = nowMs() - start;
    run.ticks = hostCpuTicks(hostPid) - before;
    run.logLines = listCount(window) - linesBefore;
    run.ok = before >= 0 && run.ticks >= 0;
    return run;
}

// Clicks a button and times until status panel 2 shows the text.
double timeStatusChange(const Process& program, HWND window, int buttonId, const wchar_t* text) {
    const HWND bar = GetDlgItem(window, design::kS1);
    const size_t wantedLength = std::wcslen(text);
    const double start = nowMs();
    PostMessageW(GetDlgItem(window, buttonId), BM_CLICK, 0, 0);
    const bool changed = waitUntil(
        [&] {
            // The length alone is cheap; the text only when it could match.
            return textLength(bar, SB_GETTEXTLENGTHW, 1) == wantedLength &&
                   support::statusBarText(bar, program.id(), 1) == text;
        },
        30000, 1);
    return changed ? nowMs() - start : -1;
}

// ---- the measurements --------------------------------------------------------

struct Row {
    std::string measure, figure, target, result;
};

std::string verdict(bool met) { return met ? "met" : "missed"; }

struct Bench {
    double clockTicks = 0;
    int runs = 15;
    int repairs = 10;
    int victims = 50;
    std::wstring build = support::moduleDir();
    // The programs run from folders of this run's own, so that their host
    // processes are found by path and nothing else is measured.
    support::TempDir work{L"zelk-bench"};
    // The same program with no skinning library beside it (it starts all
    // the same): the difference is the skin's share of the start-up.
    support::TempDir skinless{L"zelk-bench-skinless"};
    double bareHwm = 0;  // MiB
    std::vector<Row> rows;
    std::string raw;

    std::wstring program() const { return work.file(kProgramFile); }
};

bool prepare(const Bench& b) {
    for (const wchar_t* name :
         {kProgramFile, kBare.file, kDesign.file, L"SkinH_VB6.dll", L"skinh.she"}) {
        if (!support::copyFile(b.build + L"\\" + name, b.work.file(name))) {
            print("cannot copy " + support::narrow(name) + " from the build folder\n");
            return false;
        }
    }
    if (support::copyFile(b.program(), b.skinless.file(kProgramFile))) return true;
    print("cannot copy the program to a folder without the skinning library\n");
    return false;
}

struct StartUps {
    std::vector<double> program, bare, design, unskinned;
};

// Alternating, so that drift on a busy machine hits all alike; the first
// round warms the caches and is not counted.
bool timeStartUps(Bench& b, StartUps& times) {
    const std::wstring& folder = b.work.path();
    for (int i = -1; i < b.runs; ++i) {
        const double program = startUp(b.program(), folder, programReady);
        Process bareChild;
        const double bare = startUp(b.work.file(kBare.file), folder, bareReady, &bareChild);
        if (i == b.runs - 1) {
            const long hostPid = waitForHostPid(b.work.file(kBare.file));
            b.bareHwm = static_cast<double>(hostStatusKb(hostPid, "VmHWM:")) / 1024.0;
        }
        bareChild.terminate();
        const double design = startUp(b.work.file(kDesign.file), folder, designReady);
        const double unskinned =
            startUp(b.skinless.file(kProgramFile), b.skinless.path(), programReady);
        if (i < 0) continue;
        if (program < 0 || bare < 0 || design < 0 || unskinned < 0) {
            print("a window did not appear\n");
            return false;
        }
        times.program.push_back(program);
        times.bare.push_back(bare);
        times.design.push_back(design);
        times.unskinned.push_back(unskinned);
    }
    return true;
}

// Judged against the window with the same controls: the floor that the
// design itself sets. The bare window shows what the controls cost.
bool measureStartUp(Bench& b) {
    StartUps times;
    if (!timeStartUps(b, times)) return false;
    const double program = median(times.program);
    const double bare = median(times.bare);
    const double design = median(times.design);
    const double unskinned = median(times.unskinned);
    b.rows.push_back(
        {"start-up, window shown with all controls (median of " + std::to_string(b.runs) + ")",
         format("%.1f ms; bare window %.1f ms = %.2fx; design-only window %.1f ms = **%.2fx**",
                program, bare, program / bare, design, program / design),
         "<= 1.2x the design-only window", verdict(program / design <= 1.2)});
    b.rows.push_back({"start-up without the skinning library beside it (same runs)",
                      format("%.1f ms = %.2fx the bare window, %.2fx the design-only window",
                             unskinned, unskinned / bare, unskinned / design),
                      "- (where the time goes)", "-"});
    b.raw += "start-up ZelkUsbTool ms: " + joined(times.program, "%.1f") + "\n";
    b.raw += "start-up bare_window ms: " + joined(times.bare, "%.1f") + "\n";
    b.raw += "start-up design_window ms: " + joined(times.design, "%.1f") + "\n";
    b.raw +=
        "start-up ZelkUsbTool without SkinH_VB6.dll ms: " + joined(times.unskinned, "%.1f") + "\n";
    return true;
}

struct Repairs {
    Memory atStart;
    std::vector<Memory> afterRun;
    std::vector<double> cpuPercent, wallMs, cpuMs;
    bool allRan = true;  // each run logged its seven lines
};

// Forced repairs in one program: processor time of each, memory and handles
// before and after them all.
bool runRepairs(const Bench& b, Repairs& r) {
    Process repaired;
    if (startUp(b.program(), b.work.path(), programReady, &repaired) < 0) {
        print("the program's window did not appear\n");
        return false;
    }
    const HWND window = findTopLevel(repaired.id(), kProgramWindowClass);
    const long hostPid = waitForHostPid(b.program());
    if (hostPid == 0) {
        print("cannot find the program's host process under Z:\\proc\n");
        return false;
    }
    WaitForInputIdle(repaired.handle(), 5000);  // settled: the first paint is done
    r.atStart = memoryOf(repaired, hostPid);
    for (int i = 0; i < b.repairs; ++i) {
        const RepairRun run = forcedRepair(repaired, window, hostPid);
        // The run restarts the shell, and under Wine a started explorer.exe
        // opens a file browser that stays.
        support::endProcessesNamed(L"explorer.exe");
        if (!run.ok || run.logLines != 7) r.allRan = false;
        if (!run.ok) break;
        WaitForInputIdle(repaired.handle(), 5000);
        const double ms = static_cast<double>(run.ticks) * 1000.0 / b.clockTicks;
        r.cpuMs.push_back(ms);
        r.wallMs.push_back(run.wallMs);
        r.cpuPercent.push_back(100.0 * ms / run.wallMs);
        r.afterRun.push_back(memoryOf(repaired, hostPid));
    }
    if (!r.afterRun.empty()) return true;
    print("the forced repair did not run\n");
    return false;
}

void reportProcessorTime(Bench& b, const Repairs& r) {
    const double worst = *std::max_element(r.cpuPercent.begin(), r.cpuPercent.end());
    b.rows.push_back(
        {"processor time during a forced repair (" + std::to_string(r.cpuPercent.size()) + " runs)",
         format("run 1: %.0f ms over %.1f s = %.2f%%; median %.2f%%; worst **%.2f%%**", r.cpuMs[0],
                r.wallMs[0] / 1000.0, r.cpuPercent[0], median(r.cpuPercent), worst),
         "< 1% of one core", verdict(worst < 1.0 && r.allRan)});
    b.raw += "repair wall ms: " + joined(r.wallMs, "%.0f") + "\n";
    b.raw += "repair cpu ms (host ticks): " + joined(r.cpuMs, "%.0f") + "\n";
    b.raw += format("repairs with 7 log lines each: %s\n", r.allRan ? "yes" : "no");
}

void reportPeakMemory(Bench& b, const Repairs& r) {
    const Memory& start = r.atStart;
    const Memory& last = r.afterRun.back();
    const double limit = 8.0;
    const std::string repairsDone = std::to_string(r.afterRun.size()) + " forced repairs";
    if (start.counters) {
        b.rows.push_back(
            {"peak working set after start / after " + repairsDone + " (GetProcessMemoryInfo)",
             format("%.2f / %.2f MiB", start.peakWorkingSet, last.peakWorkingSet), "< 8 MB",
             verdict(last.peakWorkingSet < limit)});
    } else {
        b.rows.push_back({"peak working set (GetProcessMemoryInfo)",
                          "n/a under Wine: the call failed", "< 8 MB", "not measured"});
    }
    b.rows.push_back({"host VmHWM after start / after " + repairsDone,
                      format("%.2f / %.2f MiB", start.vmHwm, last.vmHwm), "< 8 MB",
                      verdict(last.vmHwm < limit)});
    const bool winePeakIsHost =
        start.counters && std::abs(start.peakWorkingSet - start.vmHwm) < 0.05 * start.vmHwm + 0.1;
    b.rows.push_back(
        {"note on memory",
         std::string(winePeakIsHost
                         ? "Wine reports as working set the host RSS of the whole Wine process, "
                           "its own ntdll, user32, gdi32, comctl32... included. "
                         : "") +
             format("The bare window program peaks at %.2f MiB the same way, so the program adds "
                    "%.2f MiB to it.",
                    b.bareHwm, start.vmHwm - b.bareHwm),
         "the 8 MB target can only be judged on Windows", "-"});
}

// Growth once settled: the first runs still fault in code and fonts, so the
// second half of the runs is compared.
void reportGrowth(Bench& b, const Repairs& r) {
    const Memory& settled = r.afterRun[(r.afterRun.size() - 1) / 2];
    const Memory& last = r.afterRun.back();
    const std::string span =
        format("repair %zu to %zu", (r.afterRun.size() + 1) / 2, r.afterRun.size());
    const double rssGrowth = (last.vmRss - settled.vmRss) * 1024.0;
    const double dataGrowth = (last.vmData - settled.vmData) * 1024.0;
    std::string growth = format("VmRSS %+.0f KiB, VmData %+.0f KiB", rssGrowth, dataGrowth);
    bool noGrowth = rssGrowth <= 64 && dataGrowth <= 64;
    if (settled.privateMiB() > 0) {
        const double privateGrowth = (last.privateMiB() - settled.privateMiB()) * 1024.0;
        growth += format(", private bytes %+.0f KiB", privateGrowth);
        noGrowth = noGrowth && privateGrowth <= 64;
    } else {
        growth += ", private bytes n/a under Wine (0)";
    }
    if (settled.handleCount() > 0) {
        growth += format(", handles %+ld", static_cast<long>(last.handleCount()) -
                                               static_cast<long>(settled.handleCount()));
        noGrowth = noGrowth && last.handleCount() <= settled.handleCount();
    }
    b.rows.push_back(
        {"growth, " + span, growth, "none (up to 64 KiB of pages)", verdict(noGrowth)});
}

void reportHandles(Bench& b, const Repairs& r) {
    const Memory& start = r.atStart;
    const Memory& first = r.afterRun.front();
    const Memory& last = r.afterRun.back();
    const std::string repairsDone = std::to_string(r.afterRun.size()) + " forced repairs";
    const char* handleSource = start.handles ? "GetProcessHandleCount" : "process list";
    b.rows.push_back({"handles after start / after repair 1 / after " + repairsDone,
                      start.handleCount() > 0
                          ? format("%lu / %lu / %lu (%s)", start.handleCount(), first.handleCount(),
                                   last.handleCount(), handleSource)
                          : std::string("n/a under Wine (0 from GetProcessHandleCount and the "
                                        "process list)"),
                      "no growth",
                      start.handleCount() > 0 ? verdict(last.handleCount() <= first.handleCount())
                                              : "not measured"});
    const bool guiKnown = start.gdiObjects > 0 || start.userObjects > 0;
    b.rows.push_back({"GDI / USER objects after start / after " + repairsDone,
                      guiKnown ? format("GDI %lu / %lu, USER %lu / %lu", start.gdiObjects,
                                        last.gdiObjects, start.userObjects, last.userObjects)
                               : std::string("n/a under Wine (GetGuiResources answers 0)"),
                      "no growth",
                      guiKnown ? verdict(last.gdiObjects <= first.gdiObjects &&
                                         last.userObjects <= first.userObjects)
                               : "not measured"});
    b.raw += describe("after start", start);
    for (size_t i = 0; i < r.afterRun.size(); ++i) {
        b.raw += describe(format("after repair %zu", i + 1).c_str(), r.afterRun[i]);
    }
}

bool measureRepairs(Bench& b) {
    Repairs r;
    if (!runRepairs(b, r)) return false;
    reportProcessorTime(b, r);
    reportPeakMemory(b, r);
    reportGrowth(b, r);
    reportHandles(b, r);
    return true;
}

// One KillProcess call over many processes of the name it ends, and the same
// call with none running, in a fresh program.
bool measureKillProcess(Bench& b) {
    support::TempDir doomed(L"zelk-bench-rundll32");
    const std::wstring image = doomed.file(L"rundll32.exe");
    Process fresh;
    if (!support::copyFile(b.build + L"\\sleeper.exe", image) ||
        startUp(b.program(), b.work.path(), programReady, &fresh) < 0) {
        print("cannot start the program or copy the processes to end\n");
        return false;
    }
    const HWND window = findTopLevel(fresh.id(), kProgramWindowClass);
    const double emptyMs =
        timeStatusChange(fresh, window, design::kCommand2, app::texts::kStatusProcesses);
    timeStatusChange(fresh, window, design::kCommand1, app::texts::kStatusClipboard);

    std::vector<Process> targets;
    for (int i = 0; i < b.victims; ++i)
        targets.push_back(support::startProcess(image, doomed.path()));
    const auto wanted = static_cast<size_t>(b.victims);
    const bool allStarted =
        waitUntil([&] { return support::processesNamed(L"rundll32.exe").size() >= wanted; }, 30000);
    Sleep(500);  // not a wait for the program: the machine settles after so many starts
    const double callMs =
        timeStatusChange(fresh, window, design::kCommand2, app::texts::kStatusProcesses);
    const double callEnd = nowMs();
    const auto endedCount = [&] {
        return static_cast<int>(std::count_if(targets.begin(), targets.end(), [](const Process& t) {
            return t.handle() && !t.running();
        }));
    };
    waitUntil([&] { return endedCount() == b.victims; }, 10000, 1);
    const int ended = endedCount();
    const double allGoneMs = nowMs() - callEnd + callMs;
    const bool ok = allStarted && callMs >= 0 && ended == b.victims;
    b.rows.push_back(
        {"KillProcess over " + std::to_string(b.victims) + " rundll32.exe (Command2)",
         format("%.1f ms for the call, %.2f ms per process (the call with none running: "
                "%.1f ms); %d of %d ended",
                callMs, callMs / b.victims, emptyMs, ended, b.victims),
         "every process ended", verdict(ok)});
    b.raw += format(
        "KillProcess: call %.1f ms, empty call %.1f ms, all %d exited within %.1f ms of the "
        "click\n",
        callMs, emptyMs, ended, allGoneMs);
    return true;
}

void measureSizes(Bench& b) {
    const long long exeSize = support::fileSize(b.build + L"\\" + kProgramFile);
    const long long dllSize = support::fileSize(b.build + L"\\SkinH_VB6.dll");
    const double totalKiB = static_cast<double>(exeSize + dllSize) / 1024.0;
    b.rows.push_back({"ZelkUsbTool.exe + SkinH_VB6.dll",
                      format("%lld + %lld bytes = %.1f KiB", exeSize, dllSize, totalKiB),
                      "< 400 KB together", verdict(exeSize > 0 && dllSize > 0 && totalKiB < 400)});
}

void printTable(const Bench& b) {
    std::string table = "| measure | figure | target | result |\n|---|---|---|---|\n";
    for (const Row& r : b.rows) {
        table += "| " + r.measure + " | " + r.figure + " | " + r.target + " | " + r.result + " |\n";
    }
    print(table + "\nraw figures:\n" + b.raw);
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    if (argc < 2) {
        print(
            "usage: bench_driver.exe <clock ticks per second> [start-up runs] [repairs] "
            "[processes]\n");
        return 2;
    }
    Bench b;
    b.clockTicks = std::wcstod(argv[1], nullptr);
    if (argc > 2) b.runs = _wtoi(argv[2]);
    if (argc > 3) b.repairs = _wtoi(argv[3]);
    if (argc > 4) b.victims = _wtoi(argv[4]);
    if (!prepare(b) || !measureStartUp(b) || !measureRepairs(b) || !measureKillProcess(b)) return 1;
    measureSizes(b);
    printTable(b);
    return 0;
}
