// Instance control: the one resident instance, or a second start's quick close.
#pragma once
#include <windows.h>

// After the switches found nothing to do: returns the exit code.
int RunInstanceControl(HINSTANCE instance);
int QuickClose();
HANDLE CreateInstanceMutex(const char* name);
int RunResident(HINSTANCE instance);
