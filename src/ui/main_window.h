// What the utility window needs of the installer's main window.
//
// Thread affinity: ui_thread.

#ifndef UI_MAIN_WINDOW_H_
#define UI_MAIN_WINDOW_H_

#include <windows.h>

class MainWindow {
 public:
  virtual ~MainWindow() = default;
  // Creates the window from the named skin ("UIMAINWINDOW" or
  // "ENGUIMAINWINDOW"); false when it could not be created. Destroying the
  // window later must post the quit message that ends the UI loop.
  virtual bool CreateFromSkin(const wchar_t* skin_name) = 0;
  virtual HWND hwnd() const = 0;
};

#endif  // UI_MAIN_WINDOW_H_
