// Starting the resident program when the user signs in to Windows: the value
// "Tidewell" of the current user's Run key, holding the program's quoted path.
#pragma once

// True when the value names this program (its path in double quotes, case
// not counting); false when it is missing, names another path or cannot be read.
bool IsStartAtSignInSet();

// Writes the value with this program's quoted path (on) or deletes it (off);
// a value that is already gone counts as deleted. False when the change failed.
bool SetStartAtSignIn(bool on);
