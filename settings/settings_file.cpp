// Values go through the platform's profile functions one key at a time, so the
// rest of the file stays as the user or other programs left it.
#include "settings/settings_file.h"

#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "settings/dbcs_text.h"
#include "settings/profile_value.h"

const char kSettingsExtension[] = ".ini";
const char kMainSection[] = "Tidewell";

namespace {

const size_t kNumberBufferSize = 256;
// A larger file is not checked, and so not written, under another code page.
const DWORD kLargestCheckedFile = 16 * 1024 * 1024;

// Whether the bytes come through a conversion to UTF-16 and back unchanged.
bool RoundTrips(UINT codePage, const char* text, int length)
{
    if (length == 0)
        return true;
    int wideLength = MultiByteToWideChar(codePage, 0, text, length, nullptr, 0);
    if (wideLength <= 0)
        return false;
    WCHAR* wide = static_cast<WCHAR*>(std::malloc(static_cast<size_t>(wideLength) * sizeof(WCHAR)));
    char* back = static_cast<char*>(std::malloc(static_cast<size_t>(length)));
    bool same = false;
    if (wide != nullptr && back != nullptr &&
        MultiByteToWideChar(codePage, 0, text, length, wide, wideLength) == wideLength) {
        int backLength = WideCharToMultiByte(codePage, 0, wide, wideLength, nullptr, 0, nullptr, nullptr);
        same = backLength == length &&
               WideCharToMultiByte(codePage, 0, wide, wideLength, back, length, nullptr, nullptr) == length &&
               std::memcmp(back, text, static_cast<size_t>(length)) == 0;
    }
    std::free(wide);
    std::free(back);
    return same;
}

bool NameRoundTrips(UINT codePage, const char* name)
{
    return name == nullptr || RoundTrips(codePage, name, static_cast<int>(std::strlen(name)));
}

// The file's content comes through unchanged. A missing file has none; a file
// that cannot be opened cannot be written by the profile functions either.
bool FileRoundTrips(UINT codePage, const char* path)
{
    HANDLE file = CreateFileA(path, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                              OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return true;
    DWORD high = 0;
    DWORD size = GetFileSize(file, &high);
    bool same = false;
    if (size != INVALID_FILE_SIZE && high == 0 && size <= kLargestCheckedFile) {
        char* content = static_cast<char*>(std::malloc(size + 1));
        DWORD read = 0;
        if (content != nullptr && ReadFile(file, content, size, &read, nullptr) && read == size)
            same = RoundTrips(codePage, content, static_cast<int>(size));
        std::free(content);
    }
    CloseHandle(file);
    return same;
}

bool ReadProfileNumber(const char* path, const char* section, const char* key,
                       int32_t* value)
{
    char text[kValueBufferSize];
    return ReadProfileText(path, section, key, text) && ParseProfileInt(text, value);
}

bool WriteProfileNumber(const char* path, const char* section, const char* key,
                        int32_t value)
{
    if (!IsUsablePath(path) || !CheckSettingsWrite(path, section, key))
        return false;
    char text[kNumberBufferSize];
    if (FormatProfileInt(text, kNumberBufferSize - 1, value) < 0)
        return false;
    return WritePrivateProfileStringA(section, key, text, path) != FALSE;
}

}  // namespace

bool IsSettingsWriteSafe(const char* path, const char* section, const char* key)
{
    UINT codePage = GetACP();
    if (codePage == kProgramCodePage)
        return true;
    return NameRoundTrips(codePage, section) && NameRoundTrips(codePage, key) &&
           FileRoundTrips(codePage, path);
}

bool CheckSettingsWrite(const char* path, const char* section, const char* key)
{
    if (IsSettingsWriteSafe(path, section, key))
        return true;
    SetLastError(ERROR_NO_UNICODE_TRANSLATION);
    return false;
}

void ForgetMissingSettingsFile(char* path)
{
    if (!IsUsablePath(path) || GetFileAttributesA(path) != INVALID_FILE_ATTRIBUTES)
        return;
    DWORD error = GetLastError();
    if (error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND)
        path[0] = '\0';
}

bool IsUsablePath(const char* path)
{
    return path != nullptr && path[0] != '\0';
}

bool ReadProfileText(const char* path, const char* section, const char* key, char* text)
{
    text[0] = '\0';
    if (!IsUsablePath(path))
        return false;
    GetPrivateProfileStringA(section, key, "", text, kValueBufferSize - 1, path);
    text[kValueBufferSize - 1] = '\0';
    return true;
}

bool GetProgramPath(char* path, DWORD limit)
{
    path[0] = '\0';
    if (limit == 0 || limit > kPathBufferSize)
        return false;
    DWORD length = GetModuleFileNameA(GetModuleHandleA(nullptr), path, limit);
    // A result of limit means the name was cut (and maybe left unterminated).
    if (length == 0 || length >= limit) {
        path[0] = '\0';
        return false;
    }
    path[length] = '\0';
    return true;
}

bool GetSettingsFilePath(char* path, DWORD limit, const char* extension)
{
    path[0] = '\0';
    char module[kPathBufferSize];
    if (!GetProgramPath(module, limit))
        return false;
    return BuildSettingsPath(module, extension, path, kPathBufferSize);
}

unsigned char ReadProfileFlag(const char* path, const char* section, const char* key,
                              unsigned char defaultFlag)
{
    int32_t value = 0;
    if (!ReadProfileNumber(path, section, key, &value))
        return defaultFlag;
    return value != 0 ? 1 : 0;
}

int ReadProfileInt(const char* path, const char* section, const char* key, int defaultValue)
{
    int32_t value = 0;
    if (!ReadProfileNumber(path, section, key, &value))
        return defaultValue;
    return value;
}

bool WriteProfileFlag(const char* path, const char* section, const char* key,
                      unsigned char flag)
{
    return WriteProfileNumber(path, section, key, flag != 0 ? 1 : 0);
}

bool WriteProfileInt(const char* path, const char* section, const char* key, int value)
{
    return WriteProfileNumber(path, section, key, value);
}
