// Helpers of the tests that drive the real program under Wine: a private copy
// of tidewell.exe in a fresh folder, its settings file and version block,
// processes, windows, registry values, the screen, and the host's programs on
// the same X display.
#pragma once
#include <windows.h>

#include <string>
#include <utility>
#include <vector>

// BinaryDir (the folder of the test programs, tidewell.exe and testwin.exe),
// ReadFileBytes, and starting, ending and finding the windows of processes.
#include "files.h"
#include "processes.h"

// A Shift-JIS text as UTF-16, and a window's text read through the wide functions.
std::wstring FromShiftJis(const std::string& text);
std::wstring WideWindowText(HWND window);

// The non-empty lines of a settings file, without their line ends, each with
// the section it lies in (a header line, one that begins with '[', is in its
// own section, named up to its ']'); a key line has its key and value, split
// at the first '='.
struct SettingsLine {
    std::string section;
    std::string text;
    bool isHeader;
    bool isKey;
    std::string key;
    std::string value;
};
std::vector<SettingsLine> ReadSettingsLines(const std::string& bytes);

// A fresh folder with a copy of tidewell.exe; removed again by the destructor.
struct ProgramCopy {
    std::string dir;
    std::string exe;
    std::string ini;
    ProgramCopy();
    // A copy of source (a program beside the tests) under the name exeName.
    explicit ProgramCopy(const std::string& exeName, const std::string& source = "tidewell.exe");
    ~ProgramCopy();
    // Writes the settings file with exactly these bytes (Shift-JIS).
    void WriteSettings(const std::string& content) const;
    bool SettingsExist() const;
    std::string ReadSettings() const;
    // Gives the copy this version block instead of its own (see VersionBlock);
    // an empty block leaves it without one.
    bool SetVersionBlock(const std::string& block) const;
};

// A version resource with these strings (Shift-JIS) under one translation, given
// as its hexadecimal name such as "041103a4" (language 0411, code page 03a4).
std::string VersionBlock(const char* translation, const std::vector<std::pair<std::string, std::string>>& strings);
// A string of a file's version block under its first translation, as the
// version functions read it.
std::string VersionString(const std::string& file, const char* key);

// A registry value for as long as the object lives, then put back as it was.
class RegistryValue {
public:
    RegistryValue(HKEY root, const char* path, const char* name, const std::string& value);
    ~RegistryValue();
    RegistryValue(const RegistryValue&) = delete;
    RegistryValue& operator=(const RegistryValue&) = delete;

private:
    void Set(const std::string& value);
    HKEY key_ = nullptr;
    const char* name_;
    std::string old_;
    bool existed_ = false;
};

// Runs tidewell (or another program) to its end, in the given folder or in its
// own: returns the exit code, or -1 on timeout.
int RunToEnd(const std::string& exe, const std::string& args, DWORD timeoutMs = 30000,
             const std::string& folder = std::string());

// Starts tidewell.exe without switches and waits until its hidden main window
// (class and title "TidewellApp") exists; returns that window, or null.
// It runs in the given folder, or in its own folder when none is given.
HWND StartResident(const ProgramCopy& copy, Process* process, DWORD timeoutMs = 15000,
                   const std::string& folder = std::string());
// Finds the resident main window, or null.
HWND FindMainWindow();

// Asks Resident not to wait for the main window (for starts that are to fail).
struct WithoutWaiting {};

// The resident program of one test; ended when the object goes, whatever happened.
class Resident {
public:
    explicit Resident(const ProgramCopy& copy) { window_ = StartResident(copy, &process_); }
    Resident(const ProgramCopy& copy, WithoutWaiting) { process_ = StartProcess(copy.exe, ""); }
    ~Resident() { End(); }
    Resident(const Resident&) = delete;
    Resident& operator=(const Resident&) = delete;

    HWND window() const { return window_; }
    DWORD processId() const { return process_.id; }
    bool Running() const;
    // The main window handles a message sent from outside within a few seconds.
    bool Responds() const;
    // Sends the command to the main window; it has been handled on return.
    void Send(UINT command) const { SendMessageA(window_, WM_COMMAND, command, 0); }
    // Waits for the program to end; its exit code, or -1 when it still runs.
    long WaitForExit(DWORD timeoutMs);
    void End();

private:
    Process process_;
    HWND window_ = nullptr;
};

// testwin.exe with the given window specs, running until Close().
struct TestWindows {
    Process process;
    // testwin.exe itself, or a copy of it under another name.
    explicit TestWindows(const std::vector<std::string>& specs, const std::string& exe = std::string());
    ~TestWindows();
    bool ok() const { return process.handle != nullptr; }
    // A window by its name; a shellclass window by its class and title.
    HWND Find(const std::string& name) const;
    void Close();
};

// Programs of the host under Wine. A host program's path as Wine's
// CreateProcessA takes it, or empty when it is not installed.
std::string HostProgram(const char* unixPath);
std::string HostXdotool();
// Starts a host program. Wine gives no handle of a host process, so the caller
// waits for its effect instead.
bool StartHostProgram(const std::string& program, const std::string& commandLine);
// Runs xdotool on the X display with the pointer over the given window: without
// a window manager the keyboard goes to the window under the pointer.
bool PressKeysOver(const std::string& xdotool, HWND window, const std::string& keys);
// The host's path of a file of this process, or empty.
std::string UnixPath(const std::string& path);
// The pointer's picture as the X server shows it, read through XFixes by the
// host's Python (with a scratch folder for its files): "<width>x<height> hot
// <x>,<y>", then one line per row with '.' for a clear pixel, '#' for black,
// 'o' for white and '?' for any other colour; or "unavailable: <why>".
std::string HostPointerPicture(const std::string& folder);

// The screen's pixels in the rectangle, row by row, as 0xRRGGBB.
std::vector<DWORD> ScreenPixels(const RECT& rect);

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

// Stays true for the whole time (a check that something does not happen).
template <typename F>
bool HoldsFor(F predicate, DWORD durationMs)
{
    return !WaitUntil([&] { return !predicate(); }, durationMs);
}

// Gives the foreground to a window of another process and waits until it
// keeps it: the X focus events of a window that has just come forward can
// take the foreground back a moment later, so the request is repeated.
bool HandForeground(HWND window, DWORD timeoutMs = 5000);
