// The programs that own windows, by file name without a folder, and how such
// names are compared.
#pragma once
#include <windows.h>

#include "windows/exclusion_list.h"

// The file name of the program that runs as the process (size bytes, always
// terminated). False, with name empty, when the process may not be opened or
// the system cannot tell.
bool GetProcessProgramName(DWORD processId, char* name, size_t size);
// The index of name in the list, compared the way Windows compares file names
// (case does not count); -1 when it is not there.
int FindProgramName(const ExclusionList& list, const char* name);
// True when the two names (or paths of up to 260 characters) are the same the
// way Windows compares file names; false when either does not convert.
bool IsSameFileName(const char* first, const char* second);
