#include "main_window.h"

#include <shellapi.h>
#include <shlobj.h>

#include <cstdio>

#include "app_config.h"
#include "app_global.h"
#include "bench_report.h"
#include "base/obj_wrapper.h"
#include "base/task.h"
#include "base/thread_table.h"
#include "install_location.h"
#include "installer_texts.h"
#include "package_request.h"
#include "service_answer.h"
#include "sys/file_version.h"
#include "sys/path_util.h"
#include "sys/process_util.h"
#include "sys/registry_util.h"
#include "sys/scoped_com.h"
#include "sys/shell_util.h"
#include "sys/shortcut.h"
#include "sys/string_util.h"
#include "sys/sys_info.h"
#include "sys/zip_extract.h"
#include "ui/button_ctl.h"
#include "ui/check_box_ctl.h"
#include "ui/gdi_resource.h"
#include "ui/layered_edit_ctl.h"
#include "ui/progress_ctl.h"
#include "ui_up_date.h"

namespace {

constexpr UINT_PTR kShakeTimerId = 16;
constexpr UINT kShakeIntervalMs = 45;
constexpr int kShakeSteps = 11;
constexpr int kWindowWidth = 492;
constexpr int kWindowHeight = 402;
constexpr int kCustomHeight = 472;
constexpr base::Ticks kPollDelay = 200000;     // 200 ms
constexpr base::Ticks kRetryDelay = 1000000;   // 1 s
constexpr base::Ticks kFirstSlide = 1000000;   // 1 s
constexpr base::Ticks kFadeStep = 100000;      // 100 ms
constexpr base::Ticks kSlideHold = 4000000;    // 4 s
constexpr int kFadeAlphas[] = {20, 50, 100, 150, 180, 220, 255};
constexpr wchar_t kRunKey[] = L"Software\\Microsoft\\Windows\\CurrentVersion\\Run";
constexpr char kAgreementPath[] = "/Quill/Other/Protocol";
constexpr char kPrivacyPath[] = "/Quill/Other/Privacy";

HMODULE Module() { return AppInstance() ? AppInstance() : GetModuleHandleW(nullptr); }

void PostToUi(base::scoped_refptr<Task> task, base::Ticks delay = 0) {
  if (base::MessageLoop* loop = base::ThreadLoop(base::kThreadUi)) loop->PostDelayed(task, delay);
}

void PostToFile(base::scoped_refptr<Task> task) {
  if (base::MessageLoop* loop = base::ThreadLoop(base::kThreadFile)) loop->PostNow(task);
}

void DeleteFileTask(std::wstring path) { ForceDeleteFile(path); }

std::wstring Launcher() { return AnsiToWide(config::kLauncherName); }

}  // namespace

CUIMainWindowEx::CUIMainWindowEx()
    : fetch_url_(this, config::kServiceEndpoint),
      fetch_file_(this, config::kServiceEndpoint, Global().zip_path) {
  set_main_variant(true);
}

CUIMainWindowEx::~CUIMainWindowEx() = default;

bool CUIMainWindowEx::CreateAndShow(const wchar_t* skin_name) {
  if (!CreateFromSkin(nullptr, skin_name)) return false;
  // A label for the taskbar button; the skin draws no caption.
  SetWindowTextW(hwnd(), AnsiToWide(config::kDisplayName).c_str());
  ShowAnimated(SW_SHOWNORMAL);
  BenchReport("first_frame");
  return true;
}

void CUIMainWindowEx::Show(const wchar_t* id, bool visible) {
  if (CBaseElementCtl* element = Find(id)) element->SetVisible(visible);
}

void CUIMainWindowEx::EnableButton(const wchar_t* id, bool enable) {
  if (CBaseElementCtl* element = Find(id)) static_cast<CButtonCtl*>(element)->Enable(enable);
}

bool CUIMainWindowEx::IsChecked(const wchar_t* id) {
  CBaseElementCtl* element = Find(id);
  return element && static_cast<CCheckBoxCtl*>(element)->IsChecked();
}

void CUIMainWindowEx::BindClick(const wchar_t* id, void (CUIMainWindowEx::*handler)()) {
  CBaseElementCtl* element = Find(id);
  if (!element) return;
  EventSlot slot;
  slot.callback = [this, handler] {
    (this->*handler)();
    return 0;
  };
  element->SetOnClick(slot);
}

void CUIMainWindowEx::ResizeTo(int width, int height) {
  SetWindowPos(hwnd(), nullptr, 0, 0, width, height,
               SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void CUIMainWindowEx::OnCreated() {
  BindClick(L"id_close", &CUIMainWindowEx::OnCloseRequest);
  BindClick(L"id_install", &CUIMainWindowEx::OnQuickInstall);
  if (CBaseElementCtl* agree = Find(L"id_checkbox")) {
    static_cast<CCheckBoxCtl*>(agree)->SetChecked(true);
    EventSlot slot;
    slot.callback = [this] {
      OnAgreementToggled();
      return 0;
    };
    agree->SetOnPress(slot);
  }
  BindClick(L"id_openurl", &CUIMainWindowEx::OnOpenAgreement);
  BindClick(L"id_openurl2", &CUIMainWindowEx::OnOpenPrivacy);
  BindClick(L"id_userinstall", &CUIMainWindowEx::OnShowCustom);
  BindClick(L"id_btn_min", &CUIMainWindowEx::OnMinimize);
  Show(L"id_panel_userdef", false);
  BindClick(L"id_btn_backmain", &CUIMainWindowEx::OnBackToStart);
  BindClick(L"id_btn_installdir", &CUIMainWindowEx::OnBrowse);
  if (auto* box = static_cast<CCheckBoxCtl*>(Find(L"id_checkbox_shortcut"))) box->SetChecked(true);
  if (auto* box = static_cast<CCheckBoxCtl*>(Find(L"id_checkbox_easymenu"))) box->SetChecked(true);
  if (auto* box = static_cast<CCheckBoxCtl*>(Find(L"id_checkbox_autorun"))) box->SetChecked(false);
  if (CBaseElementCtl* edit = Find(L"id_edit_installpath")) edit->SetTitle(Global().install_dir);
  BindClick(L"id_btn_installnow", &CUIMainWindowEx::OnCustomInstall);
  Show(L"id_panel_download", false);
  Show(L"id_panel_complete", false);
  BindClick(L"id_btn_usenow", &CUIMainWindowEx::OnUseNow);
  BindClick(L"id_btn_complete", &CUIMainWindowEx::OnFinish);
  Show(L"id_static_tryshutdown", false);
}

void CUIMainWindowEx::OnOpeningFinished() {
  opening_ = false;
  PostToFile(MakeTask(base::WrapRetained(this), &CUIMainWindowEx::PreparePackageRequest));
  PostToUi(MakeTask(base::WrapRetained(this), &CUIMainWindowEx::SlideStep), kFirstSlide);
}

void CUIMainWindowEx::OnClosed() {
  KillTimer(hwnd(), kShakeTimerId);
  ReleaseTaskbar();
  DestroyWindowNow();
  PostQuitMessage(0);
}

// --- panels and handlers -----------------------------------------------------

void CUIMainWindowEx::OnAgreementToggled() {
  if (opening_) return;
  bool accepted = IsChecked(L"id_checkbox");
  EnableButton(L"id_install", accepted);
  EnableButton(L"id_userinstall", accepted);
}

void CUIMainWindowEx::OnOpenAgreement() {
  OpenUrl(AnsiToWide(std::string(config::kAgreementSite) + kAgreementPath));
}

void CUIMainWindowEx::OnOpenPrivacy() {
  OpenUrl(AnsiToWide(std::string(config::kAgreementSite) + kPrivacyPath));
}

void CUIMainWindowEx::OnMinimize() { PostMessageW(hwnd(), WM_SYSCOMMAND, SC_MINIMIZE, 0); }

void CUIMainWindowEx::OnQuickInstall() {
  if (!opening_) InstallFrom(L"id_panel_main");
}

void CUIMainWindowEx::InstallFrom(const wchar_t* panel) {
  CGlobal& global = Global();
  if (HasEnoughSpace(global.zip_path, global.zip_size, global.install_size)) {
    Show(panel, false);
    EnterDownload();
  } else {
    ShowMessage(ShortageText(global.is_chinese, NeededBytes(global.zip_size, global.install_size)));
  }
}

void CUIMainWindowEx::OnShowCustom() {
  if (opening_) return;
  Show(L"id_panel_main", false);
  ResizeTo(kWindowWidth, kCustomHeight);
  Show(L"id_panel_userdef", true);
  if (CBaseElementCtl* edit = Find(L"id_edit_installpath"))
    if (IsLocationValid(edit->GetTitle())) Show(L"id_static_patherror", false);
}

void CUIMainWindowEx::OnBackToStart() {
  Show(L"id_panel_userdef", false);
  ResizeTo(kWindowWidth, kWindowHeight);
  Show(L"id_panel_main", true);
}

void CUIMainWindowEx::OnBrowse() {
  // The new dialog style needs OLE on this thread, whoever else set it up.
  ScopedOleInit ole;
  BROWSEINFOW info = {};
  info.hwndOwner = hwnd();
  info.lpszTitle = kTextSelectFolder;
  info.ulFlags = BIF_RETURNONLYFSDIRS | BIF_NEWDIALOGSTYLE;
  LPITEMIDLIST items = SHBrowseForFolderW(&info);
  if (!items) return;
  wchar_t path[MAX_PATH] = {};
  BOOL has_path = SHGetPathFromIDListW(items, path);
  CoTaskMemFree(items);
  if (!has_path) return;
  if (CBaseElementCtl* edit = Find(L"id_edit_installpath")) edit->SetTitle(path);
  Show(L"id_static_patherror", false);
  EnableButton(L"id_btn_installnow", true);
}

void CUIMainWindowEx::OnPathChanged(WPARAM) {
  CBaseElementCtl* panel = Find(L"id_panel_userdef");
  CBaseElementCtl* edit = Find(L"id_edit_installpath");
  if (!panel || !panel->IsVisible() || !edit) return;
  bool valid = IsLocationValid(edit->GetTitle());
  Show(L"id_static_patherror", !valid);
  EnableButton(L"id_btn_installnow", valid);
}

void CUIMainWindowEx::ShowPathError() {
  Show(L"id_static_patherror", true);
  EnableButton(L"id_btn_installnow", false);
}

void CUIMainWindowEx::OnCustomInstall() {
  if (checking_folder_) return;  // the folder of an earlier press is on its way
  CBaseElementCtl* edit = Find(L"id_edit_installpath");
  std::wstring text = edit ? edit->GetTitle() : std::wstring();
  // The button may still be enabled for text the live check never saw.
  if (!IsLocationValid(text)) {
    ShowPathError();
    return;
  }
  CGlobal& global = Global();
  global.install_dir = LocationFromText(text);
  global.zip_path = PackagePathFor(global.install_dir, UnixTimeSeconds());
  if (!HasEnoughSpace(global.zip_path, global.zip_size, global.install_size)) {
    ShowMessage(ShortageText(global.is_chinese, NeededBytes(global.zip_size, global.install_size)));
    return;
  }
  checking_folder_ = true;
  PostToFile(MakeTask(base::WrapRetained(this), &CUIMainWindowEx::MakeCustomFolder,
                      InstallFolderFor(global.install_dir), global.zip_path));
}

void CUIMainWindowEx::MakeCustomFolder(std::wstring folder, std::wstring package) {
  bool made = MakeInstallFolders(folder, package);
  PostToUi(MakeTask(base::WrapRetained(this), &CUIMainWindowEx::OnCustomFolderMade, made));
}

void CUIMainWindowEx::OnCustomFolderMade(bool made) {
  checking_folder_ = false;
  CBaseElementCtl* panel = Find(L"id_panel_userdef");
  if (closing_ || !panel || !panel->IsVisible()) return;  // the user went back meanwhile
  if (!made) {
    ShowPathError();
    return;
  }
  Show(L"id_panel_userdef", false);
  EnterDownload();
}

void CUIMainWindowEx::EnterDownload() {
  ResizeTo(kWindowWidth, kWindowHeight);
  Show(L"id_panel_download", true);
  StartDownload();
}

void CUIMainWindowEx::OnUseNow() {
  closing_ = true;
  LaunchGame(Global().install_dir, Launcher(), hwnd());
}

void CUIMainWindowEx::OnFinish() {
  closing_ = true;
  PostMessageW(hwnd(), WM_CLOSE, 0, 0);
}

void CUIMainWindowEx::ShowMessage(const std::wstring& text) {
  CUIUpDate dialog;
  dialog.set_mode(CUIUpDate::kModeMessage);
  if (!dialog.Create(hwnd())) return;
  dialog.SetMessage(text);
  dialog.DoModal();
}

bool CUIMainWindowEx::ConfirmQuit() {
  CUIUpDate dialog;
  if (!dialog.Create(hwnd()) || dialog.DoModal() != 1) {
    // A download that finished while the dialog was open waited for it.
    PostToUi(MakeTask(base::WrapRetained(this), &CUIMainWindowEx::ResumeInstall));
    return false;
  }
  fetch_url_.fetcher_->Cancel();
  fetch_file_.fetcher_->Cancel();
  closing_ = true;
  return true;
}

void CUIMainWindowEx::CloseAfterMessage(const std::wstring& text) {
  ShowMessage(text);
  closing_ = true;
  PostMessageW(hwnd(), WM_CLOSE, 0, 0);
}

// --- closing -----------------------------------------------------------------

void CUIMainWindowEx::OnCloseRequest() {
  switch (state_) {
    case kStateStart:
    case kStateAnswered:
      if (ConfirmQuit()) PostMessageW(hwnd(), WM_CLOSE, 0, 0);
      break;
    case kStateInstalling:
      StartShake();
      break;
    default:
      OnFinish();
      break;
  }
}

bool CUIMainWindowEx::OnSysCommand(WPARAM wparam, LPARAM) {
  switch (wparam & 0xFFF0) {
    case SC_CLOSE:
      if (state_ == kStateStart || state_ == kStateAnswered)
        return !ConfirmQuit();  // confirmed: the default processing closes the window
      if (state_ == kStateInstalling) {
        StartShake();
        return true;
      }
      PostToUi(MakeTask(base::WrapRetained(this), &CUIMainWindowEx::OnFinish));
      return true;
    case SC_MAXIMIZE:
      return true;  // the window never maximises
    case SC_RESTORE:
      RequestLayeredRedraw(100);
      return false;
    default:
      return false;
  }
}

void CUIMainWindowEx::StartShake() {
  BringWindowToFront(hwnd());
  SetFocus(hwnd());
  Show(L"id_static_tryshutdown", true);
  shake_active_ = true;
  GetWindowRect(hwnd(), &shake_origin_);
  KillTimer(hwnd(), kShakeTimerId);
  shake_phase_ = 0;
  shake_ticks_ = kShakeSteps;
  SetTimer(hwnd(), kShakeTimerId, kShakeIntervalMs, nullptr);
}

void CUIMainWindowEx::OnTimer(UINT_PTR id) {
  if (id != kShakeTimerId) {
    CTransWindow::OnTimer(id);
    return;
  }
  if (shake_ticks_ > 0) {
    --shake_ticks_;
    static const POINT kOffsets[4] = {{-2, 0}, {0, -2}, {2, 0}, {0, 2}};
    POINT offset = kOffsets[shake_phase_];
    SetWindowPos(hwnd(), nullptr, shake_origin_.left + offset.x, shake_origin_.top + offset.y, 0,
                 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    shake_phase_ = (shake_phase_ + 1) % 4;
    return;
  }
  Show(L"id_static_tryshutdown", false);
  shake_active_ = false;
  KillTimer(hwnd(), kShakeTimerId);
  SetWindowPos(hwnd(), nullptr, shake_origin_.left, shake_origin_.top, 0, 0,
               SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

LRESULT CUIMainWindowEx::HandleMessage(UINT message, WPARAM wparam, LPARAM lparam,
                                       bool* handled) {
  if (message == WM_NCHITTEST && shake_active_) {
    *handled = true;
    return HTCLIENT;
  }
  if (message == WM_SYSCOMMAND) {
    // System commands go to the controller before the host's map.
    if (OnSysCommand(wparam, lparam)) {
      *handled = true;
      return 0;
    }
    *handled = false;
    return 0;
  }
  if (message == WM_DESTROY) ReleaseTaskbar();
  if (message == TaskbarButtonCreatedMessage() && message != 0) {
    // Sent again whenever the shell restarts: COM is set up once.
    if (!taskbar_com_) taskbar_com_ = std::make_unique<ScopedComInit>();
    if (!taskbar_ &&
        SUCCEEDED(CoCreateInstance(CLSID_TaskbarList, nullptr, CLSCTX_INPROC_SERVER,
                                   IID_ITaskbarList4, taskbar_.receive())) &&
        FAILED(taskbar_->HrInit()))
      taskbar_.reset();
    SetTaskbarState(TBPF_NORMAL);
    *handled = true;
    return 0;
  }
  return CTransWindow::HandleMessage(message, wparam, lparam, handled);
}

void CUIMainWindowEx::ReleaseTaskbar() {
  // On ui_thread, where COM was initialised: the last reference to this
  // object may go on file_thread.
  taskbar_.reset();
  taskbar_com_.reset();
}

void CUIMainWindowEx::SetTaskbarProgress(int value) {
  if (taskbar_) taskbar_->SetProgressValue(hwnd(), static_cast<ULONGLONG>(value), 100);
}

void CUIMainWindowEx::SetTaskbarState(TBPFLAG state) {
  if (taskbar_) taskbar_->SetProgressState(hwnd(), state);
}

// --- banner ------------------------------------------------------------------

void CUIMainWindowEx::SlideStep() {
  if (closing_ || !IsWindow()) return;
  base::Ticks next = kFadeStep;
  if (!slide_fading_) {
    slide_index_ = slide_index_ % 6 + 1;
    slide_fading_ = true;
    slide_alpha_ = kFadeAlphas[0];
  } else {
    size_t i = 0;
    while (i + 1 < sizeof(kFadeAlphas) / sizeof(kFadeAlphas[0]) && kFadeAlphas[i] <= slide_alpha_) ++i;
    slide_alpha_ = kFadeAlphas[i];
    if (slide_alpha_ >= 255) {
      slide_fading_ = false;
      next = kSlideHold;
    }
  }
  RequestLayeredRedraw(100);
  PostToUi(MakeTask(base::WrapRetained(this), &CUIMainWindowEx::SlideStep), next);
}

void CUIMainWindowEx::DrawBackground(HDC dc) {
  CTransWindow::DrawBackground(dc);
  CGDIResource& gdi = CGDIResource::Instance();
  auto banner = [&](int index) {
    std::wstring name = L"APP" + std::to_wstring(index);
    return gdi.ImageFromResource(Module(), name.c_str());
  };
  if (slide_fading_) {
    int previous = slide_index_ == 1 ? 6 : slide_index_ - 1;
    gdi.BlitWhole(dc, banner(previous), 6, 6, 480, 240, kBlendAlpha, 255);
    gdi.BlitWhole(dc, banner(slide_index_), 6, 6, 480, 240, kBlendAlpha, slide_alpha_);
  } else {
    gdi.BlitWhole(dc, banner(slide_index_), 6, 6, 480, 240, kBlendAlpha, 255);
  }
  HBITMAP logo = gdi.ImageFromResource(Module(), L"APPLOGO");
  SIZE size = CGDIResource::BitmapSize(logo);
  gdi.BlitWhole(dc, logo, 16, 14, size.cx, size.cy, kBlendAlpha, 255);
}

// --- the package request -------------------------------------------------------

void CUIMainWindowEx::PreparePackageRequest() {
  CGlobal& global = Global();
  // The folder itself is made when the download starts: a user who installs
  // elsewhere, or not at all, must not find an empty one left here.
  global.zip_path += L"\\" + AnsiToWide(config::kProductId) + L"\\";
  global.zip_path += L"AppPackZip" + std::to_wstring(UnixTimeSeconds()) + L".zip";
  PostToUi(MakeTask(base::WrapRetained(this), &CUIMainWindowEx::SendPackageRequest));
}

void CUIMainWindowEx::SendPackageRequest() {
  if (closing_) return;
  CGlobal& global = Global();
  std::string version = WideToAnsi(GetModuleFileVersion(nullptr));
  fetch_url_.fetcher_->set_url(
      ComposePackageRequest(config::kServiceEndpoint, version, global.mac_address, global.os_name));
  fetch_url_.fetcher_->Start();
}

void CUIMainWindowEx::OnFetchUrlDone(std::string body) {
  if (closing_) return;
  state_ = kStateAnswered;
  ServiceAnswer answer;
  if (!ParseServiceAnswer(body, &answer) ||
      !IsPackageAddressAllowed(answer, config::kServiceEndpoint)) {
    CloseAfterMessage(InstallerText(kTextServerError, Global().is_chinese));
    return;
  }
  CGlobal& global = Global();
  global.download_url = answer.download_url;
  global.zip_size = answer.zip_size;
  global.install_size = answer.install_size;
  global.package_sha256 = answer.sha256;
}

// --- download and install ------------------------------------------------------

void CUIMainWindowEx::StartDownload() {
  if (closing_) return;
  CGlobal& global = Global();
  if (global.download_url.empty()) {
    PostToUi(MakeTask(base::WrapRetained(this), &CUIMainWindowEx::StartDownload), kPollDelay);
    return;
  }
  global.install_dir = InstallFolderFor(global.install_dir);
  // The first attempt starts once the folder exists.
  PostToFile(MakeTask(base::WrapRetained(this), &CUIMainWindowEx::CreateInstallFolder,
                      global.install_dir, global.zip_path));
}

void CUIMainWindowEx::CreateInstallFolder(std::wstring folder, std::wstring package) {
  bool made = MakeInstallFolders(folder, package);
  PostToUi(MakeTask(base::WrapRetained(this), &CUIMainWindowEx::StartFirstAttempt, made));
}

void CUIMainWindowEx::StartFirstAttempt(bool folder_made) {
  if (closing_) return;
  if (!folder_made) {
    // No attempt could write the package there: say so now, not after 256.
    CloseAfterMessage(kTextFileOccupied);
    return;
  }
  CGlobal& global = Global();
  fetch_file_.fetcher_->set_url(SignDownloadAddress(global.download_url));
  fetch_file_.fetcher_->set_path(global.zip_path);
  fetch_file_.fetcher_->set_sha256(global.package_sha256);
  fetch_file_.fetcher_->Start();
  BenchReport("download_started");
}

void CUIMainWindowEx::OnFetchFileProgress(double fraction) {
  if (closing_) return;
  if (auto* bar = static_cast<CProgressCtl*>(Find(L"id_progress_download")))
    bar->SetProgress(fraction * 0.8);
  SetTaskbarProgress(static_cast<int>(fraction * 100 * 0.8));
}

void CUIMainWindowEx::PostDeletePackage() {
  PostToFile(MakeFunctionTask(&DeleteFileTask, Global().zip_path));
}

void CUIMainWindowEx::OnFetchFileDone(bool succeeded, const FetchResult& result) {
  if (closing_) return;
  if (succeeded) {
    BenchReport("download_done");
    download_done_ = true;
    if (IsWindowEnabled(hwnd())) ResumeInstall();
    return;
  }
  switch (CountFailure(result.code, &failures_)) {
    case AfterFailure::kRetry:
      PostDeletePackage();
      PostToUi(MakeTask(base::WrapRetained(this), &CUIMainWindowEx::RetryDownload), kRetryDelay);
      return;
    case AfterFailure::kNoDiskSpace:
      ShowMessage(kTextNoDiskSpace);
      break;
    case AfterFailure::kCannotConnect:
      ShowMessage(kTextCannotConnect);
      break;
  }
  PostDeletePackage();
  closing_ = true;
  PostMessageW(hwnd(), WM_CLOSE, 0, 0);
}

void CUIMainWindowEx::RetryDownload() {
  if (closing_) return;
  CGlobal& global = Global();
  global.zip_path = DirectoryOf(global.zip_path) + L"AppPackZip" +
                    std::to_wstring(UnixTimeSeconds()) + L".zip";
  fetch_file_.fetcher_ = new net::URLFetcher(
      net::FetchRequest(SignDownloadAddress(global.download_url), global.zip_path,
                        global.package_sha256),
      &fetch_file_);
  fetch_file_.fetcher_->Start();
}

void CUIMainWindowEx::ResumeInstall() {
  if (closing_ || !download_done_ || !IsWindowEnabled(hwnd())) return;
  if (state_ >= kStateInstalling) return;  // already on its way
  state_ = kStateInstalling;
  if (CBaseElementCtl* status = Find(L"id_static_downing")) {
    status->SetTitle(InstallerText(kTextInstalling, Global().is_chinese));
    status->Redraw(true);
  }
  Show(L"id_static_downing_size", false);
  PostToFile(MakeTask(base::WrapRetained(this), &CUIMainWindowEx::UnpackPackage,
                      Global().zip_path, Global().install_dir));
}

void CUIMainWindowEx::UnpackPackage(std::wstring package, std::wstring folder) {
  KillLauncher(Launcher());
  bool unpacked = ExtractZip(package, folder);
  PostToUi(MakeTask(base::WrapRetained(this), &CUIMainWindowEx::FinishInstall, unpacked));
}

void CUIMainWindowEx::FinishInstall(bool unpacked) {
  if (closing_) return;
  BenchReport("unpacked");
  CGlobal& global = Global();
  if (!unpacked) {
    PostDeletePackage();
    CloseAfterMessage(kTextFileOccupied);
    return;
  }
  if (auto* bar = static_cast<CProgressCtl*>(Find(L"id_progress_download"))) bar->SetProgress(0.95);
  SetTaskbarProgress(95);
  Show(L"id_panel_download", false);
  Show(L"id_panel_complete", true);
  SetTaskbarState(TBPF_NOPROGRESS);
  Show(L"id_static_tryshutdown", false);
  std::wstring launcher = global.install_dir + L"\\" + Launcher();
  std::wstring display_name = AnsiToWide(config::kDisplayName);
  if (IsChecked(L"id_checkbox_shortcut")) CreateShortcut(launcher, kShortcutDesktop, display_name);
  // Quoted: unquoted, "C:\Games\Velmora Test\..." would run a planted
  // C:\Games\Velmora.exe at every logon.
  if (IsChecked(L"id_checkbox_autorun"))
    WriteRegistryString(HKEY_CURRENT_USER, kRunKey, AnsiToWide(config::kProductId),
                        L"\"" + launcher + L"\"");
  if (GetOsVersionCode() > 8 && IsChecked(L"id_checkbox_easymenu"))
    CreateShortcut(launcher, kShortcutTaskbar, display_name);
  CreateShortcut(launcher, kShortcutStartMenu, display_name);
  state_ = kStateCompleted;
  BenchReport("completed");
  if (config::kWebSite[0] != '\0') OpenUrl(AnsiToWide(config::kWebSite));
  WriteMarker(global.install_dir);
  // The package is not needed once unpacked.
  PostDeletePackage();
}

void CUIMainWindowEx::WriteMarker(const std::wstring& folder) {
  const std::string& description = Global().file_description;
  if (description.empty()) return;
  std::wstring path = folder + L"\\" + AnsiToWide(config::kMarkerExtension);
  FILE* file = _wfopen(path.c_str(), L"wt");
  if (!file) return;
  fprintf(file, "%s", description.c_str());
  fclose(file);
}
