// The list of excluded programs in the settings file: the section
// [除外するプログラム], keys 1, 2, 3, ... in order, one file name each.
#pragma once
#include "windows/exclusion_list.h"

extern const char kExclusionSection[];

// Reads the keys in order until the first number that is missing or empty,
// at most kMaxExclusions of them.
bool LoadExclusions(const char* path, ExclusionList* list);
// Writes the section anew, keys 1 to count and nothing else; an empty list
// removes it. True when the write succeeded.
bool SaveExclusions(const char* path, const ExclusionList& list);
