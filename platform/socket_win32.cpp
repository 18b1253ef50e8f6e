#include <cstdio>

#include "platform/socket.h"

// clang-format off
#include <winsock2.h>
#include <ws2tcpip.h>
// clang-format on

namespace platform {
namespace {

std::string WinsockReason(int code) {
  const char* words = "network error";
  switch (code) {
    case WSAECONNREFUSED:
      words = "Connection refused";
      break;
    case WSAECONNRESET:
      words = "Connection reset by peer";
      break;
    case WSAECONNABORTED:
      words = "Connection aborted";
      break;
    case WSAETIMEDOUT:
      words = "Connection timed out";
      break;
    case WSAEHOSTUNREACH:
      words = "No route to host";
      break;
    case WSAENETUNREACH:
      words = "Network is unreachable";
      break;
    case WSAEADDRNOTAVAIL:
      words = "Cannot assign requested address";
      break;
    case WSAHOST_NOT_FOUND:
    case WSANO_DATA:
      words = "Name or service not known";
      break;
    default:
      break;
  }
  return std::string(words) + " (Winsock error " + std::to_string(code) + ")";
}

// Winsock is started once for the process and left running until it ends.
bool StartWinsock(std::string* error) {
  static const int status = [] {
    WSADATA data;
    return ::WSAStartup(MAKEWORD(2, 2), &data);
  }();
  if (status != 0) *error = "cannot start Winsock: " + WinsockReason(status);
  return status == 0;
}

// Waits until the socket can be read (or written); false on a time-out or a failure.
bool WaitFor(SOCKET handle, bool for_writing, int timeout_ms, bool* failed) {
  fd_set ready;
  fd_set problems;
  FD_ZERO(&ready);
  FD_ZERO(&problems);
  FD_SET(handle, &ready);
  FD_SET(handle, &problems);
  timeval limit{timeout_ms / 1000, (timeout_ms % 1000) * 1000};
  const int n = ::select(0, for_writing ? nullptr : &ready, for_writing ? &ready : nullptr,
                         &problems, &limit);
  // A connect that fails is reported in the exception set, not as writable.
  *failed = n < 0 || FD_ISSET(handle, &problems);
  return n > 0;
}

SOCKET ConnectOne(const addrinfo& address, int timeout_ms, std::string* error) {
  SOCKET handle = ::socket(address.ai_family, address.ai_socktype, address.ai_protocol);
  if (handle == INVALID_SOCKET) {
    *error = WinsockReason(::WSAGetLastError());
    return INVALID_SOCKET;
  }
  u_long non_blocking = 1;
  ::ioctlsocket(handle, static_cast<long>(FIONBIO),
                &non_blocking);  // NOLINT: the macro is unsigned
  if (::connect(handle, address.ai_addr, static_cast<int>(address.ai_addrlen)) == 0) return handle;
  const int code = ::WSAGetLastError();
  if (code != WSAEWOULDBLOCK) {
    *error = WinsockReason(code);
    ::closesocket(handle);
    return INVALID_SOCKET;
  }
  bool failed = false;
  const bool ready = WaitFor(handle, true, timeout_ms, &failed);
  if (!ready || failed) {
    int failure = 0;
    int size = sizeof failure;
    ::getsockopt(handle, SOL_SOCKET, SO_ERROR, reinterpret_cast<char*>(&failure), &size);
    if (failure != 0) {
      *error = WinsockReason(failure);
    } else {
      char text[64];
      std::snprintf(text, sizeof text, "no answer within %g s", timeout_ms / 1000.0);
      *error = text;
    }
    ::closesocket(handle);
    return INVALID_SOCKET;
  }
  return handle;
}

}  // namespace

std::unique_ptr<Socket> Socket::Connect(const std::string& host, std::uint16_t port, Kind kind,
                                        int timeout_ms, std::string* error) {
  if (!StartWinsock(error)) return nullptr;
  addrinfo hints{};
  hints.ai_family = AF_UNSPEC;
  hints.ai_socktype = kind == Kind::kStream ? SOCK_STREAM : SOCK_DGRAM;
  addrinfo* found = nullptr;
  const int status = ::getaddrinfo(host.c_str(), std::to_string(port).c_str(), &hints, &found);
  if (status != 0) {
    *error = "cannot resolve the host: " + WinsockReason(status);
    return nullptr;
  }
  SOCKET handle = INVALID_SOCKET;
  for (const addrinfo* address = found; address != nullptr && handle == INVALID_SOCKET;
       address = address->ai_next) {
    handle = ConnectOne(*address, timeout_ms, error);
  }
  ::freeaddrinfo(found);
  if (handle == INVALID_SOCKET) return nullptr;
  return std::unique_ptr<Socket>(new Socket(static_cast<std::intptr_t>(handle)));
}

Socket::~Socket() { ::closesocket(static_cast<SOCKET>(handle_)); }

bool Socket::Send(const std::uint8_t* data, std::size_t size, std::string* error) {
  const auto handle = static_cast<SOCKET>(handle_);
  std::size_t sent = 0;
  while (sent < size) {
    // A peer that takes nothing for this long is as good as gone.
    constexpr int kSendTimeoutMs = 10000;
    bool failed = false;
    if (!WaitFor(handle, true, kSendTimeoutMs, &failed) || failed) {
      *error = "the peer takes no data";
      return false;
    }
    const int n = ::send(handle, reinterpret_cast<const char*>(data + sent),
                         static_cast<int>(size - sent), 0);
    if (n == SOCKET_ERROR) {
      const int code = ::WSAGetLastError();
      if (code == WSAEWOULDBLOCK || code == WSAEINTR) continue;
      *error = WinsockReason(code);
      return false;
    }
    sent += static_cast<std::size_t>(n);
  }
  return true;
}

Socket::ReceiveResult Socket::Receive(std::uint8_t* buffer, std::size_t capacity, int timeout_ms,
                                      std::size_t* count, std::string* error) {
  const auto handle = static_cast<SOCKET>(handle_);
  *count = 0;
  bool failed = false;
  if (!WaitFor(handle, false, timeout_ms, &failed) && !failed) return ReceiveResult::kTimeout;
  const int n = ::recv(handle, reinterpret_cast<char*>(buffer), static_cast<int>(capacity), 0);
  if (n > 0) {
    *count = static_cast<std::size_t>(n);
    return ReceiveResult::kData;
  }
  if (n == 0) return ReceiveResult::kClosed;
  const int code = ::WSAGetLastError();
  if (code == WSAEWOULDBLOCK || code == WSAEINTR) return ReceiveResult::kTimeout;
  *error = WinsockReason(code);
  return code == WSAECONNRESET || code == WSAECONNABORTED ? ReceiveResult::kClosed
                                                          : ReceiveResult::kFailed;
}

}  // namespace platform
