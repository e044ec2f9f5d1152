// The POSIX transport under a live session: standard input read into lines by the poll loop,
// the stop signals it lets through only while it waits, and what only POSIX has to mind in the
// connection (a reset under a write must not raise SIGPIPE). The connection's common behaviour is
// in tests/test_connection.cpp.
#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <signal.h>
#include <sys/socket.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <atomic>
#include <csignal>
#include <ctime>
#include <string>
#include <thread>
#include <vector>

#include "zelkor/irc/Connection.h"
#include "zelkor/posix/PollLoop.h"

namespace {

using zelkor::irc::Connection;
using zelkor::irc::Endpoint;
using zelkor::posix::PollLoop;

constexpr std::size_t kMax = PollLoop::kMaxLine;

void WriteAll(int fd, std::string_view bytes) {
  while (!bytes.empty()) {
    const ssize_t count = ::write(fd, bytes.data(), bytes.size());
    if (count <= 0) return;
    bytes.remove_prefix(static_cast<std::size_t>(count));
  }
}

// Standard input is a pipe for the length of a test; a writer thread fills it, so that more
// than the pipe holds can be written.
class PipedInput {
 public:
  PipedInput() {
    int fds[2];
    EXPECT_EQ(::pipe(fds), 0);
    m_saved = ::dup(STDIN_FILENO);
    ::dup2(fds[0], STDIN_FILENO);
    ::close(fds[0]);
    m_write = fds[1];
  }
  ~PipedInput() {
    if (m_writer.joinable()) m_writer.join();
    if (m_write >= 0) ::close(m_write);
    ::dup2(m_saved, STDIN_FILENO);
    ::close(m_saved);
  }
  PipedInput(const PipedInput&) = delete;
  PipedInput& operator=(const PipedInput&) = delete;

  // Writes `bytes`, then ends the input.
  void WriteAndEnd(std::string bytes) {
    m_writer = std::thread([this, bytes = std::move(bytes)] {
      WriteAll(m_write, bytes);
      ::close(m_write);
      m_write = -1;
    });
  }

 private:
  int m_saved = -1;
  int m_write = -1;
  std::thread m_writer;
};

std::vector<std::string> AllLines(PollLoop& loop) {
  std::vector<std::string> lines;
  for (int wakes = 0; wakes < 1000 && !loop.InputEnded(); ++wakes) {
    loop.Wait(nullptr, 1000);
    while (auto line = loop.TakeLine()) lines.push_back(*line);
  }
  EXPECT_TRUE(loop.InputEnded());
  return lines;
}

TEST(PollLoopInput, LinesEndAtLineFeedsAndTheLastNeedsNone) {
  PipedInput input;
  PollLoop loop(nullptr);
  input.WriteAndEnd("one\r\ntwo\nthree\rfour\n\n\r\nlast");
  // Queued lines are still to come after the end has been read.
  for (int wakes = 0; wakes < 10; ++wakes) loop.Wait(nullptr, 1000);
  EXPECT_FALSE(loop.InputEnded());
  EXPECT_EQ(AllLines(loop), (std::vector<std::string>{"one", "two", "three\rfour", "", "", "last"}));
  EXPECT_FALSE(loop.TakeLine());
}

TEST(PollLoopInput, ALongLineIsCutAndTheRestOfItDropped) {
  PipedInput input;
  PollLoop loop(nullptr);
  const std::string cafe = "caf\xC3\xA9";
  input.WriteAndEnd(std::string(200'000, 'x') + "\n" +        // cut
                    std::string(kMax, 'y') + "\r\n" +         // exactly the limit: whole
                    std::string(kMax - 4, 'z') + cafe + "\n" +  // the limit falls inside a character
                    "next\n");
  const auto lines = AllLines(loop);
  ASSERT_EQ(lines.size(), 4u);
  EXPECT_EQ(lines[0], std::string(kMax, 'x'));
  EXPECT_EQ(lines[1], std::string(kMax, 'y'));
  EXPECT_EQ(lines[2], std::string(kMax - 4, 'z') + "caf");
  EXPECT_EQ(lines[3], "next");
}

TEST(PollLoopInput, ClosedInputHasEndedAndKeepsItsNumber) {
  const int saved = ::dup(STDIN_FILENO);
  ::close(STDIN_FILENO);
  {
    PollLoop loop(nullptr);
    EXPECT_TRUE(loop.InputEnded());
    // Standard input is /dev/null now: no socket made later can pass for it.
    EXPECT_GE(::fcntl(STDIN_FILENO, F_GETFD), 0);
    loop.Wait(nullptr, 0);
    EXPECT_TRUE(loop.InputEnded());
  }
  ::dup2(saved, STDIN_FILENO);
  ::close(saved);
}

volatile std::sig_atomic_t g_stop = 0;
extern "C" void OnStop(int signal) { g_stop = signal; }

TEST(PollLoopSignals, AStopOutsideTheWaitIsKeptForIt) {
  PipedInput input;  // open and silent
  struct sigaction action {}, saved {};
  action.sa_handler = OnStop;
  sigemptyset(&action.sa_mask);
  ::sigaction(SIGTERM, &action, &saved);
  g_stop = 0;
  {
    PollLoop loop(&g_stop);
    ::raise(SIGTERM);
    EXPECT_EQ(g_stop, 0);  // blocked: the session is not interrupted between its steps
    const std::time_t start = std::time(nullptr);
    loop.Wait(nullptr, 20'000);
    EXPECT_EQ(g_stop, SIGTERM);
    EXPECT_LT(std::time(nullptr) - start, 10);
    // Once the flag is up, waits end at once.
    loop.Wait(nullptr, 20'000);
    EXPECT_LT(std::time(nullptr) - start, 10);
  }
  g_stop = 0;
  ::raise(SIGTERM);  // the mask is back as it was
  EXPECT_EQ(g_stop, SIGTERM);
  ::sigaction(SIGTERM, &saved, nullptr);
  g_stop = 0;
}

// A loopback server of the test's own, on a thread: it accepts one client and runs `serve` on it.
class Server {
 public:
  template <class Serve>
  explicit Server(Serve serve) {
    m_listener = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof address;
    EXPECT_EQ(::bind(m_listener, reinterpret_cast<sockaddr*>(&address), length), 0);
    EXPECT_EQ(::listen(m_listener, 1), 0);
    ::getsockname(m_listener, reinterpret_cast<sockaddr*>(&address), &length);
    port = ntohs(address.sin_port);
    m_thread = std::thread([this, serve] {
      const int client = ::accept(m_listener, nullptr, nullptr);
      if (client >= 0) serve(client);
      if (client >= 0) ::close(client);
    });
  }
  ~Server() {
    m_thread.join();
    ::close(m_listener);
  }
  Server(const Server&) = delete;
  Server& operator=(const Server&) = delete;

  std::uint16_t port = 0;

 private:
  int m_listener = -1;
  std::thread m_thread;
};

TEST(PosixConnection, AServerThatResetsUnderAWriteDoesNotKillTheHost) {
  ::signal(SIGPIPE, SIG_DFL);  // a send without MSG_NOSIGNAL would end the test program
  PipedInput input;
  PollLoop loop(nullptr);
  // The server stops reading until the client has bytes waiting for the socket, then resets:
  // the client learns of it with a write still to make.
  std::atomic<bool> backlog{false};
  Server server([&](int client) {
    char buffer[16];
    ::recv(client, buffer, sizeof buffer, 0);
    for (int waits = 0; waits < 10'000 && !backlog; ++waits) ::usleep(1000);
    const linger reset{1, 0};
    ::setsockopt(client, SOL_SOCKET, SO_LINGER, &reset, sizeof reset);
  });
  auto connection = zelkor::irc::Connect(Endpoint{"127.0.0.1", server.port, false});
  std::string received;
  for (int wakes = 0; wakes < 10'000 && connection->GetStatus() != Connection::Status::Closed; ++wakes) {
    loop.Wait(connection.get(), 100);
    connection->Service(received);
    if (connection->GetStatus() == Connection::Status::Open && connection->Unsent() == 0)
      connection->Send(std::string(1 << 20, 'q'));
    if (connection->Unsent() > 0) backlog = true;
  }
  ASSERT_EQ(connection->GetStatus(), Connection::Status::Closed);
  EXPECT_EQ(connection->Reason(), "the server reset the connection");
  EXPECT_EQ(connection->Unsent(), 0u);
  connection->Send("ignored once closed");
  EXPECT_EQ(connection->Unsent(), 0u);
}

}  // namespace
