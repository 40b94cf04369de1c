// Writing one group of keys from a menu toggle or an accepted settings dialog,
// and telling the user when the settings file or the start at sign-in cannot
// be written.
#pragma once
#include "settings/settings_file.h"

// Shows, once per run, that the settings file at path could not be written: a
// warning owned by the window in front, if that window is the program's own.
// When the write was refused for the process code page, it says so.
void WarnSettingsNotSaved(const char* path, bool refusedForCodePage);
// Shows, once per run, that the start at sign-in could not be changed; owned
// the same way.
void WarnStartAtSignInNotChanged();

// Writes a group of keys with its saver (true when every write succeeded).
// When a write fails, the new settings stay in effect until the program ends
// and the user is told once per run; a later successful write says nothing.
template <typename Group, typename Value>
void SaveSettingsGroup(bool (*saver)(const char* path, Group group), const Value& value)
{
    char path[kPathBufferSize];
    if (GetSettingsFilePath(path, kModuleNameLimit, kSettingsExtension) && !saver(path, value))
        WarnSettingsNotSaved(path, GetLastError() == ERROR_NO_UNICODE_TRANSLATION);
}
