// The installer's main window and the controller of the whole installation:
// the four panels (start, custom, download, completion), the package request,
// the download with retries, unpacking on file_thread, shortcuts, autorun and
// marker, the close rules with the confirm dialog and the refusing shake,
// the banner slide show and the taskbar progress.
//
// Thread affinity: ui_thread; work on files is posted to file_thread as
// bound calls that hold a reference. Ownership: reference-counted; the
// utility window holds the first reference.

#ifndef MAIN_WINDOW_H_
#define MAIN_WINDOW_H_

#include <windows.h>
#include <shobjidl.h>

#include <cstdint>
#include <memory>
#include <string>

#include "base/ref_counted.h"
#include "net/fetch_file.h"
#include "net/fetch_url.h"
#include "retry_rule.h"
#include "sys/scoped_com.h"
#include "ui/trans_window.h"

enum InstallState {
  kStateStart = 0,       // nothing received yet
  kStateAnswered = 1,    // the service answered (usable or not); downloads run here
  kStateInstalling = 2,  // unpacking and installing
  kStateCompleted = 3,   // completion panel shown
};

class CUIMainWindowEx : public CTransWindow,
                        public FetchURLDelegate,
                        public FetchFileDelegate,
                        public base::RefCountedThreadSafe<CUIMainWindowEx> {
 public:
  CUIMainWindowEx();

  // Creates the window from |skin_name| and plays the opening animation.
  bool CreateAndShow(const wchar_t* skin_name);

  // FetchURLDelegate / FetchFileDelegate, on ui_thread.
  void OnFetchUrlDone(std::string body) override;
  void OnFetchFileDone(bool succeeded, const FetchResult& result) override;
  void OnFetchFileProgress(double fraction) override;

  int state() const { return state_; }
  bool closing() const { return closing_; }
  bool opening() const { return opening_; }

 protected:
  void OnCreated() override;
  void OnClosed() override;
  void OnOpeningFinished() override;
  void DrawBackground(HDC dc) override;
  void OnTimer(UINT_PTR id) override;
  void OnPathChanged(WPARAM wparam) override;
  bool OnSysCommand(WPARAM wparam, LPARAM lparam) override;
  LRESULT HandleMessage(UINT message, WPARAM wparam, LPARAM lparam, bool* handled) override;

 private:
  friend class base::RefCountedThreadSafe<CUIMainWindowEx>;
  ~CUIMainWindowEx() override;

  // Element helpers; a missing element is skipped.
  CBaseElementCtl* Find(const wchar_t* id) { return FindElement(id); }
  void Show(const wchar_t* id, bool visible);
  void EnableButton(const wchar_t* id, bool enable);
  bool IsChecked(const wchar_t* id);
  void BindClick(const wchar_t* id, void (CUIMainWindowEx::*handler)());
  void ResizeTo(int width, int height);

  // Handlers.
  void OnCloseRequest();
  void OnQuickInstall();
  void OnAgreementToggled();
  void OnOpenAgreement();
  void OnOpenPrivacy();
  void OnShowCustom();
  void OnMinimize();
  void OnBackToStart();
  void OnBrowse();
  // The location check, the space check, then the folder on file_thread.
  void OnCustomInstall();
  void MakeCustomFolder(std::wstring folder, std::wstring package);
  void OnCustomFolderMade(bool made);
  void ShowPathError();
  void OnUseNow();
  void OnFinish();
  // The space check, then the download panel; else the shortage message.
  void InstallFrom(const wchar_t* panel);
  void EnterDownload();
  // Shows a message-mode dialog; returns once it is dismissed.
  void ShowMessage(const std::wstring& text);
  // True when the user confirmed quitting (the transfers are then cancelled);
  // otherwise a parked installation is resumed.
  bool ConfirmQuit();
  void StartShake();

  // The request (file_thread, then ui_thread).
  void PreparePackageRequest();
  void SendPackageRequest();
  // The download and install sequence.
  void StartDownload();
  void CreateInstallFolder(std::wstring folder, std::wstring package);
  void StartFirstAttempt(bool folder_made);
  void RetryDownload();
  void ResumeInstall();
  void UnpackPackage(std::wstring package, std::wstring folder);
  void FinishInstall(bool unpacked);
  void WriteMarker(const std::wstring& folder);
  void PostDeletePackage();
  void CloseAfterMessage(const std::wstring& text);

  void SlideStep();
  void ReleaseTaskbar();
  void SetTaskbarProgress(int value);
  void SetTaskbarState(TBPFLAG state);

  // Made on the first TaskbarButtonCreated, released in OnClosed.
  std::unique_ptr<ScopedComInit> taskbar_com_;
  ScopedCom<ITaskbarList4> taskbar_;
  CFetchUrl fetch_url_;
  CFetchFile fetch_file_;
  DownloadFailures failures_;
  int state_ = kStateStart;
  bool slide_fading_ = false;
  int slide_index_ = 1;
  int slide_alpha_ = 20;
  bool closing_ = false;   // the user chose to quit; later results do nothing
  bool opening_ = true;    // the opening animation runs; start-panel input ignored
  bool download_done_ = false;
  bool checking_folder_ = false;  // Custom install's folder is being made
  bool shake_active_ = false;
  RECT shake_origin_ = {};
  int shake_ticks_ = 0;
  int shake_phase_ = 0;
};

#endif  // MAIN_WINDOW_H_
