#include "base/message_pump_io.h"

namespace base {

MessagePumpForIO::MessagePumpForIO()
    : port_(CreateIoCompletionPort(INVALID_HANDLE_VALUE, nullptr, 0, 0)) {}

void MessagePumpForIO::Wake() {
  if (have_work_.exchange(1) == 1) return;
  if (!PostQueuedCompletionStatus(port_.Get(), 0, reinterpret_cast<ULONG_PTR>(this),
                                  reinterpret_cast<LPOVERLAPPED>(this)))
    have_work_.exchange(0);
}

bool MessagePumpForIO::WaitForIOCompletion(int timeout_ms) {
  DWORD bytes = 0;
  ULONG_PTR key = 0;
  LPOVERLAPPED overlapped = nullptr;
  DWORD error = 0;
  DWORD timeout = timeout_ms < 0 ? INFINITE : static_cast<DWORD>(timeout_ms);
  if (!GetQueuedCompletionStatus(port_.Get(), &bytes, &key, &overlapped, timeout)) {
    if (!overlapped) return false;
    error = GetLastError();
    bytes = 0;
  }
  auto* handler = reinterpret_cast<IOHandler*>(key & ~static_cast<ULONG_PTR>(1));
  if (reinterpret_cast<void*>(handler) == this &&
      reinterpret_cast<void*>(overlapped) == this) {
    have_work_.exchange(0);
    return true;
  }
  if (handler) handler->OnIOComplete(overlapped, bytes, error);
  return true;
}

void MessagePumpForIO::Run(Delegate* delegate) {
  for (;;) {
    bool more = delegate->RunWork();
    if (!keep_running_) break;
    more |= WaitForIOCompletion(0);
    if (!keep_running_) break;
    more |= delegate->RunDelayedWork(&delayed_work_time_);
    if (!keep_running_) break;
    if (more) continue;
    more = delegate->RunIdleWork();
    if (!keep_running_) break;
    if (more) continue;
    WaitForIOCompletion(CurrentDelay());
  }
  keep_running_ = true;
}

}  // namespace base
