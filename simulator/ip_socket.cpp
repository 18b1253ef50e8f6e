#include "simulator/ip_socket.h"

#include <arpa/inet.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>
#include <cstring>

namespace sim {

std::string SystemError(const std::string& what) { return what + ": " + std::strerror(errno); }

std::string AddressText(const sockaddr_in& address) {
  char host[INET_ADDRSTRLEN] = "?";
  inet_ntop(AF_INET, &address.sin_addr, host, sizeof host);
  return std::string(host) + ":" + std::to_string(ntohs(address.sin_port));
}

BoundSocket BindIpv4(SocketKind kind, const std::string& host, int port, std::string* error) {
  const bool stream = kind == SocketKind::kStream;
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_port = htons(static_cast<std::uint16_t>(port));
  if (inet_pton(AF_INET, host.c_str(), &address.sin_addr) != 1) {
    *error = "not an IPv4 address: " + host;
    return {};
  }
  const int fd =
      socket(AF_INET, (stream ? SOCK_STREAM : SOCK_DGRAM) | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
  if (fd < 0) {
    *error = SystemError("cannot create a socket");
    return {};
  }
  if (stream) {
    const int yes = 1;
    setsockopt(fd, SOL_SOCKET, SO_REUSEADDR, &yes, sizeof yes);
  }
  if (bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0) {
    const std::string suffix = stream ? "" : "/udp";
    *error = SystemError("cannot listen on " + host + ":" + std::to_string(port) + suffix);
    close(fd);
    return {};
  }
  socklen_t size = sizeof address;
  getsockname(fd, reinterpret_cast<sockaddr*>(&address), &size);
  return {fd, host + ":" + std::to_string(ntohs(address.sin_port))};
}

}  // namespace sim
