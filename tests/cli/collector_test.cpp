#include "cli/collector.h"

#include <gtest/gtest.h>

#include <sys/wait.h>

#include <array>
#include <cstdio>
#include <sstream>

#include "cli/options.h"
#include "cli/output.h"
#include "platform/files.h"
#include "platform/http_transport.h"
#include "sim/sandbox_server.h"
#include "support/temp_dir.h"
#include "text/charset.h"
#include "text/cp936.h"

namespace corvane::cli {
namespace {

using text::Utf8ToCp936;

std::vector<std::string> Args(std::initializer_list<const char*> list) {
  return std::vector<std::string>(list.begin(), list.end());
}

TEST(ParseCommandLine, AcceptsTheDocumentedForms) {
  const CollectorOptions options = ParseCommandLine(
      Args({"--sandbox", "--pages=", "--min-rate", "5", "--scope", "tmall", "--shop-level", "20",
            "--filter", "a|b", "--links", "out.txt", "连衣裙", "--", "--odd"}));
  EXPECT_EQ(ParseCommandLine(Args({"--cookies", "a=1", "--publisher-host", "127.0.0.1:8080", "k"}))
                .publisherHost,
            "127.0.0.1:8080");
  EXPECT_TRUE(options.sandbox);
  EXPECT_EQ(options.pages, "");
  EXPECT_EQ(options.minRate, "5");
  EXPECT_EQ(options.scope, 2);
  EXPECT_EQ(options.shopLevel, 20);
  EXPECT_EQ(options.filter, "a|b");
  EXPECT_EQ(options.keywords, (std::vector<std::string>{"连衣裙", "--odd"}));
  EXPECT_FALSE(options.maxPrice.has_value());
  EXPECT_TRUE(ParseCommandLine(Args({"--help"})).help);
}

TEST(ParseCommandLine, RefusesBadOptions) {
  const std::vector<std::vector<std::string>> cases = {
      Args({"--sandbox", "--bogus", "k"}),
      Args({"--sandbox", "-x", "k"}),
      Args({"--sandbox", "k", "--pages"}),
      Args({"--sandbox", "--scope", "world", "k"}),
      Args({"--sandbox", "--shop-level", "0", "k"}),
      Args({"--sandbox", "--shop-level", "21", "k"}),
      Args({"--sandbox", "--shop-level", "3x", "k"}),
      Args({"--sandbox"}),
      Args({"--sandbox", "--keywords-file", "f", "k"}),
      Args({"--sandbox", "--filter", "a", "--filter-file", "f", "k"}),
      Args({"k"}),
      Args({"--sandbox", "--cookies", "a=1", "k"}),
      Args({"--sandbox", "--publisher-host", "h", "k"}),
      Args({"--sandbox=1", "k"}),
      Args({"--cookies", "a=1", "--publisher-host", "http://pub.example.com", "k"}),
      Args({"--cookies", "a=1", "--publisher-host", "pub.example.com:0", "k"}),
      Args({"--cookies", "a=1", "--publisher-host", "pub example", "k"}),
  };
  for (const auto& args : cases) {
    EXPECT_THROW(ParseCommandLine(args), std::invalid_argument) << ::testing::PrintToString(args);
  }
}

TEST(Output, TabSeparatedCellsNeverBreakALine) {
  const Rows rows = {{"1", "a\tb", "c\r\nd"}, {"2", Utf8ToCp936("连衣裙"), ""}};
  EXPECT_EQ(TabSeparatedText(rows), "1\ta b\tc  d\n2\t连衣裙\t\n");
}

TEST(Output, CsvQuotesWhatNeedsIt) {
  const std::string csv =
      CsvText({Utf8ToCp936("序号"), "b"}, {{"1", "plain"}, {"2", "a,\"b\"\nc"}});
  EXPECT_EQ(csv, "\xEF\xBB\xBF序号,b\r\n1,plain\r\n2,\"a,\"\"b\"\"\nc\"\r\n");
}

struct Result {
  int exitCode;
  std::string out, err;
};

Result Collect(const std::vector<std::string>& args) {
  std::ostringstream out, err;
  const int code = RunCollector(ParseCommandLine(args), out, err);
  return {code, out.str(), err.str()};
}

// Byte-wise split for UTF-8 output (the CP936 split would step over UTF-8 bytes as pairs).
std::vector<std::string> SplitBytes(const std::string& text, char separator) {
  std::vector<std::string> pieces;
  std::string piece;
  for (char c : text) {
    if (c == separator) {
      pieces.push_back(std::move(piece));
      piece.clear();
    } else {
      piece += c;
    }
  }
  if (!piece.empty()) pieces.push_back(piece);
  return pieces;
}

std::vector<std::vector<std::string>> TsvRows(const std::string& tsv) {
  std::vector<std::vector<std::string>> rows;
  for (const auto& line : SplitBytes(tsv, '\n')) rows.push_back(SplitBytes(line + "\t", '\t'));
  return rows;
}

class CollectorTest : public ::testing::Test {
 protected:
  std::string Dir() const { return dir.Path().string(); }
  std::string InDir(const char* name) const { return (dir.Path() / name).string(); }
  testing::TempDir dir;
};

TEST_F(CollectorTest, CollectsFromTheSandboxAndWritesEveryOutput) {
  const Result result = Collect({"--sandbox", "--program-dir", Dir(), "--filter", "", "--links",
                                 InDir("links.txt"), "--csv", InDir("rows.csv"), "连衣裙", "T恤"});
  ASSERT_EQ(result.exitCode, 0) << result.err;
  const auto rows = TsvRows(result.out);
  ASSERT_GT(rows.size(), 40u);
  std::string expectedLinks;
  for (std::size_t r = 0; r < rows.size(); ++r) {
    ASSERT_EQ(rows[r].size(), 8u) << "row " << r;
    EXPECT_EQ(rows[r][0], std::to_string(r + 1));
    EXPECT_EQ(rows[r][1].find("<span"), std::string::npos);
    expectedLinks += Utf8ToCp936(rows[r][7]) + "\r\n";
  }
  EXPECT_EQ(platform::ReadWholeFile(InDir("links.txt")), expectedLinks);

  const std::string csv = platform::ReadWholeFile(InDir("rows.csv")).value_or("");
  EXPECT_EQ(
      csv.rfind("\xEF\xBB\xBF序号,商品标题,30天推广量,30天支出佣金,单价,佣金,佣金比率,链接\r\n", 0),
      0u);
  EXPECT_EQ(SplitBytes(csv, '\n').size(), rows.size() + 1);

  EXPECT_NE(result.err.find("正在采集[联盟采集]任务的第[2]个关键词：T恤"), std::string::npos);
  EXPECT_NE(result.err.find("全部关键词采集完成！"), std::string::npos);
  EXPECT_EQ(platform::ReadWholeFile(dir.Path() / "搜索关键词.txt"), Utf8ToCp936("连衣裙\r\nT恤"));
}

TEST_F(CollectorTest, FilterKeywordsKeepTitlesOut) {
  // Without --filter the program directory's filter keyword file is used.
  std::filesystem::create_directories(dir.Path() / "data");
  platform::WriteWholeFile(dir.Path() / "data" / "filtration.ini", Utf8ToCp936("纯棉|官方"));
  const Result filtered = Collect({"--sandbox", "--quiet", "--program-dir", Dir(), "连衣裙"});
  const Result unfiltered =
      Collect({"--sandbox", "--quiet", "--program-dir", Dir(), "--filter=", "连衣裙"});
  ASSERT_EQ(filtered.exitCode, 0);
  ASSERT_EQ(unfiltered.exitCode, 0);
  EXPECT_TRUE(filtered.err.empty());
  EXPECT_LT(TsvRows(filtered.out).size(), TsvRows(unfiltered.out).size());
  for (const auto& row : TsvRows(filtered.out)) {
    EXPECT_EQ(row[1].find("纯棉"), std::string::npos);
    EXPECT_EQ(row[1].find("官方"), std::string::npos);
  }
}

TEST_F(CollectorTest, KeywordFilesInEitherEncoding) {
  for (const std::string& bytes :
       {std::string("连衣裙\r\nT恤\n"), Utf8ToCp936("连衣裙\nT恤\r\n")}) {
    platform::WriteWholeFile(InDir("keywords.txt"), bytes);
    const Result result = Collect({"--sandbox", "--quiet", "--program-dir", Dir(), "--pages", "1",
                                   "--keywords-file", InDir("keywords.txt")});
    ASSERT_EQ(result.exitCode, 0) << result.err;
    EXPECT_EQ(platform::ReadWholeFile(dir.Path() / "搜索关键词.txt"), Utf8ToCp936("连衣裙\r\nT恤"));
  }
}

// Problems with the inputs and outputs are found before the first request.
TEST_F(CollectorTest, BadInputExitsTwoBeforeAnyRequest) {
  sim::SandboxServer sandbox;
  sandbox.Start();
  const auto session = sandbox.CreateSession();
  const std::string host = sandbox.PublisherHost();
  struct Case {
    const char* name;
    std::vector<std::string> args;
  };
  const std::vector<Case> cases = {
      {"missing keywords file", {"--keywords-file", InDir("none.txt")}},
      {"keywords file is a directory", {"--keywords-file", Dir()}},
      {"missing filter file", {"--filter-file", InDir("none.txt"), "k"}},
      {"links folder missing", {"--links", InDir("no/such/links.txt"), "k"}},
      {"csv is a directory", {"--csv", Dir(), "k"}},
      {"program directory missing", {"--program-dir", InDir("nowhere"), "k"}},
  };
  for (const auto& c : cases) {
    std::vector<std::string> args = {"--cookies", session.cookies, "--publisher-host", host};
    args.insert(args.end(), c.args.begin(), c.args.end());
    if (std::find(c.args.begin(), c.args.end(), "--program-dir") == c.args.end()) {
      args.insert(args.end(), {"--program-dir", Dir()});
    }
    const Result result = Collect(args);
    EXPECT_EQ(result.exitCode, kExitBadInput) << c.name;
    EXPECT_EQ(std::count(result.err.begin(), result.err.end(), '\n'), 1) << c.name << result.err;
  }
  EXPECT_EQ(sandbox.SearchRequestCount(), 0u);

  const Result noToken = Collect(
      {"--cookies", "cookie2=x; t=y", "--publisher-host", host, "--program-dir", Dir(), "k"});
  EXPECT_EQ(noToken.exitCode, kExitBadInput);
  EXPECT_NE(noToken.err.find("_tb_token_"), std::string::npos);

  // The token is found wherever its entry stands.
  const std::string reordered = "_tb_token_=" + session.token + ";" + session.cookies;
  const Result ok = Collect({"--cookies", reordered, "--publisher-host", host, "--quiet",
                             "--program-dir", Dir(), "--pages", "1", "k"});
  EXPECT_EQ(ok.exitCode, 0) << ok.err;
  EXPECT_FALSE(ok.out.empty());

  // A cookie file as copied from a browser: a "Cookie:" line, broken over lines.
  const std::size_t split = session.cookies.find("; ");
  platform::WriteWholeFile(InDir("cookies.txt"), "Cookie: " + session.cookies.substr(0, split) +
                                                     ";\r\n" + session.cookies.substr(split + 2) +
                                                     "\n\n");
  const Result fromFile = Collect({"--cookie-file", InDir("cookies.txt"), "--publisher-host", host,
                                   "--quiet", "--program-dir", Dir(), "--pages", "1", "k"});
  EXPECT_EQ(fromFile.exitCode, 0) << fromFile.err;
  EXPECT_EQ(fromFile.out, ok.out);
  platform::CloseIdleConnections();
}

TEST(CollectorProgram, BadOptionsExitTwoWithOneLine) {
  const std::string command =
      std::string(CORVANE_BINARY_DIR) + "/cli/corvane-cli --shop-level 99 k 2>&1";
  FILE* pipe = popen(command.c_str(), "r");
  ASSERT_NE(pipe, nullptr);
  std::string output;
  std::array<char, 256> buffer;
  while (fgets(buffer.data(), buffer.size(), pipe)) output += buffer.data();
  const int status = pclose(pipe);
  EXPECT_EQ(WEXITSTATUS(status), 2);
  EXPECT_EQ(output.rfind("corvane-cli: --shop-level", 0), 0u) << output;
  EXPECT_EQ(std::count(output.begin(), output.end(), '\n'), 1);
}

}  // namespace
}  // namespace corvane::cli
