// The module's entry: the single instances in their fixed order, the resource registration and
// the registration with the host, both when the module is loaded.
#include "eventlog/EventLogDlg.h"
#include "plugin/PellixPlugin.h"
#include "resources/Resources.h"
#include "settings/SettingDlg.h"
#include "urls/UrlDlg.h"

namespace {

constexpr const char* kAuthor = "Pellix developers";
constexpr const char* kTitle = "Pellix Ver.1.6b";

struct ModuleEntry {
  ModuleEntry() {
    fx::RegisterResources(&kPellixResources);
    RegisterPlugin(&thePlugin, kAuthor, kTitle);
  }
  // A host that unloads the module without destroying its main window first leaves windows
  // alive; destroy them while their objects are intact, so that they save as usual.
  ~ModuleEntry() {
    theUrlDlg.DestroyWindow();
    theSettingDlg.DestroyWindow();
    theEventLogDlg.DestroyWindow();
    fx::UnregisterResources(&kPellixResources);
  }
  ModuleEntry(const ModuleEntry&) = delete;
  ModuleEntry& operator=(const ModuleEntry&) = delete;
};

}  // namespace

// Constructed in this order when the module is loaded, destroyed in reverse when it is unloaded.
// Defined together here rather than beside their classes: only within one file is that order
// fixed, and the entry below must be destroyed first, while the windows it destroys are intact.
CEventLogDlg theEventLogDlg;
CSettingDlg theSettingDlg;
CUrlDlg theUrlDlg;
CPellixPlugin thePlugin;
namespace {
ModuleEntry theModuleEntry;
}
