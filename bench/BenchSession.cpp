#include "BenchSession.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "fx/Clock.h"
#include "fx/Module.h"
#include "fx/Profile.h"

namespace fs = std::filesystem;

BenchSession::BenchSession() : m_host(*this) {
  char pattern[] = "/tmp/pellix-bench-XXXXXX";
  const char* made = mkdtemp(pattern);
  if (made == nullptr) std::abort();
  home = std::string(made) + "/";
  fx::SetHostProgramPath(home + "zelkor");
  fx::SetFixedLocalTime(std::nullopt);
  fx::ProfileForgetCache();
}

BenchSession::~BenchSession() {
  Shutdown();
  fx::ProfileForgetCache();
  std::error_code ignored;
  fs::remove_all(home, ignored);
}

void BenchSession::WriteFile(const std::string& name, std::string_view bytes) const {
  std::ofstream out(home + name, std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

fs::path BenchSession::LogFilePath() const {
  for (const auto& entry : fs::directory_iterator(home)) {
    if (entry.path().filename().native().rfind(fs::path("EventLog").native(), 0) == 0) return entry.path();
  }
  return fs::path();
}

void BenchSession::Load() {
  std::string error;
  if (!m_host.Load(PELLIX_MODULE_PATH, error)) {
    std::fprintf(stderr, "cannot load the plug-in: %s\n", error.c_str());
    std::abort();
  }
}

void BenchSession::Init() { m_host.Init(); }
void BenchSession::Shutdown() { m_host.Shutdown(); }
CZelkorPlugin& BenchSession::plugin() const { return *m_host.Plugin(); }

std::string FullPluginIni(int rules, bool keywordsInLine) {
  std::string ini =
      "[AutoWelcome]\r\nMessage=%NAME% さん、こんにちは！ %IP%:%PORT% %LINE%\r\nAutoWelcome=1\r\n"
      "[LogSettings]\r\nCheckUser=\r\n"
      "[Switch]\r\nSetDlg=1\r\nEventDlg=0\r\n"
      "[LogSwitch]\r\nAutoLog=1\r\nTimeStump=1\r\nHTML=1\r\nEnterLog=1\r\nLeaveLog=1\r\nRenameLog=1\r\n"
      "MessageLog=1\r\nRCMSLog=1\r\nURLLog=1\r\nWriteType=0\r\nNameInclude=1\r\n"
      "[URL]\r\nDuplicate=0\r\n";
  std::string react = "[React]\r\nAutoReact=1\r\nReactNum=" + std::to_string(rules) + "\r\n";
  std::string words = "[KeyWord]\r\n", responses = "[ResMsg]\r\n";
  for (int i = 0; i < rules; ++i) {
    // Keywords that a chat line of the benchmark holds, or ones it never holds.
    words += "Word[" + std::to_string(i) + "]=" + (keywordsInLine ? "Pellix" : "キーワード" + std::to_string(i)) + "\r\n";
    responses += "Msg[" + std::to_string(i) + "]=%NAME% さん、その話は" + std::to_string(i) + "番です\r\n";
  }
  return ini + react + words + responses;
}

std::string FullHostIni() {
  return "[ColorSetting]\r\nBackGround=0\r\nNormalText=16777215\r\nActionText=65280\r\nTopicText=16776960\r\n"
         "EnterText=65535\r\nLeaveText=255\r\nNameText=16744448\r\n"
         "[FontSetting]\r\nFontName=ＭＳ ゴシック\r\nFontSize=135\r\n";
}
