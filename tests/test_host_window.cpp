// zelkor.exe's window as a live session's loop: standard input's lines reach the session as
// they are, a wait ends on the connection's event or its timeout and not before, and the end
// of input is seen once every line is taken. An open popup menu stays while the session's
// events go on, and the input line has the focus whenever the window is active.
#include <gtest/gtest.h>

#include <windows.h>

#include <csignal>
#include <iostream>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "fx/App.h"
#include "fx/Wnd.h"
#include "zelkor/irc/Connection.h"
#include "zelkor/irc/LiveLoop.h"
#include "zelkor/win32/HostWindow.h"

namespace {

// Standard input becomes a pipe of the test's own, whose write end it keeps.
HANDLE PipeAsStandardInput() {
  HANDLE read = nullptr, write = nullptr;
  EXPECT_TRUE(::CreatePipe(&read, &write, nullptr, 0));
  ::SetStdHandle(STD_INPUT_HANDLE, read);
  return write;
}

void Write(HANDLE pipe, const std::string& bytes) {
  DWORD written = 0;
  ASSERT_TRUE(::WriteFile(pipe, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr));
  ASSERT_EQ(written, bytes.size());
}

// A connection that is only an event to wait on.
class EventConnection : public zelkor::irc::Connection {
 public:
  EventConnection() : m_event(::CreateEventW(nullptr, TRUE, FALSE, nullptr)) {}
  ~EventConnection() override { ::CloseHandle(m_event); }
  void Signal() { ::SetEvent(m_event); }
  void Service(std::string&) override {}
  void Send(std::string_view) override {}
  Status GetStatus() const override { return Status::Open; }
  const std::string& Reason() const override { return m_reason; }
  std::size_t Unsent() const override { return 0; }
  Wait WaitFor() const override { return Wait{reinterpret_cast<std::intptr_t>(m_event), true, false}; }

 private:
  HANDLE m_event;
  std::string m_reason;
};

long long Elapsed(ULONGLONG since) { return static_cast<long long>(::GetTickCount64() - since); }

volatile std::sig_atomic_t g_stop = 0;

TEST(HostWindowLiveLoop, StandardInputLinesAsTheyAreThenTheEnd) {
  const HANDLE input = PipeAsStandardInput();
  zelkor::win32::HostWindow window(nullptr, &g_stop, true);
  zelkor::irc::LiveLoop& loop = window.Loop();
  const std::string cafe = "caf\xC3\xA9";
  Write(input, "hello\r\n/quit later\n#start\n");
  Write(input, std::string(70000, 'x') + "\n" + std::string(64 * 1024 - 4, 'z') + cafe + "\n");
  Write(input, std::string(64 * 1024, 'y') + "\r\nlast without a line end");
  ::CloseHandle(input);

  std::vector<std::string> lines;
  const ULONGLONG start = ::GetTickCount64();
  while (!loop.InputEnded() && Elapsed(start) < 10000) {
    loop.Wait(nullptr, 200);
    while (auto line = loop.TakeLine()) lines.push_back(*line);
  }
  EXPECT_TRUE(loop.InputEnded());
  ASSERT_EQ(lines.size(), 7u);
  EXPECT_EQ(lines[0], "hello");
  EXPECT_EQ(lines[1], "/quit later");  // no "say " before it: the session reads its commands
  EXPECT_EQ(lines[2], "#start");
  EXPECT_EQ(lines[3], std::string(64 * 1024, 'x'));
  EXPECT_EQ(lines[4], std::string(64 * 1024 - 4, 'z') + "caf");  // not inside the character
  EXPECT_EQ(lines[5], std::string(64 * 1024, 'y'));
  EXPECT_EQ(lines[6], "last without a line end");
  EXPECT_EQ(loop.TakeLine(), std::nullopt);
}

TEST(HostWindowLiveLoop, AWaitEndsOnTheConnectionOrItsTimeout) {
  const HANDLE input = PipeAsStandardInput();  // open, and silent
  zelkor::win32::HostWindow window(nullptr, &g_stop, true);
  zelkor::irc::LiveLoop& loop = window.Loop();
  EventConnection connection;

  ULONGLONG start = ::GetTickCount64();
  loop.Wait(&connection, 300);
  EXPECT_GE(Elapsed(start), 250);
  EXPECT_LT(Elapsed(start), 3000);

  start = ::GetTickCount64();
  std::thread signaller([&] {
    ::Sleep(200);
    connection.Signal();
  });
  loop.Wait(&connection, 20000);
  signaller.join();
  EXPECT_GE(Elapsed(start), 150);
  EXPECT_LT(Elapsed(start), 5000);

  // A line ends a wait as well.
  start = ::GetTickCount64();
  std::thread typist([&] {
    ::Sleep(200);
    Write(input, "typed\n");
  });
  EventConnection quiet;
  loop.Wait(&quiet, 20000);
  typist.join();
  EXPECT_LT(Elapsed(start), 5000);
  EXPECT_EQ(loop.TakeLine(), std::optional<std::string>("typed"));
  EXPECT_FALSE(loop.InputEnded());
  ::CloseHandle(input);
}

// The host's main window, decorated by the session's window at its first wait.
struct DecoratedMain {
  CWnd main;
  HWND input = nullptr;
  explicit DecoratedMain(zelkor::irc::LiveLoop& loop) {
    main.CreateTopLevel("Zelkor", 400, 300);
    fx::SetMainWindow(&main);
    ::ShowWindow(main.m_hWnd, SW_SHOW);
    ::SetForegroundWindow(main.m_hWnd);
    loop.Wait(nullptr, 50);
    input = ::GetDlgItem(main.m_hWnd, 101);
  }
  ~DecoratedMain() {
    main.DestroyWindow();
    fx::SetMainWindow(nullptr);
  }
};

TEST(HostWindowMenus, AnOpenMenuStaysWhileTheSessionsEventsGoOn) {
  const HANDLE input = PipeAsStandardInput();
  zelkor::win32::HostWindow window(nullptr, &g_stop, true);
  zelkor::irc::LiveLoop& loop = window.Loop();
  DecoratedMain host(loop);
  Write(input, "a line waits\n");
  static int s_served;
  s_served = 0;
  loop.WhileMenuOpen([] {
    if (++s_served == 3) ::EndMenu();  // the person closes it
  });
  HMENU menu = ::CreatePopupMenu();
  ::AppendMenuW(menu, MF_STRING, 1, L"item");
  const ULONGLONG start = ::GetTickCount64();
  ::TrackPopupMenu(menu, TPM_RETURNCMD, 10, 10, 0, host.main.m_hWnd, nullptr);
  ::DestroyMenu(menu);
  EXPECT_EQ(s_served, 3) << "the menu was closed before the person closed it";
  EXPECT_GE(Elapsed(start), 300);
  loop.WhileMenuOpen(nullptr);
  ::CloseHandle(input);
}

TEST(HostWindowFocus, TheInputLineHasTheFocusAgainWhenABoxIsClosed) {
  const HANDLE input = PipeAsStandardInput();
  zelkor::win32::HostWindow window(nullptr, &g_stop, true);
  zelkor::irc::LiveLoop& loop = window.Loop();
  DecoratedMain host(loop);
  ASSERT_NE(host.input, nullptr);
  EXPECT_EQ(::GetFocus(), host.input);
  const UINT_PTR timer = ::SetTimer(nullptr, 0, 100, [](HWND, UINT, UINT_PTR, DWORD) {
    if (HWND box = ::FindWindowW(L"#32770", L"box")) ::PostMessageW(box, WM_COMMAND, IDOK, 0);
  });
  ::MessageBoxW(host.main.m_hWnd, L"text", L"box", MB_OK);
  ::KillTimer(nullptr, timer);
  loop.Wait(nullptr, 50);
  EXPECT_EQ(::GetFocus(), host.input);
  ::CloseHandle(input);
}

// Dark pixels in the top left of the window's client area on the screen: text drawn there.
int DarkPixels(HWND window) {
  POINT origin{0, 0};
  ::ClientToScreen(window, &origin);
  HDC screen = ::GetDC(nullptr);
  int dark = 0;
  for (int y = 0; y < 40; ++y)
    for (int x = 0; x < 200; ++x) {
      const COLORREF pixel = ::GetPixel(screen, origin.x + x, origin.y + y);
      if (pixel != CLR_INVALID && GetRValue(pixel) + GetGValue(pixel) + GetBValue(pixel) < 200) ++dark;
    }
  ::ReleaseDC(nullptr, screen);
  return dark;
}

// The transcript shows its lines after windows in front of it come and go, and after the host
// window itself is hidden and shown again, without any move of the window.
TEST(HostWindowTranscript, IsPaintedAgainWhateverCoveredItAndKeepsItsNewestLines) {
  const HANDLE input = PipeAsStandardInput();
  zelkor::win32::HostWindow window(nullptr, &g_stop, true);
  zelkor::irc::LiveLoop& loop = window.Loop();
  DecoratedMain host(loop);
  for (int i = 0; i < 3; ++i) std::cout << "a line of the transcript, number " << i << std::endl;
  loop.Wait(nullptr, 300);
  HWND transcript = ::GetDlgItem(host.main.m_hWnd, 100);
  ASSERT_NE(transcript, nullptr);
  ASSERT_GT(DarkPixels(transcript), 50) << "the lines were never painted";
  RECT frame{};
  ::GetWindowRect(host.main.m_hWnd, &frame);
  for (int round = 0; round < 3; ++round) {
    HWND cover = ::CreateWindowExW(WS_EX_TOPMOST, L"Static", L"", WS_POPUP | WS_VISIBLE, frame.left, frame.top,
                                   frame.right - frame.left, frame.bottom - frame.top, nullptr, nullptr, nullptr, nullptr);
    ::UpdateWindow(cover);
    loop.Wait(nullptr, 200);
    ::DestroyWindow(cover);
    if (round == 2) {
      ::ShowWindow(host.main.m_hWnd, SW_HIDE);
      loop.Wait(nullptr, 100);
      ::ShowWindow(host.main.m_hWnd, SW_SHOW);
    }
    loop.Wait(nullptr, 300);
    EXPECT_GT(DarkPixels(transcript), 50) << "round " << round << ": the transcript was left blank";
  }

  // A long session: the window keeps its newest lines, whole and in order, and the oldest go.
  const std::string filler(90, 'x');
  constexpr int kLines = 1000;  // 1,000 lines of about 125 characters: more than the window keeps
  for (int i = 0; i < kLines; ++i) std::cout << "line " << i << " " << filler << std::endl;
  loop.Wait(nullptr, 100);
  const int length = ::GetWindowTextLengthW(transcript);
  std::wstring shown(static_cast<std::size_t>(length) + 1, L'\0');
  shown.resize(static_cast<std::size_t>(::GetWindowTextW(transcript, shown.data(), length + 1)));
  EXPECT_LE(shown.size(), 64u * 1024u);
  const std::wstring last = L"line " + std::to_wstring(kLines - 1) + L" " + std::wstring(filler.begin(), filler.end()) + L"\r\n";
  ASSERT_TRUE(shown.ends_with(last));
  ASSERT_TRUE(shown.starts_with(L"line ")) << "the first line shown is whole";
  int expected = std::stoi(shown.substr(5));
  EXPECT_GT(expected, 0);
  for (std::size_t at = 0; at < shown.size(); at = shown.find(L"\r\n", at) + 2, ++expected) {
    const std::wstring start = L"line " + std::to_wstring(expected) + L" ";
    ASSERT_EQ(shown.substr(at, start.size()), start) << at;
  }
  EXPECT_EQ(expected, kLines);
  ::CloseHandle(input);
}

}  // namespace
