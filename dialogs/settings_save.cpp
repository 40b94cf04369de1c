// The warnings for settings that could not be written.
#include "dialogs/settings_save.h"

#include "dialogs/format_text.h"
#include "dialogs/window_routines.h"

namespace {

const char kWarningCaption[] = "Tidewell";
const char kNotSavedText[] = "設定を保存できませんでした。";
const char kSignInNotChangedText[] = "Windows 起動時の設定を変更できませんでした。";
// The text's first line, a line break and a path of up to 260 characters.
const size_t kNotSavedBufferSize = sizeof kNotSavedText + kPathBufferSize;

// One warning of each a run is enough: every later try would fail the same way.
bool notSavedWarningShown = false;
bool signInWarningShown = false;

// The foreground window when it is one of this thread's: a box must not be
// owned by another program's window.
HWND OwnForegroundWindow()
{
    HWND window = GetForegroundWindow();
    if (window == nullptr || GetWindowThreadProcessId(window, nullptr) != GetCurrentThreadId())
        return nullptr;
    return window;
}

}  // namespace

void WarnSettingsNotSaved(const char* path)
{
    if (notSavedWarningShown)
        return;
    notSavedWarningShown = true;
    char text[kNotSavedBufferSize];
    FormatText(text, sizeof text, "%s\n%s", kNotSavedText, path);
    ShowMessage(OwnForegroundWindow(), kWarningCaption, text, MB_OK | MB_ICONEXCLAMATION);
}

void WarnStartAtSignInNotChanged()
{
    if (signInWarningShown)
        return;
    signInWarningShown = true;
    ShowMessage(OwnForegroundWindow(), kWarningCaption, kSignInNotChangedText, MB_OK | MB_ICONEXCLAMATION);
}
