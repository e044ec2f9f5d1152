#include "zelkor/win32/HostWindow.h"

#include <fcntl.h>
#include <io.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <deque>
#include <functional>
#include <iostream>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <thread>
#include <utility>
#include <vector>

#include "fx/App.h"
#include "fx/Testing.h"
#include "fx/Types.h"
#include "fx/Wnd.h"
#include "fx/win32/Win32.h"
#include "zelkor/irc/LiveLoop.h"
#include "zelkor/irc/WireText.h"

namespace zelkor::win32 {
namespace {

constexpr UINT_PTR kMenuTimer = 1;
constexpr int kTranscriptId = 100;
constexpr int kInputId = 101;
constexpr int kInputHeight = 24;
// The window shows the transcript's last lines, up to this many characters: an edit control's
// append costs more the more text it holds (under wine 18 ms a line at first, 54 ms after 7,000
// lines), and the whole transcript is on standard output.
constexpr std::size_t kTranscriptShownChars = 64 * 1024;

std::wstring FromUtf8(std::string_view utf8) {
  if (utf8.empty()) return std::wstring();
  const int length = ::MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), nullptr, 0);
  std::wstring wide(static_cast<std::size_t>(length > 0 ? length : 0), L'\0');
  if (length > 0) ::MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), wide.data(), length);
  return wide;
}

std::string ToUtf8(std::wstring_view wide) {
  if (wide.empty()) return std::string();
  const int length = ::WideCharToMultiByte(CP_UTF8, 0, wide.data(), static_cast<int>(wide.size()), nullptr, 0, nullptr, nullptr);
  std::string utf8(static_cast<std::size_t>(length > 0 ? length : 0), '\0');
  if (length > 0)
    ::WideCharToMultiByte(CP_UTF8, 0, wide.data(), static_cast<int>(wide.size()), utf8.data(), length, nullptr, nullptr);
  return utf8;
}

// Lines waiting for the runner, from any thread.
class LineQueue {
 public:
  LineQueue() : m_event(::CreateEventW(nullptr, FALSE, FALSE, nullptr)) {}
  ~LineQueue() { ::CloseHandle(m_event); }
  void Push(std::string line) {
    {
      std::lock_guard lock(m_mutex);
      m_lines.push_back(std::move(line));
    }
    ::SetEvent(m_event);
  }
  void End() {
    {
      std::lock_guard lock(m_mutex);
      m_ended = true;
    }
    ::SetEvent(m_event);
  }
  // A line, or nothing when none is waiting; `ended` when none will come.
  std::optional<std::string> Take(bool& ended) {
    std::lock_guard lock(m_mutex);
    ended = m_ended && m_lines.empty();
    if (m_lines.empty()) return std::nullopt;
    std::string line = std::move(m_lines.front());
    m_lines.pop_front();
    return line;
  }
  // The next line when it passes `test`; it stays first in the queue otherwise.
  std::optional<std::string> TakeIf(const std::function<bool(std::string_view)>& test) {
    std::lock_guard lock(m_mutex);
    if (m_lines.empty() || !test(m_lines.front())) return std::nullopt;
    std::string line = std::move(m_lines.front());
    m_lines.pop_front();
    return line;
  }
  HANDLE Event() const { return m_event; }
  bool HasLines() {
    std::lock_guard lock(m_mutex);
    return !m_lines.empty() || m_ended;
  }
  bool Ended() {
    std::lock_guard lock(m_mutex);
    return m_ended;
  }
  bool Exhausted() {
    std::lock_guard lock(m_mutex);
    return m_ended && m_lines.empty();
  }

 private:
  std::mutex m_mutex;
  std::deque<std::string> m_lines;
  bool m_ended = false;
  HANDLE m_event;
};

// std::cout's bytes go on to standard output and, line by line, into the transcript window.
class TeeBuffer : public std::streambuf {
 public:
  explicit TeeBuffer(std::streambuf* out) : m_out(out) {}
  std::vector<std::string> TakeLines() { return std::exchange(m_lines, {}); }
  std::function<void()> onLine;

 protected:
  int overflow(int c) override {
    if (c == traits_type::eof()) return traits_type::not_eof(c);
    const char ch = static_cast<char>(c);
    if (m_out->sputc(ch) == traits_type::eof()) return traits_type::eof();
    Collect(ch);
    return c;
  }
  std::streamsize xsputn(const char* s, std::streamsize n) override {
    const std::streamsize written = m_out->sputn(s, n);
    for (std::streamsize i = 0; i < written; ++i) Collect(s[i]);
    return written;
  }
  int sync() override { return m_out->pubsync(); }

 private:
  void Collect(char c) {
    if (c != '\n') {
      m_partial += c;
      return;
    }
    m_lines.push_back(std::move(m_partial));
    m_partial.clear();
    if (onLine) onLine();
  }
  std::streambuf* m_out;
  std::string m_partial;
  std::vector<std::string> m_lines;
};

// A longer line from standard input is cut there, at the start of a UTF-8 character.
constexpr std::size_t kMaxLine = 64 * 1024;

// Queues standard input's lines until it ends. Read with the system's calls, not the C
// runtime's: a read that never returns (a pipe whose writer stays open) then holds no lock of
// the runtime's streams, which the process's exit would wait for.
void ReadStandardInput(const std::shared_ptr<LineQueue>& queue, HANDLE input) {
  DWORD mode = 0;
  const bool console = ::GetConsoleMode(input, &mode) != 0;
  std::string line;
  // False for the console's end of input (Ctrl-Z, Enter).
  const auto endLine = [&] {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (console && line == "\x1a") return false;
    line.resize(irc::Utf8CutLength(line, kMaxLine));
    queue->Push(std::exchange(line, std::string()));
    return true;
  };
  // One byte over the limit is kept: a CR there is the line's end, anything else says cut.
  const auto take = [&](std::string_view bytes) {
    for (std::size_t at = 0; at < bytes.size();) {
      const std::size_t newline = std::min(bytes.find('\n', at), bytes.size());
      line.append(bytes.substr(at, std::min(newline - at, kMaxLine + 1 - std::min(line.size(), kMaxLine + 1))));
      if (newline == bytes.size()) break;
      if (!endLine()) return false;
      at = newline + 1;
    }
    return true;
  };
  for (;;) {
    DWORD count = 0;
    bool more = true;
    if (console) {
      // Typed text as UTF-16, whatever the console's code page.
      wchar_t text[1024];
      if (!::ReadConsoleW(input, text, 1024, &count, nullptr) || count == 0) break;
      more = take(ToUtf8(std::wstring_view(text, count)));
    } else {
      char bytes[4096];
      if (!::ReadFile(input, bytes, sizeof bytes, &count, nullptr) || count == 0) break;
      more = take(std::string_view(bytes, count));
    }
    if (!more) {
      queue->End();
      return;
    }
  }
  if (!line.empty()) endLine();  // a last line without its line end counts
  queue->End();
}

// Closes the system's modal boxes of this thread (message boxes, the folder picker) as their
// close box would: the session cannot end while one holds the thread. The plug-in's own
// dialogs are left alone.
void CloseModalBoxes() {
  ::EnumThreadWindows(
      ::GetCurrentThreadId(),
      [](HWND window, LPARAM) -> BOOL {
        wchar_t name[16] = {};
        if (::IsWindowVisible(window) && ::GetClassNameW(window, name, 16) && ::lstrcmpW(name, L"#32770") == 0 &&
            fx::testing::TemplateIdOf(window) < 0)
          ::PostMessageW(window, WM_CLOSE, 0, 0);
        return TRUE;
      },
      0);
}

}  // namespace

struct HostWindow::State : std::streambuf, irc::LiveLoop {
  // Shared with the standard-input reader, which may outlive the session.
  std::shared_ptr<LineQueue> lines = std::make_shared<LineQueue>();
  LineQueue& queue = *lines;
  const volatile std::sig_atomic_t* stop = nullptr;
  bool live = false;
  std::wstring title = L"Zelkor - セッション";
  std::string current;
  std::istream input{this};
  // Standard output (the transcript) and standard error (the host's messages: /help, a refused
  // line) both show in the window, for a person who has no console.
  std::unique_ptr<TeeBuffer> tee, errorTee;
  std::streambuf* originalOut = nullptr;
  std::streambuf* originalErrors = nullptr;
  HWND main = nullptr, transcript = nullptr, edit = nullptr;
  std::deque<std::size_t> shownLineLengths;  // the transcript window's lines, with their CR LF
  std::size_t shownChars = 0;
  HFONT font = nullptr;
  std::function<void()> whileMenuOpen;
  bool servingUnderMenu = false;
  long linesRunAside = 0;

  bool Stopped() const { return stop != nullptr && *stop != 0; }

  // Waits for the next line, running the message loop meanwhile.
  int underflow() override {
    if (gptr() != nullptr && gptr() < egptr()) return traits_type::to_int_type(*gptr());
    for (;;) {
      Decorate();
      bool ended = false;
      if (auto line = queue.Take(ended)) {
        current = std::move(*line) + "\n";
        setg(current.data(), current.data(), current.data() + current.size());
        return traits_type::to_int_type(*gptr());
      }
      if (ended || Stopped()) return traits_type::eof();
      HANDLE event = queue.Event();
      ::MsgWaitForMultipleObjectsEx(1, &event, 100, QS_ALLINPUT, MWMO_INPUTAVAILABLE);
      Pump();
    }
  }

  // The live session's wait: for a local line, the connection's event, the end of input, a stop
  // or the timeout, with the window's messages handled meanwhile. Socket traffic never closes a
  // menu or a box the plug-in holds open: it waits until the person is done with it.
  void Wait(const irc::Connection* connection, int timeoutMillis) override {
    const ULONGLONG deadline = ::GetTickCount64() + static_cast<ULONGLONG>(std::max(timeoutMillis, 0));
    for (;;) {
      Decorate();
      if (queue.HasLines() || Stopped()) return;
      HANDLE handles[2] = {queue.Event(), nullptr};
      DWORD count = 1;
      if (connection != nullptr) {
        if (const irc::Connection::Wait wait = connection->WaitFor(); wait.handle != -1)
          handles[count++] = reinterpret_cast<HANDLE>(wait.handle);
      }
      const ULONGLONG now = ::GetTickCount64();
      const DWORD left = now >= deadline ? 0 : static_cast<DWORD>(std::min<ULONGLONG>(deadline - now, INFINITE - 1));
      DWORD result = ::MsgWaitForMultipleObjectsEx(count, handles, left, QS_ALLINPUT, MWMO_INPUTAVAILABLE);
      if (result == WAIT_FAILED)  // a handle gone bad: the messages and the time still count
        result = ::MsgWaitForMultipleObjectsEx(0, nullptr, left, QS_ALLINPUT, MWMO_INPUTAVAILABLE);
      Pump();
      if (result != WAIT_OBJECT_0 + count || left == 0) {
        Decorate();
        return;
      }
    }
  }

  std::optional<std::string> TakeLine() override {
    bool ended = false;
    return queue.Take(ended);
  }

  bool InputEnded() const override { return lines->Exhausted(); }

  void WhileMenuOpen(std::function<void()> serve) override { whileMenuOpen = std::move(serve); }

  // Called by the menu timer: a popup menu holds the thread in the system's menu loop, which
  // still dispatches timers. Not again from inside: a menu opened by what runs here waits.
  void ServeUnderMenu() {
    if (!whileMenuOpen || servingUnderMenu) return;
    GUITHREADINFO info{};
    info.cbSize = sizeof info;
    if (!::GetGUIThreadInfo(::GetCurrentThreadId(), &info) || !(info.flags & GUI_INMENUMODE)) return;
    servingUnderMenu = true;
    whileMenuOpen();
    servingUnderMenu = false;
  }

  void Pump() {
    MSG message;
    while (::PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
      if (message.message == WM_QUIT) {
        queue.End();
        return;
      }
      // The framework's windows, from the message's own outward, take keys first: Enter in a
      // settings page reaches the page, not the settings window.
      if (fx::PreTranslateMessage(&message)) continue;
      ::TranslateMessage(&message);
      ::DispatchMessageW(&message);
    }
  }

  // The host makes its main window when the plug-in is loaded; it gets its controls then.
  void Decorate() {
    CWnd* window = AfxGetMainWnd();
    HWND handle = window ? window->m_hWnd : nullptr;
    if (handle == main) return;
    main = handle;
    transcript = edit = nullptr;
    shownLineLengths.clear();
    shownChars = 0;
    if (main == nullptr) return;
    ::SetWindowSubclass(main, MainProc, 1, reinterpret_cast<DWORD_PTR>(this));
    ::SetTimer(main, kMenuTimer, 200, nullptr);
    if (font == nullptr)
      font = ::CreateFontW(-12, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, SHIFTJIS_CHARSET, OUT_DEFAULT_PRECIS,
                           CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, FIXED_PITCH | FF_MODERN, L"ＭＳ ゴシック");
    HINSTANCE instance = ::GetModuleHandleW(nullptr);
    transcript = ::CreateWindowExW(WS_EX_CLIENTEDGE, L"Edit", L"",
                                   WS_CHILD | WS_VISIBLE | WS_VSCROLL | ES_MULTILINE | ES_READONLY | ES_AUTOVSCROLL, 0, 0, 10,
                                   10, main, reinterpret_cast<HMENU>(static_cast<UINT_PTR>(kTranscriptId)), instance, nullptr);
    edit = ::CreateWindowExW(WS_EX_CLIENTEDGE, L"Edit", L"", WS_CHILD | WS_VISIBLE | WS_TABSTOP | ES_AUTOHSCROLL, 0, 0, 10,
                             10, main, reinterpret_cast<HMENU>(static_cast<UINT_PTR>(kInputId)), instance, nullptr);
    for (HWND control : {transcript, edit}) ::SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(font), TRUE);
    ::SendMessageW(transcript, EM_SETLIMITTEXT, 0, 0);
    ::SetWindowSubclass(edit, InputProc, 1, reinterpret_cast<DWORD_PTR>(this));
    ::SetWindowTextW(main, title.c_str());
    if (const char* rect = std::getenv("ZELKOR_WINDOW")) {  // x,y,width,height for demos
      int x = 0, y = 0, width = 0, height = 0;
      if (std::sscanf(rect, "%d,%d,%d,%d", &x, &y, &width, &height) == 4)
        ::SetWindowPos(main, nullptr, x, y, width, height, SWP_NOZORDER | SWP_NOACTIVATE);
    }
    Layout();
    AppendTranscript();
    ::RedrawWindow(main, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN);
    if (::GetActiveWindow() == main) ::SetFocus(edit);
  }

  void Layout() {
    RECT client{};
    ::GetClientRect(main, &client);
    ::MoveWindow(transcript, 0, 0, client.right, std::max<LONG>(client.bottom - kInputHeight, 0), TRUE);
    ::MoveWindow(edit, 0, std::max<LONG>(client.bottom - kInputHeight, 0), client.right, kInputHeight, TRUE);
  }

  void AppendTranscript() {
    if (transcript == nullptr || !tee) return;
    const std::size_t held = shownChars;  // in the window now
    std::wstring text;
    for (TeeBuffer* source : {tee.get(), errorTee.get()})
      for (const std::string& line : source->TakeLines()) {
        const std::size_t before = text.size();
        text += FromUtf8(line) + L"\r\n";
        shownLineLengths.push_back(text.size() - before);
      }
    if (text.empty()) return;
    shownChars += text.size();
    if (shownChars > kTranscriptShownChars) {
      // The oldest lines go, down to half the limit, so that a cut comes once in many lines.
      std::size_t cut = 0;
      while (shownChars > kTranscriptShownChars / 2 && shownLineLengths.size() > 1) {
        cut += shownLineLengths.front();
        shownChars -= shownLineLengths.front();
        shownLineLengths.pop_front();
      }
      if (cut > held) {  // lines of this batch go too
        text.erase(0, cut - held);
        cut = held;
      }
      ::SendMessageW(transcript, EM_SETSEL, 0, static_cast<LPARAM>(cut));
      ::SendMessageW(transcript, EM_REPLACESEL, FALSE, reinterpret_cast<LPARAM>(L""));
    }
    const LRESULT end = ::SendMessageW(transcript, WM_GETTEXTLENGTH, 0, 0);
    ::SendMessageW(transcript, EM_SETSEL, static_cast<WPARAM>(end), end);
    ::SendMessageW(transcript, EM_REPLACESEL, FALSE, reinterpret_cast<LPARAM>(text.c_str()));
  }

  static LRESULT CALLBACK MainProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR, DWORD_PTR data) {
    auto* self = reinterpret_cast<State*>(data);
    switch (message) {
      case WM_SIZE:
        ::DefSubclassProc(window, message, wParam, lParam);
        self->Layout();
        return 0;
      case WM_SETFOCUS:
        // The window is activated (a box it owned was closed, a click on its frame): the
        // person goes on typing in the input line.
        if (self->edit != nullptr) {
          ::SetFocus(self->edit);
          return 0;
        }
        break;
      case WM_CLOSE:
        // The runner shuts the session down, which destroys this window in order.
        self->queue.End();
        return 0;
      case WM_TIMER:
        // While a popup menu is open the channel's events go on, and the menu stays until the
        // person closes it. Once the input has ended (or a signal asks to stop), an open menu
        // or box is closed, so that the session ends in order and saves.
        if (wParam == kMenuTimer) {
          if (self->queue.Ended() || self->Stopped()) {
            ::EndMenu();
            CloseModalBoxes();
          } else {
            self->ServeUnderMenu();
          }
          return 0;
        }
        break;
      case WM_NCDESTROY:
        ::RemoveWindowSubclass(window, MainProc, 1);
        ::KillTimer(window, kMenuTimer);
        if (self->main == window) self->main = self->transcript = self->edit = nullptr;
        break;
    }
    return ::DefSubclassProc(window, message, wParam, lParam);
  }

  static LRESULT CALLBACK InputProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR, DWORD_PTR data) {
    auto* self = reinterpret_cast<State*>(data);
    if (message == WM_CHAR && wParam == VK_RETURN) {
      const int length = ::GetWindowTextLengthW(window);
      std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
      text.resize(static_cast<std::size_t>(::GetWindowTextW(window, text.data(), length + 1)));
      ::SetWindowTextW(window, L"");
      // A typed line is what the local user says in the channel; a live session also takes
      // its /commands from here.
      self->queue.Push(self->live ? ToUtf8(text) : "say " + ToUtf8(text));
      return 0;
    }
    if (message == WM_NCDESTROY) ::RemoveWindowSubclass(window, InputProc, 1);
    return ::DefSubclassProc(window, message, wParam, lParam);
  }

};

HostWindow::HostWindow(std::istream* script, const volatile std::sig_atomic_t* stop, bool live)
    : m_state(std::make_unique<State>()) {
  State& state = *m_state;
  state.stop = stop;
  state.live = live;
  state.originalOut = std::cout.rdbuf();
  state.tee = std::make_unique<TeeBuffer>(state.originalOut);
  state.tee->onLine = [&state] { state.AppendTranscript(); };
  std::cout.rdbuf(state.tee.get());
  state.originalErrors = std::cerr.rdbuf();
  state.errorTee = std::make_unique<TeeBuffer>(state.originalErrors);
  state.errorTee->onLine = [&state] { state.AppendTranscript(); };
  std::cerr.rdbuf(state.errorTee.get());
  if (script != nullptr) {
    for (std::string line; std::getline(*script, line);) state.queue.Push(line);
    state.queue.End();
    return;
  }
  // Without a console or a pipe (started from the desktop) the input line is the only input.
  HANDLE standardInput = ::GetStdHandle(STD_INPUT_HANDLE);
  if (standardInput == nullptr || standardInput == INVALID_HANDLE_VALUE || ::GetFileType(standardInput) == FILE_TYPE_UNKNOWN)
    return;
  // The reader only queues lines; it outlives the session if standard input never ends.
  std::thread([queue = state.lines, standardInput] { ReadStandardInput(queue, standardInput); }).detach();
}

HostWindow::~HostWindow() {
  std::cout.flush();
  std::cout.rdbuf(m_state->originalOut);
  std::cerr.rdbuf(m_state->originalErrors);
  if (m_state->font) ::DeleteObject(m_state->font);
}

std::istream& HostWindow::Input() { return m_state->input; }

irc::LiveLoop& HostWindow::Loop() { return *m_state; }

void HostWindow::RunEventsUnderMenus(std::function<bool(std::string_view)> isEvent,
                                     std::function<void(const std::string&)> run) {
  State& state = *m_state;
  if (!isEvent) return state.WhileMenuOpen(nullptr);
  state.WhileMenuOpen([&state, isEvent = std::move(isEvent), run = std::move(run)] {
    while (auto line = state.queue.TakeIf(isEvent)) {
      ++state.linesRunAside;
      run(*line);
    }
  });
}

const long& HostWindow::LinesRunAside() const { return m_state->linesRunAside; }

void HostWindow::SetChannels(const std::vector<std::string>& channels) {
  std::wstring title = L"Zelkor -";
  for (const std::string& channel : channels) title += L" " + FromUtf8(channel);
  m_state->title = std::move(title);
  if (m_state->main != nullptr) ::SetWindowTextW(m_state->main, m_state->title.c_str());
}

void UseBinaryStandardOutput() {
  ::_setmode(::_fileno(stdout), _O_BINARY);
  ::_setmode(::_fileno(stderr), _O_BINARY);
}

}  // namespace zelkor::win32
