// Configuration values: compiled-in defaults for the live platform, overridden by the command
// line or the environment. The program keeps no settings file.
#pragma once

#include <filesystem>
#include <string>

namespace corvane::state {

struct Configuration {
  std::string publisherHost = "pub.alimama.com";  // host[:port] of the item-search service
  std::string loginHost = "login.taobao.com";
  std::string sellerHost = "sell.taobao.com";
  std::string filterListHost;  // the online filter keyword list has no live server
  // Where the keyword file and the filter keyword file lie.
  std::filesystem::path programDirectory = ExecutableDirectory();

  // The directory of the running executable (/proc/self/exe), or the current directory.
  static std::filesystem::path ExecutableDirectory();
};

// Applies CORVANE_PUBLISHER_HOST, CORVANE_LOGIN_HOST, CORVANE_SELLER_HOST,
// CORVANE_FILTER_LIST_HOST and CORVANE_PROGRAM_DIR where they are set and not empty.
void ApplyEnvironment(Configuration& configuration);

}  // namespace corvane::state
