// zelkor: the replacement host. Loads the plug-in and runs one chat session on one channel,
// from a script file or from standard input, with a transcript on standard output.
#include <algorithm>
#include <csignal>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <memory>
#include <optional>
#include <string>
#include <system_error>
#include <vector>

#ifndef _WIN32
#include <unistd.h>
#else
#include <io.h>
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>
#endif

#include "fx/Module.h"
#include "fx/Sjis.h"
#include "zelkor/ConsoleDesktop.h"
#include "zelkor/LiveSession.h"
#include "zelkor/ScreenDesktop.h"
#include "zelkor/ScriptParser.h"
#include "zelkor/SessionRunner.h"
#include "zelkor/Transcript.h"
#ifdef _WIN32
#include "zelkor/win32/HostWindow.h"
#else
#include "zelkor/posix/PollLoop.h"
#endif

namespace fs = std::filesystem;

namespace {

constexpr const char* kUsage =
    "usage: zelkor [--plugin PATH] [--home DIR] [--open] [--desktop MODE] [--list-files] [SCRIPT]\n"
    "       zelkor [--plugin PATH] [--home DIR] [--open] [--desktop MODE]\n"
    "              --irc HOST[:PORT] --channel CHANNEL [--channel CHANNEL ...] --nick NICK [--tls]\n"
    "\n"
    "Loads the plug-in and runs a chat session on one channel from SCRIPT, or from standard\n"
    "input without one; with --irc, on live IRC channels. The transcript (UTF-8) goes to\n"
    "standard output.\n"
    "\n"
    "  --irc HOST[:PORT]  the IRC server (PORT 6667, or 6697 with --tls; [v6 address]:PORT)\n"
    "  --channel CHANNEL  a channel to join (#name); more than one may be given\n"
    "  --nick NICK        the nick to use (another is tried when it is taken)\n"
    "  --tls              connect with TLS, verifying the server's certificate and name\n"
    "  --plugin PATH  the plug-in module (default: " ZELKOR_DEFAULT_PLUGIN " beside zelkor)\n"
    "  --home DIR     report DIR as the host program's folder, where the INI files and the\n"
    "                 default log folder are (created if missing; default: zelkor's folder)\n"
    "  --open         hand shell opens to xdg-open as well as printing them\n"
    "  --desktop MODE where the plug-in's effects go (message boxes, folder picker, clipboard,\n"
    "                 pointer, popup menus, shell opens); each also makes a transcript line:\n"
    "                   console  printed only, the same on every run: boxes answered OK, the\n"
    "                            folder picker by ui folder, menus held for ui menu (the\n"
    "                            only mode of the Linux zelkor; what tests use)\n"
    "                   screen   the system's own, for a person at zelkor.exe's window (the\n"
    "                            default of zelkor.exe)\n"
    "  --list-files   at the end, print [files] NAME for each file in the home folder\n"
    "  --help         this text\n"
    "\n";

constexpr const char* kExitStatuses =
    "\n"
    "Exit status: 0 done, 1 the plug-in or a file cannot be used, 2 a malformed line or\n"
    "option, 128+N ended by signal N (after an orderly shutdown).\n";

volatile std::sig_atomic_t g_stopSignal = 0;

extern "C" void OnStopSignal(int signal) { g_stopSignal = signal; }

// Ctrl-C and SIGTERM end the session in order: the line being run is finished first.
void CatchStopSignals() {
#ifndef _WIN32
  struct sigaction action {};
  action.sa_handler = OnStopSignal;
  sigemptyset(&action.sa_mask);
  action.sa_flags = 0;  // no restart: a read waiting for the next line returns
  sigaction(SIGINT, &action, nullptr);
  sigaction(SIGTERM, &action, nullptr);
#else
  std::signal(SIGINT, OnStopSignal);
  std::signal(SIGTERM, OnStopSignal);
#endif
}

bool StdinIsTerminal() {
#ifndef _WIN32
  return ::isatty(STDIN_FILENO) != 0;
#else
  return ::_isatty(0) != 0;
#endif
}

fs::path ProgramFolder(const char* argv0) {
  std::error_code error;
#ifndef _WIN32
  fs::path self = fs::read_symlink("/proc/self/exe", error);
#else
  std::wstring buffer(32768, L'\0');
  buffer.resize(::GetModuleFileNameW(nullptr, buffer.data(), static_cast<DWORD>(buffer.size())));
  fs::path self(buffer);
  if (buffer.empty()) error = std::make_error_code(std::errc::no_such_file_or_directory);
#endif
  if (error) self = fs::absolute(fs::path(argv0), error);
  return self.parent_path();
}

std::string Utf8Of(const fs::path& path) {
  const std::u8string text = path.u8string();
  return std::string(text.begin(), text.end());
}

// Without --home the plug-in keeps its INI and log files beside the program, under a path it
// handles as Shift-JIS: a folder whose name that cannot hold would lose every file in silence.
int CheckProgramFolder(const fs::path& folder) {
  if (fx::sjis::FromUtf8(Utf8Of(folder))) return zelkor::kExitOk;
  std::cerr << "zelkor: the program's folder " << Utf8Of(folder)
            << " cannot be written in Shift-JIS (CP932),\n"
               "zelkor: so the plug-in could not keep its settings and log files there; give another folder\n"
               "zelkor: for them with --home DIR, or move the program to a folder whose path Shift-JIS can hold\n";
  return zelkor::kExitCannotRun;
}

struct Options {
  std::optional<std::string> irc;
  std::vector<std::string> channels;
  std::optional<std::string> nick;
  bool tls = false;
  std::optional<std::string> plugin;
  std::optional<std::string> home;
  std::optional<std::string> script;
  std::optional<std::string> desktop;
  bool open = false;
  bool listFiles = false;
  bool help = false;
};

// The options, or a message for a command line that cannot be used.
std::optional<Options> ParseOptions(const std::vector<std::string>& args, std::string& error) {
  Options options;
  bool optionsEnded = false;
  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string& arg = args[i];
    auto value = [&](const char* name, std::optional<std::string>& into) {
      const std::string prefix = std::string(name) + "=";
      if (arg.starts_with(prefix)) {
        into = arg.substr(prefix.size());
      } else if (i + 1 < args.size()) {
        into = args[++i];
      } else {
        error = std::string(name) + " needs a value";
        return false;
      }
      if (into->empty()) {
        error = std::string(name) + " needs a value";
        return false;
      }
      return true;
    };
    std::optional<std::string> channel;
    if (!optionsEnded && (arg == "--irc" || arg.starts_with("--irc="))) {
      if (!value("--irc", options.irc)) return std::nullopt;
    } else if (!optionsEnded && (arg == "--channel" || arg.starts_with("--channel="))) {
      if (!value("--channel", channel)) return std::nullopt;
      options.channels.push_back(*channel);
    } else if (!optionsEnded && (arg == "--nick" || arg.starts_with("--nick="))) {
      if (!value("--nick", options.nick)) return std::nullopt;
    } else if (!optionsEnded && arg == "--tls") {
      options.tls = true;
    } else if (!optionsEnded && (arg == "--plugin" || arg.starts_with("--plugin="))) {
      if (!value("--plugin", options.plugin)) return std::nullopt;
    } else if (!optionsEnded && (arg == "--home" || arg.starts_with("--home="))) {
      if (!value("--home", options.home)) return std::nullopt;
    } else if (!optionsEnded && (arg == "--desktop" || arg.starts_with("--desktop="))) {
      if (!value("--desktop", options.desktop)) return std::nullopt;
      if (*options.desktop != "console" && *options.desktop != "screen") {
        error = "--desktop is console or screen, not " + *options.desktop;
        return std::nullopt;
      }
#ifndef _WIN32
      if (*options.desktop == "screen") {
        error = "--desktop screen needs zelkor.exe on Windows; this zelkor prints its effects (console)";
        return std::nullopt;
      }
#endif
    } else if (!optionsEnded && arg == "--open") {
      options.open = true;
    } else if (!optionsEnded && arg == "--list-files") {
      options.listFiles = true;
    } else if (!optionsEnded && (arg == "--help" || arg == "-h")) {
      options.help = true;
    } else if (!optionsEnded && arg == "--") {
      optionsEnded = true;
    } else if (!optionsEnded && arg.size() > 1 && arg[0] == '-') {
      error = "unknown option " + arg;
      return std::nullopt;
    } else if (options.script) {
      error = "only one SCRIPT may be given";
      return std::nullopt;
    } else {
      options.script = arg;
    }
  }
  if (!options.irc && (!options.channels.empty() || options.nick || options.tls)) {
    error = "--channel, --nick and --tls go with --irc HOST[:PORT]";
    return std::nullopt;
  }
  return options;
}

// The live session's options, or a message for those that cannot be used.
std::optional<zelkor::LiveOptions> LiveOptionsOf(const Options& options, std::string& error) {
  if (options.script) {
    error = "--irc runs a live session: give no SCRIPT with it";
    return std::nullopt;
  }
  if (options.channels.empty()) {
    error = "--irc needs at least one --channel CHANNEL";
    return std::nullopt;
  }
  if (!options.nick) {
    error = "--irc needs --nick NICK";
    return std::nullopt;
  }
  zelkor::LiveOptions live;
  const auto server = zelkor::ParseServerAddress(*options.irc, options.tls, error);
  if (!server) return std::nullopt;
  live.server = *server;
  for (const std::string& channel : options.channels) {
    if (error = zelkor::CheckChannelName(channel); !error.empty()) return std::nullopt;
    if (std::find(live.channels.begin(), live.channels.end(), channel) == live.channels.end())
      live.channels.push_back(channel);
  }
  if (error = zelkor::CheckNick(*options.nick); !error.empty()) return std::nullopt;
  live.nick = *options.nick;
  return live;
}

// Makes the home folder and reports it as the host program's folder. The plug-in handles the
// path as Shift-JIS, so a folder CP932 cannot represent cannot be its home.
int UseHomeFolder(const fs::path& home) {
  const auto cp932 = fx::sjis::FromUtf8(home.string());
  if (!cp932) {
    std::cerr << "zelkor: --home: the folder's path cannot be written in Shift-JIS (CP932): " << home.string() << '\n';
    return zelkor::kExitBadInput;
  }
  std::error_code error;
  fs::create_directories(home, error);
  if (error || !fs::is_directory(home)) {
    std::cerr << "zelkor: --home: cannot make the folder " << home.string() << ": "
              << (error ? error.message() : "not a folder") << '\n';
    return zelkor::kExitCannotRun;
  }
  fx::SetHostProgramPath(*cp932 + "/zelkor");
  return zelkor::kExitOk;
}

void ListFiles(const fs::path& folder, zelkor::Transcript& transcript) {
  std::vector<std::string> names;
  std::error_code error;
  for (fs::directory_iterator it(folder, error), end; !error && it != end; it.increment(error))
    if (it->is_regular_file()) names.push_back(it->path().filename().string());
  std::sort(names.begin(), names.end());
  for (const auto& name : names) transcript.Line("[files] " + name);
}

fs::path FullFolder(const std::string& text) {
  std::string normal = fs::absolute(fs::path(text)).lexically_normal().string();
  while (normal.size() > 1 && normal.back() == '/') normal.pop_back();
  return fs::path(normal);
}

// Live channels: the socket is served from the GUI thread's own loop.
int RunLiveSession(const zelkor::LiveOptions& live, zelkor::SessionRunner& runner, zelkor::Transcript& transcript) {
#ifdef _WIN32
  zelkor::win32::HostWindow window(nullptr, &g_stopSignal, true);
  window.SetChannels(live.channels);
  return zelkor::RunLive(live, runner, transcript, window.Loop(), std::cerr, &g_stopSignal);
#else
  zelkor::posix::PollLoop loop(&g_stopSignal);
  return zelkor::RunLive(live, runner, transcript, loop, std::cerr, &g_stopSignal);
#endif
}

int RunScriptSession(const Options& options, std::ifstream& scriptFile, zelkor::SessionRunner& runner) {
  zelkor::ScriptOptions scriptOptions;
  scriptOptions.stop = &g_stopSignal;
  scriptOptions.interactive = !options.script && StdinIsTerminal();
  scriptOptions.endAtExit = !options.script;
#ifdef _WIN32
  // zelkor.exe runs the session in its window, reading its lines on the GUI thread.
  zelkor::win32::HostWindow window(options.script ? &scriptFile : nullptr, &g_stopSignal);
  window.RunEventsUnderMenus(zelkor::IsEventLine, [&runner](const std::string& line) { runner.RunLine(line); });
  scriptOptions.linesRunAside = &window.LinesRunAside();
  return zelkor::RunScript(window.Input(), runner, std::cerr, scriptOptions);
#else
  std::istream& in = options.script ? static_cast<std::istream&>(scriptFile) : std::cin;
  return zelkor::RunScript(in, runner, std::cerr, scriptOptions);
#endif
}

}  // namespace

int main(int argc, char** argv) {
#ifdef _WIN32
  zelkor::win32::UseBinaryStandardOutput();
#endif
  std::string error;
  const auto options = ParseOptions(std::vector<std::string>(argv + 1, argv + argc), error);
  if (!options) {
    std::cerr << "zelkor: " << error << "\n(zelkor --help shows the usage)\n";
    return zelkor::kExitBadInput;
  }
  if (options->help) {
    std::cout << kUsage << zelkor::ScriptHelp() << zelkor::LiveHelp() << kExitStatuses;
    return zelkor::kExitOk;
  }
  std::optional<zelkor::LiveOptions> live;
  if (options->irc) {
    live = LiveOptionsOf(*options, error);
    if (!live) {
      std::cerr << "zelkor: " << error << "\n(zelkor --help shows the usage)\n";
      return zelkor::kExitBadInput;
    }
  }

  const fs::path programFolder = ProgramFolder(argv[0]);
  const std::string pluginPath =
      options->plugin ? *options->plugin : (programFolder / ZELKOR_DEFAULT_PLUGIN).string();
  std::error_code fileError;
  if (!fs::is_regular_file(pluginPath, fileError)) {
    std::cerr << "zelkor: no plug-in module at " << pluginPath
              << (options->plugin ? "" : " (give its path with --plugin PATH)") << '\n';
    return zelkor::kExitCannotRun;
  }

  std::ifstream scriptFile;
  if (options->script) {
    scriptFile.open(*options->script, std::ios::binary);
    if (!scriptFile) {
      std::cerr << "zelkor: cannot read the script " << *options->script << '\n';
      return zelkor::kExitCannotRun;
    }
  }

  fs::path home = programFolder;
  if (options->home) {
    home = FullFolder(*options->home);
    if (const int status = UseHomeFolder(home); status != zelkor::kExitOk) return status;
  } else if (const int status = CheckProgramFolder(programFolder); status != zelkor::kExitOk) {
    return status;
  }

  CatchStopSignals();
  zelkor::Transcript transcript(std::cout);
#ifdef _WIN32
  const bool onScreen = options->desktop.value_or("screen") == "screen";
#else
  const bool onScreen = false;
#endif
  std::unique_ptr<zelkor::ConsoleDesktop> desktop;
  if (onScreen) {
    desktop = std::make_unique<zelkor::ScreenDesktop>(transcript, std::cerr);
  } else {
    desktop = std::make_unique<zelkor::ConsoleDesktop>(transcript, std::cerr, options->open);
  }
  int status = zelkor::kExitOk;
  {
    zelkor::SessionRunner runner(pluginPath, transcript, *desktop);
    status = live ? RunLiveSession(*live, runner, transcript) : RunScriptSession(*options, scriptFile, runner);
  }
  if (options->listFiles && status != zelkor::kExitCannotRun) ListFiles(home, transcript);
  if (g_stopSignal != 0 && status == zelkor::kExitOk) return 128 + g_stopSignal;
  return status;
}
