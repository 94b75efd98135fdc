// corvane-sim's command line: the parser's table, and the built program run as a child.
#include "sim/command_line.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <httplib.h>
#include <signal.h>

#include <regex>
#include <string>
#include <vector>

#include "child_process.h"
#include "sim/sandbox_server.h"

namespace corvane::sim {
namespace {

using namespace std::chrono_literals;
using testing::ChildProcess;

const std::string kProgram = CORVANE_BINARY_DIR "/sim/corvane-sim";

TEST(CommandLine, ReadsOptionsInBothForms) {
  const auto parsed = ParseCommandLine({"--port", "8080", "--latency=250", "--fail-status", "503",
                                        "--reset", "--truncate", "--non-json", "--huge-body", "8",
                                        "--fault-every=4", "--threads", "4"});
  ASSERT_TRUE(std::holds_alternative<CommandLine>(parsed)) << std::get<std::string>(parsed);
  const CommandLine& line = std::get<CommandLine>(parsed);
  EXPECT_EQ(line.options.port, 8080);
  EXPECT_EQ(line.options.threads, 4);
  const Faults expected{.latencyMs = 250,
                        .resetConnection = true,
                        .failStatus = 503,
                        .nonJsonBody = true,
                        .truncateBody = true,
                        .hugeBodyBytes = 8u << 20,
                        .faultEvery = 4};
  EXPECT_EQ(line.options.faults, expected);
  EXPECT_FALSE(line.help);

  const auto none = ParseCommandLine({});
  ASSERT_TRUE(std::holds_alternative<CommandLine>(none));
  EXPECT_EQ(std::get<CommandLine>(none).options.port, 0);
  EXPECT_EQ(std::get<CommandLine>(none).options.faults, Faults{});
}

const std::vector<std::vector<std::string>> kBadOptions = {
    {"--port"},
    {"--port", "abc"},
    {"--port", "70000"},
    {"--port", "-1"},
    {"--port", "12x"},
    {"--port", "99999999999999999999999"},
    {"--latency", ""},
    {"--fail-status", "200"},
    {"--fault-every", "0"},
    {"--reset=1"},
    {"--bogus"},
    {"8080"},
};

TEST(CommandLine, RejectsBadOptionsWithAMessage) {
  for (const auto& args : kBadOptions) {
    const auto parsed = ParseCommandLine(args);
    ASSERT_TRUE(std::holds_alternative<std::string>(parsed)) << args[0];
    EXPECT_FALSE(std::get<std::string>(parsed).empty());
  }
}

TEST(CorvaneSim, BadOptionsExitWithStatus2AndOneLine) {
  for (const auto& args : kBadOptions) {
    ChildProcess child(kProgram, args);
    EXPECT_EQ(child.Wait(30s), 2) << args[0];
    const std::string error = child.ErrorOutput();
    EXPECT_THAT(error, ::testing::StartsWith("corvane-sim: ")) << args[0];
    EXPECT_EQ(std::count(error.begin(), error.end(), '\n'), 1) << error;
  }
}

TEST(CorvaneSim, ServesUntilTerminated) {
  ChildProcess child(kProgram, {"--port", "0"});
  const std::optional<std::string> line = child.ReadLine(30s);
  ASSERT_TRUE(line);
  std::smatch match;
  ASSERT_TRUE(std::regex_match(
      *line, match,
      std::regex("corvane-sim: publisher http://pub\\.sandbox\\.localhost:([0-9]+) "
                 "login http://login\\.sandbox\\.localhost:\\1/member/login\\.jhtml "
                 "filter-list http://www\\.sandbox\\.localhost:\\1/keywords/guolv\\.txt")))
      << *line;
  const int port = std::stoi(match[1]);

  httplib::Client client("127.0.0.1", port);
  const httplib::Result result = client.Get("/items/search.json?q=abc&_tb_token_=x",
                                            {{"Host", "pub.sandbox.localhost:" + match[1].str()}});
  ASSERT_TRUE(result);
  EXPECT_THAT(result->body, ::testing::HasSubstr("\"NOT_LOGIN\""));

  child.Signal(SIGTERM);
  EXPECT_EQ(child.Wait(30s), 0);
}

TEST(CorvaneSim, PortInUseIsReported) {
  SandboxServer taken;
  taken.Start();
  SandboxServer second(SandboxOptions{.port = taken.Port()});
  EXPECT_THROW(second.Start(), std::runtime_error);

  ChildProcess child(kProgram, {"--port", std::to_string(taken.Port())});
  EXPECT_EQ(child.Wait(30s), 1);
  EXPECT_THAT(child.ErrorOutput(), ::testing::HasSubstr("cannot listen on 127.0.0.1:"));
}

TEST(CorvaneSim, HelpGoesToStandardOutput) {
  ChildProcess child(kProgram, {"--help"});
  const std::optional<std::string> first = child.ReadLine(30s);
  ASSERT_TRUE(first);
  EXPECT_THAT(*first, ::testing::StartsWith("usage: corvane-sim"));
  EXPECT_EQ(child.Wait(30s), 0);
}

}  // namespace
}  // namespace corvane::sim
