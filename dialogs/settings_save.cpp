// The warnings for settings that could not be written.
#include "dialogs/settings_save.h"

#include "dialogs/format_text.h"
#include "dialogs/wide_text.h"
#include "dialogs/window_routines.h"

namespace {

const WCHAR kNotSavedCaption[] = L"Tidewell";
const char kWarningCaption[] = "Tidewell";
const char kSignInNotChangedText[] = "Windows 起動時の設定を変更できませんでした。";
const char kNotSavedText[] = "設定を保存できませんでした。";
const char kCodePageText[] =
    "Windows の文字コード (コードページ %u) では、設定ファイルを壊さずに書き込めないため保存しませんでした。";
const size_t kCodePageTextSize = sizeof kCodePageText + 16;
// The first line, the path and the code page's paragraph, with their breaks.
const size_t kNotSavedBufferSize = sizeof kNotSavedText + kPathBufferSize + kCodePageTextSize + 8;

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

void WarnSettingsNotSaved(const char* path, bool refusedForCodePage)
{
    if (notSavedWarningShown)
        return;
    notSavedWarningShown = true;
    // The program's texts are Shift-JIS, the path is in the process code page.
    WCHAR text[kNotSavedBufferSize] = L"";
    size_t used = 0;
    AppendWideText(text, kNotSavedBufferSize, &used, kProgramCodePage, kNotSavedText);
    AppendWideText(text, kNotSavedBufferSize, &used, CP_ACP, "\n");
    AppendWideText(text, kNotSavedBufferSize, &used, CP_ACP, path);
    if (refusedForCodePage) {
        char paragraph[kCodePageTextSize];
        FormatText(paragraph, sizeof paragraph, kCodePageText, GetACP());
        AppendWideText(text, kNotSavedBufferSize, &used, CP_ACP, "\n\n");
        AppendWideText(text, kNotSavedBufferSize, &used, kProgramCodePage, paragraph);
    }
    ShowWideMessage(OwnForegroundWindow(), kNotSavedCaption, text, MB_OK | MB_ICONEXCLAMATION);
}

void WarnStartAtSignInNotChanged()
{
    if (signInWarningShown)
        return;
    signInWarningShown = true;
    ShowMessage(OwnForegroundWindow(), kWarningCaption, kSignInNotChangedText, MB_OK | MB_ICONEXCLAMATION);
}
