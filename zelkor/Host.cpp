#include "zelkor/Host.h"

#include <string>

#include "fx/App.h"

namespace zelkor {

Host::Host(HostServices& services) : m_services(services) {}

Host::~Host() { Shutdown(); }

bool Host::Load(const std::string& modulePath, std::string& error) {
  if (m_library) {
    error = "a plug-in is already loaded";
    return false;
  }
  SetHostServices(&m_services);
  fx::SetAppTitle("Zelkor");
  if (m_mainWindow.m_hWnd == nullptr) m_mainWindow.CreateTopLevel("Zelkor", 640, 480);
  fx::SetMainWindow(&m_mainWindow);
  m_library = fx::Library::Load(modulePath, error);
  if (!m_library) return false;
  if (RegisteredPlugin().plugin == nullptr) {
    error = "the module registered no plug-in";
    m_library.reset();
    return false;
  }
  m_exited = false;
  return true;
}

CZelkorPlugin* Host::Plugin() const { return m_library ? RegisteredPlugin().plugin : nullptr; }

void Host::Init() {
  if (CZelkorPlugin* plugin = Plugin()) plugin->OnInitPlugin();
  fx::PumpMessages();
}

void Host::Exit() {
  if (CZelkorPlugin* plugin = Plugin()) plugin->OnExitPlugin();
  m_exited = true;
}

void Host::Shutdown() {
  if (m_library && !m_exited) Exit();
  m_mainWindow.DestroyWindow();
  fx::SetMainWindow(nullptr);
  m_library.reset();
  SetHostServices(nullptr);
}

void Host::Enter(ChannelId channel, std::string_view ownName, std::string_view topic) {
  CZelkorPlugin* plugin = Plugin();
  if (plugin == nullptr) return;
  const std::string nameText(ownName), topicText(topic);
  plugin->OnEnterChannel(channel, nameText.c_str(), topicText.c_str());
  fx::PumpMessages();
}

void Host::Join(ChannelId channel, std::string_view name, std::uint32_t ip, std::uint16_t port, std::uint16_t lineType, std::uint16_t files) {
  CZelkorPlugin* plugin = Plugin();
  if (plugin == nullptr) return;
  const std::string nameText(name);
  const JoinUserInfo info{nameText.c_str(), ip, port, lineType, files};
  plugin->OnJoinUser(channel, &info);
  fx::PumpMessages();
}

void Host::Leave(ChannelId channel, std::string_view name, std::uint32_t ip, std::uint16_t port) {
  CZelkorPlugin* plugin = Plugin();
  if (plugin == nullptr) return;
  const std::string nameText(name);
  const LeaveUserInfo info{nameText.c_str(), ip, port};
  plugin->OnLeaveUser(channel, &info);
  fx::PumpMessages();
}

void Host::Rename(ChannelId channel, std::string_view oldName, std::string_view newName, std::uint32_t ip, std::uint16_t port) {
  CZelkorPlugin* plugin = Plugin();
  if (plugin == nullptr) return;
  const std::string oldText(oldName), newText(newName);
  const RenameUserInfo info{oldText.c_str(), {}, newText.c_str(), ip, port};
  plugin->OnRenameUser(channel, &info);
  fx::PumpMessages();
}

void Host::Chat(ChannelId channel, std::string_view name, std::string_view text, std::uint32_t flag) {
  CZelkorPlugin* plugin = Plugin();
  if (plugin == nullptr) return;
  const std::string nameText(name), lineText(text);
  plugin->OnChatMessage(channel, nameText.c_str(), lineText.c_str(), flag);
  fx::PumpMessages();
}

std::optional<std::string> Host::Say(ChannelId channel, std::string_view text) {
  // The person types in the main window's input line: it is the window in use, which a box
  // the plug-in shows now belongs to.
  m_mainWindow.SetForegroundWindow();
  CString line{text};
  if (CZelkorPlugin* plugin = Plugin()) plugin->OnInputText(channel, &line);
  fx::PumpMessages();
  if (line.IsEmpty()) return std::nullopt;
  return line.Str();
}

}  // namespace zelkor
