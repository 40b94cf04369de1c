// A stand-in for a system library, for the tests of where programs load their
// libraries from. Put beside a program under any name, it announces each load
// with a marker file beside itself: its own path with ".loaded" added. It
// exports the common controls' two initialisers, so that a program importing
// comctl32.dll starts with it in that library's place.
#include <windows.h>

extern "C" BOOL WINAPI DllMain(HINSTANCE self, DWORD reason, void*)
{
    if (reason != DLL_PROCESS_ATTACH)
        return TRUE;
    char marker[MAX_PATH + 8];
    DWORD length = GetModuleFileNameA(self, marker, MAX_PATH);
    if (length == 0 || length >= MAX_PATH)
        return TRUE;
    lstrcpyA(marker + length, ".loaded");
    HANDLE file = CreateFileA(marker, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file != INVALID_HANDLE_VALUE)
        CloseHandle(file);
    return TRUE;
}

// Exported as InitCommonControls and InitCommonControlsEx (standin_library.def).
extern "C" void WINAPI StandinInitCommonControls() {}
extern "C" BOOL WINAPI StandinInitCommonControlsEx(const void*) { return TRUE; }
