#include "app_global.h"

#include "sys/file_version.h"
#include "sys/string_util.h"
#include "sys/sys_info.h"

namespace {

HINSTANCE g_instance = nullptr;
UINT g_taskbar_button_created = 0;

}  // namespace

CGlobal::CGlobal()
    : mac_address(GetMacAddress()), os_name(GetOsName()) {
  FileVersionInfo version;
  if (version.Open(L"")) file_description = WideToAnsi(version.GetString(L"FileDescription"));
}

CGlobal& Global() {
  // Made on first use: the record asks the system for facts, which must
  // not depend on the order of static construction.
  static CGlobal global;
  return global;
}

HINSTANCE AppInstance() { return g_instance; }
void SetAppInstance(HINSTANCE instance) { g_instance = instance; }
UINT TaskbarButtonCreatedMessage() { return g_taskbar_button_created; }
void SetTaskbarButtonCreatedMessage(UINT message) { g_taskbar_button_created = message; }
