// Processes of other programs: starting one, waiting for its end or ending it,
// and finding its top-level windows.
#pragma once
#include <windows.h>

#include <string>

struct Process {
    HANDLE handle = nullptr;
    DWORD id = 0;
};

// Starts exe with the given arguments (the command line is "exe" args), in the
// given folder or in its own.
Process StartProcess(const std::string& exe, const std::string& args, const std::string& folder = std::string());
// Starts exe with exactly this command line: argument 0 is whatever it begins with.
// It runs in the given folder, or in its own folder when none is given.
Process StartProcessWithCommandLine(const std::string& exe, const std::string& commandLine,
                                    const std::string& folder = std::string());
// Waits for the process; false on timeout or when it never started. Fills
// the exit code when asked for it.
bool WaitProcess(Process& process, DWORD timeoutMs, DWORD* exitCode = nullptr);
void KillProcess(Process& process);
// True when the window belongs to the process and has that class name.
bool IsWindowOfProcess(HWND window, DWORD processId, const char* className);
// A visible top-level window of a process with that class and, when one is
// given, that title; or null.
HWND FindProcessWindow(DWORD processId, const char* className, const char* title = nullptr);
// The open popup menu of a process (a visible top-level window of class "#32768"), or null.
HWND FindOpenMenu(DWORD processId);
