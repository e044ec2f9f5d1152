// The connection on POSIX: a non-blocking socket; for TLS, OpenSSL over two memory buffers, so
// that every byte to and from the network goes through this file's own recv and send. The send
// carries MSG_NOSIGNAL: a server gone away never raises SIGPIPE in the host.
#include <arpa/inet.h>
#include <fcntl.h>
#include <netdb.h>
#include <netinet/in.h>
#include <openssl/err.h>
#include <openssl/ssl.h>
#include <openssl/x509v3.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <mutex>
#include <system_error>
#include <thread>
#include <utility>
#include <vector>

#include "zelkor/irc/Connection.h"
#include "zelkor/irc/Millis.h"

namespace zelkor::irc {
namespace {

// An address that does not answer gives way to the next after this; the last one, and the TLS
// handshake, have the longer limit.
constexpr Millis kAddressTime = 10'000;
constexpr Millis kConnectTime = 30'000;
// Plain text is encrypted only while less than this waits for the socket, so that Unsent()
// stays close to the truth and a stalled server does not make the buffers grow twice.
constexpr std::size_t kWireBacklog = 16 * 1024;
constexpr std::size_t kChunk = 16 * 1024;

// The system's message, starting in lower case as the transcript's other reasons do.
std::string Lowered(std::string text) {
  if (!text.empty() && text[0] >= 'A' && text[0] <= 'Z' && (text.size() < 2 || text[1] < 'A' || text[1] > 'Z'))
    text[0] = static_cast<char>(text[0] - 'A' + 'a');
  return text;
}

std::string SystemMessage(int error) {
  switch (error) {
    case ECONNREFUSED: return "connection refused";
    case ECONNRESET: return "the server reset the connection";
    case EPIPE: return "the server closed the connection";
    case ETIMEDOUT: return "the connection timed out";
    case ENETUNREACH: return "the network is unreachable";
    case EHOSTUNREACH: return "the server's host is unreachable";
    default: break;
  }
  char buffer[256];
  // The GNU strerror_r: thread-safe, returns the message (not always in the buffer).
  return Lowered(::strerror_r(error, buffer, sizeof buffer));
}

// The reasons OpenSSL queued on this thread, the last one first, and the queue emptied.
std::string OpenSslMessage() {
  std::string text;
  while (const unsigned long code = ::ERR_get_error()) {
    const char* reason = ::ERR_reason_error_string(code);
    std::string one = reason ? reason : "error " + std::to_string(code);
    text = text.empty() ? one : one + "; " + text;
  }
  return text.empty() ? "no reason given" : text;
}

bool IsAddressLiteral(const std::string& host) {
  unsigned char bytes[sizeof(in6_addr)];
  return ::inet_pton(AF_INET, host.c_str(), bytes) == 1 || ::inet_pton(AF_INET6, host.c_str(), bytes) == 1;
}

struct Address {
  sockaddr_storage storage{};
  socklen_t length = 0;
};

// What the look-up thread leaves behind. For TLS it also makes the client context, whose trust
// store it reads from the disk (SSL_CERT_FILE and SSL_CERT_DIR count), off the caller's thread.
struct LookUpResult {
  std::mutex mutex;
  bool done = false;
  std::vector<Address> addresses;
  std::string error;
  SSL_CTX* context = nullptr;

  LookUpResult() = default;
  LookUpResult(const LookUpResult&) = delete;
  LookUpResult& operator=(const LookUpResult&) = delete;
  ~LookUpResult() { ::SSL_CTX_free(context); }
};

SSL_CTX* MakeClientContext(std::string& error) {
  SSL_CTX* context = ::SSL_CTX_new(::TLS_client_method());
  if (!context) {
    error = "cannot set up TLS: " + OpenSslMessage();
    return nullptr;
  }
  ::SSL_CTX_set_min_proto_version(context, TLS1_2_VERSION);
  ::SSL_CTX_set_verify(context, SSL_VERIFY_PEER, nullptr);
  if (::SSL_CTX_set_default_verify_paths(context) != 1) {
    error = "cannot read the trusted certificates: " + OpenSslMessage();
    ::SSL_CTX_free(context);
    return nullptr;
  }
  ::ERR_clear_error();
  return context;
}

// Runs on its own thread and touches nothing but `result`.
void LookUp(const std::shared_ptr<LookUpResult>& result, const std::string& host, std::uint16_t port, bool tls) {
  std::vector<Address> addresses;
  std::string error;
  addrinfo hints{};
  hints.ai_family = AF_UNSPEC;
  hints.ai_socktype = SOCK_STREAM;
  hints.ai_protocol = IPPROTO_TCP;
  hints.ai_flags = AI_NUMERICSERV;
  addrinfo* list = nullptr;
  const int status = ::getaddrinfo(host.c_str(), std::to_string(port).c_str(), &hints, &list);
  if (status != 0) {
    error = "cannot find the server " + host + ": " +
            (status == EAI_SYSTEM ? SystemMessage(errno) : Lowered(::gai_strerror(status)));
  } else {
    for (const addrinfo* at = list; at; at = at->ai_next) {
      if (at->ai_addrlen > sizeof(sockaddr_storage)) continue;
      Address address;
      std::memcpy(&address.storage, at->ai_addr, at->ai_addrlen);
      address.length = at->ai_addrlen;
      addresses.push_back(address);
    }
    ::freeaddrinfo(list);
    if (addresses.empty()) error = "cannot find the server " + host + ": no address";
  }
  SSL_CTX* context = nullptr;
  if (tls && error.empty()) context = MakeClientContext(error);
  const std::lock_guard lock(result->mutex);
  result->addresses = std::move(addresses);
  result->error = std::move(error);
  result->context = context;
  result->done = true;
}

class PosixConnection final : public Connection {
 public:
  explicit PosixConnection(const Endpoint& endpoint) : m_endpoint(endpoint) {
    auto result = std::make_shared<LookUpResult>();
    try {
      // Detached: a look-up the system keeps waiting on must not hold the host when it goes.
      std::thread(LookUp, result, m_endpoint.host, m_endpoint.port, m_endpoint.tls).detach();
    } catch (const std::system_error& error) {
      Close("cannot start the name look-up: " + std::string(error.what()));
      return;
    }
    m_lookUp = std::move(result);
  }

  ~PosixConnection() override {
    if (m_ssl && m_stage == Stage::Open) {
      // A close notify, as far as the socket takes it now.
      ::SSL_shutdown(m_ssl);
      DrainTls();
      SendWire();
    }
    if (m_fd >= 0) {
      // Unread bytes at close would make the kernel reset the connection, and the server could
      // lose the last lines sent (a QUIT).
      ::shutdown(m_fd, SHUT_WR);
      char sink[4096];
      for (int reads = 0; reads < 64 && ::recv(m_fd, sink, sizeof sink, MSG_DONTWAIT) > 0; ++reads) {
      }
    }
    Release();
  }

  PosixConnection(const PosixConnection&) = delete;
  PosixConnection& operator=(const PosixConnection&) = delete;

  void Service(std::string& received) override {
    if (m_stage == Stage::LookingUp) FinishLookUp();
    if (m_stage == Stage::Connecting) CheckConnect();
    if (m_stage == Stage::Handshaking || m_stage == Stage::Open) Transfer(received);
    if ((m_stage == Stage::Connecting || m_stage == Stage::Handshaking) && NowMillis() >= m_deadline)
      TimeOut();
  }

  void Send(std::string_view bytes) override {
    if (m_stage != Stage::Open || bytes.empty()) return;
    (m_ssl ? m_plainOut : m_wireOut).append(bytes);
    WriteSocket();
  }

  Status GetStatus() const override {
    switch (m_stage) {
      case Stage::Open: return Status::Open;
      case Stage::Closed: return Status::Closed;
      default: return Status::Connecting;
    }
  }

  const std::string& Reason() const override { return m_reason; }

  // With TLS, what waits for the socket is counted as sent (encrypted) bytes: the count is
  // zero exactly when everything queued has gone to the socket.
  std::size_t Unsent() const override { return m_plainOut.size() + (m_wireOut.size() - m_wireSent); }

  Wait WaitFor() const override {
    Wait wait;
    if (m_fd < 0 || m_stage == Stage::Closed) {
      wait.handle = -1;
      wait.readable = false;
      return wait;
    }
    wait.handle = m_fd;
    if (m_stage == Stage::Connecting) {
      wait.readable = false;
      wait.writable = true;
    } else {
      wait.readable = true;
      wait.writable = m_wireSent < m_wireOut.size();
    }
    return wait;
  }

 private:
  enum class Stage { LookingUp, Connecting, Handshaking, Open, Closed };

  void FinishLookUp() {
    {
      const std::lock_guard lock(m_lookUp->mutex);
      if (!m_lookUp->done) return;
      m_addresses = std::move(m_lookUp->addresses);
      m_context = std::exchange(m_lookUp->context, nullptr);
      m_reason = std::move(m_lookUp->error);
    }
    m_lookUp.reset();
    if (!m_reason.empty()) {
      Close(std::move(m_reason));
      return;
    }
    m_deadline = NowMillis() + kConnectTime;
    ConnectNext();
  }

  // Starts on the next address; when none is left, closes with the last address's reason.
  void ConnectNext() {
    while (m_next < m_addresses.size()) {
      const Address& address = m_addresses[m_next++];
      CloseSocket();
      int fd = ::socket(address.storage.ss_family, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, IPPROTO_TCP);
      if (fd < 0) {
        m_lastError = SystemMessage(errno);
        continue;
      }
      if (fd <= STDERR_FILENO) {
        // Standard input, output or error was closed: the socket must not pass for one of them.
        const int moved = ::fcntl(fd, F_DUPFD_CLOEXEC, STDERR_FILENO + 1);
        ::close(fd);
        if (moved < 0) {
          m_lastError = SystemMessage(errno);
          continue;
        }
        fd = moved;
      }
      m_fd = fd;
      const bool last = m_next == m_addresses.size();
      m_addressDeadline = last ? m_deadline : std::min(m_deadline, NowMillis() + kAddressTime);
      if (::connect(m_fd, reinterpret_cast<const sockaddr*>(&address.storage), address.length) == 0) {
        Connected();
        return;
      }
      if (errno == EINPROGRESS || errno == EINTR) {
        m_stage = Stage::Connecting;
        return;
      }
      m_lastError = SystemMessage(errno);
    }
    Close(m_lastError.empty() ? "the server cannot be reached" : m_lastError);
  }

  void CheckConnect() {
    pollfd entry{m_fd, POLLOUT, 0};
    if (::poll(&entry, 1, 0) <= 0) {
      if (NowMillis() >= m_addressDeadline && m_next < m_addresses.size()) {
        m_lastError = "the connection timed out";
        ConnectNext();
      }
      return;
    }
    int error = 0;
    socklen_t length = sizeof error;
    if (::getsockopt(m_fd, SOL_SOCKET, SO_ERROR, &error, &length) != 0) error = errno;
    if (error == 0) {
      Connected();
      return;
    }
    m_lastError = SystemMessage(error);
    ConnectNext();
  }

  void Connected() {
    m_addresses.clear();
    if (!m_endpoint.tls) {
      m_stage = Stage::Open;
      return;
    }
    m_stage = Stage::Handshaking;
    if (!StartTls()) Close("cannot set up TLS: " + OpenSslMessage());
  }

  bool StartTls() {
    m_ssl = ::SSL_new(m_context);
    if (!m_ssl) return false;
    BIO* in = ::BIO_new(::BIO_s_mem());
    BIO* out = ::BIO_new(::BIO_s_mem());
    if (!in || !out) {
      ::BIO_free(in);
      ::BIO_free(out);
      return false;
    }
    // An empty buffer means "more is coming", not the end of the stream.
    BIO_set_mem_eof_return(in, -1);
    BIO_set_mem_eof_return(out, -1);
    ::SSL_set_bio(m_ssl, in, out);
    m_in = in;
    m_out = out;
    const std::string& host = m_endpoint.host;
    if (IsAddressLiteral(host)) {
      // No SNI for an address; the certificate must name the address itself.
      if (::X509_VERIFY_PARAM_set1_ip_asc(::SSL_get0_param(m_ssl), host.c_str()) != 1) return false;
    } else {
      if (::SSL_set_tlsext_host_name(m_ssl, host.c_str()) != 1) return false;
      ::SSL_set_hostflags(m_ssl, X509_CHECK_FLAG_NO_PARTIAL_WILDCARDS);
      if (::SSL_set1_host(m_ssl, host.c_str()) != 1) return false;
    }
    ::SSL_set_connect_state(m_ssl);
    Handshake();
    if (m_stage == Stage::Closed) return true;
    DrainTls();
    WriteSocket();
    return true;
  }

  // Reads what the socket holds, moves it through TLS when there is TLS, writes what is
  // waiting. An end or an error from the socket closes only after what came before it has
  // been handed on.
  void Transfer(std::string& received) {
    std::string closeReason;
    char buffer[kChunk];
    for (;;) {
      const ssize_t count = ::recv(m_fd, buffer, sizeof buffer, 0);
      if (count > 0) {
        if (m_ssl) {
          ::BIO_write(m_in, buffer, static_cast<int>(count));
        } else {
          received.append(buffer, static_cast<std::size_t>(count));
        }
        continue;
      }
      if (count == 0) {
        closeReason = "the server closed the connection";
      } else if (errno == EINTR) {
        continue;
      } else if (errno != EAGAIN && errno != EWOULDBLOCK) {
        closeReason = SystemMessage(errno);
      }
      break;
    }
    if (m_ssl) {
      if (m_stage == Stage::Handshaking) Handshake();
      if (m_stage == Stage::Open) Decrypt(received);
      if (m_stage != Stage::Closed) DrainTls();
    }
    if (m_stage == Stage::Closed) return;
    if (!closeReason.empty()) {
      // Nothing more is written: the first reason is the one to tell. A server that ends the
      // stream in the handshake has refused us rather than left.
      Close(m_stage == Stage::Handshaking ? "the server ended the TLS handshake (" + closeReason + ")"
                                          : closeReason);
      return;
    }
    WriteSocket();
  }

  void Handshake() {
    const int result = ::SSL_do_handshake(m_ssl);
    if (result == 1) {
      m_stage = Stage::Open;
      return;
    }
    const int error = ::SSL_get_error(m_ssl, result);
    if (error == SSL_ERROR_WANT_READ || error == SSL_ERROR_WANT_WRITE) return;
    const long verified = ::SSL_get_verify_result(m_ssl);
    if (verified != X509_V_OK) {
      ::ERR_clear_error();
      FailTls(std::string("the server's certificate does not verify: ") +
              ::X509_verify_cert_error_string(verified));
    } else {
      FailTls("the TLS handshake failed: " + OpenSslMessage());
    }
  }

  void Decrypt(std::string& received) {
    char buffer[kChunk];
    for (;;) {
      const int count = ::SSL_read(m_ssl, buffer, sizeof buffer);
      if (count > 0) {
        received.append(buffer, static_cast<std::size_t>(count));
        continue;
      }
      const int error = ::SSL_get_error(m_ssl, count);
      if (error == SSL_ERROR_WANT_READ || error == SSL_ERROR_WANT_WRITE) return;
      if (error == SSL_ERROR_ZERO_RETURN) {
        ::ERR_clear_error();
        Close("the server closed the connection");
      } else {
        FailTls("the TLS connection failed: " + OpenSslMessage());
      }
      return;
    }
  }

  void Encrypt() {
    while (!m_plainOut.empty() && m_wireOut.size() - m_wireSent < kWireBacklog) {
      const std::size_t size = std::min(m_plainOut.size(), kChunk);
      const int count = ::SSL_write(m_ssl, m_plainOut.data(), static_cast<int>(size));
      if (count <= 0) {
        const int error = ::SSL_get_error(m_ssl, count);
        if (error == SSL_ERROR_WANT_READ || error == SSL_ERROR_WANT_WRITE) return;
        FailTls("the TLS connection failed: " + OpenSslMessage());
        return;
      }
      m_plainOut.erase(0, static_cast<std::size_t>(count));
      DrainTls();
    }
  }

  // What TLS wrote (records, alerts, the handshake) goes to the socket's queue.
  void DrainTls() {
    char buffer[kChunk];
    int count;
    while ((count = ::BIO_read(m_out, buffer, sizeof buffer)) > 0) m_wireOut.append(buffer, static_cast<std::size_t>(count));
  }

  // Sends what the socket takes now, encrypting more plain text as room frees up.
  void WriteSocket() {
    for (;;) {
      if (m_ssl && m_stage == Stage::Open) Encrypt();
      if (m_stage == Stage::Closed || !SendWire()) return;
      if (!m_ssl || m_plainOut.empty()) return;
    }
  }

  // True when the socket took every byte queued for it.
  bool SendWire() {
    bool all = true;
    while (m_fd >= 0 && m_wireSent < m_wireOut.size()) {
      const ssize_t count = ::send(m_fd, m_wireOut.data() + m_wireSent, m_wireOut.size() - m_wireSent, MSG_NOSIGNAL);
      if (count >= 0) {
        m_wireSent += static_cast<std::size_t>(count);
        continue;
      }
      if (errno == EINTR) continue;
      if (errno != EAGAIN && errno != EWOULDBLOCK) {
        Close(SystemMessage(errno));
        return false;
      }
      all = false;
      break;
    }
    if (m_wireSent == m_wireOut.size()) {
      m_wireOut.clear();
      m_wireSent = 0;
    } else if (m_wireSent > kWireBacklog) {
      m_wireOut.erase(0, m_wireSent);
      m_wireSent = 0;
    }
    return all;
  }

  // The alert TLS wrote about the failure goes out if the socket takes it at once.
  void FailTls(std::string reason) {
    DrainTls();
    if (m_fd >= 0 && m_wireSent < m_wireOut.size())
      ::send(m_fd, m_wireOut.data() + m_wireSent, m_wireOut.size() - m_wireSent, MSG_NOSIGNAL | MSG_DONTWAIT);
    Close(std::move(reason));
  }

  void TimeOut() {
    if (m_stage == Stage::Handshaking) {
      Close("the TLS handshake timed out");
    } else {
      Close("the connection timed out");
    }
  }

  void Close(std::string reason) {
    m_reason = std::move(reason);
    m_stage = Stage::Closed;
    Release();
  }

  void CloseSocket() {
    if (m_fd >= 0) ::close(m_fd);
    m_fd = -1;
  }

  // Everything but the reason; queued bytes are dropped, so Unsent() is zero once closed.
  void Release() {
    ::SSL_free(m_ssl);  // frees both memory buffers
    m_ssl = nullptr;
    m_in = m_out = nullptr;
    ::SSL_CTX_free(m_context);
    m_context = nullptr;
    CloseSocket();
    m_plainOut.clear();
    m_wireOut.clear();
    m_wireSent = 0;
    m_addresses.clear();
  }

  Endpoint m_endpoint;
  Stage m_stage = Stage::LookingUp;
  std::shared_ptr<LookUpResult> m_lookUp;
  std::vector<Address> m_addresses;
  std::size_t m_next = 0;
  std::string m_lastError;
  Millis m_deadline = 0;
  Millis m_addressDeadline = 0;
  int m_fd = -1;
  SSL_CTX* m_context = nullptr;
  SSL* m_ssl = nullptr;
  BIO* m_in = nullptr;   // from the network to TLS
  BIO* m_out = nullptr;  // from TLS to the network
  std::string m_plainOut;  // TLS only: queued by Send, not yet encrypted
  std::string m_wireOut;   // for the socket, from m_wireSent on
  std::size_t m_wireSent = 0;
  std::string m_reason;
};

}  // namespace

std::unique_ptr<Connection> Connect(const Endpoint& endpoint) {
  if (endpoint.tls) {
    // OpenSSL's own clean-up at exit could pull its tables from under a look-up thread still
    // making its context; the process's end frees them anyway.
    static const bool initialised = ::OPENSSL_init_ssl(OPENSSL_INIT_NO_ATEXIT, nullptr) == 1;
    (void)initialised;
  }
  return std::make_unique<PosixConnection>(endpoint);
}

}  // namespace zelkor::irc
