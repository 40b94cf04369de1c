// Shift-JIS aware byte classification, lower-casing and bounded copying.
// Bytes are classified by the fixed Shift-JIS ranges, not by the current code page.
#pragma once
#include <cstddef>

// The code page of every text the program shows, stores or compares.
const unsigned kProgramCodePage = 932;

enum DbcsByteKind { kDbcsSingle = 0, kDbcsLead = 1, kDbcsTrail = 2 };

bool IsShiftJisLeadByte(unsigned char byte);
bool IsShiftJisTrailByte(unsigned char byte);

// Kind of the byte at index, walking from the first byte; 0 at or past the terminator.
int GetDbcsByteKind(const char* text, size_t index);
// True when the byte at index is a backslash that is not the second byte of a character.
bool IsPathSeparatorAt(const char* text, size_t index);
// Start of the next character; the same pointer at the terminator.
const char* NextDbcsChar(const char* p);
char* NextDbcsChar(char* p);
// Lower-cases the 26 ASCII capitals in place, never touching double-byte characters.
void LowerCaseDbcs(char* text);
// The dot that starts the extension of the last path component, or null.
char* FindExtension(char* path);
// Removes the extension (the dot and what follows) of the last path component.
void CutExtension(char* path);
// Copies source into a buffer of size bytes, never ending on half a character;
// the buffer is always terminated and the rest of it zero-filled.
void CopyDbcsBounded(char* destination, const char* source, size_t size);
