// Where a centred skinned window goes: on its owner while the owner can be
// seen, else on the work area of the owner's monitor, and always inside
// that work area, so a minimised owner (parked near -32000, -32000) or one
// dragged half off the screen never takes a dialog off it.
//
// Thread affinity: CentreWindow on the window's thread; CentredPosition is
// a plain function.

#ifndef UI_WINDOW_PLACEMENT_H_
#define UI_WINDOW_PLACEMENT_H_

#include <windows.h>

// The top-left corner for a window of |size|: centred on |owner| when
// |owner_usable| (visible and not minimised), else on |work_area|; then
// moved into |work_area| (its top-left corner wins for a larger window).
POINT CentredPosition(SIZE size, bool owner_usable, const RECT& owner, const RECT& work_area);

// Moves |hwnd| to CentredPosition for its owner (GW_OWNER) and the work
// area of the owner's monitor (the window's own monitor without an owner).
void CentreWindow(HWND hwnd);

#endif  // UI_WINDOW_PLACEMENT_H_
