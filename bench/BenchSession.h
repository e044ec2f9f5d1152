// A plug-in session for benchmarks: the real Pellix module loaded through the host code, with a
// fresh home folder, the real clock, and a host that only counts what the plug-in sends.
#pragma once

#include <cstddef>
#include <filesystem>
#include <string>
#include <string_view>

#include "zelkor/Host.h"

class BenchSession : private zelkor::HostServices {
 public:
  BenchSession();
  ~BenchSession() override;
  BenchSession(const BenchSession&) = delete;
  BenchSession& operator=(const BenchSession&) = delete;

  std::string home;  // ends with '/'
  std::size_t sentLines = 0;

  void WriteFile(const std::string& name, std::string_view bytes) const;
  // The first EventLog file in home, empty when none. A path, not a narrow string: the name holds
  // Japanese, which a narrow string on Windows would not carry.
  std::filesystem::path LogFilePath() const;
  void Load();                      // module load; aborts when it fails
  void Init();                      // OnInitPlugin
  void Shutdown();
  CZelkorPlugin& plugin() const;

 private:
  void InputMessage(ChannelId, std::string_view) override { ++sentLines; }
  void EchoText(ChannelId, std::string_view, std::uint32_t) override {}

  zelkor::Host m_host;
};

// Pellix.ini with every setting, recording from the start into an HTML log with the time
// prefix, and `rules` keyword rules whose keywords are "kw<i>" (matching lines that hold them).
std::string FullPluginIni(int rules, bool keywordsInLine);
// Zelkor.ini with the colours and the font.
std::string FullHostIni();
