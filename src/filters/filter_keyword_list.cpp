#include "filters/filter_keyword_list.h"

#include "platform/files.h"

namespace corvane::filters {

std::filesystem::path FilterKeywordFile(const state::Configuration& configuration) {
  return configuration.programDirectory / "data" / "filtration.ini";
}

void LoadFilterKeywords(const state::Configuration& configuration, state::MainForm& form) {
  std::string text = platform::ReadWholeFile(FilterKeywordFile(configuration)).value_or("");
  if (const auto zero = text.find('\0'); zero != std::string::npos) text.resize(zero);
  form.编辑框_过滤关键词.SetText(std::move(text));
}

}  // namespace corvane::filters
