// A client connection to a chat server: TCP, with TLS when asked, served without blocking from
// the host's own loop. Each platform has its own (zelkor/posix, zelkor/win32); the protocol
// above it sees only bytes.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

namespace zelkor::irc {

struct Endpoint {
  std::string host;  // a name or an address, as given on the command line
  std::uint16_t port = 0;
  bool tls = false;
};

class Connection {
 public:
  enum class Status {
    Connecting,  // resolving the name, connecting, or in the TLS handshake
    Open,        // bytes flow both ways
    Closed,      // ended: refused, lost, closed by the server, or a certificate that did not verify
  };

  virtual ~Connection() = default;

  // Moves the connection on as far as it can without waiting: the name look-up, the connect,
  // the handshake; then appends what has arrived to `received` and writes what is queued.
  // Called whenever the loop wakes (its wait ended on the socket, on input or on a timeout).
  virtual void Service(std::string& received) = 0;
  // Queues bytes to send; they go out as the socket takes them (from this call or Service).
  // Ignored unless Open.
  virtual void Send(std::string_view bytes) = 0;
  virtual Status GetStatus() const = 0;
  // Why the connection is Closed, for the person at the transcript (UTF-8), for example
  // "connection refused" or "the server's certificate does not verify: ...".
  virtual const std::string& Reason() const = 0;
  // Bytes queued by Send and not yet taken by the socket.
  virtual std::size_t Unsent() const = 0;

  // What the loop waits on. On POSIX: a file descriptor (-1 while there is none yet, for
  // example during the name look-up: then the loop wakes again soon) and the events wanted.
  // On Windows: a WSA event handle (as std::intptr_t) signalled on the socket's events.
  struct Wait {
    std::intptr_t handle = -1;
    bool readable = true;
    bool writable = false;
  };
  virtual Wait WaitFor() const = 0;
};

// Starts connecting; never blocks (a name look-up runs on a thread of its own and calls
// nothing else). The result reports failures through Status::Closed and Reason().
std::unique_ptr<Connection> Connect(const Endpoint& endpoint);

}  // namespace zelkor::irc
