// Socket lookup through /proc/self/fd (Linux). Only the fault switch uses it.
#include "sim/connection_abort.h"

#include <netinet/in.h>
#include <sys/socket.h>
#include <sys/stat.h>

#include <cstdlib>
#include <filesystem>
#include <string>

namespace corvane::sim {

namespace {

int PortOf(const sockaddr_storage& address) {
  if (address.ss_family == AF_INET) {
    return ntohs(reinterpret_cast<const sockaddr_in&>(address).sin_port);
  }
  if (address.ss_family == AF_INET6) {
    return ntohs(reinterpret_cast<const sockaddr_in6&>(address).sin6_port);
  }
  return -1;
}

bool Matches(int fd, int localPort, int remotePort) {
  struct stat info {};
  if (fstat(fd, &info) != 0 || !S_ISSOCK(info.st_mode)) return false;
  sockaddr_storage local{};
  sockaddr_storage remote{};
  socklen_t localLength = sizeof local;
  socklen_t remoteLength = sizeof remote;
  if (getsockname(fd, reinterpret_cast<sockaddr*>(&local), &localLength) != 0) return false;
  if (getpeername(fd, reinterpret_cast<sockaddr*>(&remote), &remoteLength) != 0) return false;
  return PortOf(local) == localPort && PortOf(remote) == remotePort;
}

}  // namespace

bool AbortConnection(int localPort, int remotePort) {
  std::error_code error;
  for (const auto& entry : std::filesystem::directory_iterator("/proc/self/fd", error)) {
    const std::string name = entry.path().filename().string();
    char* end = nullptr;
    const long fd = std::strtol(name.c_str(), &end, 10);
    if (end == name.c_str() || *end != '\0') continue;
    if (!Matches(static_cast<int>(fd), localPort, remotePort)) continue;
    const linger resetOnClose{1, 0};
    setsockopt(static_cast<int>(fd), SOL_SOCKET, SO_LINGER, &resetOnClose, sizeof resetOnClose);
    shutdown(static_cast<int>(fd), SHUT_RDWR);
    return true;
  }
  return false;
}

}  // namespace corvane::sim
