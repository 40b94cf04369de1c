// The program's own command-line splitter: quoting and backslash rules like the
// C runtime's, stepping over double-byte characters whole so that a trail byte
// equal to a backslash is never taken for one. Two passes share one scanner:
// the first only measures, the second fills exactly what was measured.
#include "app/command_line.h"

#include <cstdlib>

namespace {

struct Scan {
    const char* p;
    bool stripQuotes;
    LeadByteTest isLeadByte;
    char** argv;    // null while measuring
    char* strings;  // null while measuring
    size_t length;  // bytes of strings counted (and written) so far
    int argc;
};

void Put(Scan& s, char c)
{
    if (s.strings != nullptr)
        s.strings[s.length] = c;
    ++s.length;
}

void PutBackslashes(Scan& s, size_t count)
{
    for (size_t i = 0; i < count; ++i)
        Put(s, '\\');
}

void BeginArgument(Scan& s)
{
    if (s.argv != nullptr)
        s.argv[s.argc] = s.strings + s.length;
    ++s.argc;
}

bool IsSeparator(char c)
{
    return c == ' ' || c == '\t';
}

// Argument 0, the program path: no backslash processing at all.
void ReadFirstToken(Scan& s)
{
    BeginArgument(s);
    if (*s.p == '"') {
        if (!s.stripQuotes)
            Put(s, '"');
        ++s.p;
        while (*s.p != '\0' && *s.p != '"')
            Put(s, *s.p++);
        if (*s.p == '"') {
            if (!s.stripQuotes)
                Put(s, '"');
            ++s.p;
        }
    } else {
        while (*s.p != '\0' && !IsSeparator(*s.p))
            Put(s, *s.p++);
    }
    Put(s, '\0');
}

// Copies one character; a lead byte right before the terminator is copied alone.
void CopyCharacter(Scan& s)
{
    if (s.isLeadByte(static_cast<unsigned char>(*s.p)) && s.p[1] != '\0') {
        Put(s, s.p[0]);
        Put(s, s.p[1]);
        s.p += 2;
    } else {
        Put(s, *s.p++);
    }
}

void ReadLaterToken(Scan& s)
{
    BeginArgument(s);
    bool inQuotes = false;
    for (;;) {
        size_t backslashes = 0;
        while (*s.p == '\\') {
            ++backslashes;
            ++s.p;
        }
        if (*s.p == '"') {
            PutBackslashes(s, s.stripQuotes ? backslashes / 2 : backslashes);
            if (backslashes % 2 != 0) {
                Put(s, '"');
                ++s.p;
                continue;
            }
            if (!s.stripQuotes)
                Put(s, '"');
            ++s.p;
            if (inQuotes && *s.p == '"') {
                Put(s, '"');
                ++s.p;
            }
            inQuotes = !inQuotes;
            continue;
        }
        PutBackslashes(s, backslashes);
        if (*s.p == '\0' || (!inQuotes && IsSeparator(*s.p)))
            break;
        CopyCharacter(s);
    }
    Put(s, '\0');
}

void ScanCommandLine(Scan& s)
{
    ReadFirstToken(s);
    for (;;) {
        while (IsSeparator(*s.p))
            ++s.p;
        if (*s.p == '\0')
            break;
        ReadLaterToken(s);
    }
    if (s.argv != nullptr)
        s.argv[s.argc] = nullptr;
}

}  // namespace

size_t MeasureCommandLine(const char* text, bool stripQuotes, LeadByteTest isLeadByte,
                          int* argc)
{
    Scan s = {text, stripQuotes, isLeadByte, nullptr, nullptr, 0, 0};
    ScanCommandLine(s);
    *argc = s.argc;
    return s.length + (static_cast<size_t>(s.argc) + 1) * sizeof(char*);
}

char** SplitCommandLine(int* argc, const char* text, bool stripQuotes,
                        LeadByteTest isLeadByte)
{
    int count = 0;
    size_t size = MeasureCommandLine(text, stripQuotes, isLeadByte, &count);
    if (size == 0)
        return nullptr;
    char** block = static_cast<char**>(std::malloc(size));
    if (block == nullptr)
        return nullptr;
    Scan s = {text, stripQuotes, isLeadByte, block,
              reinterpret_cast<char*>(block + count + 1), 0, 0};
    ScanCommandLine(s);
    *argc = s.argc;
    return block;
}
