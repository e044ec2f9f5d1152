// A test's whole plug-in session: the real Pellix module loaded into the test program through
// the replacement host, a fresh home folder, a fixed clock and a desktop that records effects.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "fx/Testing.h"
#include "zelkor/Host.h"

class PluginSession : private zelkor::HostServices {
 public:
  PluginSession();
  ~PluginSession() override;
  PluginSession(const PluginSession&) = delete;
  PluginSession& operator=(const PluginSession&) = delete;

  std::string home;  // the host program's folder; absolute, ends with '/'

  void WriteFile(const std::string& name, std::string_view bytes) const;
  std::string ReadFile(const std::string& name) const;  // "" when missing
  bool FileExists(const std::string& name) const;
  std::vector<std::string> ListFiles() const;  // names in home, sorted

  void SetTime(int year, int month, int day, int hour, int minute, int second);

  void Load();      // load the module only (so that a test may then drop privileges)
  void Start();     // load the module unless loaded, then OnInitPlugin
  void Exit();      // OnExitPlugin only
  void Shutdown();  // OnExitPlugin, destroy the main window, unload
  bool IsRunning() const { return m_host.IsLoaded(); }

  void Join(std::string_view name, std::string_view dottedIp, std::uint16_t port, std::uint16_t lineType,
            std::uint16_t files);
  void Leave(std::string_view name, std::string_view dottedIp, std::uint16_t port);
  void Rename(std::string_view oldName, std::string_view newName, std::string_view dottedIp, std::uint16_t port);
  void Chat(std::string_view name, std::string_view text, std::uint32_t flag = 0);
  std::optional<std::string> Say(std::string_view text);

  CZelkorPlugin* plugin() const { return m_host.Plugin(); }
  HWND Dialog(int templateId) const;

  std::vector<std::string> sent;
  struct Echo {
    std::string text;
    std::uint32_t colour;
  };
  std::vector<Echo> echoes;
  fx::testing::RecordingDesktop desktop;

 private:
  void InputMessage(ChannelId channel, std::string_view text) override;
  void EchoText(ChannelId channel, std::string_view text, std::uint32_t colour) override;
  static std::uint32_t Ip(std::string_view dottedIp);

  zelkor::Host m_host;
};
