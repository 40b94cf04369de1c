// Test harness shared by the tests that run tidewell.exe for real.
#include "harness.h"

#include <cstdio>

namespace {

int folderCounter = 0;

std::string MakeFreshFolder()
{
    char temp[MAX_PATH];
    GetTempPathA(MAX_PATH, temp);
    for (;;) {
        char name[MAX_PATH];
        std::snprintf(name, sizeof name, "%stw-%lu-%d", temp, GetCurrentProcessId(),
                      ++folderCounter);
        if (CreateDirectoryA(name, nullptr))
            return name;
    }
}

void RemoveFolder(const std::string& dir)
{
    WIN32_FIND_DATAA data;
    HANDLE find = FindFirstFileA((dir + "\\*").c_str(), &data);
    if (find != INVALID_HANDLE_VALUE) {
        do {
            std::string name = data.cFileName;
            if (name == "." || name == "..")
                continue;
            std::string full = dir + "\\" + name;
            if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
                RemoveFolder(full);
            else
                DeleteFileA(full.c_str());
        } while (FindNextFileA(find, &data));
        FindClose(find);
    }
    RemoveDirectoryA(dir.c_str());
}

}  // namespace

std::string BinaryDir()
{
    char path[MAX_PATH];
    DWORD length = GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::string dir(path, length);
    return dir.substr(0, dir.find_last_of('\\'));
}

ProgramCopy::ProgramCopy() : ProgramCopy("tidewell.exe") {}

ProgramCopy::ProgramCopy(const std::string& exeName)
{
    dir = MakeFreshFolder();
    exe = dir + "\\" + exeName;
    CopyFileA((BinaryDir() + "\\tidewell.exe").c_str(), exe.c_str(), FALSE);
    std::string base = exeName.substr(0, exeName.find_last_of('.'));
    ini = dir + "\\" + base + ".ini";
}

ProgramCopy::~ProgramCopy()
{
    RemoveFolder(dir);
}

void ProgramCopy::WriteSettings(const std::string& content) const
{
    HANDLE file = CreateFileA(ini.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    DWORD written = 0;
    WriteFile(file, content.data(), static_cast<DWORD>(content.size()), &written, nullptr);
    CloseHandle(file);
}

bool ProgramCopy::SettingsExist() const
{
    return GetFileAttributesA(ini.c_str()) != INVALID_FILE_ATTRIBUTES;
}

std::string ReadFileBytes(const std::string& path)
{
    HANDLE file = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                              nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return std::string();
    std::string content;
    char buffer[4096];
    DWORD got = 0;
    while (ReadFile(file, buffer, sizeof buffer, &got, nullptr) && got > 0)
        content.append(buffer, got);
    CloseHandle(file);
    return content;
}

std::string ProgramCopy::ReadSettings() const
{
    return ReadFileBytes(ini);
}

Process StartProcess(const std::string& exe, const std::string& args)
{
    std::string commandLine = "\"" + exe + "\"";
    if (!args.empty())
        commandLine += " " + args;
    return StartProcessWithCommandLine(exe, commandLine);
}

Process StartProcessWithCommandLine(const std::string& exe, const std::string& commandLine)
{
    std::string line = commandLine;
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION info = {};
    Process process;
    std::string dir = exe.substr(0, exe.find_last_of('\\'));
    if (CreateProcessA(exe.c_str(), &line[0], nullptr, nullptr, FALSE, 0, nullptr,
                       dir.c_str(), &startup, &info)) {
        CloseHandle(info.hThread);
        process.handle = info.hProcess;
        process.id = info.dwProcessId;
    }
    return process;
}

bool WaitProcess(Process& process, DWORD timeoutMs, DWORD* exitCode)
{
    if (process.handle == nullptr)
        return false;
    if (WaitForSingleObject(process.handle, timeoutMs) != WAIT_OBJECT_0)
        return false;
    GetExitCodeProcess(process.handle, exitCode);
    CloseHandle(process.handle);
    process.handle = nullptr;
    return true;
}

void KillProcess(Process& process)
{
    if (process.handle == nullptr)
        return;
    TerminateProcess(process.handle, 99);
    WaitForSingleObject(process.handle, 5000);
    CloseHandle(process.handle);
    process.handle = nullptr;
}

int RunToEnd(const std::string& exe, const std::string& args, DWORD timeoutMs)
{
    Process process = StartProcess(exe, args);
    DWORD exitCode = 0;
    if (!WaitProcess(process, timeoutMs, &exitCode)) {
        KillProcess(process);
        return -1;
    }
    return static_cast<int>(exitCode);
}

TestWindows::TestWindows(const std::vector<std::string>& specs)
{
    char eventName[64];
    static int counter = 0;
    std::snprintf(eventName, sizeof eventName, "TwTestReady-%lu-%d", GetCurrentProcessId(),
                  ++counter);
    HANDLE ready = CreateEventA(nullptr, TRUE, FALSE, eventName);
    std::string args = eventName;
    for (const std::string& spec : specs)
        args += " " + spec;
    process = StartProcess(BinaryDir() + "\\testwin.exe", args);
    HANDLE handles[2] = {ready, process.handle};
    DWORD result = process.handle != nullptr
                       ? WaitForMultipleObjects(2, handles, FALSE, 15000)
                       : WAIT_FAILED;
    if (result != WAIT_OBJECT_0)
        KillProcess(process);
    CloseHandle(ready);
}

TestWindows::~TestWindows()
{
    Close();
}

HWND TestWindows::Find(const std::string& name) const
{
    return FindWindowA(("TwTest_" + name).c_str(), nullptr);
}

void TestWindows::Close()
{
    KillProcess(process);
}

WindowState StateOf(HWND window)
{
    if (window == nullptr || !IsWindow(window))
        return kGone;
    if (IsIconic(window))
        return kMinimized;
    if (IsZoomed(window))
        return kMaximized;
    return kNormal;
}

const char* StateName(WindowState state)
{
    switch (state) {
    case kGone: return "gone";
    case kNormal: return "normal";
    case kMaximized: return "maximized";
    case kMinimized: return "minimized";
    }
    return "?";
}

WindowState WaitForState(HWND window, WindowState state, DWORD timeoutMs)
{
    WaitUntil([&] { return StateOf(window) == state; }, timeoutMs);
    return StateOf(window);
}

HWND FindMainWindow()
{
    return FindWindowA("TidewellApp", "TidewellApp");
}

HWND StartResident(const ProgramCopy& copy, Process* process, DWORD timeoutMs)
{
    *process = StartProcess(copy.exe, "");
    if (process->handle == nullptr)
        return nullptr;
    HWND window = nullptr;
    WaitUntil([&] {
        window = FindMainWindow();
        return window != nullptr ||
               WaitForSingleObject(process->handle, 0) == WAIT_OBJECT_0;
    }, timeoutMs);
    return window;
}
