// The host side of the plug-in contract: the base class's bodies, the services and the
// registration, exported from the host program for the plug-in module to resolve.
#include "host/ZelkorPlugin.h"
#include "zelkor/HostServices.h"

namespace zelkor {
namespace {

HostServices* g_services = nullptr;
Registration g_registration;

}  // namespace

void SetHostServices(HostServices* services) { g_services = services; }
const Registration& RegisteredPlugin() { return g_registration; }

}  // namespace zelkor

CZelkorPlugin::CZelkorPlugin() : m_hostData(0) {}

// A plug-in object that goes away with its module is no longer registered.
CZelkorPlugin::~CZelkorPlugin() {
  if (zelkor::g_registration.plugin == this) zelkor::g_registration = zelkor::Registration{};
}

void CZelkorPlugin::OnInitPlugin() {}
void CZelkorPlugin::OnExitPlugin() {}
void CZelkorPlugin::OnEnterChannel(ChannelId, const char*, const char*) {}
void CZelkorPlugin::OnJoinUser(ChannelId, const JoinUserInfo*) {}
void CZelkorPlugin::OnChatMessage(ChannelId, const char*, const char*, std::uint32_t) {}
void CZelkorPlugin::OnRenameUser(ChannelId, const RenameUserInfo*) {}
void CZelkorPlugin::OnLeaveUser(ChannelId, const LeaveUserInfo*) {}
void CZelkorPlugin::OnCloseClient(ChannelId) {}
void CZelkorPlugin::OnInputText(ChannelId, CString*) {}

int CZelkorPlugin::InputMessage(ChannelId channel, const char* text) {
  if (zelkor::g_services != nullptr) zelkor::g_services->InputMessage(channel, text ? text : "");
  return 1;
}

int CZelkorPlugin::WriteEchoText(ChannelId channel, const char* text, std::uint32_t colour) {
  if (zelkor::g_services != nullptr) zelkor::g_services->EchoText(channel, text ? text : "", colour);
  return 1;
}

int RegisterPlugin(CZelkorPlugin* plugin, const char* author, const char* title) {
  if (plugin == nullptr) return 0;
  zelkor::g_registration = zelkor::Registration{plugin, author ? author : "", title ? title : ""};
  return 1;
}
