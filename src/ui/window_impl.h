// A small window template: registers a window class by name once, creates
// the window and routes its messages to a virtual handler with the object
// found through the window's user data.
//
// Thread affinity: the thread that creates the window. Ownership: the
// object owns its window and destroys it with itself; a subclass may delete
// itself in OnFinalMessage instead (self-owned windows).

#ifndef UI_WINDOW_IMPL_H_
#define UI_WINDOW_IMPL_H_

#include <windows.h>

class WindowImpl {
 public:
  WindowImpl() = default;
  virtual ~WindowImpl();
  WindowImpl(const WindowImpl&) = delete;
  WindowImpl& operator=(const WindowImpl&) = delete;

  // Null on failure.
  HWND CreateWindowOfClass(const wchar_t* class_name, HWND parent, const RECT& rect,
                           const wchar_t* title, DWORD style, DWORD ex_style,
                           HBRUSH background = nullptr);
  HWND hwnd() const { return hwnd_; }
  bool IsWindow() const { return hwnd_ && ::IsWindow(hwnd_); }
  // Destroys the window now, if any.
  void DestroyWindowNow();

 protected:
  // Return true in |*handled| to stop DefWindowProc.
  virtual LRESULT HandleMessage(UINT message, WPARAM wparam, LPARAM lparam, bool* handled) = 0;
  // After WM_NCDESTROY; the window handle is already cleared.
  virtual void OnFinalMessage() {}

 private:
  static LRESULT CALLBACK WindowProc(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam);

  HWND hwnd_ = nullptr;
};

#endif  // UI_WINDOW_IMPL_H_
