// Socket lookup on Linux through /proc: the kernel's TCP table gives the socket's inode for
// the two ports, and the process's fd links name the inode. Other threads' descriptors are
// never touched, only read about. Only the reset fault switch uses this.
#include "sim/connection_abort.h"

#include <sys/socket.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <optional>
#include <sstream>
#include <string>

namespace corvane::sim {

namespace {

// The port of an address field of /proc/net/tcp ("0100007F:1F90").
int PortField(const std::string& address) {
  const std::size_t colon = address.rfind(':');
  if (colon == std::string::npos) return -1;
  return static_cast<int>(std::strtol(address.c_str() + colon + 1, nullptr, 16));
}

std::optional<std::string> SocketInode(const char* table, int localPort, int remotePort) {
  std::ifstream lines(table);
  std::string line;
  std::getline(lines, line);  // column titles
  while (std::getline(lines, line)) {
    std::istringstream fields(line);
    std::string slot, local, remote, state, queues, timer, retransmits, uid, timeout, inode;
    if (!(fields >> slot >> local >> remote >> state >> queues >> timer >> retransmits >> uid >>
          timeout >> inode)) {
      continue;
    }
    if (PortField(local) == localPort && PortField(remote) == remotePort && inode != "0") {
      return inode;
    }
  }
  return std::nullopt;
}

std::optional<int> DescriptorOf(const std::string& inode) {
  const std::string target = "socket:[" + inode + "]";
  std::error_code error;
  for (const auto& entry : std::filesystem::directory_iterator("/proc/self/fd", error)) {
    std::error_code linkError;
    const std::filesystem::path link = std::filesystem::read_symlink(entry.path(), linkError);
    if (linkError || link.string() != target) continue;
    const std::string name = entry.path().filename().string();
    char* end = nullptr;
    const long fd = std::strtol(name.c_str(), &end, 10);
    if (end != name.c_str() && *end == '\0') return static_cast<int>(fd);
  }
  return std::nullopt;
}

}  // namespace

bool AbortConnection(int localPort, int remotePort) {
  std::optional<std::string> inode = SocketInode("/proc/net/tcp", localPort, remotePort);
  if (!inode) inode = SocketInode("/proc/net/tcp6", localPort, remotePort);
  if (!inode) return false;
  const std::optional<int> fd = DescriptorOf(*inode);
  if (!fd) return false;
  const linger resetOnClose{1, 0};
  setsockopt(*fd, SOL_SOCKET, SO_LINGER, &resetOnClose, sizeof resetOnClose);
  shutdown(*fd, SHUT_RDWR);
  return true;
}

}  // namespace corvane::sim
