// What the last minimize, maximize or restore action of the resident program
// changed: each window it acted on and the show state that window had before.
#pragma once
#include <windows.h>

#include <cstddef>

enum ShowState { kShowNormal, kShowMaximized, kShowMinimized };

struct UndoEntry {
    HWND window;
    ShowState before;
};

// Entries from the standard allocator; a record that cannot grow keeps what it
// has (the undo then misses the rest, never more).
struct UndoRecord {
    UndoEntry* entries;
    size_t count;     // 0: nothing to undo
    size_t capacity;
};

// Notes a window and its state before the action.
void AddUndoEntry(UndoRecord* record, HWND window, ShowState before);
// Gives every window of the record that still exists its show state from
// before, then frees the record: it can be used once. False when it was empty.
bool UndoLastAction(UndoRecord* record);
// Empties the record and frees its memory.
void ClearUndoRecord(UndoRecord* record);
