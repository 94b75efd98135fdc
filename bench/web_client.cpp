// Requests per second of WebClient::HttpGet for a 50 KB answer from an in-process loopback
// server, with the transport's connection reuse on and off. "connections" counts the
// connections the server saw during the measured run.
#include <benchmark/benchmark.h>
#include <httplib.h>

#include <mutex>
#include <set>
#include <stdexcept>
#include <string>
#include <thread>

#include "platform/http_transport.h"
#include "web/web_client.h"

namespace {

class BenchServer {
 public:
  BenchServer() : body_(50 * 1024, 'x') {
    server_.set_keep_alive_max_count(1000000);
    // Without it the answer's last segment waits for the client's delayed ACK (about 40 ms)
    // on every reused connection.
    server_.set_tcp_nodelay(true);
    server_.Get("/items/search.json", [this](const httplib::Request& req, httplib::Response& res) {
      {
        std::lock_guard lock(mutex_);
        ports_.insert(req.remote_port);
      }
      res.set_header("Set-Cookie", "cookie2=renewed; Path=/");
      res.set_content(body_, "application/json;charset=UTF-8");
    });
    port_ = server_.bind_to_any_port("127.0.0.1");
    if (port_ <= 0) throw std::runtime_error("cannot bind a loopback port");
    thread_ = std::thread([this] { server_.listen_after_bind(); });
  }
  ~BenchServer() {
    corvane::platform::CloseIdleConnections();
    server_.stop();
    thread_.join();
  }

  std::string Url() const {
    return "http://127.0.0.1:" + std::to_string(port_) +
           "/items/search.json?q=%E8%BF%9E&toPage=1&perPageSize=40&_tb_token_=abc";
  }
  void ResetConnections() {
    std::lock_guard lock(mutex_);
    ports_.clear();
  }
  std::size_t Connections() {
    std::lock_guard lock(mutex_);
    return ports_.size();
  }

 private:
  httplib::Server server_;
  std::string body_;
  int port_ = 0;
  std::thread thread_;
  std::mutex mutex_;
  std::set<int> ports_;
};

void HttpGet(benchmark::State& state, BenchServer& server, bool reuse) {
  const corvane::web::WebClient client(corvane::platform::CurlTransport(reuse));
  const std::string url = server.Url();
  std::string cookies = "cookie2=start; _tb_token_=abc; t=1";
  corvane::platform::CloseIdleConnections();
  server.ResetConnections();
  std::size_t bytes = 0;
  for (auto _ : state) {
    const auto body = client.HttpGet(url, &cookies);
    if (body.size() != 50 * 1024) {
      state.SkipWithError("short answer");
      break;
    }
    bytes += body.size();
  }
  state.counters["requests/s"] =
      benchmark::Counter(static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
  state.counters["connections"] = static_cast<double>(server.Connections());
  state.SetBytesProcessed(static_cast<int64_t>(bytes));
}

}  // namespace

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  BenchServer server;
  benchmark::RegisterBenchmark("HttpGet_50KB/reuse", [&](benchmark::State& state) {
    HttpGet(state, server, true);
  })->UseRealTime();
  benchmark::RegisterBenchmark("HttpGet_50KB/no_reuse", [&](benchmark::State& state) {
    HttpGet(state, server, false);
  })->UseRealTime();
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
