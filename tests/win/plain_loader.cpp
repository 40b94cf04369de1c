// A program that finds its libraries the usual way, to show that a stand-in
// library is loaded where the tests put it: it imports comctl32.dll (searched
// for beside the program first) and loads rsrc32.dll by its bare name
// (searched for in the current folder and on PATH too).
#include <windows.h>
#include <commctrl.h>

int main()
{
    InitCommonControls();
    HMODULE library = LoadLibraryA("rsrc32.dll");
    if (library != nullptr)
        FreeLibrary(library);
    return 0;
}
