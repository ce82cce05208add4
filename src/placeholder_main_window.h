// A plain stand-in for the skinned main window, so that start-up, the
// single-instance protocol and shutdown run end to end before the skinned
// windows exist. Shows which skin it stands for; closing it ends the program.
//
// Thread affinity: ui_thread.

#ifndef PLACEHOLDER_MAIN_WINDOW_H_
#define PLACEHOLDER_MAIN_WINDOW_H_

#include <memory>
#include <string>

#include "ui/main_window.h"

class PlaceholderMainWindow : public MainWindow {
 public:
  static std::unique_ptr<MainWindow> Make();

  ~PlaceholderMainWindow() override;
  bool CreateFromSkin(const wchar_t* skin_name) override;
  HWND hwnd() const override { return hwnd_; }

 private:
  static LRESULT CALLBACK WindowProc(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam);

  HWND hwnd_ = nullptr;
  std::wstring skin_name_;
};

#endif  // PLACEHOLDER_MAIN_WINDOW_H_
