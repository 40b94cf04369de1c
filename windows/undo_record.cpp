// Taking back the last show action.
#include "windows/undo_record.h"

#include "windows/window_actions.h"

namespace {

// The command that brings a window back to a state; SW_SHOWMAXIMIZED also
// brings a window that was restored from maximized back to maximized.
int CommandFor(ShowState state)
{
    switch (state) {
    case kShowMaximized: return SW_SHOWMAXIMIZED;
    case kShowMinimized: return SW_MINIMIZE;
    case kShowNormal: break;
    }
    return SW_RESTORE;
}

bool IsInState(HWND window, ShowState state)
{
    switch (state) {
    case kShowMaximized: return IsZoomed(window) != FALSE;
    case kShowMinimized: return IsIconic(window) != FALSE;
    case kShowNormal: break;
    }
    return !IsZoomed(window) && !IsIconic(window);
}

}  // namespace

bool UndoLastAction(UndoRecord* record)
{
    if (record->entries.empty())
        return false;
    // The record is taken first: the show commands below may run other messages.
    std::vector<UndoEntry> entries;
    entries.swap(record->entries);
    for (const UndoEntry& entry : entries) {
        // A window that was closed meanwhile is left out.
        if (IsWindow(entry.window) && !IsInState(entry.window, entry.before))
            ShowWindowSafely(entry.window, CommandFor(entry.before));
    }
    return true;
}

void ClearUndoRecord(UndoRecord* record)
{
    std::vector<UndoEntry>().swap(record->entries);
}
