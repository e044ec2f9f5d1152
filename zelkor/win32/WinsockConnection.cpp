// The Windows connection: Winsock2 in event mode (WSAEventSelect makes the socket non-blocking
// and signals one WSA event, which zelkor.exe's message loop waits on), with Schannel for TLS.
// Everything but the name look-up runs on the thread that calls Service, the GUI thread.
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <winsock2.h>
#include <ws2tcpip.h>
#include <windows.h>
#define SECURITY_WIN32
#define SCHANNEL_USE_BLACKLISTS  // SCH_CREDENTIALS
#include <subauth.h>
#include <schannel.h>
#include <security.h>
#include <wincrypt.h>

#include <algorithm>
#include <atomic>
#include <climits>
#include <cstdio>
#include <cstring>
#include <optional>
#include <string>
#include <system_error>
#include <thread>
#include <utility>

#include "zelkor/irc/Connection.h"

namespace zelkor::irc {
namespace {

std::wstring Wide(std::string_view utf8) {
  if (utf8.empty()) return std::wstring();
  const int length = ::MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), nullptr, 0);
  std::wstring wide(static_cast<std::size_t>(std::max(length, 0)), L'\0');
  if (length > 0) ::MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), wide.data(), length);
  return wide;
}

std::string Utf8(std::wstring_view wide) {
  if (wide.empty()) return std::string();
  const int length =
      ::WideCharToMultiByte(CP_UTF8, 0, wide.data(), static_cast<int>(wide.size()), nullptr, 0, nullptr, nullptr);
  std::string utf8(static_cast<std::size_t>(std::max(length, 0)), '\0');
  if (length > 0)
    ::WideCharToMultiByte(CP_UTF8, 0, wide.data(), static_cast<int>(wide.size()), utf8.data(), length, nullptr, nullptr);
  return utf8;
}

// The system's text for an error code (in the user's language), with the code, for what the
// texts below do not name.
std::string SystemText(DWORD code) {
  char number[32];
  std::snprintf(number, sizeof number, code > 0xFFFF ? "0x%08lX" : "%lu", static_cast<unsigned long>(code));
  wchar_t* text = nullptr;
  const DWORD length = ::FormatMessageW(
      FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, code, 0,
      reinterpret_cast<wchar_t*>(&text), 0, nullptr);
  std::wstring message(text != nullptr ? std::wstring_view(text, length) : std::wstring_view());
  if (text != nullptr) ::LocalFree(text);
  while (!message.empty() && (message.back() == L'\r' || message.back() == L'\n' || message.back() == L' ' ||
                              message.back() == L'.'))
    message.pop_back();
  if (message.empty()) return std::string("error ") + number;
  return Utf8(message) + " (error " + number + ")";
}

std::string SocketText(int code) {
  switch (code) {
    case WSAECONNREFUSED: return "connection refused";
    case WSAETIMEDOUT: return "the connection timed out";
    case WSAENETUNREACH:
    case WSAEHOSTUNREACH: return "the server cannot be reached from this network";
    case WSAECONNRESET: return "the connection was reset by the server";
    case WSAECONNABORTED: return "the connection was lost";
    case WSAENETDOWN:
    case WSAENETRESET: return "the network is down";
    default: return SystemText(static_cast<DWORD>(code));
  }
}

std::string LookupText(int code, const std::string& host) {
  switch (code) {
    case WSAHOST_NOT_FOUND:
    case WSANO_DATA: return "cannot find the server " + host;
    case WSATRY_AGAIN: return "cannot look up the server " + host + " now (the name service did not answer)";
    default: return "cannot look up the server " + host + ": " + SystemText(static_cast<DWORD>(code));
  }
}

std::string SecurityText(SECURITY_STATUS status) {
  switch (status) {
    case SEC_E_ILLEGAL_MESSAGE: return "the server's answer is not TLS, or it refused the connection";
    case SEC_E_ALGORITHM_MISMATCH: return "the server and this computer have no TLS version or cipher in common";
    case SEC_E_MESSAGE_ALTERED:
    case SEC_E_DECRYPT_FAILURE: return "the data from the server was damaged";
    default: return SystemText(static_cast<DWORD>(status));
  }
}

std::string CertificateText(DWORD error, const std::string& host) {
  switch (error) {
    case static_cast<DWORD>(CERT_E_UNTRUSTEDROOT):
    case static_cast<DWORD>(CERT_E_UNTRUSTEDTESTROOT):
      return "it is not issued by an authority this computer trusts (self-signed, or an unknown authority)";
    case static_cast<DWORD>(CERT_E_CHAINING): return "it cannot be traced to an authority this computer trusts";
    case static_cast<DWORD>(CERT_E_CN_NO_MATCH): return "it is not for the name " + host;
    case static_cast<DWORD>(CERT_E_EXPIRED): return "it has expired or is not valid yet";
    case static_cast<DWORD>(CERT_E_WRONG_USAGE): return "it is not meant for a server";
    case static_cast<DWORD>(CRYPT_E_REVOKED): return "it has been revoked";
    default: return SystemText(error);
  }
}

// The chain's own verdict, which the SSL policy does not always carry (wine's passes a chain
// that ends at an issuer it does not have). Revocation is not checked (no CRL or OCSP fetches),
// so its unknown status is no problem.
std::optional<std::string> ChainProblem(DWORD status) {
  if (status & (CERT_TRUST_IS_UNTRUSTED_ROOT | CERT_TRUST_IS_EXPLICIT_DISTRUST))
    return CertificateText(static_cast<DWORD>(CERT_E_UNTRUSTEDROOT), "");
  if (status & CERT_TRUST_IS_PARTIAL_CHAIN) return CertificateText(static_cast<DWORD>(CERT_E_CHAINING), "");
  if (status & CERT_TRUST_IS_NOT_TIME_VALID) return CertificateText(static_cast<DWORD>(CERT_E_EXPIRED), "");
  if (status & CERT_TRUST_IS_REVOKED) return CertificateText(static_cast<DWORD>(CRYPT_E_REVOKED), "");
  if (status & CERT_TRUST_IS_NOT_VALID_FOR_USAGE) return CertificateText(static_cast<DWORD>(CERT_E_WRONG_USAGE), "");
  if (status & CERT_TRUST_IS_NOT_SIGNATURE_VALID) return "its signature is not valid";
  constexpr DWORD kInvalid = CERT_TRUST_IS_CYCLIC | CERT_TRUST_INVALID_EXTENSION | CERT_TRUST_INVALID_POLICY_CONSTRAINTS |
                             CERT_TRUST_INVALID_BASIC_CONSTRAINTS | CERT_TRUST_INVALID_NAME_CONSTRAINTS;
  if (status & kInvalid) {
    char text[64];
    std::snprintf(text, sizeof text, "its chain is not valid (status 0x%08lX)", static_cast<unsigned long>(status));
    return std::string(text);
  }
  return std::nullopt;
}

// What the server's certificate does not satisfy, or nothing when it verifies for `host`:
// a chain to a root this computer trusts, valid now, for server authentication, naming `host`.
std::optional<std::string> CertificateProblem(CtxtHandle& context, const std::string& host) {
  PCCERT_CONTEXT certificate = nullptr;
  if (::QueryContextAttributesW(&context, SECPKG_ATTR_REMOTE_CERT_CONTEXT, &certificate) != SEC_E_OK ||
      certificate == nullptr)
    return "the server sent none";
  LPSTR usages[] = {const_cast<LPSTR>(szOID_PKIX_KP_SERVER_AUTH), const_cast<LPSTR>(szOID_SERVER_GATED_CRYPTO),
                    const_cast<LPSTR>(szOID_SGC_NETSCAPE)};
  CERT_CHAIN_PARA chainPara{};
  chainPara.cbSize = sizeof chainPara;
  chainPara.RequestedUsage.dwType = USAGE_MATCH_TYPE_OR;
  chainPara.RequestedUsage.Usage.cUsageIdentifier = static_cast<DWORD>(std::size(usages));
  chainPara.RequestedUsage.Usage.rgpszUsageIdentifier = usages;
  PCCERT_CHAIN_CONTEXT chain = nullptr;
  std::optional<std::string> problem;
  if (!::CertGetCertificateChain(nullptr, certificate, nullptr, certificate->hCertStore, &chainPara, 0, nullptr,
                                 &chain)) {
    problem = "its chain cannot be built: " + SystemText(::GetLastError());
  } else {
    std::wstring serverName = Wide(host);
    HTTPSPolicyCallbackData https{};
    https.cbStruct = sizeof https;
    https.dwAuthType = AUTHTYPE_SERVER;
    https.pwszServerName = serverName.data();
    CERT_CHAIN_POLICY_PARA policy{};
    policy.cbSize = sizeof policy;
    policy.pvExtraPolicyPara = &https;
    CERT_CHAIN_POLICY_STATUS status{};
    status.cbSize = sizeof status;
    if (!::CertVerifyCertificateChainPolicy(CERT_CHAIN_POLICY_SSL, chain, &policy, &status))
      problem = "the check itself failed: " + SystemText(::GetLastError());
    else if (status.dwError != 0)
      problem = CertificateText(status.dwError, host);
    else
      problem = ChainProblem(chain->TrustStatus.dwErrorStatus);
    ::CertFreeCertificateChain(chain);
  }
  ::CertFreeCertificateContext(certificate);
  return problem;
}

// The name look-up's own state, shared with its thread, which touches nothing else: a
// connection given up while its look-up still runs leaves the result to the thread.
struct Lookup {
  std::wstring host, service;
  ADDRINFOW* addresses = nullptr;
  int error = 0;
  std::atomic<bool> done{false};
  ~Lookup() {
    if (addresses != nullptr) ::FreeAddrInfoW(addresses);
  }
};

constexpr DWORD kContextFlags = ISC_REQ_SEQUENCE_DETECT | ISC_REQ_REPLAY_DETECT | ISC_REQ_CONFIDENTIALITY |
                                ISC_REQ_EXTENDED_ERROR | ISC_REQ_ALLOCATE_MEMORY | ISC_REQ_STREAM |
                                ISC_REQ_MANUAL_CRED_VALIDATION;
// From the look-up's answer to an open connection at most; an address that does not answer
// gives way to the next one sooner. A server that never completes the handshake (TLS dialled
// on a plain port) would otherwise hold the session in "connecting" for good.
constexpr ULONGLONG kConnectTime = 30'000;
constexpr ULONGLONG kAddressTime = 10'000;
// What one Service call reads at most: a flood cannot hold the GUI thread. Data left over
// signals the event again (recv re-enables FD_READ).
constexpr std::size_t kReadPerService = 256 * 1024;

class WinsockConnection final : public Connection {
 public:
  explicit WinsockConnection(const Endpoint& endpoint);
  ~WinsockConnection() override;
  WinsockConnection(const WinsockConnection&) = delete;
  WinsockConnection& operator=(const WinsockConnection&) = delete;

  void Service(std::string& received) override;
  void Send(std::string_view bytes) override;
  Status GetStatus() const override;
  const std::string& Reason() const override { return m_reason; }
  std::size_t Unsent() const override;
  Wait WaitFor() const override;

 private:
  enum class Stage { Resolving, Connecting, Handshake, Open, Closed };

  void StartLookup();
  void TryNextAddress();
  void Connected();
  void Fail(std::string reason);
  void Read(std::string& received);
  void Flush();
  void StartHandshake();
  void Handshake();
  void Decrypt(std::string& received);
  void Encrypt();
  void SendCloseNotify();
  void CheckDeadlines();

  Endpoint m_endpoint;
  Stage m_stage = Stage::Resolving;
  std::string m_reason;
  bool m_started = false;  // WSAStartup
  WSAEVENT m_event = WSA_INVALID_EVENT;
  SOCKET m_socket = INVALID_SOCKET;
  std::shared_ptr<Lookup> m_lookup;
  const ADDRINFOW* m_nextAddress = nullptr;
  std::string m_lastConnectError;
  ULONGLONG m_deadline = 0, m_addressDeadline = 0;  // GetTickCount64

  std::string m_wire;            // bytes for the socket (TLS records once encrypted)
  std::size_t m_wireSent = 0;    // of m_wire
  std::size_t m_wirePlain = 0;   // TLS: bytes of Send in m_wire's records, for Unsent
  std::string m_plain;           // TLS: bytes of Send not yet encrypted

  CredHandle m_credentials{};
  CtxtHandle m_context{};
  bool m_haveCredentials = false, m_haveContext = false;
  bool m_renegotiating = false;  // the handshake runs again on an open connection
  SecPkgContext_StreamSizes m_sizes{};
  std::string m_tlsIn;           // TLS: bytes received and not yet used
};

WinsockConnection::WinsockConnection(const Endpoint& endpoint) : m_endpoint(endpoint) {
  WSADATA data;
  if (const int error = ::WSAStartup(MAKEWORD(2, 2), &data); error != 0) {
    Fail("the network cannot be used: " + SocketText(error));
    return;
  }
  m_started = true;
  m_event = ::WSACreateEvent();
  if (m_event == WSA_INVALID_EVENT) {
    Fail("the network cannot be used: " + SocketText(::WSAGetLastError()));
    return;
  }
  StartLookup();
}

WinsockConnection::~WinsockConnection() {
  if (m_stage == Stage::Open && m_haveContext) SendCloseNotify();
  if (m_socket != INVALID_SOCKET) {
    // Unread bytes at close make the system reset the connection, and the server could lose
    // the last lines sent (a QUIT).
    ::shutdown(m_socket, SD_SEND);
    char sink[4096];
    for (int i = 0; i < 64 && ::recv(m_socket, sink, sizeof sink, 0) > 0; ++i) {
    }
    ::closesocket(m_socket);
  }
  if (m_haveContext) ::DeleteSecurityContext(&m_context);
  if (m_haveCredentials) ::FreeCredentialsHandle(&m_credentials);
  if (m_event != WSA_INVALID_EVENT) ::WSACloseEvent(m_event);
  m_lookup.reset();  // before WSACleanup: it may hold the addresses
  if (m_started) ::WSACleanup();
}

void WinsockConnection::StartLookup() {
  auto lookup = std::make_shared<Lookup>();
  lookup->host = Wide(m_endpoint.host);
  lookup->service = std::to_wstring(m_endpoint.port);
  try {
    std::thread([lookup] {
      WSADATA data;
      const bool started = ::WSAStartup(MAKEWORD(2, 2), &data) == 0;
      ADDRINFOW hints{};
      hints.ai_family = AF_UNSPEC;
      hints.ai_socktype = SOCK_STREAM;
      hints.ai_protocol = IPPROTO_TCP;
      lookup->error = ::GetAddrInfoW(lookup->host.c_str(), lookup->service.c_str(), &hints, &lookup->addresses);
      if (started) ::WSACleanup();
      lookup->done.store(true, std::memory_order_release);
    }).detach();
  } catch (const std::system_error&) {
    Fail("cannot look up the server " + m_endpoint.host + ": no thread for the look-up");
    return;
  }
  m_lookup = std::move(lookup);
}

void WinsockConnection::TryNextAddress() {
  if (m_socket != INVALID_SOCKET) {
    ::closesocket(m_socket);
    m_socket = INVALID_SOCKET;
  }
  while (m_nextAddress != nullptr) {
    const ADDRINFOW* address = m_nextAddress;
    m_nextAddress = address->ai_next;
    SOCKET s = ::WSASocketW(address->ai_family, address->ai_socktype, address->ai_protocol, nullptr, 0,
                            WSA_FLAG_OVERLAPPED | WSA_FLAG_NO_HANDLE_INHERIT);
    if (s == INVALID_SOCKET) {
      m_lastConnectError = SocketText(::WSAGetLastError());
      continue;
    }
    // Also makes the socket non-blocking.
    if (::WSAEventSelect(s, m_event, FD_CONNECT | FD_READ | FD_WRITE | FD_CLOSE) == SOCKET_ERROR) {
      m_lastConnectError = SocketText(::WSAGetLastError());
      ::closesocket(s);
      continue;
    }
    const BOOL noDelay = TRUE;  // chat lines are small and each should go at once
    ::setsockopt(s, IPPROTO_TCP, TCP_NODELAY, reinterpret_cast<const char*>(&noDelay), sizeof noDelay);
    if (::connect(s, address->ai_addr, static_cast<int>(address->ai_addrlen)) == SOCKET_ERROR &&
        ::WSAGetLastError() != WSAEWOULDBLOCK) {
      m_lastConnectError = SocketText(::WSAGetLastError());
      ::closesocket(s);
      continue;
    }
    m_socket = s;
    m_stage = Stage::Connecting;
    m_addressDeadline = m_nextAddress == nullptr ? m_deadline : std::min(m_deadline, ::GetTickCount64() + kAddressTime);
    return;
  }
  Fail(m_lastConnectError.empty() ? "cannot find the server " + m_endpoint.host : m_lastConnectError);
}

void WinsockConnection::Fail(std::string reason) {
  m_stage = Stage::Closed;
  m_reason = std::move(reason);
  if (m_socket != INVALID_SOCKET) {
    ::closesocket(m_socket);
    m_socket = INVALID_SOCKET;
  }
  // The event may still be set from the socket's last events: the loop must not keep waking.
  if (m_event != WSA_INVALID_EVENT) ::WSAResetEvent(m_event);
  m_wire.clear();
  m_wireSent = m_wirePlain = 0;
  m_plain.clear();
}

void WinsockConnection::Connected() {
  if (m_endpoint.tls) {
    StartHandshake();
  } else {
    m_stage = Stage::Open;
  }
}

void WinsockConnection::Service(std::string& received) {
  if (m_stage == Stage::Resolving) {
    if (!m_lookup || !m_lookup->done.load(std::memory_order_acquire)) return;
    if (m_lookup->error != 0) {
      Fail(LookupText(m_lookup->error, m_endpoint.host));
      return;
    }
    m_nextAddress = m_lookup->addresses;
    m_deadline = ::GetTickCount64() + kConnectTime;
    TryNextAddress();
  }
  if (m_stage == Stage::Closed || m_socket == INVALID_SOCKET) return;
  WSANETWORKEVENTS events{};
  if (::WSAEnumNetworkEvents(m_socket, m_event, &events) == SOCKET_ERROR) {
    Fail(SocketText(::WSAGetLastError()));
    return;
  }
  if (m_stage == Stage::Connecting && (events.lNetworkEvents & FD_CONNECT) != 0) {
    if (const int error = events.iErrorCode[FD_CONNECT_BIT]; error != 0) {
      m_lastConnectError = SocketText(error);
      TryNextAddress();
      return;
    }
    Connected();
  }
  if (m_stage != Stage::Connecting) {
    Flush();
    if (m_stage != Stage::Closed) Read(received);
    if (m_stage != Stage::Closed) Flush();
  }
  CheckDeadlines();
}

void WinsockConnection::CheckDeadlines() {
  if (m_stage != Stage::Connecting && m_stage != Stage::Handshake) return;
  const ULONGLONG now = ::GetTickCount64();
  if (m_stage == Stage::Connecting && now >= m_addressDeadline && m_nextAddress != nullptr) {
    m_lastConnectError = "the connection timed out";
    TryNextAddress();
  } else if (now >= m_deadline) {
    Fail(m_stage == Stage::Handshake ? "the TLS handshake timed out" : "the connection timed out");
  }
}

void WinsockConnection::Read(std::string& received) {
  char buffer[16 * 1024];
  for (std::size_t total = 0; total < kReadPerService;) {
    const int count = ::recv(m_socket, buffer, sizeof buffer, 0);
    if (count > 0) {
      total += static_cast<std::size_t>(count);
      if (!m_endpoint.tls) {
        received.append(buffer, static_cast<std::size_t>(count));
        continue;
      }
      m_tlsIn.append(buffer, static_cast<std::size_t>(count));
      if (m_stage == Stage::Handshake || m_renegotiating) Handshake();
      if (m_stage == Stage::Open && !m_renegotiating) Decrypt(received);
      if (m_stage == Stage::Closed) return;
      continue;
    }
    if (count == 0) {
      Fail(m_stage == Stage::Handshake ? "the server closed the connection during the TLS handshake"
                                       : "the server closed the connection");
      return;
    }
    const int error = ::WSAGetLastError();
    if (error != WSAEWOULDBLOCK) Fail(SocketText(error));
    return;
  }
}

void WinsockConnection::Flush() {
  for (;;) {
    while (m_wireSent < m_wire.size()) {
      const int count = ::send(m_socket, m_wire.data() + m_wireSent,
                               static_cast<int>(std::min<std::size_t>(m_wire.size() - m_wireSent, INT_MAX)), 0);
      if (count == SOCKET_ERROR) {
        // FD_WRITE comes once the socket takes bytes again.
        if (const int error = ::WSAGetLastError(); error != WSAEWOULDBLOCK) Fail(SocketText(error));
        return;
      }
      m_wireSent += static_cast<std::size_t>(count);
    }
    m_wire.clear();
    m_wireSent = m_wirePlain = 0;
    if (m_plain.empty() || m_stage != Stage::Open || m_renegotiating) return;
    Encrypt();
    if (m_stage == Stage::Closed) return;
  }
}

void WinsockConnection::Send(std::string_view bytes) {
  if (m_stage != Stage::Open || bytes.empty()) return;
  if (m_endpoint.tls) {
    m_plain.append(bytes);
  } else {
    m_wire.append(bytes);
  }
  Flush();
}

Connection::Status WinsockConnection::GetStatus() const {
  switch (m_stage) {
    case Stage::Open: return Status::Open;
    case Stage::Closed: return Status::Closed;
    default: return Status::Connecting;
  }
}

std::size_t WinsockConnection::Unsent() const {
  // A TLS record counts whole until the socket has taken all of it.
  return m_endpoint.tls ? m_plain.size() + m_wirePlain : m_wire.size() - m_wireSent;
}

Connection::Wait WinsockConnection::WaitFor() const {
  Wait wait;
  if (m_stage == Stage::Resolving || m_event == WSA_INVALID_EVENT) return wait;
  wait.handle = reinterpret_cast<std::intptr_t>(m_event);
  wait.writable = m_wireSent < m_wire.size() || !m_plain.empty();
  return wait;
}

void WinsockConnection::StartHandshake() {
  SCH_CREDENTIALS credentials{};
  credentials.dwVersion = SCH_CREDENTIALS_VERSION;
  // The certificate is checked after the handshake, by CertificateProblem.
  credentials.dwFlags = SCH_CRED_MANUAL_CRED_VALIDATION | SCH_CRED_NO_DEFAULT_CREDS | SCH_USE_STRONG_CRYPTO;
  SECURITY_STATUS status =
      ::AcquireCredentialsHandleW(nullptr, const_cast<wchar_t*>(UNISP_NAME_W), SECPKG_CRED_OUTBOUND, nullptr,
                                  &credentials, nullptr, nullptr, &m_credentials, nullptr);
  if (status != SEC_E_OK) {
    // Systems before SCH_CREDENTIALS (Windows 10 1809) know only the older form.
    SCHANNEL_CRED older{};
    older.dwVersion = SCHANNEL_CRED_VERSION;
    older.dwFlags = credentials.dwFlags;
    status = ::AcquireCredentialsHandleW(nullptr, const_cast<wchar_t*>(UNISP_NAME_W), SECPKG_CRED_OUTBOUND, nullptr,
                                         &older, nullptr, nullptr, &m_credentials, nullptr);
  }
  if (status != SEC_E_OK) {
    Fail("TLS cannot be used on this computer: " + SecurityText(status));
    return;
  }
  m_haveCredentials = true;
  m_stage = Stage::Handshake;
  Handshake();
}

// One or more steps of the handshake with what has arrived; the first step has no input.
void WinsockConnection::Handshake() {
  std::wstring target = Wide(m_endpoint.host);
  for (;;) {
    const bool first = !m_haveContext;
    SecBuffer input[2] = {
        {static_cast<unsigned long>(m_tlsIn.size()), SECBUFFER_TOKEN, m_tlsIn.empty() ? nullptr : m_tlsIn.data()},
        {0, SECBUFFER_EMPTY, nullptr}};
    SecBufferDesc inputDesc{SECBUFFER_VERSION, 2, input};
    SecBuffer output[1] = {{0, SECBUFFER_TOKEN, nullptr}};
    SecBufferDesc outputDesc{SECBUFFER_VERSION, 1, output};
    unsigned long attributes = 0;
    const SECURITY_STATUS status = ::InitializeSecurityContextW(
        &m_credentials, first ? nullptr : &m_context, target.data(), kContextFlags, 0, 0, first ? nullptr : &inputDesc, 0,
        first ? &m_context : nullptr, &outputDesc, &attributes, nullptr);
    if (first && (status == SEC_E_OK || status == SEC_I_CONTINUE_NEEDED)) m_haveContext = true;
    if (output[0].pvBuffer != nullptr) {
      // Also an alert when the handshake failed, so that the server knows why.
      m_wire.append(static_cast<const char*>(output[0].pvBuffer), output[0].cbBuffer);
      ::FreeContextBuffer(output[0].pvBuffer);
    }
    if (status == SEC_E_INCOMPLETE_MESSAGE) return;  // the rest of a record is still on its way
    if (status == SEC_I_INCOMPLETE_CREDENTIALS) continue;  // a client certificate asked for: go on without
    if (status != SEC_E_OK && status != SEC_I_CONTINUE_NEEDED) {
      if (!m_wire.empty()) Flush();
      Fail("the TLS handshake failed: " + SecurityText(status));
      return;
    }
    if (!first) {
      // What the step did not use belongs to the next record.
      if (input[1].BufferType == SECBUFFER_EXTRA && input[1].cbBuffer > 0 && input[1].cbBuffer <= m_tlsIn.size())
        m_tlsIn.erase(0, m_tlsIn.size() - input[1].cbBuffer);
      else
        m_tlsIn.clear();
    }
    if (status == SEC_I_CONTINUE_NEEDED) {
      if (m_tlsIn.empty()) return;
      continue;
    }
    // Nothing of the session is sent before the certificate verifies.
    if (auto problem = CertificateProblem(m_context, m_endpoint.host)) {
      Fail("the server's certificate does not verify: " + *problem);
      return;
    }
    if (const SECURITY_STATUS sizes = ::QueryContextAttributesW(&m_context, SECPKG_ATTR_STREAM_SIZES, &m_sizes);
        sizes != SEC_E_OK) {
      Fail("the TLS connection cannot be used: " + SecurityText(sizes));
      return;
    }
    m_stage = Stage::Open;
    m_renegotiating = false;
    return;
  }
}

void WinsockConnection::Decrypt(std::string& received) {
  while (!m_tlsIn.empty() && m_stage == Stage::Open && !m_renegotiating) {
    SecBuffer buffers[4] = {{static_cast<unsigned long>(m_tlsIn.size()), SECBUFFER_DATA, m_tlsIn.data()},
                            {0, SECBUFFER_EMPTY, nullptr},
                            {0, SECBUFFER_EMPTY, nullptr},
                            {0, SECBUFFER_EMPTY, nullptr}};
    SecBufferDesc desc{SECBUFFER_VERSION, 4, buffers};
    const SECURITY_STATUS status = ::DecryptMessage(&m_context, &desc, 0, nullptr);
    if (status == SEC_E_INCOMPLETE_MESSAGE) return;
    if (status != SEC_E_OK && status != SEC_I_RENEGOTIATE && status != SEC_I_CONTEXT_EXPIRED) {
      Fail("the TLS connection failed: " + SecurityText(status));
      return;
    }
    // The buffers point into m_tlsIn, which is decrypted in place.
    std::string extra;
    for (const SecBuffer& buffer : buffers) {
      if (buffer.BufferType == SECBUFFER_DATA && buffer.pvBuffer != nullptr)
        received.append(static_cast<const char*>(buffer.pvBuffer), buffer.cbBuffer);
      else if (buffer.BufferType == SECBUFFER_EXTRA && buffer.pvBuffer != nullptr)
        extra.assign(static_cast<const char*>(buffer.pvBuffer), buffer.cbBuffer);
    }
    m_tlsIn = std::move(extra);
    if (status == SEC_I_CONTEXT_EXPIRED) {  // the server's close notify
      Fail("the server closed the connection");
      return;
    }
    if (status == SEC_I_RENEGOTIATE) {
      // The server starts a handshake (or, with TLS 1.3, sends a post-handshake message): its
      // bytes are in the extra buffer. Sends wait in m_plain until it is done.
      m_renegotiating = true;
      Handshake();
    }
  }
}

void WinsockConnection::Encrypt() {
  while (!m_plain.empty()) {
    const std::size_t chunk = std::min<std::size_t>(m_plain.size(), m_sizes.cbMaximumMessage);
    std::string record(m_sizes.cbHeader + chunk + m_sizes.cbTrailer, '\0');
    std::memcpy(record.data() + m_sizes.cbHeader, m_plain.data(), chunk);
    SecBuffer buffers[4] = {
        {m_sizes.cbHeader, SECBUFFER_STREAM_HEADER, record.data()},
        {static_cast<unsigned long>(chunk), SECBUFFER_DATA, record.data() + m_sizes.cbHeader},
        {m_sizes.cbTrailer, SECBUFFER_STREAM_TRAILER, record.data() + m_sizes.cbHeader + chunk},
        {0, SECBUFFER_EMPTY, nullptr}};
    SecBufferDesc desc{SECBUFFER_VERSION, 4, buffers};
    if (const SECURITY_STATUS status = ::EncryptMessage(&m_context, 0, &desc, 0); status != SEC_E_OK) {
      Fail("the TLS connection failed: " + SecurityText(status));
      return;
    }
    record.resize(buffers[0].cbBuffer + buffers[1].cbBuffer + buffers[2].cbBuffer);
    m_wire += record;
    m_wirePlain += chunk;
    m_plain.erase(0, chunk);
  }
}

// Tells the server the session ends (TLS close notify), as far as the socket takes it at once.
void WinsockConnection::SendCloseNotify() {
  DWORD type = SCHANNEL_SHUTDOWN;
  SecBuffer control{sizeof type, SECBUFFER_TOKEN, &type};
  SecBufferDesc controlDesc{SECBUFFER_VERSION, 1, &control};
  if (::ApplyControlToken(&m_context, &controlDesc) != SEC_E_OK) return;
  std::wstring target = Wide(m_endpoint.host);
  SecBuffer output{0, SECBUFFER_TOKEN, nullptr};
  SecBufferDesc outputDesc{SECBUFFER_VERSION, 1, &output};
  unsigned long attributes = 0;
  const SECURITY_STATUS status =
      ::InitializeSecurityContextW(&m_credentials, &m_context, target.data(), kContextFlags, 0, 0, nullptr, 0, nullptr,
                                   &outputDesc, &attributes, nullptr);
  if (output.pvBuffer == nullptr) return;
  if (!FAILED(status) && m_wireSent == m_wire.size())
    ::send(m_socket, static_cast<const char*>(output.pvBuffer), static_cast<int>(output.cbBuffer), 0);
  ::FreeContextBuffer(output.pvBuffer);
}

}  // namespace

std::unique_ptr<Connection> Connect(const Endpoint& endpoint) { return std::make_unique<WinsockConnection>(endpoint); }

}  // namespace zelkor::irc
