// The six window operations: walk the top-level windows, pick those a filter
// selects and close, restore, maximize or minimize each of them.
#pragma once
#include <windows.h>

#include "windows/exclusion_list.h"
#include "windows/undo_record.h"
#include "windows/window_filter.h"

// All six share one signature so that tables of rows can hold them. Windows of
// the excluded programs are never touched. The show operations note in undo
// (when not null) each window they act on with its state from before, after
// emptying it; the close operations leave it alone. The result is whether the
// enumeration ran to completion.
typedef bool (*WindowOperation)(HWND excluded, const WindowFilter& filter,
                                const ExclusionList& programs, UndoRecord* undo);

bool CloseWindows(HWND excluded, const WindowFilter& filter, const ExclusionList& programs, UndoRecord* undo);
bool CloseInactive(HWND ignored, const WindowFilter& filter, const ExclusionList& programs, UndoRecord* undo);
bool RestoreWindows(HWND excluded, const WindowFilter& filter, const ExclusionList& programs, UndoRecord* undo);
bool MaximizeWindows(HWND excluded, const WindowFilter& filter, const ExclusionList& programs, UndoRecord* undo);
bool MinimizeWindows(HWND excluded, const WindowFilter& filter, const ExclusionList& programs, UndoRecord* undo);
bool MinimizeInactive(HWND ignored, const WindowFilter& filter, const ExclusionList& programs, UndoRecord* undo);

// Whether each thread asked during one action answered: a thread is asked
// once per action. Starts zeroed; FreeThreadAnswers when the action is done.
struct ThreadAnswer {
    DWORD threadId;
    bool answers;
};
struct ThreadAnswers {
    ThreadAnswer* entries;  // from the standard allocator
    size_t count;
    size_t capacity;
};
void FreeThreadAnswers(ThreadAnswers* asked);

// Shows a window of any thread without waiting for a thread that has stopped
// answering: it gets the command queued instead. thread is the window's
// thread where the caller has it already, else 0.
void ShowWindowSafely(HWND window, int command, ThreadAnswers* asked, DWORD thread = 0);
