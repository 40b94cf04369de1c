// Posts one message to a top-level window, for scripts that drive the resident
// program from outside:
//
//   post_message.exe <class> <title> <message> [<wParam> [<lParam>]]
//
// The window is found with FindWindowA; "-" as class or title matches any.
// Numbers are decimal or 0x-prefixed hexadecimal; wParam and lParam default to 0.
// Exit code: 0 posted, 1 no such window, 2 bad arguments or the post failed.
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

bool ParseNumber(const char* text, unsigned long* value)
{
    char* end = nullptr;
    *value = std::strtoul(text, &end, 0);
    return end != text && *end == '\0';
}

const char* OrAny(const char* text)
{
    return std::strcmp(text, "-") == 0 ? nullptr : text;
}

}  // namespace

int main(int argc, char** argv)
{
    unsigned long message = 0, wParam = 0, lParam = 0;
    if (argc < 4 || argc > 6 || !ParseNumber(argv[3], &message) ||
        (argc > 4 && !ParseNumber(argv[4], &wParam)) ||
        (argc > 5 && !ParseNumber(argv[5], &lParam))) {
        std::fprintf(stderr, "usage: post_message <class> <title> <message> [<wParam> [<lParam>]]\n");
        return 2;
    }
    HWND window = FindWindowA(OrAny(argv[1]), OrAny(argv[2]));
    if (window == nullptr)
        return 1;
    if (!PostMessageA(window, static_cast<UINT>(message), static_cast<WPARAM>(wParam),
                      static_cast<LPARAM>(lParam)))
        return 2;
    return 0;
}
