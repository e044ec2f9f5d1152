// The replacement host: its main window, one channel, and one loaded plug-in module, driven
// through the calls the real host makes.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "fx/Library.h"
#include "fx/Wnd.h"
#include "zelkor/HostServices.h"

namespace zelkor {

class Host {
 public:
  static constexpr ChannelId kChannel = 1;

  explicit Host(HostServices& services);
  ~Host();  // shuts down if still running
  Host(const Host&) = delete;
  Host& operator=(const Host&) = delete;

  // Creates the main window and loads the module, whose load registers its plug-in.
  bool Load(const std::string& modulePath, std::string& error);
  bool IsLoaded() const { return m_library != nullptr; }
  CZelkorPlugin* Plugin() const;
  const std::string& Title() const { return RegisteredPlugin().title; }

  void Init();  // OnInitPlugin
  void Exit();  // OnExitPlugin
  // The orderly end: OnExitPlugin (once), destroying the main window with the plug-in's
  // windows, then unloading the module.
  void Shutdown();

  // The events of one channel; a scripted session has only kChannel.
  void Enter(ChannelId channel, std::string_view ownName, std::string_view topic);
  void Join(ChannelId channel, std::string_view name, std::uint32_t ip, std::uint16_t port, std::uint16_t lineType,
            std::uint16_t files);
  void Leave(ChannelId channel, std::string_view name, std::uint32_t ip, std::uint16_t port);
  void Rename(ChannelId channel, std::string_view oldName, std::string_view newName, std::uint32_t ip, std::uint16_t port);
  void Chat(ChannelId channel, std::string_view name, std::string_view text, std::uint32_t flag);
  // The local user's line: the plug-in sees it first; the result is what is sent, or nothing
  // when the plug-in emptied it.
  std::optional<std::string> Say(ChannelId channel, std::string_view text);

 private:
  HostServices& m_services;
  CWnd m_mainWindow;
  std::unique_ptr<fx::Library> m_library;
  bool m_exited = false;
};

}  // namespace zelkor
