// Loading and saving the excluded programs.
#include "settings/exclusions.h"

#include <windows.h>

#include <cstring>

#include "settings/dbcs_text.h"
#include "settings/profile_value.h"
#include "settings/settings_file.h"

const char kExclusionSection[] = "除外するプログラム";

namespace {

const size_t kKeySize = 8;
// Every "n=name" line of a full list, each ended by a NUL, and the final NUL.
const size_t kSectionBufferSize = kMaxExclusions * (kKeySize + kExclusionNameSize) + 1;

}  // namespace

bool LoadExclusions(const char* path, ExclusionList* list)
{
    list->count = 0;
    if (!IsUsablePath(path))
        return false;
    for (int i = 0; i < kMaxExclusions; ++i) {
        char key[kKeySize];
        FormatProfileInt(key, sizeof key - 1, i + 1);
        char value[kValueBufferSize];
        if (!ReadProfileText(path, kExclusionSection, key, value) || value[0] == '\0')
            break;
        CopyDbcsBounded(list->names[list->count++], value, kExclusionNameSize);
    }
    return true;
}

bool SaveExclusions(const char* path, const ExclusionList& list)
{
    // The keys are digits; the names came from the ANSI functions.
    if (!IsUsablePath(path) || !CheckSettingsWrite(path, kExclusionSection, nullptr))
        return false;
    if (list.count <= 0)
        return WritePrivateProfileStringA(kExclusionSection, nullptr, nullptr, path) != FALSE;
    // "1=name", each ended by a NUL, and one more NUL after the last.
    char section[kSectionBufferSize];
    size_t used = 0;
    for (int i = 0; i < list.count && i < kMaxExclusions; ++i) {
        int keyLength = FormatProfileInt(section + used, kKeySize - 1, i + 1);
        if (keyLength < 0)
            return false;
        used += static_cast<size_t>(keyLength);
        section[used++] = '=';
        // Names are always terminated within kExclusionNameSize bytes.
        size_t nameLength = std::strlen(list.names[i]);
        std::memcpy(section + used, list.names[i], nameLength);
        used += nameLength;
        section[used++] = '\0';
    }
    section[used] = '\0';
    return WritePrivateProfileSectionA(kExclusionSection, section, path) != FALSE;
}
