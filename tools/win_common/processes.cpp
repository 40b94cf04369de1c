// Processes of other programs; see processes.h.
#include "processes.h"

#include <cstring>

Process StartProcess(const std::string& exe, const std::string& args, const std::string& folder)
{
    std::string commandLine = "\"" + exe + "\"";
    if (!args.empty())
        commandLine += " " + args;
    return StartProcessWithCommandLine(exe, commandLine, folder);
}

Process StartProcessWithCommandLine(const std::string& exe, const std::string& commandLine,
                                    const std::string& folder)
{
    std::string line = commandLine;
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION info = {};
    Process process;
    std::string dir = folder.empty() ? exe.substr(0, exe.find_last_of('\\')) : folder;
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
    if (exitCode != nullptr)
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

bool IsWindowOfProcess(HWND window, DWORD processId, const char* className)
{
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    char name[64] = "";
    GetClassNameA(window, name, sizeof name);
    return owner == processId && std::strcmp(name, className) == 0;
}

namespace {

struct WindowSearch {
    DWORD processId;
    const char* className;
    const char* title;
    HWND found;
};

BOOL CALLBACK FindSearchedWindow(HWND window, LPARAM param)
{
    WindowSearch* search = reinterpret_cast<WindowSearch*>(param);
    char title[256] = "";
    if (!IsWindowOfProcess(window, search->processId, search->className) || !IsWindowVisible(window) ||
        (search->title != nullptr && (GetWindowTextA(window, title, sizeof title), std::strcmp(title, search->title))))
        return TRUE;
    search->found = window;
    return FALSE;
}

}  // namespace

HWND FindProcessWindow(DWORD processId, const char* className, const char* title)
{
    WindowSearch search = {processId, className, title, nullptr};
    EnumWindows(FindSearchedWindow, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

HWND FindOpenMenu(DWORD processId)
{
    return FindProcessWindow(processId, "#32768");
}
