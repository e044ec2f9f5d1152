#include "support/PluginSession.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "fx/Clock.h"
#include "fx/Desktop.h"
#include "fx/File.h"
#include "fx/Module.h"
#include "fx/Profile.h"
#include "zelkor/DottedIp.h"

namespace fs = std::filesystem;

namespace {

// Names in the home folder are UTF-8 (as fx names files); the path says so explicitly, since
// Windows would read a narrow name in its ANSI code page.
fs::path Utf8Path(const std::string& utf8) {
  return fs::path(std::u8string(reinterpret_cast<const char8_t*>(utf8.data()), utf8.size()));
}

}  // namespace

PluginSession::PluginSession() : m_host(*this) {
  char pattern[] = "/tmp/pellix-test-XXXXXX";
  const char* made = mkdtemp(pattern);
  if (made == nullptr) throw std::runtime_error("cannot make a temporary folder");
  home = std::string(made) + "/";
  fx::SetHostProgramPath(home + "zelkor");
  fx::SetFixedLocalTime(fx::LocalTime{2026, 1, 3, 9, 5, 7});
  fx::SetDesktop(&desktop);
  fx::ProfileForgetCache();
}

PluginSession::~PluginSession() {
  Shutdown();
  fx::SetDesktop(nullptr);
  fx::SetFixedLocalTime(std::nullopt);
  fx::seams::FailFileWritesAfter(std::nullopt);
  fx::ProfileForgetCache();
  std::error_code ignored;
  fs::remove_all(home, ignored);
}

void PluginSession::WriteFile(const std::string& name, std::string_view bytes) const {
  std::ofstream out(Utf8Path(home + name), std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

std::string PluginSession::ReadFile(const std::string& name) const {
  std::ifstream in(Utf8Path(home + name), std::ios::binary);
  if (!in) return std::string();
  std::ostringstream content;
  content << in.rdbuf();
  return content.str();
}

bool PluginSession::FileExists(const std::string& name) const { return fs::exists(Utf8Path(home + name)); }

std::vector<std::string> PluginSession::ListFiles() const {
  std::vector<std::string> names;
  for (const auto& entry : fs::directory_iterator(Utf8Path(home))) {
    const std::u8string name = entry.path().filename().u8string();
    names.emplace_back(reinterpret_cast<const char*>(name.data()), name.size());
  }
  std::sort(names.begin(), names.end());
  return names;
}

void PluginSession::SetTime(int year, int month, int day, int hour, int minute, int second) {
  fx::SetFixedLocalTime(fx::LocalTime{year, month, day, hour, minute, second});
}

void PluginSession::Load() {
  std::string error;
  if (!m_host.Load(PELLIX_MODULE_PATH, error)) ADD_FAILURE() << "cannot load the plug-in: " << error;
}

void PluginSession::Start() {
  if (!m_host.IsLoaded()) Load();
  if (m_host.IsLoaded()) m_host.Init();
}

void PluginSession::Exit() { m_host.Exit(); }
void PluginSession::Shutdown() { m_host.Shutdown(); }

std::uint32_t PluginSession::Ip(std::string_view dottedIp) {
  const auto ip = zelkor::ParseDottedIp(dottedIp);
  EXPECT_TRUE(ip.has_value()) << "not an address: " << dottedIp;
  return ip.value_or(0);
}

void PluginSession::Join(std::string_view name, std::string_view dottedIp, std::uint16_t port, std::uint16_t lineType,
                         std::uint16_t files) {
  m_host.Join(zelkor::Host::kChannel, name, Ip(dottedIp), port, lineType, files);
}

void PluginSession::Leave(std::string_view name, std::string_view dottedIp, std::uint16_t port) {
  m_host.Leave(zelkor::Host::kChannel, name, Ip(dottedIp), port);
}

void PluginSession::Rename(std::string_view oldName, std::string_view newName, std::string_view dottedIp,
                           std::uint16_t port) {
  m_host.Rename(zelkor::Host::kChannel, oldName, newName, Ip(dottedIp), port);
}

void PluginSession::Chat(std::string_view name, std::string_view text, std::uint32_t flag) {
  m_host.Chat(zelkor::Host::kChannel, name, text, flag);
}

std::optional<std::string> PluginSession::Say(std::string_view text) { return m_host.Say(zelkor::Host::kChannel, text); }

HWND PluginSession::Dialog(int templateId) const { return fx::testing::FindDialog(templateId); }

void PluginSession::InputMessage(ChannelId, std::string_view text) { sent.emplace_back(text); }

void PluginSession::EchoText(ChannelId, std::string_view text, std::uint32_t colour) {
  echoes.push_back(Echo{std::string(text), colour});
}
