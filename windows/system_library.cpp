// Loading of system libraries at run time, from the system folder only.
#include "windows/system_library.h"

#include <commctrl.h>

#include <cstring>

namespace {

// The system folder's path and the library's name fit in MAX_PATH characters.
const size_t kSystemPathLimit = MAX_PATH;

struct SystemLibraryRow {
    const char* name;
    HMODULE module;
    bool tried;
};

// Loaded on first use and kept until the process ends.
SystemLibraryRow systemLibraries[kSystemLibraryCount] = {
    {"kernel32.dll", nullptr, false},
    {"version.dll", nullptr, false},
    {"comctl32.dll", nullptr, false},
    {"dwmapi.dll", nullptr, false},
    {"shell32.dll", nullptr, false},
    {"ole32.dll", nullptr, false},
    {"advapi32.dll", nullptr, false},
};

typedef BOOL(WINAPI* SetDefaultDllDirectoriesProc)(DWORD flags);
typedef BOOL(WINAPI* InitCommonControlsExProc)(const INITCOMMONCONTROLSEX* init);
typedef void(WINAPI* InitCommonControlsProc)();
typedef HRESULT(WINAPI* CoInitializeProc)(void* reserved);
typedef void(WINAPI* CoUninitializeProc)();

HMODULE LoadByFullPath(const char* name)
{
    char path[kSystemPathLimit + 4];
    UINT length = GetSystemDirectoryA(path, static_cast<UINT>(kSystemPathLimit + 1));
    size_t nameLength = std::strlen(name);
    if (length == 0 || length > kSystemPathLimit || length + 1 + nameLength > kSystemPathLimit)
        return nullptr;
    path[length] = '\\';
    std::memcpy(path + length + 1, name, nameLength + 1);
    return LoadLibraryExA(path, nullptr, LOAD_WITH_ALTERED_SEARCH_PATH);
}

}  // namespace

void LimitDllSearchToSystemFolder()
{
    SetDefaultDllDirectoriesProc limit =
        GetSystemLibraryFunction<SetDefaultDllDirectoriesProc>(kKernelLibrary, "SetDefaultDllDirectories");
    if (limit != nullptr)
        limit(LOAD_LIBRARY_SEARCH_SYSTEM32);
}

HMODULE LoadSystemLibrary(const char* name)
{
    HMODULE module = LoadLibraryExA(name, nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32);
    // Windows that does not know the flag refuses it as an invalid parameter.
    if (module == nullptr && GetLastError() == ERROR_INVALID_PARAMETER)
        module = LoadByFullPath(name);
    return module;
}

FARPROC GetSystemLibraryProc(SystemLibraryId library, const char* name)
{
    SystemLibraryRow& row = systemLibraries[library];
    if (!row.tried) {
        row.tried = true;
        row.module = LoadSystemLibrary(row.name);
    }
    return row.module != nullptr ? GetProcAddress(row.module, name) : nullptr;
}

bool InitSystemCommonControls()
{
    InitCommonControlsExProc initEx = GetSystemLibraryFunction<InitCommonControlsExProc>(
        kCommonControlsLibrary, "InitCommonControlsEx");
    if (initEx != nullptr) {
        INITCOMMONCONTROLSEX init = {sizeof init, ICC_WIN95_CLASSES};
        return initEx(&init) != FALSE;
    }
    // Libraries older than Internet Explorer 3 have only the plain call.
    InitCommonControlsProc initPlain =
        GetSystemLibraryFunction<InitCommonControlsProc>(kCommonControlsLibrary, "InitCommonControls");
    if (initPlain == nullptr)
        return false;
    initPlain();
    return true;
}

bool StartSystemCom()
{
    CoInitializeProc start = GetSystemLibraryFunction<CoInitializeProc>(kOleLibrary, "CoInitialize");
    return start != nullptr && SUCCEEDED(start(nullptr));
}

void EndSystemCom()
{
    CoUninitializeProc end = GetSystemLibraryFunction<CoUninitializeProc>(kOleLibrary, "CoUninitialize");
    if (end != nullptr)
        end();
}
