// A stand-in for the system library rsrc32.dll of older Windows, for the tests
// of the about box. The folder named by the environment variable
// TIDEWELL_FAKE_RSRC32 holds its two files: it answers every query with the
// number under [rsrc32] free= in rsrc32.ini, and it appends one line to
// rsrc32.log for each load ("load") and each query ("query <which>").
#include <windows.h>

#include <cstdio>

namespace {

// The path of one of the two files, or false without the variable.
bool FilePath(char* path, size_t size, const char* name)
{
    char folder[MAX_PATH];
    DWORD length = GetEnvironmentVariableA("TIDEWELL_FAKE_RSRC32", folder, sizeof folder);
    if (length == 0 || length >= sizeof folder)
        return false;
    std::snprintf(path, size, "%s\\%s", folder, name);
    return true;
}

void Log(const char* line)
{
    char path[MAX_PATH];
    if (!FilePath(path, sizeof path, "rsrc32.log"))
        return;
    HANDLE file = CreateFileA(path, FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                              OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return;
    DWORD written = 0;
    WriteFile(file, line, lstrlenA(line), &written, nullptr);
    WriteFile(file, "\r\n", 2, &written, nullptr);
    CloseHandle(file);
}

}  // namespace

// Exported as _MyGetFreeSystemResources32@4 (rsrc32.def).
extern "C" int WINAPI FreeSystemResources(int which)
{
    char line[32];
    std::snprintf(line, sizeof line, "query %d", which);
    Log(line);
    char path[MAX_PATH];
    return FilePath(path, sizeof path, "rsrc32.ini") ? GetPrivateProfileIntA("rsrc32", "free", -1, path) : -1;
}

extern "C" BOOL WINAPI DllMain(HINSTANCE, DWORD reason, void*)
{
    if (reason == DLL_PROCESS_ATTACH)
        Log("load");
    return TRUE;
}
