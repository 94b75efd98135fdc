#include "cli/options.h"

#include <cctype>
#include <charconv>
#include <functional>
#include <map>
#include <stdexcept>

namespace corvane::cli {

const char* const kUsage =
    "usage: corvane-cli [options] KEYWORD...\n"
    "Collects the promotable items for each keyword and prints the result list as\n"
    "tab-separated UTF-8 rows (sequence number, title, 30-day promotions, 30-day paid\n"
    "commission, price, commission, rate, link). Status texts go to stderr.\n"
    "\n"
    "keywords:\n"
    "  KEYWORD...               one keyword per argument\n"
    "  --keywords-file FILE     one keyword per line (UTF-8, or CP936)\n"
    "session:\n"
    "  --sandbox                start the built-in sandbox platform, sign in and collect there\n"
    "  --cookies TEXT           the session cookie text (name=value; ...), with _tb_token_\n"
    "  --cookie-file FILE       the same, read from a file\n"
    "  --publisher-host HOST[:PORT]  the item-search host (default pub.alimama.com)\n"
    "filters (defaults as in the main window; an empty value means an empty box):\n"
    "  --pages N (3)  --min-rate PCT (20)  --min-sales N (5)\n"
    "  --min-price P (30)  --max-price P (888)\n"
    "  --scope all|taobao|tmall (all)  --shop-level 1..20 (none)\n"
    "filter keywords (default: data/filtration.ini in the program directory):\n"
    "  --filter TEXT            \"|\"-separated keywords; titles holding one are left out\n"
    "  --filter-file FILE       the same, read from a file\n"
    "output:\n"
    "  --links FILE             the links, CP936, each followed by CR LF\n"
    "  --csv FILE               all columns with titles, UTF-8 with byte-order mark\n"
    "  --program-dir DIR        where the keyword file and data/filtration.ini lie\n"
    "                           (default: the directory of the executable)\n"
    "  --quiet                  no status texts on stderr\n"
    "  --help                   this text\n";

namespace {

int ParseInteger(const std::string& option, const std::string& value, int low, int high) {
  int number = 0;
  const auto [end, error] = std::from_chars(value.data(), value.data() + value.size(), number);
  if (error != std::errc() || end != value.data() + value.size() || number < low || number > high) {
    throw std::invalid_argument(option + " takes a whole number from " + std::to_string(low) +
                                " to " + std::to_string(high) + ", not \"" + value + "\"");
  }
  return number;
}

// HOST[:PORT]: a name or IPv4 address without scheme, path or blanks.
bool IsHostAndPort(const std::string& value) {
  const auto colon = value.find(':');
  const std::string host = value.substr(0, colon);
  if (host.empty() || host.front() == '.' || host.front() == '-') return false;
  for (unsigned char c : host) {
    if (!std::isalnum(c) && c != '.' && c != '-') return false;
  }
  if (colon == std::string::npos) return true;
  try {
    ParseInteger("port", value.substr(colon + 1), 1, 65535);
  } catch (const std::invalid_argument&) {
    return false;
  }
  return true;
}

}  // namespace

CollectorOptions ParseCommandLine(const std::vector<std::string>& arguments) {
  CollectorOptions options;
  using Setter = std::function<void(const std::string&)>;
  const std::map<std::string, Setter> valued = {
      {"--keywords-file", [&](const std::string& v) { options.keywordsFile = v; }},
      {"--cookies", [&](const std::string& v) { options.cookies = v; }},
      {"--cookie-file", [&](const std::string& v) { options.cookieFile = v; }},
      {"--publisher-host",
       [&](const std::string& v) {
         if (!IsHostAndPort(v)) {
           throw std::invalid_argument("--publisher-host takes HOST[:PORT], not \"" + v + "\"");
         }
         options.publisherHost = v;
       }},
      {"--program-dir", [&](const std::string& v) { options.programDirectory = v; }},
      {"--pages", [&](const std::string& v) { options.pages = v; }},
      {"--min-rate", [&](const std::string& v) { options.minRate = v; }},
      {"--min-sales", [&](const std::string& v) { options.minSales = v; }},
      {"--min-price", [&](const std::string& v) { options.minPrice = v; }},
      {"--max-price", [&](const std::string& v) { options.maxPrice = v; }},
      {"--scope",
       [&](const std::string& v) {
         static const std::map<std::string, int> scopes = {{"all", 0}, {"taobao", 1}, {"tmall", 2}};
         const auto found = scopes.find(v);
         if (found == scopes.end()) {
           throw std::invalid_argument("--scope takes all, taobao or tmall, not \"" + v + "\"");
         }
         options.scope = found->second;
       }},
      {"--shop-level",
       [&](const std::string& v) { options.shopLevel = ParseInteger("--shop-level", v, 1, 20); }},
      {"--filter", [&](const std::string& v) { options.filter = v; }},
      {"--filter-file", [&](const std::string& v) { options.filterFile = v; }},
      {"--links", [&](const std::string& v) { options.linksFile = v; }},
      {"--csv", [&](const std::string& v) { options.csvFile = v; }},
  };
  bool keywordsOnly = false;
  for (std::size_t i = 0; i < arguments.size(); ++i) {
    std::string argument = arguments[i];
    if (keywordsOnly || argument.size() < 2 || argument.rfind("--", 0) != 0) {
      if (!keywordsOnly && argument.size() > 1 && argument[0] == '-') {
        throw std::invalid_argument("unknown option " + argument + " (see --help)");
      }
      options.keywords.push_back(argument);
      continue;
    }
    if (argument == "--") {
      keywordsOnly = true;
      continue;
    }
    std::optional<std::string> inlineValue;
    if (const auto equals = argument.find('='); equals != std::string::npos) {
      inlineValue = argument.substr(equals + 1);
      argument.resize(equals);
    }
    if (argument == "--sandbox" || argument == "--quiet" || argument == "--help") {
      if (inlineValue) throw std::invalid_argument(argument + " takes no value");
      (argument == "--sandbox" ? options.sandbox
       : argument == "--quiet" ? options.quiet
                               : options.help) = true;
      continue;
    }
    const auto setter = valued.find(argument);
    if (setter == valued.end()) {
      throw std::invalid_argument("unknown option " + argument + " (see --help)");
    }
    if (!inlineValue) {
      if (i + 1 >= arguments.size()) throw std::invalid_argument(argument + " needs a value");
      inlineValue = arguments[++i];
    }
    setter->second(*inlineValue);
  }
  if (options.help) return options;
  if (options.keywordsFile && !options.keywords.empty()) {
    throw std::invalid_argument("give keywords either as arguments or with --keywords-file");
  }
  if (!options.keywordsFile && options.keywords.empty()) {
    throw std::invalid_argument("no keywords: give KEYWORD... or --keywords-file (see --help)");
  }
  if (options.filter && options.filterFile) {
    throw std::invalid_argument("give --filter or --filter-file, not both");
  }
  const int sessions =
      options.sandbox + options.cookies.has_value() + options.cookieFile.has_value();
  if (sessions > 1) {
    throw std::invalid_argument("give one of --sandbox, --cookies and --cookie-file");
  }
  if (sessions == 0) {
    throw std::invalid_argument("no session: give --sandbox, --cookies or --cookie-file");
  }
  if (options.sandbox && options.publisherHost) {
    throw std::invalid_argument("--sandbox chooses its own host; drop --publisher-host");
  }
  return options;
}

}  // namespace corvane::cli
