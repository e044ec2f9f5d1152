// The plug-in's handling of the host's channel events. Records and texts are never null here.
#pragma once

#include <cstdint>

#include "host/ZelkorPlugin.h"

void SendWelcome(CZelkorPlugin& host, ChannelId channel, const JoinUserInfo& info);
void RecordJoin(const JoinUserInfo& info);
void RecordLeave(const LeaveUserInfo& info);
void HandleRename(CZelkorPlugin& host, ChannelId channel, const RenameUserInfo& info);
void HandleChatMessage(CZelkorPlugin& host, ChannelId channel, const char* name, const char* text, std::uint32_t flag);
