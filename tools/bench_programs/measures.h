// The measures, one entry a phase of the driver's phase table (bench_driver.cpp).
// Each adds its section of results.md to report.markdown, its figures to the
// summary and its samples to raw.tsv.
#pragma once

#include <windows.h>

#include <string>

class StandinTaskbar;

// What the driver sets up once, before the first phase: the stand-in taskbar
// that a resident program puts its icons in.
struct SetUp {
    const StandinTaskbar& taskbar;
};

// /close, /min, /max, /restore over N ordinary windows against the bare work.
void MeasureActions(const SetUp& setUp);
// /min and /close with hung windows among the others, against without them.
void MeasureHungWindows(const SetUp& setUp);
// An exclusion list of 64 names that match nothing, against no settings file.
void MeasureExclusions(const SetUp& setUp);
// Every action kept to the pointer's monitor, against the same with that off.
void MeasureMonitors(const SetUp& setUp);

// The rows of the resident program's table, under the heading that
// ResidentTableHeading writes.
void ResidentTableHeading();
// Start to the first tray icon, and the working set a second later.
void MeasureStart(const SetUp& setUp);
// CPU time at rest beside a program with one timer.
void MeasureCpuAtRest(const SetUp& setUp);
// The executable's size against the minimal tray program's.
void MeasureSize(const SetUp& setUp);

// Tray-menu cycles and action commands: growth of private bytes and handles.
void MeasureSoak(const SetUp& setUp);

// The requests to the Wine server of each action, against the bare work's,
// and what the optional checks add; needs options.trace.
void MeasureRequests(const SetUp& setUp);

// Settings files and the pointer, as more than one measure sets them up.
// An exclusion list of 64 names, p1.exe to p63.exe and `last`.
bool WriteExclusions(const std::string& ini, const char* last);
// The four keys that keep an action to the pointer's monitor, all `value`.
bool WriteMonitorKeys(const std::string& ini, int value);
// The pointer in the middle of the primary monitor; that monitor, or null.
HMONITOR PointerToMiddle();
