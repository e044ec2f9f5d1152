// The Zelkor host's plug-in contract, as a plug-in sees it.
//
// The host executable exports CZelkorPlugin's non-virtual members, its default virtual bodies
// and RegisterPlugin; a plug-in module resolves them when it is loaded. All text is
// NUL-terminated Shift-JIS, except the input line of OnInputText, which is the host's own
// mutable string object of the shared framework.
#pragma once

#include <cstdint>

#include "fx/String.h"

#if defined(_WIN32)
#  if defined(ZELKOR_HOST_BUILD)
#    define ZELKOR_API __declspec(dllexport)
#  else
#    define ZELKOR_API __declspec(dllimport)
#  endif
#else
#  define ZELKOR_API __attribute__((visibility("default")))
#endif

// The host's channel handle, handed back unchanged to the host services.
using ChannelId = std::uint32_t;

struct JoinUserInfo {
  const char* name;
  std::uint32_t ip;  // first octet in the low byte
  std::uint16_t port;
  std::uint16_t lineType;
  std::uint16_t files;
};

struct LeaveUserInfo {
  const char* name;
  std::uint32_t ip;
  std::uint16_t port;
};

struct RenameUserInfo {
  const char* oldName;
  std::uint8_t unread[8];  // host data no plug-in reads
  const char* newName;
  std::uint32_t ip;
  std::uint16_t port;
};

class ZELKOR_API CZelkorPlugin {
 public:
  CZelkorPlugin();
  CZelkorPlugin(const CZelkorPlugin&) = delete;
  CZelkorPlugin& operator=(const CZelkorPlugin&) = delete;

  // Virtual operations, in the host's slot order.
  virtual ~CZelkorPlugin();
  virtual void OnInitPlugin();
  virtual void OnExitPlugin();
  virtual void OnEnterChannel(ChannelId channel, const char* name, const char* topic);
  virtual void OnJoinUser(ChannelId channel, const JoinUserInfo* info);
  virtual void OnChatMessage(ChannelId channel, const char* name, const char* text, std::uint32_t flag);
  virtual void OnRenameUser(ChannelId channel, const RenameUserInfo* info);
  virtual void OnLeaveUser(ChannelId channel, const LeaveUserInfo* info);
  virtual void OnCloseClient(ChannelId channel);
  virtual void OnInputText(ChannelId channel, CString* text);

  // Host services. The results carry nothing a plug-in relies on.
  int InputMessage(ChannelId channel, const char* text);
  int WriteEchoText(ChannelId channel, const char* text, std::uint32_t colour);

 private:
  std::uint32_t m_hostData;  // owned by the host
};

// Registers the plug-in's one instance with an author credit and a title.
extern "C++" ZELKOR_API int RegisterPlugin(CZelkorPlugin* plugin, const char* author, const char* title);
