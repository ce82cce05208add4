// The skinned window host: a borderless top-level window created from a
// skin document, whose whole picture (frame, caption, logo, elements) is
// composed off-screen into a 32-bit bitmap and handed to
// UpdateLayeredWindow, so the images' alpha shapes the window. It is the
// root element of its element tree: it reads the window attributes, lays
// the elements out, turns window messages into element input, drags the
// window by its title strip and shows tooltips and cursors.
//
// The main variant (set_main_variant) adds the opening animation and routes
// the main window's extra messages to virtual hooks.
//
// Thread affinity: the UI thread. Ownership: owns its element tree, its
// skin document and its tooltip window.

#ifndef UI_TRANS_WINDOW_H_
#define UI_TRANS_WINDOW_H_

#include <windows.h>

#include <memory>
#include <string>

#include "base/layer_loop.h"
#include "ui/element.h"
#include "ui/element_list.h"
#include "ui/skin_values.h"
#include "ui/window_impl.h"
#include "ui/xml_helper.h"

class CTransWindow : public CBaseElementCtl, public WindowImpl {
 public:
  CTransWindow();
  ~CTransWindow() override;

  // Loads the skin resource |skin_name| (type "xml") and creates the window
  // from it. False for a missing document, a root other than "window" or a
  // failed CreateWindowEx.
  bool CreateFromSkin(HWND parent, const wchar_t* skin_name);
  bool CreateFromText(HWND parent, const std::wstring& xml);

  // Runs a nested loop with the owner disabled until EndModal; returns the
  // modal result. UI tasks keep running meanwhile. Dialogs may nest and end
  // in any order; the owner stays disabled until the outermost run ends.
  int DoModal();
  void EndModal(int result);

  void RequestLayeredRedraw(int percent);
  // Composes and hands the picture to UpdateLayeredWindow now.
  void UpdateLayered(int percent);
  // Composes the picture at |percent| into a new top-down 32-bit DIB of the
  // window's size (for UpdateLayered and for tests). The caller deletes it.
  HBITMAP ComposeBitmap(int percent, void** bits);
  // Main variant: the opening animation, or a plain ShowWindow.
  void ShowAnimated(int show_command);

  ElementList& elements() { return elements_; }
  CBaseElementCtl* FindElement(const std::wstring& id) { return elements_.FindById(id); }
  HWND tooltip() const { return tooltip_; }
  int title_height() const { return title_height_; }
  bool animating() const { return animating_; }
  // A composition waits for the pacing timer.
  bool frame_held() const { return frame_held_; }
  BYTE constant_alpha() const { return blend_.SourceConstantAlpha; }
  void set_main_variant(bool main) { main_variant_ = main; }
  const std::wstring& skin_name() const { return skin_name_; }

  // The root's window attributes (skin reading).
  void LoadAttributes(TiXmlElement* node) override;

 protected:
  // Hooks for concrete windows.
  virtual void AdjustCreateRect(int* x, int* y, int* width, int* height);
  virtual void OnCreated() {}
  virtual void OnShown() {}
  virtual void OnClosed() {}
  // Main variant: the opening animation (or the plain show) has finished.
  virtual void OnOpeningFinished() {}
  virtual void DrawBackground(HDC dc);
  virtual void DrawCaption(HDC dc);
  // Main variant only.
  virtual void OnActivate(WPARAM wparam) { (void)wparam; }
  virtual void OnTimer(UINT_PTR id);
  virtual void OnPathChanged(WPARAM wparam) { (void)wparam; }
  // True when the controller took the command.
  virtual bool OnSysCommand(WPARAM wparam, LPARAM lparam);

  LRESULT HandleMessage(UINT message, WPARAM wparam, LPARAM lparam, bool* handled) override;

  void SetRoundRegion(bool round);
  // The frame, logo, caption and elements into |dc|.
  void PaintAll(HDC dc);
  LRESULT HitTest(int screen_x, int screen_y);

  int modal_result_ = 0;

 private:
  bool CreateFromRoot(HWND parent);
  void SetUpLayered();
  void SetUpElements();
  void CreateTooltip();
  void SetIcons();
  void AnimationStep(UINT_PTR timer);
  void StopAnimation();

  std::wstring skin_name_;
  std::unique_ptr<CXmlHelper> skin_;
  TiXmlElement* root_node_ = nullptr;
  ElementList elements_;
  HWND tooltip_ = nullptr;
  BLENDFUNCTION blend_ = {AC_SRC_OVER, 0, 255, AC_SRC_ALPHA};
  bool layered_display_ = false;  // 32-bit display: compose with UpdateLayeredWindow

  int min_width_ = 307, min_height_ = 451, title_height_ = 20;
  std::wstring icon_text_;
  HBITMAP frame_ = nullptr, frame_back_ = nullptr, resize_ = nullptr, title_image_ = nullptr,
          logo_ = nullptr;
  Quad frame_corner_, frame_back_corner_, frame_back_pos_;
  int center_ = 0, topmost_ = 0, round_corner_ = 0;
  bool zoomed_ = false;
  bool double_click_maximize_ = false;
  bool resizable_ = false;
  bool main_variant_ = false;
  // The nested loop of a running DoModal, or null.
  base::MessageLoop::LayerLoop* modal_loop_ = nullptr;

  // Composition requests are coalesced: pending ones collapse into one, and
  // frames come at most every kMinFrameMs; a request inside that interval
  // waits for kRedrawTimerId. Progress can ask for hundreds of frames a
  // second, and each costs a whole-window composition.
  void OnRedrawRequest(int percent);
  DWORD last_frame_ms_ = 0;
  bool frame_held_ = false;
  int held_percent_ = 100;

  // Opening animation (main variant).
  bool animating_ = false;
  RECT target_rect_ = {};
  int step_ = 0;
  HDC animation_dc_ = nullptr;
  HBITMAP animation_bitmap_ = nullptr;
  HGDIOBJ animation_old_bitmap_ = nullptr;
};

#endif  // UI_TRANS_WINDOW_H_
