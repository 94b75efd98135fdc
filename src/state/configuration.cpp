#include "state/configuration.h"

#include <cstdlib>
#include <system_error>

namespace corvane::state {

std::filesystem::path Configuration::ExecutableDirectory() {
  std::error_code error;
  const auto executable = std::filesystem::read_symlink("/proc/self/exe", error);
  if (error) return std::filesystem::current_path(error);
  return executable.parent_path();
}

void ApplyEnvironment(Configuration& configuration) {
  const auto apply = [](const char* variable, auto& target) {
    if (const char* value = std::getenv(variable); value && *value) target = value;
  };
  apply("CORVANE_PUBLISHER_HOST", configuration.publisherHost);
  apply("CORVANE_LOGIN_HOST", configuration.loginHost);
  apply("CORVANE_SELLER_HOST", configuration.sellerHost);
  apply("CORVANE_FILTER_LIST_HOST", configuration.filterListHost);
  apply("CORVANE_PROGRAM_DIR", configuration.programDirectory);
}

}  // namespace corvane::state
