// The Run key's value for this program. advapi32.dll is loaded at run time
// from the system folder, only when the menu is opened or the item chosen;
// without one of its functions the value reads as absent and cannot change.
#include "settings/sign_in_start.h"

#include <windows.h>

#include <cstring>

#include "settings/settings_file.h"
#include "windows/program_names.h"
#include "windows/system_library.h"

namespace {

const char kRunKeyPath[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Run";
const char kRunValueName[] = "Tidewell";
// The program's path between two quotes, and the terminator.
const size_t kQuotedPathSize = kPathBufferSize + 2;

typedef LONG(WINAPI* RegOpenKeyExProc)(HKEY key, const char* subKey, DWORD options, REGSAM access,
                                       HKEY* opened);
typedef LONG(WINAPI* RegCreateKeyExProc)(HKEY key, const char* subKey, DWORD reserved,
                                         char* keyClass, DWORD options, REGSAM access,
                                         SECURITY_ATTRIBUTES* security, HKEY* opened,
                                         DWORD* disposition);
typedef LONG(WINAPI* RegQueryValueExProc)(HKEY key, const char* name, DWORD* reserved,
                                          DWORD* type, BYTE* data, DWORD* size);
typedef LONG(WINAPI* RegSetValueExProc)(HKEY key, const char* name, DWORD reserved, DWORD type,
                                        const BYTE* data, DWORD size);
typedef LONG(WINAPI* RegDeleteValueProc)(HKEY key, const char* name);
typedef LONG(WINAPI* RegCloseKeyProc)(HKEY key);

template <typename Function>
Function RegistryFunction(const char* name)
{
    return GetSystemLibraryFunction<Function>(kRegistryLibrary, name);
}

// True when text is path between double quotes, compared as file names.
// A quote is never the second byte of a double-byte character.
bool IsQuotedPath(char* text, const char* path)
{
    size_t length = std::strlen(text);
    if (length < 2 || text[0] != '"' || text[length - 1] != '"')
        return false;
    text[length - 1] = '\0';
    return IsSameFileName(text + 1, path);
}

bool WriteRunValue()
{
    RegCreateKeyExProc create = RegistryFunction<RegCreateKeyExProc>("RegCreateKeyExA");
    RegSetValueExProc set = RegistryFunction<RegSetValueExProc>("RegSetValueExA");
    RegCloseKeyProc close = RegistryFunction<RegCloseKeyProc>("RegCloseKey");
    char path[kPathBufferSize];
    if (create == nullptr || set == nullptr || close == nullptr ||
        !GetProgramPath(path, kModuleNameLimit))
        return false;
    // The value is a command line: a path with spaces must be quoted.
    char quoted[kQuotedPathSize];
    size_t length = std::strlen(path);
    quoted[0] = '"';
    std::memcpy(quoted + 1, path, length);
    quoted[length + 1] = '"';
    quoted[length + 2] = '\0';
    HKEY key = nullptr;
    if (create(HKEY_CURRENT_USER, kRunKeyPath, 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_SET_VALUE,
               nullptr, &key, nullptr) != ERROR_SUCCESS)
        return false;
    LONG result = set(key, kRunValueName, 0, REG_SZ, reinterpret_cast<const BYTE*>(quoted),
                      static_cast<DWORD>(length + 3));
    close(key);
    return result == ERROR_SUCCESS;
}

bool DeleteRunValue()
{
    RegOpenKeyExProc open = RegistryFunction<RegOpenKeyExProc>("RegOpenKeyExA");
    RegDeleteValueProc remove = RegistryFunction<RegDeleteValueProc>("RegDeleteValueA");
    RegCloseKeyProc close = RegistryFunction<RegCloseKeyProc>("RegCloseKey");
    if (open == nullptr || remove == nullptr || close == nullptr)
        return false;
    HKEY key = nullptr;
    LONG result = open(HKEY_CURRENT_USER, kRunKeyPath, 0, KEY_SET_VALUE, &key);
    // Without the key there is no value either.
    if (result == ERROR_FILE_NOT_FOUND)
        return true;
    if (result != ERROR_SUCCESS)
        return false;
    result = remove(key, kRunValueName);
    close(key);
    return result == ERROR_SUCCESS || result == ERROR_FILE_NOT_FOUND;
}

}  // namespace

bool IsStartAtSignInSet()
{
    RegOpenKeyExProc open = RegistryFunction<RegOpenKeyExProc>("RegOpenKeyExA");
    RegQueryValueExProc query = RegistryFunction<RegQueryValueExProc>("RegQueryValueExA");
    RegCloseKeyProc close = RegistryFunction<RegCloseKeyProc>("RegCloseKey");
    char path[kPathBufferSize];
    if (open == nullptr || query == nullptr || close == nullptr ||
        !GetProgramPath(path, kModuleNameLimit))
        return false;
    HKEY key = nullptr;
    if (open(HKEY_CURRENT_USER, kRunKeyPath, 0, KEY_QUERY_VALUE, &key) != ERROR_SUCCESS)
        return false;
    // One byte more than asked for: the stored data need not be terminated.
    char data[kQuotedPathSize + 1];
    DWORD type = 0;
    DWORD size = kQuotedPathSize;
    LONG result = query(key, kRunValueName, nullptr, &type, reinterpret_cast<BYTE*>(data), &size);
    close(key);
    // A longer value (ERROR_MORE_DATA) cannot name this program.
    if (result != ERROR_SUCCESS || type != REG_SZ || size > kQuotedPathSize)
        return false;
    data[size] = '\0';
    return IsQuotedPath(data, path);
}

bool SetStartAtSignIn(bool on)
{
    return on ? WriteRunValue() : DeleteRunValue();
}
