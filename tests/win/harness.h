// Helpers of the tests that drive the real program under Wine: a private copy
// of tidewell.exe in a fresh folder, its settings file, processes and windows.
#pragma once
#include <windows.h>

#include <string>
#include <vector>

// The folder that holds the test programs, tidewell.exe and testwin.exe.
std::string BinaryDir();

// The whole content of a file, or empty when it cannot be read.
std::string ReadFileBytes(const std::string& path);

// A fresh folder with a copy of tidewell.exe; removed again by the destructor.
struct ProgramCopy {
    std::string dir;
    std::string exe;
    std::string ini;
    ProgramCopy();
    explicit ProgramCopy(const std::string& exeName);
    ~ProgramCopy();
    // Writes the settings file with exactly these bytes (Shift-JIS).
    void WriteSettings(const std::string& content) const;
    bool SettingsExist() const;
    std::string ReadSettings() const;
};

struct Process {
    HANDLE handle = nullptr;
    DWORD id = 0;
};

// Starts exe with the given arguments (the command line is "exe" args).
Process StartProcess(const std::string& exe, const std::string& args);
// Starts exe with exactly this command line: argument 0 is whatever it begins with.
Process StartProcessWithCommandLine(const std::string& exe, const std::string& commandLine);
// Waits for the process; false on timeout. Fills the exit code.
bool WaitProcess(Process& process, DWORD timeoutMs, DWORD* exitCode);
void KillProcess(Process& process);
// Runs tidewell (or another program) to its end: returns the exit code, or -1 on timeout.
int RunToEnd(const std::string& exe, const std::string& args, DWORD timeoutMs = 30000);

// Starts tidewell.exe without switches and waits until its hidden main window
// (class and title "TidewellApp") exists; returns that window, or null.
HWND StartResident(const ProgramCopy& copy, Process* process, DWORD timeoutMs = 15000);
// Finds the resident main window, or null.
HWND FindMainWindow();

// testwin.exe with the given window specs, running until Close().
struct TestWindows {
    Process process;
    explicit TestWindows(const std::vector<std::string>& specs);
    ~TestWindows();
    bool ok() const { return process.handle != nullptr; }
    HWND Find(const std::string& name) const;
    void Close();
};

enum WindowState { kGone, kNormal, kMaximized, kMinimized };
WindowState StateOf(HWND window);
const char* StateName(WindowState state);
// Waits until the window reaches the state (or the timeout passes); returns the last state.
WindowState WaitForState(HWND window, WindowState state, DWORD timeoutMs = 3000);

// Polls until predicate() or timeout; returns the last value.
template <typename F>
bool WaitUntil(F predicate, DWORD timeoutMs)
{
    DWORD start = GetTickCount();
    for (;;) {
        if (predicate())
            return true;
        if (GetTickCount() - start >= timeoutMs)
            return false;
        Sleep(20);
    }
}
