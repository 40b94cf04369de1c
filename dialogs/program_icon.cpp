// The program's icons come from the shell, so they match what Explorer shows.
#include "dialogs/program_icon.h"

#include <shellapi.h>

#include "settings/settings_file.h"
#include "windows/system_library.h"

namespace {

typedef DWORD_PTR(WINAPI* SHGetFileInfoAProc)(const char* path, DWORD attributes, SHFILEINFOA* info,
                                              UINT size, UINT flags);

}  // namespace

HICON GetProgramIcon(HMODULE module, bool small)
{
    char name[kPathBufferSize];
    DWORD length = GetModuleFileNameA(module, name, kModuleNameLimit);
    if (length == 0 || length >= kModuleNameLimit)
        return nullptr;
    name[length] = '\0';
    SHGetFileInfoAProc getFileInfo = GetSystemLibraryFunction<SHGetFileInfoAProc>(kShellLibrary, "SHGetFileInfoA");
    if (getFileInfo == nullptr)
        return nullptr;
    SHFILEINFOA info;
    ZeroMemory(&info, sizeof info);
    UINT flags = SHGFI_ICON | (small ? SHGFI_SMALLICON : SHGFI_LARGEICON);
    if (getFileInfo(name, 0, &info, sizeof info, flags) == 0)
        return nullptr;
    return info.hIcon;
}
