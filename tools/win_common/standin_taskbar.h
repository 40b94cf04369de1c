// A stand-in for the shell's taskbar, made inside the test (or benchmark)
// process: a top-level window of class "Shell_TrayWnd" (empty title) on top of
// every other one, with an optional child of class "TrayNotifyWnd" (empty
// title). Shell_NotifyIconA delivers its requests to the topmost
// "Shell_TrayWnd" as WM_COPYDATA, with the NIM_* code in dwData and the icon's
// window and uID in the first eight bytes of the payload; the stand-in records
// every request and answers with the value the test chose. Its windows live on
// a thread of their own that pumps messages, so requests are answered while
// the test waits. Destroying the object destroys the windows: a taskbar
// restart is a destroyed stand-in and a new one.
#pragma once
#include <windows.h>

#include <mutex>
#include <string>
#include <vector>

struct TrayCall {
    DWORD code;    // NIM_ADD, NIM_MODIFY, NIM_DELETE
    UINT id;       // the icon's uID
    DWORD window;  // the icon's window, as the low 32 bits of its handle
    DWORD tick;    // GetTickCount() when the request arrived
    // The tooltip as Wine's record carries it: UTF-16, 128 characters after
    // the window, uID, flags and callback message.
    std::wstring tip;
};

class StandinTaskbar {
public:
    // answer: what every request returns until SetAnswer changes it.
    explicit StandinTaskbar(bool withNotifyWindow = true, BOOL answer = TRUE);
    ~StandinTaskbar();
    StandinTaskbar(const StandinTaskbar&) = delete;
    StandinTaskbar& operator=(const StandinTaskbar&) = delete;

    // True when the windows exist and this stand-in is the taskbar that the
    // shell functions find (the first "Shell_TrayWnd" with an empty title).
    bool ok() const;
    HWND taskbar() const { return taskbar_; }
    HWND notifyWindow() const { return notifyWindow_; }

    void SetAnswer(BOOL answer);
    // Creates the "TrayNotifyWnd" child now (when made without one).
    bool AddNotifyWindow();

    std::vector<TrayCall> Calls() const;
    size_t CallCount() const;
    // Waits until at least count requests have arrived; false on timeout.
    bool WaitForCalls(size_t count, DWORD timeoutMs) const;

private:
    static DWORD WINAPI ThreadMain(void* param);
    static LRESULT CALLBACK TaskbarProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT OnCopyData(const COPYDATASTRUCT* data);
    HWND CreateNotifyWindow();

    bool withNotifyWindow_;
    HANDLE thread_ = nullptr;
    HANDLE ready_ = nullptr;
    HWND taskbar_ = nullptr;
    HWND notifyWindow_ = nullptr;
    mutable std::mutex mutex_;
    BOOL answer_;
    std::vector<TrayCall> calls_;
};
