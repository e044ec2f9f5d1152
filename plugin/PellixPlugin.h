// CPellixPlugin: the object registered with the host; routes every host call to its handler.
#pragma once

#include "host/ZelkorPlugin.h"

class CPellixPlugin : public CZelkorPlugin {
 public:
  CPellixPlugin() = default;
  ~CPellixPlugin() override;
  void OnInitPlugin() override;
  void OnExitPlugin() override;
  void OnJoinUser(ChannelId channel, const JoinUserInfo* info) override;
  void OnChatMessage(ChannelId channel, const char* name, const char* text, std::uint32_t flag) override;
  void OnRenameUser(ChannelId channel, const RenameUserInfo* info) override;
  void OnLeaveUser(ChannelId channel, const LeaveUserInfo* info) override;
  void OnInputText(ChannelId channel, CString* text) override;
};

// The module's single instance, reached directly by every part of the plug-in; plugin/Module.cpp
// defines it with the others, in their fixed order.
extern CPellixPlugin thePlugin;
