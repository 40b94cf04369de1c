// Libraries that Windows does not count among its known DLLs are loaded from
// the system folder only, never from the program's folder, the current folder
// or PATH, where anyone could drop a file of that name (a downloads folder).
#pragma once
#include <windows.h>

// Limits the process's own later DLL searches to the system folder, where
// Windows can (SetDefaultDllDirectories: Windows 8, and 7 with an update).
// Called first thing; without the function the program goes on as before.
void LimitDllSearchToSystemFolder();

// Loads a library from the system folder alone: by name with the search
// limited to that folder, so that an application manifest can still pick the
// library's version, or by its full path where Windows has no such search.
HMODULE LoadSystemLibrary(const char* name);

// The libraries the program uses for the whole run, each loaded once.
enum SystemLibraryId {
    kKernelLibrary,  // for the functions that only later Windows versions have
    kVersionLibrary,
    kCommonControlsLibrary,
    kDwmLibrary,
    // Known DLLs, loaded only where the resident program needs them, so that a
    // switch's run does not pay for loading the shell, COM and the registry.
    kShellLibrary,
    kOleLibrary,
    kRegistryLibrary,
    kSystemLibraryCount
};

// An export of one of them; null when the library or the export is missing.
FARPROC GetSystemLibraryProc(SystemLibraryId library, const char* name);
// The same, as a function pointer of the export's own type.
template <typename Function>
Function GetSystemLibraryFunction(SystemLibraryId library, const char* name)
{
    return reinterpret_cast<Function>(reinterpret_cast<void*>(GetSystemLibraryProc(library, name)));
}

// Registers the common controls' window classes (hotkey, up-down, tooltip).
// False when comctl32.dll cannot be loaded: the switches and the tray work all
// the same, and a dialog whose template names a common control is not made
// (the templates do not ask for DS_NOFAILCREATE).
bool InitSystemCommonControls();

// COM on this thread for the shell calls (icons, opening a link); false when
// ole32.dll or CoInitialize is missing or refuses. EndSystemCom pairs a true.
bool StartSystemCom();
void EndSystemCom();
