// Builds the settings file name from the executable's name.
#pragma once
#include <cstddef>

// Longest path the program builds, in characters, and its buffer size.
const size_t kMaxPathChars = 260;
const size_t kPathBufferSize = 264;

// Replaces the extension of the last component of module (a path of at most
// capacity - 1 characters) by extension and lower-cases the result into path.
// False, with path set empty, when the result would not fit in kMaxPathChars.
bool BuildSettingsPath(const char* module, const char* extension, char* path,
                       size_t capacity);
