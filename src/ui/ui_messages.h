// Private window messages between elements, their host windows and the
// controller, and the timer ids of the skinned windows.

#ifndef UI_UI_MESSAGES_H_
#define UI_UI_MESSAGES_H_

#include <windows.h>

// Element list to host (sent).
constexpr UINT UM_TOOLTIP = 0x1400;     // WPARAM 1: show tip LPARAM; 0: hide
constexpr UINT UM_SETCURSOR = 0x1401;   // WPARAM: cursor handle
constexpr UINT UM_FOCUS_ELEMENT = 0x1406;  // WPARAM: element to focus
// Element to host (posted, WPARAM = element).
constexpr UINT UM_ELEMENT_CLICK = 0x1420;
constexpr UINT UM_ELEMENT_RCLICK = 0x1421;
constexpr UINT UM_ELEMENT_NOTIFY = 0x1423;
constexpr UINT UM_ELEMENT_TAB = 0x1424;     // LPARAM: the field's index
constexpr UINT UM_ELEMENT_CHECKED = 0x1426;
// Compose the layered window again; LPARAM: constant alpha in percent.
constexpr UINT UM_LAYERED_REDRAW = 0x5400;
// A radio button was selected (no receiver); WPARAM = element.
constexpr UINT UM_RADIO_SELECTED = 12000;
// The text of a path field changed; WPARAM = the field's check flag.
constexpr UINT UM_PATH_CHANGED = 12002;

// Timer ids.
constexpr UINT_PTR kTickTimerId = 512;
constexpr UINT_PTR kOpeningTimerId = 0x1110;
constexpr UINT_PTR kOpeningMoveTimerId = 0x1111;
constexpr UINT_PTR kRedrawTimerId = 0x1112;  // a composition held back (frame pacing)

#endif  // UI_UI_MESSAGES_H_
