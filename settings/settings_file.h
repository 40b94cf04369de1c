// The settings file beside the executable and the reading and writing of single values.
#pragma once
#include <windows.h>

#include "settings/settings_path.h"

// Limit passed to GetModuleFileNameA: 260 characters and the terminator.
const DWORD kModuleNameLimit = 261;
extern const char kSettingsExtension[];  // ".ini"
extern const char kMainSection[];        // "Tidewell"

// The executable's full path into path (kPathBufferSize bytes), asked for with
// limit (at most kPathBufferSize). False, with path empty, when it cannot be
// had or was cut.
bool GetProgramPath(char* path, DWORD limit);

// Builds the settings path into path (kPathBufferSize bytes). False, with path
// empty, when the executable's name cannot be had or the result does not fit;
// the readers and writers below then touch no file at all.
bool GetSettingsFilePath(char* path, DWORD limit, const char* extension);

// For a run that only reads: empties path when no file is there, so that every
// value is its default without a call to the profile functions (each of which
// looks in the registry and on disk again).
void ForgetMissingSettingsFile(char* path);

// False for a null or empty path: the profile functions would then use a
// file in the Windows folder.
bool IsUsablePath(const char* path);

// The value of a key as stored (empty when missing) into text, which holds
// kValueBufferSize bytes; false, with text empty, when the path is unusable.
const DWORD kValueBufferSize = 1024;
bool ReadProfileText(const char* path, const char* section, const char* key, char* text);

// A missing key, an empty value or one that does not start with a number gives
// the default. A flag is 1 for any non-zero number.
unsigned char ReadProfileFlag(const char* path, const char* section, const char* key,
                              unsigned char defaultFlag);
int ReadProfileInt(const char* path, const char* section, const char* key, int defaultValue);
bool WriteProfileFlag(const char* path, const char* section, const char* key,
                      unsigned char flag);
bool WriteProfileInt(const char* path, const char* section, const char* key, int value);

// The settings file is written in code page 932. The profile functions decode
// the whole file in the process code page and write all of it back in that
// code page, so under another one a write could turn every Japanese name of
// the file into other bytes. A write is safe under code page 932, or when the
// file's content, the section and the key (null for none) come through a
// conversion to UTF-16 and back in the process code page unchanged. The
// writers refuse an unsafe write, with ERROR_NO_UNICODE_TRANSLATION.
bool IsSettingsWriteSafe(const char* path, const char* section, const char* key);
// For a writer: true when the write may go ahead, else false with that error.
bool CheckSettingsWrite(const char* path, const char* section, const char* key);
