// Taking back the last show action.
#include "windows/undo_record.h"

#include <cstdlib>

#include "windows/array_growth.h"
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

void AddUndoEntry(UndoRecord* record, HWND window, ShowState before)
{
    if (MakeRoomForOne(&record->entries, record->count, &record->capacity))
        record->entries[record->count++] = {window, before};
}

bool UndoLastAction(UndoRecord* record)
{
    if (record->count == 0)
        return false;
    // The record is taken first: the show commands below may run other messages.
    UndoRecord taken = *record;
    *record = UndoRecord();
    ThreadAnswers asked = {};
    for (size_t i = 0; i < taken.count; ++i) {
        const UndoEntry& entry = taken.entries[i];
        // A window that was closed meanwhile is left out.
        if (IsWindow(entry.window) && !IsInState(entry.window, entry.before))
            ShowWindowSafely(entry.window, CommandFor(entry.before), &asked);
    }
    FreeThreadAnswers(&asked);
    ClearUndoRecord(&taken);
    return true;
}

void ClearUndoRecord(UndoRecord* record)
{
    std::free(record->entries);
    *record = UndoRecord();
}
