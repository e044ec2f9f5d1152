// Where the host's services send what a plug-in asks of them, and the plug-in registry.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "host/ZelkorPlugin.h"

namespace zelkor {

class HostServices {
 public:
  virtual ~HostServices() = default;
  // A line the plug-in sends to the channel as if the local user typed it.
  virtual void InputMessage(ChannelId channel, std::string_view text) = 0;
  // A line shown in the channel window only.
  virtual void EchoText(ChannelId channel, std::string_view text, std::uint32_t colour) = 0;
};

void SetHostServices(HostServices* services);

struct Registration {
  CZelkorPlugin* plugin = nullptr;
  std::string author;
  std::string title;
};

// The plug-in registered by the module loaded last; plugin is null when none is registered.
const Registration& RegisteredPlugin();

}  // namespace zelkor
