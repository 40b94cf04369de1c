// Process entry: keep DLL searches to the system folder, split the command line,
// run the switches or the resident program, then clean up.
#include <windows.h>

#include <cstdlib>

#include "app/command_line.h"
#include "app/instance.h"
#include "app/switches.h"
#include "windows/system_library.h"

namespace {

bool IsAnsiLeadByte(unsigned char byte)
{
    return IsDBCSLeadByte(byte) != FALSE;
}

int RunApplication(HINSTANCE instance, int argc, char** argv)
{
    if (RunCommandLineSwitches(argc - 1, argv + 1))
        return 0;
    return RunInstanceControl(instance);
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int)
{
    LimitDllSearchToSystemFolder();
    int argc = 0;
    char** argv = SplitCommandLine(&argc, GetCommandLineA(), true, IsAnsiLeadByte);
    if (argv == nullptr)
        return 1;
    int exitCode = RunApplication(instance, argc, argv);
    std::free(argv);
    return exitCode;
}
