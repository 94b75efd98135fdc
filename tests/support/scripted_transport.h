// A transport that answers from a script instead of the network and records every request,
// for tests of the code above the web client.
#pragma once

#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "platform/http_transport.h"

namespace corvane::testing {

struct RecordedRequest {
  std::string method;
  std::string url;
  std::vector<std::pair<std::string, std::string>> headers;
};

struct ScriptedAnswer {
  std::string body;
  std::string headers;  // CR LF separated header lines
  bool sent = true;     // false: the send fails as on a refused connection
};

class ScriptedTransport : public platform::HttpTransport,
                          public std::enable_shared_from_this<ScriptedTransport> {
 public:
  using Script = std::function<ScriptedAnswer(const RecordedRequest&)>;
  explicit ScriptedTransport(Script script) : script_(std::move(script)) {}

  std::unique_ptr<platform::HttpRequestObject> CreateRequest() override {
    return std::make_unique<Request>(shared_from_this());
  }

  std::vector<RecordedRequest> Requests() const {
    std::lock_guard lock(mutex_);
    return requests_;
  }

 private:
  class Request : public platform::HttpRequestObject {
   public:
    explicit Request(std::shared_ptr<ScriptedTransport> owner) : owner_(std::move(owner)) {}
    bool SetTimeouts(int, int, int, int) override { return true; }
    bool SetProxy(const std::string&) override { return true; }
    bool SetProxyCredentials(const std::string&, const std::string&, int) override { return true; }
    bool Open(const std::string& method, const std::string& url) override {
      request_ = {method, url, {}};
      return true;
    }
    void DisableRedirects() override {}
    bool SetRequestHeader(const std::string& name, const std::string& value) override {
      request_.headers.emplace_back(name, value);
      return true;
    }
    bool Send(const platform::Bytes&) override {
      {
        std::lock_guard lock(owner_->mutex_);
        owner_->requests_.push_back(request_);
      }
      answer_ = owner_->script_(request_);
      if (!answer_.sent) answer_ = {{}, {}, false};
      return answer_.sent;
    }
    platform::Bytes ResponseBody() const override {
      return platform::Bytes(answer_.body.begin(), answer_.body.end());
    }
    std::string AllResponseHeaders() const override { return answer_.headers; }
    int Status() const override { return answer_.sent ? 200 : 0; }

   private:
    std::shared_ptr<ScriptedTransport> owner_;
    RecordedRequest request_;
    ScriptedAnswer answer_;
  };

  Script script_;
  mutable std::mutex mutex_;
  std::vector<RecordedRequest> requests_;
};

}  // namespace corvane::testing
