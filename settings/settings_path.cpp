// The settings file lies beside the executable: same name, extension ".ini",
// lower-cased. Only the last dot of the last path component counts, and a
// backslash that is the second byte of a double-byte character is no separator.
#include "settings/settings_path.h"

#include <cstring>

#include "settings/dbcs_text.h"

bool BuildSettingsPath(const char* module, const char* extension, char* path,
                       size_t capacity)
{
    if (capacity == 0)
        return false;
    path[0] = '\0';
    size_t moduleLength = strnlen(module, capacity);
    if (moduleLength >= capacity || moduleLength == 0)
        return false;
    char name[kPathBufferSize];
    if (moduleLength >= sizeof name)
        return false;
    std::memcpy(name, module, moduleLength + 1);
    CutExtension(name);
    size_t baseLength = std::strlen(name);
    size_t extensionLength = std::strlen(extension);
    // A cut name would name some other file: refuse rather than truncate.
    if (baseLength + extensionLength > kMaxPathChars || baseLength + extensionLength >= capacity)
        return false;
    std::memcpy(path, name, baseLength);
    std::memcpy(path + baseLength, extension, extensionLength + 1);
    LowerCaseDbcs(path);
    return true;
}
