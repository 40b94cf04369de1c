// The stand-in taskbar of the tray tests and the benchmark; see standin_taskbar.h.
#include "standin_taskbar.h"

#include <algorithm>

#include <cstring>

namespace {

const char kTaskbarClass[] = "Shell_TrayWnd";
const char kNotifyClass[] = "TrayNotifyWnd";

// Sent by the test thread to the stand-in's own thread.
const UINT kQuitMessage = WM_APP + 10;
const UINT kAddNotifyMessage = WM_APP + 11;

void RegisterClasses(WNDPROC taskbarProc)
{
    WNDCLASSA windowClass = {};
    windowClass.lpfnWndProc = taskbarProc;
    windowClass.hInstance = GetModuleHandleA(nullptr);
    windowClass.lpszClassName = kTaskbarClass;
    RegisterClassA(&windowClass);  // fails harmlessly when already registered
    windowClass.lpfnWndProc = DefWindowProcA;
    windowClass.lpszClassName = kNotifyClass;
    RegisterClassA(&windowClass);
}

}  // namespace

StandinTaskbar::StandinTaskbar(bool withNotifyWindow, BOOL answer)
    : withNotifyWindow_(withNotifyWindow), answer_(answer)
{
    ready_ = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    thread_ = CreateThread(nullptr, 0, ThreadMain, this, 0, nullptr);
    if (thread_ != nullptr) {
        HANDLE handles[2] = {ready_, thread_};
        WaitForMultipleObjects(2, handles, FALSE, 10000);
    }
}

StandinTaskbar::~StandinTaskbar()
{
    if (thread_ != nullptr) {
        if (taskbar_ != nullptr)
            PostMessageA(taskbar_, kQuitMessage, 0, 0);
        WaitForSingleObject(thread_, 10000);
        CloseHandle(thread_);
    }
    CloseHandle(ready_);
}

bool StandinTaskbar::ok() const
{
    return taskbar_ != nullptr && (!withNotifyWindow_ || notifyWindow_ != nullptr) &&
           FindWindowA(kTaskbarClass, "") == taskbar_;
}

void StandinTaskbar::SetAnswer(BOOL answer)
{
    std::lock_guard<std::mutex> lock(mutex_);
    answer_ = answer;
}

bool StandinTaskbar::AddNotifyWindow()
{
    if (taskbar_ == nullptr)
        return false;
    SendMessageA(taskbar_, kAddNotifyMessage, 0, 0);
    return notifyWindow_ != nullptr;
}

std::vector<TrayCall> StandinTaskbar::Calls() const
{
    std::lock_guard<std::mutex> lock(mutex_);
    return calls_;
}

size_t StandinTaskbar::CallCount() const
{
    std::lock_guard<std::mutex> lock(mutex_);
    return calls_.size();
}

bool StandinTaskbar::WaitForCalls(size_t count, DWORD timeoutMs) const
{
    DWORD start = GetTickCount();
    while (CallCount() < count) {
        if (GetTickCount() - start >= timeoutMs)
            return false;
        Sleep(20);
    }
    return true;
}

DWORD WINAPI StandinTaskbar::ThreadMain(void* param)
{
    StandinTaskbar* self = static_cast<StandinTaskbar*>(param);
    RegisterClasses(TaskbarProc);
    HWND taskbar = CreateWindowExA(WS_EX_TOPMOST | WS_EX_TOOLWINDOW, kTaskbarClass, "", WS_POPUP,
                                   0, 0, 1, 1, nullptr, nullptr, GetModuleHandleA(nullptr), self);
    if (taskbar != nullptr) {
        // The newest topmost window goes above the other topmost ones, Wine's
        // own taskbar included.
        SetWindowPos(taskbar, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
        self->taskbar_ = taskbar;
        if (self->withNotifyWindow_)
            self->notifyWindow_ = self->CreateNotifyWindow();
    }
    SetEvent(self->ready_);
    if (taskbar == nullptr)
        return 1;
    MSG message;
    while (GetMessageA(&message, nullptr, 0, 0) > 0) {
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
    return 0;
}

HWND StandinTaskbar::CreateNotifyWindow()
{
    return CreateWindowExA(0, kNotifyClass, "", WS_CHILD, 0, 0, 1, 1, taskbar_, nullptr,
                           GetModuleHandleA(nullptr), nullptr);
}

LRESULT CALLBACK StandinTaskbar::TaskbarProc(HWND window, UINT message, WPARAM wParam,
                                             LPARAM lParam)
{
    if (message == WM_NCCREATE) {
        const CREATESTRUCTA* create = reinterpret_cast<const CREATESTRUCTA*>(lParam);
        SetWindowLongPtrA(window, GWLP_USERDATA,
                          reinterpret_cast<LONG_PTR>(create->lpCreateParams));
    }
    StandinTaskbar* self =
        reinterpret_cast<StandinTaskbar*>(GetWindowLongPtrA(window, GWLP_USERDATA));
    switch (message) {
    case WM_COPYDATA:
        if (self != nullptr)
            return self->OnCopyData(reinterpret_cast<const COPYDATASTRUCT*>(lParam));
        return 0;
    case kAddNotifyMessage:
        if (self != nullptr && self->notifyWindow_ == nullptr)
            self->notifyWindow_ = self->CreateNotifyWindow();
        return 0;
    case kQuitMessage:
        DestroyWindow(window);
        PostQuitMessage(0);
        return 0;
    default:
        return DefWindowProcA(window, message, wParam, lParam);
    }
}

LRESULT StandinTaskbar::OnCopyData(const COPYDATASTRUCT* data)
{
    TrayCall call = {};
    call.code = static_cast<DWORD>(data->dwData);
    if (data->lpData != nullptr && data->cbData >= 8) {
        std::memcpy(&call.window, data->lpData, 4);
        std::memcpy(&call.id, static_cast<const char*>(data->lpData) + 4, 4);
    }
    const size_t tipOffset = 16, tipLength = 128;
    if (data->lpData != nullptr && data->cbData >= tipOffset + tipLength * sizeof(WCHAR)) {
        WCHAR tip[tipLength];
        std::memcpy(tip, static_cast<const char*>(data->lpData) + tipOffset, sizeof tip);
        call.tip.assign(tip, std::find(tip, tip + tipLength, L'\0'));
    }
    call.tick = GetTickCount();
    std::lock_guard<std::mutex> lock(mutex_);
    calls_.push_back(call);
    return answer_;
}
