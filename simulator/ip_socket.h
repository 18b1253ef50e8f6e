// What the TCP and UDP transports share: an IPv4 socket bound to the address senders reach the
// simulator on, and the texts that name addresses and system errors in its messages.
#ifndef RDS_SIMULATOR_IP_SOCKET_H_
#define RDS_SIMULATOR_IP_SOCKET_H_

#include <netinet/in.h>

#include <string>

namespace sim {

// "what: <the system's reason for errno>".
std::string SystemError(const std::string& what);

// "127.0.0.1:4001".
std::string AddressText(const sockaddr_in& address);

enum class SocketKind { kStream, kDatagram };

struct BoundSocket {
  int fd = -1;        // -1 when the socket could not be made or bound
  std::string where;  // "host:port" with the port bound
};

// A non-blocking, close-on-exec socket bound to host:port; port 0 lets the system pick one. A
// stream socket may rebind an address that a previous run left in TIME_WAIT. On failure the fd
// is -1 and *error says why.
[[nodiscard]] BoundSocket BindIpv4(SocketKind kind, const std::string& host, int port,
                                   std::string* error);

}  // namespace sim

#endif  // RDS_SIMULATOR_IP_SOCKET_H_
