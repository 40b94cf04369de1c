// Splits the raw command line into an argument vector held in one heap block.
#pragma once
#include <cstddef>

// Tells whether a byte is the lead byte of a double-byte character.
typedef bool (*LeadByteTest)(unsigned char byte);

// Size in bytes of the block SplitCommandLine would allocate, and the argument count.
size_t MeasureCommandLine(const char* text, bool stripQuotes, LeadByteTest isLeadByte,
                          int* argc);

// Returns one malloc'd block: argc + 1 pointers (the last null), then the strings.
// Release it with one free(). Returns null when the block cannot be allocated.
char** SplitCommandLine(int* argc, const char* text, bool stripQuotes,
                        LeadByteTest isLeadByte);
