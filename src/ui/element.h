// The element: a plain object (not a child window) with a rectangle in its
// host window's client coordinates, texts and images, that draws itself into
// the host's memory DC and reacts to input the host forwards. Clicks are not
// reported from inside input handlers: the element posts a message to its
// host, which calls back into it (FireClick and friends) on a later turn.
//
// Thread affinity: the UI thread. Ownership: elements are owned by the
// ElementList of their window or panel.

#ifndef UI_ELEMENT_H_
#define UI_ELEMENT_H_

#include <windows.h>

#include <tinyxml.h>

#include <functional>
#include <string>

class ElementList;

// One event of an element: a callback without arguments and, where an
// element says so, one receiving the element's id.
struct EventSlot {
  std::function<int()> callback;
  std::function<void(const std::wstring&)> id_callback;

  // The argument-less callback; -1 when it is not set.
  int Fire() const;
  // The argument-less callback, else the id callback with |id|; -1 when
  // neither is set.
  int FireOrPassId(const std::wstring& id) const;
};

// How the position and size follow the parent's size.
struct CWindowCtlStyle {
  int x_alignment = 1;  // Alignment codes of skin_values.h
  int y_alignment = 2;
  int x_stretch = 0;
  int y_stretch = 0;
};

class CBaseElementCtl {
 public:
  // |host| draws the element and receives its messages; |layered| makes
  // text go through GDI+ and redraws through UM_LAYERED_REDRAW.
  CBaseElementCtl(HWND host, bool layered);
  virtual ~CBaseElementCtl() = default;
  CBaseElementCtl(const CBaseElementCtl&) = delete;
  CBaseElementCtl& operator=(const CBaseElementCtl&) = delete;

  // Skin reading: LoadAttributes reads the common attributes, then the
  // class's own; containers also create their children.
  virtual void LoadAttributes(TiXmlElement* node);
  void LoadCommonAttributes(TiXmlElement* node);
  void LoadLayoutAttributes(TiXmlElement* node);

  const std::wstring& GetId() const { return id_; }
  const std::wstring& GetName() const { return name_; }
  virtual std::wstring GetTitle() const { return title_; }
  const std::wstring& GetTip() const { return tip_; }
  const std::wstring& GetTypeTag() const { return type_tag_; }
  virtual void SetTitle(const std::wstring& title) { title_ = title; }
  void SetTip(const std::wstring& tip) { tip_ = tip; }
  void SetId(const std::wstring& id) { id_ = id; }
  void SetName(const std::wstring& name) { name_ = name; }
  int style() const { return style_; }
  int style_ex() const { return style_ex_; }

  virtual void SetEnabled(bool enabled) { enabled_ = enabled; }
  bool IsEnabled() const { return enabled_; }
  bool IsVisible() const { return visible_; }
  // Redraws when the value changes.
  virtual void SetVisible(bool visible);
  void SetTickFlag(bool tick) { tick_ = tick; }
  bool GetTickFlag() const { return tick_; }
  virtual void FocusElement(CBaseElementCtl* element) { focused_ = element == this; }
  void SetFocused(bool focused) { focused_ = focused; }
  bool IsFocused() const { return focused_; }
  void SetUserData(int data) { user_data_ = data; }
  int GetUserData() const { return user_data_; }

  virtual void SetRect(int left, int top, int right, int bottom);
  virtual void SetPos(int x, int y, int width, int height);
  void SetDesignPos(int x, int y, int width, int height);
  RECT GetRect() const;
  RECT GetDesignRect() const;
  int x() const { return x_; }
  int y() const { return y_; }
  int width() const { return width_; }
  int height() const { return height_; }

  HCURSOR GetCursor() const { return cursor_; }
  void SetCursor(HCURSOR cursor) { cursor_ = cursor; }
  bool layered() const { return layered_; }
  bool path_check() const { return path_check_; }

  void SetOnPress(const EventSlot& slot) { on_press_ = slot; }
  void SetOnClick(const EventSlot& slot) { on_click_ = slot; }
  void SetOnRightClick(const EventSlot& slot) { on_right_click_ = slot; }
  void SetOnHover(const EventSlot& slot) { on_hover_ = slot; }
  void SetOnLeave(const EventSlot& slot) { on_leave_ = slot; }
  void SetOnNotify(const EventSlot& slot) { on_notify_ = slot; }
  void SetOnAction(const EventSlot& slot) { on_action_ = slot; }

  // Nothing without a host or with |redraw| false; layered: posts
  // UM_LAYERED_REDRAW (100 %), else invalidates the element's rectangle.
  virtual void Redraw(bool redraw);
  // Width of |text| in |font|, measured on a DC of the host.
  int MeasureText(const std::wstring& text, HFONT font) const;
  HWND GetHostWindow() const { return host_; }
  void SetHostWindow(HWND host) { host_ = host; }

  virtual void OnTick() {}
  virtual void OffsetY(int delta) { y_ += delta; }
  virtual void OnHostMoved() {}
  virtual void OnKeyDown(UINT vk) { (void)vk; }
  virtual void OnKeyUp(UINT vk) { (void)vk; }
  void PostPress();   // UM_ELEMENT_CHECKED
  void PostClick();   // UM_ELEMENT_CLICK
  void PostNotify();  // UM_ELEMENT_NOTIFY
  virtual void PostTab() {}

  // Pointer input in host client coordinates; |message| is the host's
  // window message that caused the call.
  virtual void OnLButtonDown(UINT message, int x, int y);
  virtual void OnLButtonUp(UINT message, int x, int y);
  virtual void OnRButtonUp(UINT message, int x, int y);  // posts UM_ELEMENT_RCLICK
  virtual void OnMouseHover(UINT message, int x, int y);  // fires hover
  virtual void OnMouseLeave();                             // fires leave
  virtual void OnWheel(UINT keys, int delta, int x, int y);

  virtual void Draw(HDC dc) { (void)dc; }
  // Follows the parent's resize from (old_width, old_height).
  virtual void Relayout(int old_width, int old_height, int new_width, int new_height);
  // Inclusive on all four edges.
  static bool PointInRect(int x, int y, int left, int top, int right, int bottom);
  // Visible, enabled and containing the point.
  bool HitTest(int x, int y) const;

  virtual int FireClick();
  virtual int FireRightClick();
  int FireNotify() { return on_notify_.Fire(); }
  int FirePress() { return on_press_.Fire(); }
  int FireAction() { return on_action_.FireOrPassId(id_); }
  virtual void OnHostMessage(UINT message, WPARAM wparam, LPARAM lparam, bool* handled);

  // The children of a container, null for plain elements.
  virtual ElementList* Children() { return nullptr; }

 protected:
  // The skin image (type 6000) named by |node|'s attribute, or null.
  static HBITMAP ImageAttribute(TiXmlElement* node, const char* name);
  // A skin image of the program's resources by name, or null.
  static HBITMAP NamedImage(const wchar_t* name);

  HWND host_;
  std::wstring id_, name_, title_, type_tag_, tip_;
  int style_ = 0, style_ex_ = 0;
  int x_ = 0, y_ = 0, width_ = 0, height_ = 0;
  int design_x_ = 0, design_y_ = 0, design_width_ = 0, design_height_ = 0;
  int offset_x_ = 0, offset_y_ = 0;
  CWindowCtlStyle layout_;
  bool enabled_ = true;
  bool tick_ = false;
  bool focused_ = false;
  bool visible_ = true;
  int user_data_ = 0;
  HCURSOR cursor_;
  bool layered_;
  bool path_check_ = false;
  EventSlot on_press_, on_click_, on_right_click_, on_hover_, on_leave_, on_notify_,
      on_action_;
};

#endif  // UI_ELEMENT_H_
