// The programs the driver starts: the benchmark's own lie beside it; the
// class names of their main windows and of Tidewell's.
#pragma once
#include <string>

#include "files.h"

const char kTidewellClass[] = "TidewellApp";
const char kBenchWindowClass[] = "TwBenchWindow";
const char kBenchTrayClass[] = "TwBenchTray";
const char kBenchTimerClass[] = "TwBenchTimer";

inline std::string BenchProgram(const char* name)
{
    return BinaryDir() + "\\" + name;
}
