// A started sandbox server and small helpers to talk to it over loopback: requests go to
// 127.0.0.1 with the Host header naming the sandbox host meant.
#pragma once

#include <gtest/gtest.h>
#include <httplib.h>

#include <boost/json.hpp>
#include <string>

#include "sim/sandbox_server.h"

namespace corvane::sim::testing {

// The search URL the program sends, with the filters given (texts as typed).
struct Filters {
  std::string startBiz30day;
  std::string startTkRate;
  std::string startPrice;
  std::string endPrice;
  std::string startRatesum = "0";
  std::string userType;  // empty: no user_type parameter
};

std::string PercentEncoded(std::string_view text);

std::string SearchPath(std::string_view keywordUtf8, int page, std::string_view token,
                       const Filters& filters = {});

class SandboxTest : public ::testing::Test {
 protected:
  void SetUp() override;

  // GET on the given host ("pub", "login", "www" or a literal host) with optional cookies.
  httplib::Result Get(const std::string& path, const std::string& host,
                      const std::string& cookies = "");
  httplib::Result Search(std::string_view keyword, int page, const Filters& filters = {});
  // The parsed answer of a successful search; fails the test when it is not.
  boost::json::object SearchJson(std::string_view keyword, int page, const Filters& filters = {});

  std::string HostHeader(const std::string& host) const;

  SandboxServer server_;
  SandboxServer::Session session_;
};

}  // namespace corvane::sim::testing
