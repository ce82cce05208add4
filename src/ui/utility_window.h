// The hidden message-only window that anchors the process: a second
// instance finds it by class, title and marker and asks it to show the main
// window; edit popups ask it to destroy them later. Creating it creates the
// main window; destroying it destroys the main window.
//
// Thread affinity: ui_thread. One instance, made on first use.

#ifndef UI_UTILITY_WINDOW_H_
#define UI_UTILITY_WINDOW_H_

#include <windows.h>

#include <memory>

#include "ui/main_window.h"

class CUtilityWindow {
 public:
  using MainWindowFactory = std::unique_ptr<MainWindow> (*)();

  static CUtilityWindow& Instance();

  // Chooses what Create makes as the main window.
  void set_main_window_factory(MainWindowFactory factory) { factory_ = factory; }

  // Creates the message-only window and, while it handles WM_CREATE, the main
  // window from the skin for |chinese|. False when either fails.
  bool Create(bool chinese);
  // Destroys the main window, then this window.
  void Destroy();

  HWND hwnd() const { return hwnd_; }
  MainWindow* main_window() const { return main_window_.get(); }

 private:
  CUtilityWindow() = default;
  static LRESULT CALLBACK WindowProc(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam);
  LRESULT OnCreate(HWND hwnd);
  void ShowExisting();

  HWND hwnd_ = nullptr;
  bool chinese_ = false;
  MainWindowFactory factory_ = nullptr;
  std::unique_ptr<MainWindow> main_window_;
};

// Restores |main| when minimised and has it compose its picture again.
void ShowExistingWindow(HWND main);

// The main window's skin for the language.
const wchar_t* MainSkinName(bool chinese);

#endif  // UI_UTILITY_WINDOW_H_
