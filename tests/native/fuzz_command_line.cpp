// Feeds arbitrary bytes to the command-line splitter, both ways of quoting, and
// checks that the filled block is exactly what was measured.
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "app/command_line.h"
#include "settings/dbcs_text.h"

namespace {

void Check(const char* text, bool stripQuotes)
{
    int measuredCount = 0;
    size_t size = MeasureCommandLine(text, stripQuotes, IsShiftJisLeadByte, &measuredCount);
    int argc = -1;
    char** argv = SplitCommandLine(&argc, text, stripQuotes, IsShiftJisLeadByte);
    if (argv == nullptr || argc != measuredCount || argc < 1)
        std::abort();
    const char* base = reinterpret_cast<const char*>(argv);
    const char* expected = base + (static_cast<size_t>(argc) + 1) * sizeof(char*);
    if (argv[argc] != nullptr)
        std::abort();
    for (int i = 0; i < argc; ++i) {
        if (argv[i] != expected)
            std::abort();
        expected += std::strlen(argv[i]) + 1;
    }
    if (expected != base + size)
        std::abort();
    std::free(argv);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    // The text ends at its first zero byte, as a command line does.
    std::vector<char> text(data, data + size);
    text.push_back('\0');
    Check(text.data(), true);
    Check(text.data(), false);
    return 0;
}
