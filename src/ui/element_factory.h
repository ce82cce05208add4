// Turns the children of a skin node into elements, in document order, and
// appends them to their container.
//
// Thread affinity: the UI thread.

#ifndef UI_ELEMENT_FACTORY_H_
#define UI_ELEMENT_FACTORY_H_

#include <windows.h>

#include <tinyxml.h>

class CPanelCtl;
class ElementList;

enum ElementCreator { kCreatorWindow, kCreatorPanel, kCreatorTabList };

// Window: appends to |list|. Panel and tab list: adds to |panel| (moved by
// the panel's position). Unknown tags, a radio button at window level and
// anything but tabs in a tab list are skipped with their subtrees.
void CreateElements(TiXmlElement* node, ElementCreator creator, HWND host, bool layered,
                    CPanelCtl* panel, ElementList* list = nullptr);

#endif  // UI_ELEMENT_FACTORY_H_
