#include "ui/element_factory.h"

#include <memory>
#include <string>

#include "ui/check_box_ctl.h"
#include "ui/element_list.h"
#include "ui/hyperlink_ctl.h"
#include "ui/layered_edit_ctl.h"
#include "ui/panel_ctl.h"
#include "ui/progress_ctl.h"
#include "ui/static_ctl.h"
#include "ui/tab_ctl.h"
#include "ui/xml_helper.h"

namespace {

std::unique_ptr<CBaseElementCtl> Make(const std::wstring& tag, ElementCreator creator,
                                      HWND host, bool layered, CPanelCtl* panel) {
  if (creator == kCreatorTabList) {
    if (tag != L"tab") return nullptr;
    return std::make_unique<CTabCtl>(host, layered, static_cast<CTabListCtl*>(panel));
  }
  bool in_panel = creator == kCreatorPanel;
  // Top-level elements are layered except the progress bar; a panel passes
  // on its own flag.
  if (tag == L"button") return std::make_unique<CButtonCtl>(host, in_panel ? layered : true);
  if (tag == L"static") return std::make_unique<CStaticCtl>(host, in_panel ? layered : true);
  if (tag == L"link") return std::make_unique<CHyperLinkCtl>(host, in_panel ? layered : true);
  if (tag == L"panel") return std::make_unique<CPanelCtl>(host, in_panel ? layered : true);
  if (tag == L"checkbox") return std::make_unique<CCheckBoxCtl>(host, in_panel ? layered : true);
  if (tag == L"progress") return std::make_unique<CProgressCtl>(host, in_panel ? layered : false);
  if (tag == L"tablist") return std::make_unique<CTabListCtl>(host, layered);
  if (tag == L"layedit") return std::make_unique<CLayeredEditCtl>(host);
  if (tag == L"radiobutton" && in_panel) return std::make_unique<CRadioButtonCtl>(host, false);
  return nullptr;
}

}  // namespace

void CreateElements(TiXmlElement* node, ElementCreator creator, HWND host, bool layered,
                    CPanelCtl* panel, ElementList* list) {
  for (TiXmlElement* child : CXmlHelper::Children(node)) {
    std::unique_ptr<CBaseElementCtl> element =
        Make(CXmlHelper::Tag(child), creator, host, layered, panel);
    if (!element) continue;
    element->LoadAttributes(child);
    if (creator == kCreatorWindow) list->Add(std::move(element));
    else panel->AddChild(std::move(element));
  }
}
