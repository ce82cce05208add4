#include "ui/trans_window.h"

#include <commctrl.h>
#include <windowsx.h>

#include <algorithm>

#include "app_global.h"
#include "base/layer_loop.h"
#include "base/thread_table.h"
#include "ui/element_factory.h"
#include "ui/gdi_resource.h"
#include "ui/ui_messages.h"
#include "ui/window_placement.h"

namespace {

constexpr wchar_t kSkinWindowClass[] = L"VelmoraSkinWindow";
constexpr DWORD kTraitsStyle = 0x56000000;  // WS_CHILD | WS_VISIBLE | clip flags
constexpr DWORD kZoomStyles = WS_SYSMENU | WS_MINIMIZEBOX | WS_MAXIMIZEBOX;
constexpr UINT kAnimationTickMs = 30;
// 25 frames a second at most for redraw requests: smooth for a progress bar.
constexpr DWORD kMinFrameMs = 40;

// Opening animation: (scale percent, alpha percent) for counters 9..1.
struct AnimationFrame {
  int scale, alpha;
};
constexpr AnimationFrame kAnimation[10] = {
    {100, 100}, {102, 90}, {106, 80}, {114, 75}, {126, 70},
    {140, 65},  {90, 60},  {51, 55},  {23, 45},  {6, 40},
};

HMODULE SkinModule() { return AppInstance() ? AppInstance() : GetModuleHandleW(nullptr); }

bool DisplayIs32Bit() {
  DEVMODEW mode = {};
  mode.dmSize = sizeof(mode);
  return EnumDisplaySettingsW(nullptr, ENUM_CURRENT_SETTINGS, &mode) && mode.dmBitsPerPel == 32;
}

HBITMAP CreateDib(HDC reference, int width, int height, void** bits) {
  BITMAPINFO info = {};
  info.bmiHeader.biSize = sizeof(info.bmiHeader);
  info.bmiHeader.biWidth = width;
  info.bmiHeader.biHeight = -height;  // top-down
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  void* pixels = nullptr;
  HBITMAP bitmap = CreateDIBSection(reference, &info, DIB_RGB_COLORS, &pixels, nullptr, 0);
  if (bits) *bits = pixels;
  return bitmap;
}

bool TreeContains(const ElementList& list, const CBaseElementCtl* element) {
  for (const auto& item : list.elements()) {
    if (item.get() == element) return true;
    CBaseElementCtl* owner = item.get();
    if (ElementList* children = owner->Children())
      if (TreeContains(*children, element)) return true;
  }
  return false;
}

}  // namespace

CTransWindow::CTransWindow() : CBaseElementCtl(nullptr, true) {}

CTransWindow::~CTransWindow() {
  StopAnimation();
  DestroyWindowNow();
}

bool CTransWindow::CreateFromSkin(HWND parent, const wchar_t* skin_name) {
  skin_name_ = skin_name ? skin_name : L"";
  skin_ = std::make_unique<CXmlHelper>();
  if (!skin_->LoadFromResource(SkinModule(), skin_name_.c_str(), L"xml")) return false;
  return CreateFromRoot(parent);
}

bool CTransWindow::CreateFromText(HWND parent, const std::wstring& xml) {
  skin_ = std::make_unique<CXmlHelper>();
  if (!skin_->ParseText(xml)) return false;
  return CreateFromRoot(parent);
}

bool CTransWindow::CreateFromRoot(HWND parent) {
  root_node_ = skin_->Root();
  if (!root_node_ || CXmlHelper::Tag(root_node_) != L"window") return false;
  LoadAttributes(root_node_);
  int x = x_, y = y_, width = width_, height = height_;
  AdjustCreateRect(&x, &y, &width, &height);
  DWORD style = static_cast<DWORD>(style_);
  DWORD style_ex = static_cast<DWORD>(style_ex_);
  if (main_variant_) style |= 0x80;
  if (style == 0) style = kTraitsStyle;
  RECT rect = {x, y, x + width, y + height};
  if (!CreateWindowOfClass(kSkinWindowClass, parent, rect, title_.c_str(), style, style_ex))
    return false;
  SetForegroundWindow(hwnd());
  OnShown();
  return true;
}

void CTransWindow::LoadAttributes(TiXmlElement* node) {
  LoadCommonAttributes(node);
  min_width_ = CXmlHelper::IntAttribute(node, "minWidth");
  min_height_ = CXmlHelper::IntAttribute(node, "minHeight");
  title_height_ = CXmlHelper::IntAttribute(node, "titleHeight");
  icon_text_ = CXmlHelper::Attribute(node, "icon");
  frame_ = ImageAttribute(node, "frame");
  frame_corner_ = ParseSkinQuad(CXmlHelper::Attribute(node, "frameCorner"));
  frame_back_ = ImageAttribute(node, "frameBack");
  frame_back_corner_ = ParseSkinQuad(CXmlHelper::Attribute(node, "frameBackCorner"));
  frame_back_pos_ = ParseSkinQuad(CXmlHelper::Attribute(node, "frameBackPos"));
  center_ = CXmlHelper::IntAttribute(node, "center");
  if (main_variant_) {
    topmost_ = CXmlHelper::IntAttribute(node, "topmost");
    if (topmost_) style_ex_ |= WS_EX_TOPMOST;
  } else {
    round_corner_ = CXmlHelper::IntAttribute(node, "roundcorner");
  }
  resize_ = ImageAttribute(node, "resize");
  title_image_ = ImageAttribute(node, "title");
  logo_ = ImageAttribute(node, "logo");
}

void CTransWindow::AdjustCreateRect(int*, int*, int*, int*) {}

void CTransWindow::SetUpLayered() {
  blend_ = {AC_SRC_OVER, 0, 255, AC_SRC_ALPHA};
  layered_display_ = DisplayIs32Bit();
  if (layered_display_) PostMessageW(hwnd(), UM_LAYERED_REDRAW, 0, 100);
}

void CTransWindow::SetUpElements() {
  host_ = hwnd();
  if (center_ == 1) CentreWindow(hwnd());
  elements_.SetHostWindow(hwnd());
  CreateElements(root_node_, kCreatorWindow, hwnd(), true, nullptr, &elements_);
  CreateTooltip();
  OnCreated();
  SetWindowTextW(hwnd(), title_.c_str());
  SetIcons();
}

void CTransWindow::CreateTooltip() {
  tooltip_ = CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr,
                             WS_POPUP | TTS_NOPREFIX | TTS_ALWAYSTIP, CW_USEDEFAULT,
                             CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, hwnd(), nullptr,
                             SkinModule(), nullptr);
  if (!tooltip_) return;
  TTTOOLINFOW tool = {};
  tool.cbSize = sizeof(tool);
  tool.hwnd = hwnd();
  tool.uId = 1;
  GetClientRect(hwnd(), &tool.rect);
  tool.lpszText = const_cast<wchar_t*>(L"");
  SendMessageW(tooltip_, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
  SendMessageW(tooltip_, TTM_SETMAXTIPWIDTH, 0, 260);
  SendMessageW(tooltip_, TTM_ACTIVATE, FALSE, 0);
}

void CTransWindow::SetIcons() {
  static HICON big = static_cast<HICON>(
      LoadImageW(SkinModule(), MAKEINTRESOURCEW(128), IMAGE_ICON, GetSystemMetrics(SM_CXICON),
                 GetSystemMetrics(SM_CYICON), LR_DEFAULTCOLOR));
  if (!big) return;
  SendMessageW(hwnd(), WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(big));
  SendMessageW(hwnd(), WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(big));
}

void CTransWindow::SetRoundRegion(bool round) {
  if (!hwnd()) return;
  if (!round) {
    SetWindowRgn(hwnd(), nullptr, TRUE);
    return;
  }
  HRGN region = CreateRoundRectRgn(0, 0, width_ + 1, height_, 5, 5);
  HRGN square = CreateRectRgn(0, 5, width_, height_);
  CombineRgn(region, region, square, RGN_OR);
  DeleteObject(square);
  SetWindowRgn(hwnd(), region, TRUE);  // the system owns the region now
}

void CTransWindow::DrawBackground(HDC dc) {
  CGDIResource& gdi = CGDIResource::Instance();
  RECT client = {0, 0, width_, height_};
  if (hwnd()) GetClientRect(hwnd(), &client);
  if (frame_) {
    SIZE size = CGDIResource::BitmapSize(frame_);
    gdi.DrawNineGrid(dc, frame_, client, RECT{0, 0, size.cx, size.cy}, 255, frame_corner_.left,
                     frame_corner_.top, frame_corner_.right, frame_corner_.bottom);
  }
  if (frame_back_) {
    SIZE size = CGDIResource::BitmapSize(frame_back_);
    RECT dest = {frame_back_pos_.left, frame_back_pos_.top, frame_back_pos_.right,
                 frame_back_pos_.bottom};
    gdi.DrawNineGrid(dc, frame_back_, dest, RECT{0, 0, size.cx, size.cy}, 255,
                     frame_back_corner_.left, frame_back_corner_.top, frame_back_corner_.right,
                     frame_back_corner_.bottom);
  }
}

void CTransWindow::DrawCaption(HDC dc) {
  CGDIResource& gdi = CGDIResource::Instance();
  int text_left = 18;
  if (logo_) {
    SIZE size = CGDIResource::BitmapSize(logo_);
    gdi.BlitWhole(dc, logo_, 10, 10, size.cx, size.cy, kBlendAlpha, 255);
    text_left = size.cx + 17;
  }
  if (title_.empty()) return;
  RECT client = {0, 0, width_, height_};
  if (hwnd()) GetClientRect(hwnd(), &client);
  RECT text = {text_left, 9, client.right - 1, title_height_ < 1 ? 29 : title_height_};
  gdi.DrawPlusText(dc, title_, text, gdi.Font(kFontNormal), RGB(255, 255, 255), 0);
}

void CTransWindow::PaintAll(HDC dc) {
  DrawBackground(dc);
  DrawCaption(dc);
  elements_.Draw(dc);
}

void CTransWindow::RequestLayeredRedraw(int percent) {
  PostMessageW(hwnd(), UM_LAYERED_REDRAW, 0, percent);
}

HBITMAP CTransWindow::ComposeBitmap(int percent, void** bits) {
  RECT window = {0, 0, width_, height_};
  if (hwnd()) GetWindowRect(hwnd(), &window);
  int width = window.right - window.left, height = window.bottom - window.top;
  if (percent < 0 || percent > 100) percent = 100;
  blend_.SourceConstantAlpha = static_cast<BYTE>(static_cast<int>(percent * 2.55));
  HDC screen = GetDC(nullptr);
  HBITMAP bitmap = CreateDib(screen, width, height, bits);
  ReleaseDC(nullptr, screen);
  if (!bitmap) return nullptr;
  HDC memory = CreateCompatibleDC(nullptr);
  HGDIOBJ old = SelectObject(memory, bitmap);
  PaintAll(memory);
  GdiFlush();
  SelectObject(memory, old);
  DeleteDC(memory);
  return bitmap;
}

void CTransWindow::UpdateLayered(int percent) {
  if (!hwnd() || animating_) return;
  if (!layered_display_) {
    InvalidateRect(hwnd(), nullptr, TRUE);
    return;
  }
  HBITMAP bitmap = ComposeBitmap(percent, nullptr);
  if (!bitmap) return;
  LONG ex_style = GetWindowLongW(hwnd(), GWL_EXSTYLE);
  if (!(ex_style & WS_EX_LAYERED)) SetWindowLongW(hwnd(), GWL_EXSTYLE, ex_style | WS_EX_LAYERED);
  RECT window;
  GetWindowRect(hwnd(), &window);
  POINT position = {window.left, window.top};
  SIZE size = {window.right - window.left, window.bottom - window.top};
  POINT source = {0, 0};
  HDC screen = GetDC(hwnd());
  HDC memory = CreateCompatibleDC(screen);
  HGDIOBJ old = SelectObject(memory, bitmap);
  UpdateLayeredWindow(hwnd(), screen, &position, &size, memory, &source, 0, &blend_, ULW_ALPHA);
  SelectObject(memory, old);
  DeleteDC(memory);
  ReleaseDC(hwnd(), screen);
  DeleteObject(bitmap);
}

void CTransWindow::ShowAnimated(int show_command) {
  RECT window;
  GetWindowRect(hwnd(), &window);
  int width = window.right - window.left, height = window.bottom - window.top;
  if (!layered_display_ || width < 150 || height < 110) {
    ShowWindow(hwnd(), show_command);
    UpdateLayered(100);
    OnOpeningFinished();
    return;
  }
  MSG pending;
  while (PeekMessageW(&pending, hwnd(), UM_LAYERED_REDRAW, UM_LAYERED_REDRAW, PM_REMOVE)) {
  }
  elements_.Relayout(width_, height_, width_, height_);
  StopAnimation();
  animation_bitmap_ = ComposeBitmap(100, nullptr);
  animation_dc_ = CreateCompatibleDC(nullptr);
  animation_old_bitmap_ = SelectObject(animation_dc_, animation_bitmap_);
  target_rect_ = window;
  animating_ = true;
  step_ = 10;
  LONG ex_style = GetWindowLongW(hwnd(), GWL_EXSTYLE);
  if (!(ex_style & WS_EX_LAYERED)) SetWindowLongW(hwnd(), GWL_EXSTYLE, ex_style | WS_EX_LAYERED);
  RECT grown = window;
  InflateRect(&grown, 20, 20);
  RECT picture = {0, 0, grown.right - grown.left, grown.bottom - grown.top};
  SetWindowPos(hwnd(), nullptr, grown.left, grown.top, picture.right, picture.bottom,
               SWP_NOZORDER | SWP_NOACTIVATE);
  AnimationStep(0);  // the first picture: 35 % over the grown rectangle
  ShowWindow(hwnd(), SW_SHOWNORMAL);
  SetTimer(hwnd(), kOpeningTimerId, kAnimationTickMs, nullptr);
}

void CTransWindow::AnimationStep(UINT_PTR timer) {
  RECT window;
  GetWindowRect(hwnd(), &window);
  int tw = target_rect_.right - target_rect_.left, th = target_rect_.bottom - target_rect_.top;
  RECT frame_rect = window;  // where the window is
  RECT picture;              // where the picture goes, in window coordinates
  int alpha = 35;
  if (timer == 0) {
    picture = RECT{0, 0, window.right - window.left, window.bottom - window.top};
  } else {
    --step_;
    if (step_ <= 0) {
      animating_ = false;
      SetWindowPos(hwnd(), nullptr, target_rect_.left, target_rect_.top, tw, th,
                   SWP_NOZORDER | SWP_NOACTIVATE);
      UpdateLayered(100);
      OnOpeningFinished();
      return;
    }
    const AnimationFrame& f = kAnimation[step_];
    int grow = (f.scale - 100) / 2;
    alpha = f.alpha;
    if (timer == kOpeningTimerId) {
      // Inside the grown window: the target rectangle scaled about its centre.
      picture = RECT{20 - grow, 20 - grow, 20 + tw + grow, 20 + th + grow};
      if (step_ == 5) {
        KillTimer(hwnd(), kOpeningTimerId);
        SetTimer(hwnd(), kOpeningMoveTimerId, kAnimationTickMs, nullptr);
      }
    } else {
      frame_rect = target_rect_;
      InflateRect(&frame_rect, grow, grow);
      SetWindowPos(hwnd(), nullptr, frame_rect.left, frame_rect.top,
                   frame_rect.right - frame_rect.left, frame_rect.bottom - frame_rect.top,
                   SWP_NOZORDER | SWP_NOACTIVATE);
      picture = RECT{0, 0, frame_rect.right - frame_rect.left, frame_rect.bottom - frame_rect.top};
    }
  }
  int fw = frame_rect.right - frame_rect.left, fh = frame_rect.bottom - frame_rect.top;
  HDC screen = GetDC(hwnd());
  HDC memory = CreateCompatibleDC(screen);
  HBITMAP bitmap = CreateDib(screen, fw, fh, nullptr);
  HGDIOBJ old = SelectObject(memory, bitmap);
  BLENDFUNCTION copy = {AC_SRC_OVER, 0, 255, AC_SRC_ALPHA};
  if (picture.right > picture.left && picture.bottom > picture.top)
    AlphaBlend(memory, picture.left, picture.top, picture.right - picture.left,
               picture.bottom - picture.top, animation_dc_, 0, 0, tw, th, copy);
  BLENDFUNCTION blend = {AC_SRC_OVER, 0, static_cast<BYTE>(alpha * 255 / 100), AC_SRC_ALPHA};
  POINT position = {frame_rect.left, frame_rect.top};
  SIZE size = {fw, fh};
  POINT source = {0, 0};
  UpdateLayeredWindow(hwnd(), screen, &position, &size, memory, &source, 0, &blend, ULW_ALPHA);
  SelectObject(memory, old);
  DeleteObject(bitmap);
  DeleteDC(memory);
  ReleaseDC(hwnd(), screen);
}

void CTransWindow::StopAnimation() {
  if (animation_dc_) {
    SelectObject(animation_dc_, animation_old_bitmap_);
    DeleteDC(animation_dc_);
    animation_dc_ = nullptr;
  }
  if (animation_bitmap_) DeleteObject(animation_bitmap_);
  animation_bitmap_ = nullptr;
  animating_ = false;
}

void CTransWindow::OnRedrawRequest(int percent) {
  // Requests already queued behind this one show the same elements.
  MSG pending;
  while (PeekMessageW(&pending, hwnd(), UM_LAYERED_REDRAW, UM_LAYERED_REDRAW, PM_REMOVE))
    percent = static_cast<int>(pending.lParam);
  held_percent_ = percent;
  if (frame_held_) return;  // the timer draws the latest state
  DWORD since = GetTickCount() - last_frame_ms_;
  if (since < kMinFrameMs) {
    frame_held_ = true;
    SetTimer(hwnd(), kRedrawTimerId, kMinFrameMs - since, nullptr);
    return;
  }
  last_frame_ms_ = GetTickCount();
  UpdateLayered(percent);
}

void CTransWindow::OnTimer(UINT_PTR id) {
  if (id == kRedrawTimerId) {
    KillTimer(hwnd(), kRedrawTimerId);
    frame_held_ = false;
    last_frame_ms_ = GetTickCount();
    UpdateLayered(held_percent_);
  } else if (id == kTickTimerId) {
    elements_.Tick();
  } else if (id == kOpeningTimerId || id == kOpeningMoveTimerId) {
    if (animating_) {
      AnimationStep(id);
    } else {
      KillTimer(hwnd(), id);
      UpdateLayered(100);
      StopAnimation();
    }
  }
}

bool CTransWindow::OnSysCommand(WPARAM, LPARAM) { return false; }

int CTransWindow::DoModal() {
  if (!IsWindow()) return 0;
  HWND owner = GetWindow(hwnd(), GW_OWNER);
  ShowWindow(hwnd(), SW_SHOWNORMAL);
  // An owner already disabled belongs to a modal run further out, which
  // enables it again when it ends.
  bool enable_owner_after = owner && ::IsWindowEnabled(owner);
  if (owner) EnableWindow(owner, FALSE);
  base::MessageLoop* ui_loop = base::ThreadLoop(base::kThreadUi);
  if (ui_loop && ui_loop->ui_pump()) {
    base::MessageLoop::LayerLoop layer(ui_loop->ui_pump());
    modal_loop_ = &layer;
    layer.Run();
    modal_loop_ = nullptr;
  }
  if (enable_owner_after && ::IsWindow(owner)) {
    EnableWindow(owner, TRUE);
    SetFocus(owner);
  }
  return modal_result_;
}

void CTransWindow::EndModal(int result) {
  modal_result_ = result;
  // This dialog's own loop: a dialog opened on top of it keeps running.
  if (modal_loop_) modal_loop_->Quit();
}

LRESULT CTransWindow::HitTest(int px, int py) {
  POINT client = {px, py};
  ScreenToClient(hwnd(), &client);
  if (elements_.HitTest(client.x, client.y)) return HTCLIENT;
  elements_.MouseMove(WM_NCHITTEST, client.x, client.y);
  RECT w;
  GetWindowRect(hwnd(), &w);
  bool in_caption = w.top + 4 < py && py <= w.top + title_height_;
  if (IsZoomed(hwnd())) return in_caption ? HTCAPTION : HTCLIENT;
  if (in_caption) return HTCAPTION;
  if (!resizable_) return HTCLIENT;
  if (w.left <= px && px <= w.left + 4)
    return py < w.top + 4 ? HTTOPLEFT : py > w.bottom - 4 ? HTBOTTOMLEFT : HTLEFT;
  if (w.right - 4 <= px && px <= w.right)
    return py < w.top + 4 ? HTTOPRIGHT : py > w.bottom - 4 ? HTBOTTOMRIGHT : HTRIGHT;
  if (w.top <= py && py <= w.top + 4) return HTTOP;
  if (w.bottom - 4 <= py && py <= w.bottom) return HTBOTTOM;
  return HTCLIENT;
}

LRESULT CTransWindow::HandleMessage(UINT message, WPARAM wparam, LPARAM lparam, bool* handled) {
  *handled = true;
  switch (message) {
    case WM_CREATE:
      SetUpLayered();
      SetUpElements();
      return 0;
    case WM_PAINT: {
      PAINTSTRUCT paint;
      HDC dc = BeginPaint(hwnd(), &paint);
      PaintAll(dc);
      EndPaint(hwnd(), &paint);
      return 0;
    }
    case UM_LAYERED_REDRAW:
      OnRedrawRequest(static_cast<int>(lparam));
      return 0;
    case WM_TIMER:
      // Every window: a frame held back by the pacing waits for this.
      OnTimer(wparam);
      return 0;
    default:
      break;
  }

  bool host_handled = false;
  elements_.HostMessage(message, wparam, lparam, &host_handled);
  if (host_handled) return 0;

  switch (message) {
    case WM_NCHITTEST:
      return HitTest(GET_X_LPARAM(lparam), GET_Y_LPARAM(lparam));
    case WM_SIZE: {
      int w = LOWORD(lparam), h = HIWORD(lparam);
      if (wparam == SIZE_MINIMIZED || wparam == SIZE_MAXIMIZED) zoomed_ = true;
      if (wparam != SIZE_MINIMIZED && !animating_) {
        elements_.Relayout(width_, height_, w, h);
        width_ = w;
        height_ = h;
        SetRoundRegion(round_corner_ != 0);
      }
      return 0;
    }
    case WM_GETMINMAXINFO: {
      auto* info = reinterpret_cast<MINMAXINFO*>(lparam);
      info->ptMinTrackSize = POINT{min_width_, min_height_};
      RECT area;
      SystemParametersInfoW(SPI_GETWORKAREA, 0, &area, 0);
      info->ptMaxSize = POINT{area.right - area.left, area.bottom - area.top};
      info->ptMaxTrackSize = info->ptMaxSize;
      info->ptMaxPosition = POINT{area.left, area.top};
      return 0;
    }
    case WM_NCLBUTTONDBLCLK:
      if (double_click_maximize_)
        PostMessageW(hwnd(), WM_SYSCOMMAND, zoomed_ ? SC_RESTORE : SC_MAXIMIZE, 0);
      return 0;
    case WM_NCMOUSEMOVE: {
      LONG style = GetWindowLongW(hwnd(), GWL_STYLE);
      LONG wanted = IsZoomed(hwnd()) ? (style | static_cast<LONG>(kZoomStyles))
                                     : (style & ~static_cast<LONG>(WS_SYSMENU));
      if (wanted != style) SetWindowLongW(hwnd(), GWL_STYLE, wanted);
      *handled = false;
      return 0;
    }
    case WM_MOUSEMOVE: {
      if (tooltip_ && ::IsWindow(tooltip_)) {
        MSG relay = {hwnd(), message, wparam, lparam, static_cast<DWORD>(GetMessageTime()), {}};
        DWORD pos = GetMessagePos();
        relay.pt = POINT{GET_X_LPARAM(pos), GET_Y_LPARAM(pos)};
        SendMessageW(tooltip_, TTM_RELAYEVENT, 0, reinterpret_cast<LPARAM>(&relay));
      }
      elements_.MouseMove(message, GET_X_LPARAM(lparam), GET_Y_LPARAM(lparam));
      TRACKMOUSEEVENT track = {sizeof(track), TME_LEAVE, hwnd(), 0};
      TrackMouseEvent(&track);
      return 0;
    }
    case WM_MOUSELEAVE:
      elements_.MouseMove(message, GET_X_LPARAM(lparam), GET_Y_LPARAM(lparam));
      return 0;
    case WM_LBUTTONDOWN:
      // The opening animation shows a picture of the elements, not them.
      if (!animating_) elements_.LButtonDown(message, GET_X_LPARAM(lparam), GET_Y_LPARAM(lparam));
      return 0;
    case WM_LBUTTONUP:
      if (!animating_) elements_.LButtonUp(message, GET_X_LPARAM(lparam), GET_Y_LPARAM(lparam));
      return 0;
    case WM_RBUTTONUP:
      if (!animating_) elements_.RButtonUp(message, GET_X_LPARAM(lparam), GET_Y_LPARAM(lparam));
      return 0;
    case WM_RBUTTONDOWN:
      return 0;
    case 0x20E: {  // WM_MOUSEHWHEEL; the vertical wheel is not routed
      POINT point = {GET_X_LPARAM(lparam), GET_Y_LPARAM(lparam)};
      ScreenToClient(hwnd(), &point);
      elements_.Wheel(LOWORD(wparam), static_cast<short>(HIWORD(wparam)), point.x, point.y);
      return 0;
    }
    case WM_KEYDOWN:
    case WM_SYSKEYDOWN:
      elements_.KeyDown(static_cast<UINT>(wparam));
      *handled = message == WM_KEYDOWN;
      return 0;
    case WM_KEYUP:
    case WM_SYSKEYUP:
      elements_.KeyUp(static_cast<UINT>(wparam));
      *handled = message == WM_KEYUP;
      return 0;
    case WM_MOVE:
      elements_.HostMoved();
      return 0;
    case WM_COMMAND:
      return 0;
    case WM_GETICON: {
      LONG style = GetWindowLongW(hwnd(), GWL_STYLE);
      LONG zoom_style = style | static_cast<LONG>(kZoomStyles);
      if (zoom_style != style) SetWindowLongW(hwnd(), GWL_STYLE, zoom_style);
      *handled = false;
      return 0;
    }
    case UM_TOOLTIP:
      if (tooltip_ && ::IsWindow(tooltip_)) {
        if (wparam == 1) {
          TTTOOLINFOW tool = {};
          tool.cbSize = sizeof(tool);
          tool.hwnd = hwnd();
          tool.uId = 1;
          tool.lpszText = reinterpret_cast<wchar_t*>(lparam);
          SendMessageW(tooltip_, TTM_UPDATETIPTEXTW, 0, reinterpret_cast<LPARAM>(&tool));
          SendMessageW(tooltip_, TTM_ACTIVATE, TRUE, 0);
        } else {
          SendMessageW(tooltip_, TTM_ACTIVATE, FALSE, 0);
        }
      }
      return 0;
    case UM_SETCURSOR: {
      HCURSOR wanted = reinterpret_cast<HCURSOR>(wparam);
      HCURSOR hand = LoadCursorW(nullptr, IDC_HAND), beam = LoadCursorW(nullptr, IDC_IBEAM);
      HCURSOR cursor = wanted == hand ? hand : wanted == beam ? beam : LoadCursorW(nullptr, IDC_ARROW);
      SetClassLongPtrW(hwnd(), GCLP_HCURSOR, reinterpret_cast<LONG_PTR>(cursor));
      return 0;
    }
    case UM_FOCUS_ELEMENT:
      elements_.Focus(reinterpret_cast<CBaseElementCtl*>(wparam));
      return 0;
    case UM_ELEMENT_CLICK:
    case UM_ELEMENT_RCLICK: {
      // The element may have gone since the message was posted.
      auto* element = reinterpret_cast<CBaseElementCtl*>(wparam);
      if (TreeContains(elements_, element))
        message == UM_ELEMENT_CLICK ? element->FireClick() : element->FireRightClick();
      return 0;
    }
    case WM_CLOSE:
      ShowWindow(hwnd(), SW_HIDE);
      OnClosed();
      return 0;
    case WM_DESTROY:
      if (tooltip_ && ::IsWindow(tooltip_)) DestroyWindow(tooltip_);
      tooltip_ = nullptr;
      StopAnimation();
      // A modal run never outlives its window.
      if (modal_loop_) EndModal(modal_result_);
      *handled = false;
      return 0;
    default:
      break;
  }

  if (main_variant_) {
    switch (message) {
      case WM_ACTIVATE:
        OnActivate(wparam);
        *handled = false;
        return 0;
      case UM_ELEMENT_NOTIFY:
      case UM_ELEMENT_CHECKED: {
        auto* element = reinterpret_cast<CBaseElementCtl*>(wparam);
        if (TreeContains(elements_, element))
          message == UM_ELEMENT_NOTIFY ? element->FireNotify() : element->FirePress();
        return 0;
      }
      case UM_ELEMENT_TAB:
        return 0;
      case UM_PATH_CHANGED:
        OnPathChanged(wparam);
        return 0;
      case WM_SYSCOMMAND:
        if (OnSysCommand(wparam, lparam)) return 0;
        break;
      default:
        break;
    }
  }
  *handled = false;
  return 0;
}
