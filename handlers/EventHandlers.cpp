#include "handlers/EventHandlers.h"

void SendWelcome(CZelkorPlugin&, ChannelId, const JoinUserInfo&) {}
void RecordJoin(const JoinUserInfo&) {}
void RecordLeave(const LeaveUserInfo&) {}
void HandleRename(CZelkorPlugin&, ChannelId, const RenameUserInfo&) {}
void HandleChatMessage(CZelkorPlugin&, ChannelId, const char*, const char*, std::uint32_t) {}
