// The command line of corvane-cli, the headless collector.
#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace corvane::cli {

struct CollectorOptions {
  std::vector<std::string> keywords;  // UTF-8, from the command line
  std::optional<std::filesystem::path> keywordsFile;
  std::optional<std::string> cookies;  // UTF-8 cookie text
  std::optional<std::filesystem::path> cookieFile;
  bool sandbox = false;
  std::optional<std::string> publisherHost;
  std::optional<std::filesystem::path> programDirectory;
  // Filter boxes, as typed (UTF-8); unset means the main window's initial content.
  std::optional<std::string> pages, minRate, minSales, minPrice, maxPrice;
  int scope = 0;                      // 0 all, 1 Taobao, 2 Tmall
  int shopLevel = 0;                  // 1..20, 0 = none selected
  std::optional<std::string> filter;  // UTF-8
  std::optional<std::filesystem::path> filterFile;
  std::optional<std::filesystem::path> linksFile, csvFile;
  bool quiet = false;  // no status lines on stderr
  bool help = false;
};

// Throws std::invalid_argument with a one-line message naming the problem.
CollectorOptions ParseCommandLine(const std::vector<std::string>& arguments);

extern const char* const kUsage;

}  // namespace corvane::cli
