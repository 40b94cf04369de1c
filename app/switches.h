// The six command-line switches, each running one window action at once.
#pragma once

// count and arguments are those after argument 0. True when any argument matched.
bool RunCommandLineSwitches(int count, char** arguments);
