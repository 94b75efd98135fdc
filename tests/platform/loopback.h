// Loopback test equipment for the HTTP tests: a cpp-httplib server that records every request
// it receives, a recorder of raw request heads (cpp-httplib keeps header lines in a sorted map,
// so the order in which they arrived can only be seen on the raw bytes), and a port on which
// connections are refused.
#pragma once

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <httplib.h>

#include <chrono>
#include <condition_variable>
#include <mutex>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

#include "platform/http_transport.h"
#include "support/gate.h"

namespace corvane::testing {

struct RecordedRequest {
  std::string method;
  std::string target;  // the request target as it arrived: path and query, or absolute form
  std::string path;    // decoded by cpp-httplib
  httplib::Headers headers;
  std::string body;
  int remotePort = 0;
};

// A cpp-httplib server on 127.0.0.1 and a free port. Register handlers on server() before
// Start(); every request is recorded before its handler runs.
class LoopbackServer {
 public:
  LoopbackServer() {
    server_.set_keep_alive_max_count(100000);
    // Otherwise the last segment of an answer on a reused connection waits for the client's
    // delayed ACK.
    server_.set_tcp_nodelay(true);
    server_.set_pre_routing_handler([this](const httplib::Request& request, httplib::Response&) {
      std::lock_guard lock(mutex_);
      requests_.push_back({request.method, request.target, request.path, request.headers,
                           request.body, request.remote_port});
      return httplib::Server::HandlerResponse::Unhandled;
    });
  }
  ~LoopbackServer() { Stop(); }
  LoopbackServer(const LoopbackServer&) = delete;
  LoopbackServer& operator=(const LoopbackServer&) = delete;

  httplib::Server& server() { return server_; }

  void Start() {
    port_ = server_.bind_to_any_port("127.0.0.1");
    if (port_ <= 0) throw std::runtime_error("cannot bind a loopback port");
    thread_ = std::thread([this] { server_.listen_after_bind(); });
    // The socket already listens, so connections would queue anyway; waiting for the accept
    // loop keeps Stop() from racing its start.
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (!server_.is_running() && std::chrono::steady_clock::now() < deadline) {
      std::this_thread::yield();
    }
  }

  // Closes this thread's idle client connections first: the server would otherwise wait for
  // them until its keep-alive time runs out.
  void Stop() {
    if (!thread_.joinable()) return;
    platform::CloseIdleConnections();
    server_.stop();
    thread_.join();
  }

  int port() const { return port_; }
  std::string Url(const std::string& target) const {
    return "http://127.0.0.1:" + std::to_string(port_) + target;
  }

  std::vector<RecordedRequest> Requests() const {
    std::lock_guard lock(mutex_);
    return requests_;
  }

  std::vector<std::string> HeaderValues(std::size_t request, const std::string& name) const {
    std::lock_guard lock(mutex_);
    std::vector<std::string> values;
    const auto [begin, end] = requests_.at(request).headers.equal_range(name);
    for (auto it = begin; it != end; ++it) values.push_back(it->second);
    return values;
  }

 private:
  httplib::Server server_;
  std::thread thread_;
  int port_ = 0;
  mutable std::mutex mutex_;
  std::vector<RecordedRequest> requests_;
};

// A file descriptor closed on destruction.
class Socket {
 public:
  explicit Socket(int fd = -1) : fd_(fd) {}
  ~Socket() { Reset(); }
  Socket(Socket&& other) noexcept : fd_(other.fd_) { other.fd_ = -1; }
  Socket& operator=(Socket&& other) noexcept {
    if (this != &other) {
      Reset();
      fd_ = other.fd_;
      other.fd_ = -1;
    }
    return *this;
  }
  int get() const { return fd_; }
  void Reset() {
    if (fd_ >= 0) ::close(fd_);
    fd_ = -1;
  }

 private:
  int fd_;
};

// Makes `proxy` act as a proxy that asks for credentials (407) and, once given any, answers
// every request itself with `body`.
inline void ServeAsAuthenticatingProxy(LoopbackServer& proxy, std::string body) {
  proxy.server().Get(".*", [body](const httplib::Request& req, httplib::Response& res) {
    if (!req.has_header("Proxy-Authorization")) {
      res.status = 407;
      res.set_header("Proxy-Authenticate", "Basic realm=\"test\"");
      return;
    }
    res.set_content(body, "text/plain");
  });
  proxy.Start();
}

// A TCP socket bound to 127.0.0.1 and a free port; returns the port.
inline int BindLoopback(Socket& socket) {
  socket = Socket(::socket(AF_INET, SOCK_STREAM, 0));
  if (socket.get() < 0) throw std::runtime_error("socket() failed");
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  address.sin_port = 0;
  if (::bind(socket.get(), reinterpret_cast<sockaddr*>(&address), sizeof address) != 0) {
    throw std::runtime_error("bind() failed");
  }
  socklen_t length = sizeof address;
  ::getsockname(socket.get(), reinterpret_cast<sockaddr*>(&address), &length);
  return ntohs(address.sin_port);
}

// A loopback port that is bound but never listens: connecting to it is refused, and no other
// program can take the port while the object lives.
class RefusingPort {
 public:
  RefusingPort() : port_(BindLoopback(socket_)) {}
  int port() const { return port_; }
  std::string Url(const std::string& target) const {
    return "http://127.0.0.1:" + std::to_string(port_) + target;
  }

 private:
  Socket socket_;
  int port_;
};

// Accepts connections one at a time, keeps each request head (request line and header lines,
// byte for byte) and answers "200 OK" with the body "ok", closing the connection.
class RawHeadRecorder {
 public:
  RawHeadRecorder() : port_(BindLoopback(listener_)) {
    if (::listen(listener_.get(), 16) != 0) throw std::runtime_error("listen() failed");
    thread_ = std::thread([this] { Serve(); });
  }
  ~RawHeadRecorder() {
    ::shutdown(listener_.get(), SHUT_RDWR);  // wakes the blocked accept()
    thread_.join();
  }
  RawHeadRecorder(const RawHeadRecorder&) = delete;
  RawHeadRecorder& operator=(const RawHeadRecorder&) = delete;

  int port() const { return port_; }
  std::string Url(const std::string& target) const {
    return "http://127.0.0.1:" + std::to_string(port_) + target;
  }

  std::vector<std::string> Heads() const {
    std::lock_guard lock(mutex_);
    return heads_;
  }

  // The header lines of head `index`, without the request line.
  std::vector<std::string> HeaderLines(std::size_t index) const {
    const std::string head = Heads().at(index);
    std::vector<std::string> lines;
    std::size_t pos = head.find("\r\n");
    while (pos != std::string::npos) {
      const std::size_t next = head.find("\r\n", pos + 2);
      if (next == std::string::npos || next == pos + 2) break;
      lines.push_back(head.substr(pos + 2, next - pos - 2));
      pos = next;
    }
    return lines;
  }

 private:
  void Serve() {
    for (;;) {
      Socket connection(::accept(listener_.get(), nullptr, nullptr));
      if (connection.get() < 0) return;
      std::string head;
      char buffer[4096];
      while (head.find("\r\n\r\n") == std::string::npos) {
        const ssize_t got = ::recv(connection.get(), buffer, sizeof buffer, 0);
        if (got <= 0) break;
        head.append(buffer, static_cast<std::size_t>(got));
      }
      {
        std::lock_guard lock(mutex_);
        heads_.push_back(head.substr(0, head.find("\r\n\r\n") + 2));
      }
      static constexpr char kAnswer[] =
          "HTTP/1.1 200 OK\r\nContent-Length: 2\r\nConnection: close\r\n\r\nok";
      ::send(connection.get(), kAnswer, sizeof kAnswer - 1, MSG_NOSIGNAL);
    }
  }

  Socket listener_;
  int port_;
  std::thread thread_;
  mutable std::mutex mutex_;
  std::vector<std::string> heads_;
};

}  // namespace corvane::testing
