// The platform's connection (zelkor/posix, zelkor/win32) against a server of the test's own on
// the loopback interface: bytes both ways through full socket buffers, the server's close, and
// the reasons a person reads when it cannot connect.
#include <gtest/gtest.h>

#include <atomic>
#include <cstring>
#include <string>
#include <thread>

#ifdef _WIN32
#include <winsock2.h>
#include <ws2tcpip.h>
#else
#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <time.h>
#include <unistd.h>
#endif

#include "zelkor/irc/Connection.h"

namespace {

using zelkor::irc::Connection;
using Status = Connection::Status;

#ifdef _WIN32
using Socket = SOCKET;
void CloseSocket(Socket s) { ::closesocket(s); }
struct Network {
  Network() {
    WSADATA data;
    ::WSAStartup(MAKEWORD(2, 2), &data);
  }
  ~Network() { ::WSACleanup(); }
};
long long NowMs() { return static_cast<long long>(::GetTickCount64()); }
#else
using Socket = int;
void CloseSocket(Socket s) { ::close(s); }
struct Network {};
long long NowMs() {
  timespec now{};
  ::clock_gettime(CLOCK_MONOTONIC, &now);
  return now.tv_sec * 1000LL + now.tv_nsec / 1000000;
}
#endif

// A listening socket on 127.0.0.1 (IPv4 only, so "localhost" may first try ::1 and be refused).
struct Listener {
  Socket socket;
  unsigned short port = 0;
  Listener() {
    socket = ::socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    ::bind(socket, reinterpret_cast<sockaddr*>(&address), sizeof address);
    ::listen(socket, 1);
    socklen_t length = sizeof address;
    ::getsockname(socket, reinterpret_cast<sockaddr*>(&address), &length);
    port = ntohs(address.sin_port);
  }
  ~Listener() { CloseSocket(socket); }
  Socket Accept() const { return ::accept(socket, nullptr, nullptr); }
};

bool SendAll(Socket s, const std::string& bytes) {
  for (std::size_t sent = 0; sent < bytes.size();) {
    const auto count = ::send(s, bytes.data() + sent, static_cast<int>(bytes.size() - sent), 0);
    if (count <= 0) return false;
    sent += static_cast<std::size_t>(count);
  }
  return true;
}

std::string Pattern(std::size_t size, char seed) {
  std::string bytes(size, '\0');
  for (std::size_t i = 0; i < size; ++i) bytes[i] = static_cast<char>(seed + i % 61 + (i / 4099) % 7);
  return bytes;
}

// Serves the connection as the host's loop does (waiting on what WaitFor gives) until `done`
// or the time is up.
template <typename Done>
bool ServeUntil(Connection& connection, std::string& received, Done done, int timeoutMs = 20000) {
  const long long deadline = NowMs() + timeoutMs;
  while (!done()) {
    if (NowMs() > deadline) return false;
    const Connection::Wait wait = connection.WaitFor();
#ifdef _WIN32
    if (wait.handle == -1)
      ::Sleep(10);
    else
      ::WaitForSingleObject(reinterpret_cast<HANDLE>(wait.handle), 100);
#else
    if (wait.handle == -1) {
      ::poll(nullptr, 0, 10);
    } else {
      pollfd fd{static_cast<int>(wait.handle), static_cast<short>((wait.readable ? POLLIN : 0) | (wait.writable ? POLLOUT : 0)), 0};
      ::poll(&fd, 1, 100);
    }
#endif
    connection.Service(received);
  }
  return true;
}

class ConnectionTest : public testing::Test {
 protected:
  Network network;
};

TEST_F(ConnectionTest, CarriesBytesBothWaysUntilTheServerCloses) {
  Listener listener;
  const std::string upload = Pattern(3 * 1024 * 1024, 'A');
  const std::string download = Pattern(2 * 1024 * 1024, 'a');
  std::string uploaded;
  std::atomic<bool> serverDone{false};
  std::thread server([&] {
    const Socket peer = listener.Accept();
    // Reads nothing for a while, so that the client's send buffer fills and its sends wait.
    std::this_thread::sleep_for(std::chrono::milliseconds(500));
    std::thread writer([&] { SendAll(peer, download); });
    char buffer[65536];
    while (uploaded.size() < upload.size()) {
      const auto count = ::recv(peer, buffer, sizeof buffer, 0);
      if (count <= 0) break;
      uploaded.append(buffer, static_cast<std::size_t>(count));
    }
    writer.join();
    CloseSocket(peer);
    serverDone = true;
  });

  auto connection = zelkor::irc::Connect({"localhost", listener.port, false});
  connection->Send("dropped: not open yet");
  EXPECT_EQ(connection->Unsent(), 0u);
  std::string received;
  ASSERT_TRUE(ServeUntil(*connection, received, [&] { return connection->GetStatus() != Status::Connecting; }));
  ASSERT_EQ(connection->GetStatus(), Status::Open) << connection->Reason();
  connection->Send(upload.substr(0, 1000));
  connection->Send(upload.substr(1000));
  EXPECT_TRUE(ServeUntil(*connection, received, [&] {
    return connection->Unsent() == 0 && connection->GetStatus() != Status::Open;
  })) << "unsent " << connection->Unsent() << ", received " << received.size();
  server.join();
  EXPECT_TRUE(serverDone);
  EXPECT_TRUE(uploaded == upload) << "the server got " << uploaded.size() << " of " << upload.size() << " bytes";
  EXPECT_TRUE(received == download) << "got " << received.size() << " of " << download.size() << " bytes";
  EXPECT_EQ(connection->GetStatus(), Status::Closed);
  EXPECT_EQ(connection->Reason(), "the server closed the connection");
  // Closed for good: nothing more arrives, nothing is queued.
  connection->Send("too late");
  EXPECT_EQ(connection->Unsent(), 0u);
}

TEST_F(ConnectionTest, SaysWhyItCannotConnect) {
  unsigned short closedPort = 0;
  {
    Listener listener;  // a port nobody listens on once it is closed
    closedPort = listener.port;
  }
  std::string received;
  auto refused = zelkor::irc::Connect({"127.0.0.1", closedPort, false});
  ASSERT_TRUE(ServeUntil(*refused, received, [&] { return refused->GetStatus() == Status::Closed; }));
  EXPECT_EQ(refused->Reason(), "connection refused");

  auto unknown = zelkor::irc::Connect({"no-such-host.invalid", 6667, false});
  ASSERT_TRUE(ServeUntil(*unknown, received, [&] { return unknown->GetStatus() == Status::Closed; }));
  EXPECT_TRUE(unknown->Reason().starts_with("cannot find the server no-such-host.invalid")) << unknown->Reason();
  EXPECT_EQ(received, "");
}

// A server that does not speak TLS: the handshake fails, and none of its bytes pass as data.
TEST_F(ConnectionTest, TlsToAServerWithoutItFails) {
  Listener listener;
  std::thread server([&] {
    const Socket peer = listener.Accept();
    SendAll(peer, ":irc.example NOTICE * :*** Looking up your hostname\r\n" + std::string(300, 'x') + "\r\n");
    char buffer[4096];
    ::recv(peer, buffer, sizeof buffer, 0);
    std::this_thread::sleep_for(std::chrono::milliseconds(200));
    CloseSocket(peer);
  });
  auto connection = zelkor::irc::Connect({"localhost", listener.port, true});
  std::string received;
  bool wasOpen = false;
  EXPECT_TRUE(ServeUntil(*connection, received, [&] {
    wasOpen = wasOpen || connection->GetStatus() == Status::Open;
    return connection->GetStatus() == Status::Closed;
  }));
  server.join();
  EXPECT_FALSE(wasOpen);
  EXPECT_EQ(received, "");
  EXPECT_FALSE(connection->Reason().empty());
}

}  // namespace
