// The programs whose windows no action touches, by file name without a folder.
#pragma once
#include <cstddef>

const int kMaxExclusions = 64;
// A file name of up to 260 bytes and its terminator.
const size_t kExclusionNameSize = 261;

struct ExclusionList {
    int count;
    char names[kMaxExclusions][kExclusionNameSize];  // Shift-JIS, in the stored order
};
