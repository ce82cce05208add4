// Shell links to the installed game on the desktop, in the Start menu and
// among the taskbar's pinned items.
//
// Thread affinity: any thread; initialises COM for the calling thread around
// its work.

#ifndef SYS_SHORTCUT_H_
#define SYS_SHORTCUT_H_

#include <string>

enum ShortcutKind {
  kShortcutDesktop = 1,
  kShortcutStartMenu = 2,
  kShortcutTaskbar = 3,  // offered from Windows 7 on (version code > 8)
};

// "<folder of the kind>\<display_name>.lnk", or empty for an unknown kind or
// an unreadable folder.
std::wstring ShortcutPath(int kind, const std::wstring& display_name);

// Writes (or overwrites) the link of |kind| to |target|, with the target's
// folder as working folder and its first icon. False when nothing was
// written, a kind outside 1..3 included.
bool CreateShortcut(const std::wstring& target, int kind, const std::wstring& display_name);

#endif  // SYS_SHORTCUT_H_
