#pragma once
#include <windows.h>

#include <functional>

// The dialog's own messages. A worker hands each of its window calls to the
// dialog's thread as a kRunCallMessage sent with a std::function<void()>* in
// lParam: SendMessage runs it on that thread and returns when it is done.
inline constexpr UINT kRunCallMessage = WM_APP + 1;
// Posted by the worker's last window call: the worker is about to end.
inline constexpr UINT kRunEndedMessage = WM_APP + 2;
