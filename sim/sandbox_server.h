// The sandbox affiliate platform: an HTTP server on loopback that serves the sign-in pages,
// the item-search JSON service and the filter keyword list, under distinct host names on
// one port (names under .localhost resolve to 127.0.0.1 in libcurl and Chromium).
//
//   login.sandbox.localhost:PORT  GET/POST /member/login.jhtml
//   pub.sandbox.localhost:PORT    GET /items/search.json, /sandbox/callback, /
//                                 (127.0.0.1:PORT and localhost:PORT count as this host)
//   www.sandbox.localhost:PORT    GET /keywords/guolv.txt
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "sim/faults.h"

namespace corvane::sim {

struct SandboxOptions {
  int port = 0;  // 0: a free port
  Faults faults{};
  int threads = 16;  // each kept-alive connection holds one while it is open
};

class SandboxServer {
 public:
  explicit SandboxServer(SandboxOptions options = {});
  ~SandboxServer();  // stops
  SandboxServer(const SandboxServer&) = delete;
  SandboxServer& operator=(const SandboxServer&) = delete;

  // Binds 127.0.0.1 and serves on a thread of its own. Throws std::runtime_error when the
  // port cannot be bound, std::logic_error when called twice.
  void Start();
  // Ends serving; waits for the requests in progress. Idempotent.
  void Stop();

  int Port() const;
  std::string PublisherHost() const;   // "pub.sandbox.localhost:PORT"
  std::string LoginHost() const;       // "login.sandbox.localhost:PORT"
  std::string FilterListHost() const;  // "www.sandbox.localhost:PORT"
  std::string BaseUrl() const;         // "http://pub.sandbox.localhost:PORT"
  std::string LoginUrl() const;        // the sign-in form
  std::string FilterListUrl() const;   // the filter keyword list

  // A signed-in session made without the form. `cookies` is cookie text in the order the
  // callback sets them ("cookie2=...; _tb_token_=...; t=..."), `token` the _tb_token_ value.
  struct Session {
    std::string cookies;
    std::string token;
  };
  Session CreateSession();

  void SetFaults(const Faults& faults);  // any thread, any time
  Faults CurrentFaults() const;

  // Requests of /items/search.json received so far, whatever their answer.
  std::uint64_t SearchRequestCount() const;

 private:
  struct Impl;
  std::unique_ptr<Impl> impl_;
};

}  // namespace corvane::sim
