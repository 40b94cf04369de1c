// Program names of processes, from their image path, and their comparison.
#include "windows/program_names.h"

#include <cstring>
#include <cwchar>

#include "windows/system_library.h"

namespace {

// PROCESS_QUERY_LIMITED_INFORMATION: enough for the image name, and granted
// for more processes than PROCESS_QUERY_INFORMATION (Vista and later).
const DWORD kQueryLimitedInformation = 0x1000;
const int kWideNameSize = 261;

typedef BOOL(WINAPI* QueryFullProcessImageNameProc)(HANDLE process, DWORD flags, char* name,
                                                    DWORD* size);

// A name in upper case, as the file system compares names; false when it does
// not convert.
bool UpperWideName(const char* name, WCHAR* wide)
{
    int length = MultiByteToWideChar(CP_ACP, 0, name, -1, wide, kWideNameSize);
    if (length <= 0)
        return false;
    CharUpperBuffW(wide, static_cast<DWORD>(length - 1));
    return true;
}

}  // namespace

bool GetProcessProgramName(DWORD processId, char* name, size_t size)
{
    name[0] = '\0';
    // Looked up at run time: Windows XP does not have it.
    QueryFullProcessImageNameProc query = GetSystemLibraryFunction<QueryFullProcessImageNameProc>(
        kKernelLibrary, "QueryFullProcessImageNameA");
    if (query == nullptr || size == 0)
        return false;
    HANDLE process = OpenProcess(kQueryLimitedInformation, FALSE, processId);
    if (process == nullptr)
        return false;
    char path[MAX_PATH + 1];
    DWORD length = MAX_PATH + 1;
    BOOL got = query(process, 0, path, &length);
    CloseHandle(process);
    if (!got || length == 0 || length > MAX_PATH)
        return false;
    path[length] = '\0';
    // The name follows the last backslash; a trail byte of a double-byte
    // character can be a backslash's value, so the path is walked character by character.
    const char* start = path;
    for (const char* p = path; *p != '\0'; p = CharNextA(p)) {
        if (*p == '\\' || *p == '/' || *p == ':')
            start = p + 1;
    }
    size_t nameLength = std::strlen(start);
    if (nameLength == 0 || nameLength >= size)
        return false;
    std::memcpy(name, start, nameLength + 1);
    return true;
}

int FindProgramName(const ExclusionList& list, const char* name)
{
    WCHAR wanted[kWideNameSize];
    if (!UpperWideName(name, wanted))
        return -1;
    for (int i = 0; i < list.count; ++i) {
        WCHAR listed[kWideNameSize];
        if (UpperWideName(list.names[i], listed) && std::wcscmp(listed, wanted) == 0)
            return i;
    }
    return -1;
}

bool IsSameFileName(const char* first, const char* second)
{
    WCHAR firstWide[kWideNameSize];
    WCHAR secondWide[kWideNameSize];
    return UpperWideName(first, firstWide) && UpperWideName(second, secondWide) &&
           std::wcscmp(firstWide, secondWide) == 0;
}
