// Command-line switches. Each argument is compared whole, case and all, with
// every row; a matching row runs its action with its filter, sparing nothing
// (the two Inactive operations spare the foreground window by themselves).
#include "app/switches.h"

#include <cstring>

#include "settings/exclusions.h"
#include "settings/filters.h"
#include "settings/settings_file.h"
#include "windows/window_actions.h"

namespace {

struct SwitchRow {
    const char* text;
    WindowOperation operation;
    WindowFilter FilterSet::*filter;
};

const SwitchRow kSwitchTable[] = {
    {"/close", CloseWindows, kActionRows[kCloseAction].filter},
    {"/naclose", CloseInactive, kActionRows[kCloseAction].filter},
    {"/restore", RestoreWindows, kActionRows[kRestoreAction].filter},
    {"/max", MaximizeWindows, kActionRows[kMaximizeAction].filter},
    {"/min", MinimizeWindows, kActionRows[kMinimizeAction].filter},
    {"/namin", MinimizeInactive, kActionRows[kMinimizeAction].filter},
};

}  // namespace

bool RunCommandLineSwitches(int count, char** arguments)
{
    // Loaded once, also with no arguments: every switch sees the same values.
    char path[kPathBufferSize];
    GetSettingsFilePath(path, kModuleNameLimit, kSettingsExtension);
    ForgetMissingSettingsFile(path);
    FilterSet filters;
    LoadFilters(path, &filters);
    ExclusionList programs;
    LoadExclusions(path, &programs);

    bool handled = false;
    for (int i = 0; i < count; ++i) {
        for (const SwitchRow& row : kSwitchTable) {
            if (std::strcmp(arguments[i], row.text) == 0) {
                row.operation(nullptr, filters.*row.filter, programs, nullptr);
                handled = true;
            }
        }
    }
    return handled;
}
