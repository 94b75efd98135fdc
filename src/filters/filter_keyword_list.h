// The filter keyword list: the "|"-separated text of 编辑框_过滤关键词, kept between runs of
// the program in the file data/filtration.ini beside the executable (CP936, written whole).
#pragma once

#include <filesystem>

#include "state/configuration.h"
#include "state/main_form.h"

namespace corvane::filters {

std::filesystem::path FilterKeywordFile(const state::Configuration& configuration);

// The box becomes the file's text up to its first zero byte, or empty when the file is
// missing or unreadable.
void LoadFilterKeywords(const state::Configuration& configuration, state::MainForm& form);

}  // namespace corvane::filters
