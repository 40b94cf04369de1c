// Values go through the platform's profile functions one key at a time, so the
// rest of the file stays as the user or other programs left it.
#include "settings/settings_file.h"

#include <cstdint>

#include "settings/profile_value.h"

const char kSettingsExtension[] = ".ini";
const char kMainSection[] = "Tidewell";

namespace {

const size_t kNumberBufferSize = 256;

bool ReadProfileNumber(const char* path, const char* section, const char* key,
                       int32_t* value)
{
    char text[kValueBufferSize];
    return ReadProfileText(path, section, key, text) && ParseProfileInt(text, value);
}

bool WriteProfileNumber(const char* path, const char* section, const char* key,
                        int32_t value)
{
    if (!IsUsablePath(path))
        return false;
    char text[kNumberBufferSize];
    if (FormatProfileInt(text, kNumberBufferSize - 1, value) < 0)
        return false;
    return WritePrivateProfileStringA(section, key, text, path) != FALSE;
}

}  // namespace

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
