#include "zelkor/ConsoleDesktop.h"

#include <algorithm>
#include <cerrno>
#include <cstring>

#ifndef _WIN32
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>
extern char** environ;
#endif

#include "fx/Sjis.h"

namespace zelkor {

std::string LaunchTarget(std::string_view utf8Target) {
  if (fx::sjis::StartsWithNoCase(utf8Target, "www.")) return "http://" + std::string(utf8Target);
  if (!utf8Target.empty() && utf8Target.front() == '-') return "./" + std::string(utf8Target);
  return std::string(utf8Target);
}

std::string MessageBoxLine(const fx::MessageBoxRequest& request) {
  return "[message box: " + OneLineUtf8(request.caption) + "] " + OneLineUtf8(request.text);
}

std::string FolderPickerLine(std::string_view cp932Title, const std::optional<std::string>& cp932Answer) {
  return "[folder picker] " + OneLineUtf8(cp932Title) + " -> " + (cp932Answer ? OneLineUtf8(*cp932Answer) : "cancel");
}

ConsoleDesktop::ConsoleDesktop(Transcript& transcript, std::ostream& errors, bool openTargets)
    : m_transcript(transcript), m_errors(errors), m_openTargets(openTargets) {}

ConsoleDesktop::~ConsoleDesktop() { ReapFinishedChildren(); }

int ConsoleDesktop::ShowMessageBox(const fx::MessageBoxRequest& request) {
  m_transcript.Line(MessageBoxLine(request));
  return IDOK;
}

void ConsoleDesktop::Beep(UINT) { m_transcript.Line("[beep]"); }

bool ConsoleDesktop::OpenClipboard(HWND) { return true; }

bool ConsoleDesktop::SetClipboardText(std::string_view text) {
  m_transcript.Item("[clipboard]", text);
  return true;
}

void ConsoleDesktop::ShellOpen(std::string_view target) {
  m_transcript.Item("[open]", target);
  if (m_openTargets) Launch(LaunchTarget(fx::sjis::ToUtf8(target)));
}

std::optional<std::string> ConsoleDesktop::BrowseForFolder(HWND, std::string_view title) {
  std::optional<std::string> answer;
  if (!m_folderAnswers.empty()) {
    answer = std::move(m_folderAnswers.front());
    m_folderAnswers.pop_front();
  }
  m_transcript.Line(FolderPickerLine(title, answer));
  return answer;
}

POINT ConsoleDesktop::CursorPos() { return POINT{100, 100}; }

bool ConsoleDesktop::QueueFolderAnswer(std::optional<std::string> cp932Path) {
  m_folderAnswers.push_back(std::move(cp932Path));
  return true;
}

#ifndef _WIN32
// Straight to the program with an argument vector: no command interpreter ever sees the
// target, which comes from chat.
void ConsoleDesktop::Launch(const std::string& utf8Target) {
  ReapFinishedChildren();
  std::string program = "xdg-open";
  std::string argument = utf8Target;
  char* argv[] = {program.data(), argument.data(), nullptr};
  pid_t child = 0;
  const int result = ::posix_spawnp(&child, program.c_str(), nullptr, nullptr, argv, environ);
  if (result != 0) {
    m_errors << "zelkor: cannot run xdg-open: " << std::strerror(result) << '\n';
    return;
  }
  m_children.push_back(child);
}

void ConsoleDesktop::ReapFinishedChildren() {
  std::erase_if(m_children, [](long child) {
    int status = 0;
    const pid_t done = ::waitpid(static_cast<pid_t>(child), &status, WNOHANG);
    return done != 0;  // finished, or not ours to wait for any more
  });
}
#else
void ConsoleDesktop::Launch(const std::string&) { m_errors << "zelkor: --open is not available here\n"; }
void ConsoleDesktop::ReapFinishedChildren() {}
#endif

}  // namespace zelkor
