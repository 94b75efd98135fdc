// A document parsed from a JSON text that the test expects to be valid.
#pragma once

#include <gtest/gtest.h>

#include <string_view>

#include "json/json_document.h"

namespace corvane::json::testing {

inline JsonDocument Parsed(std::string_view text) {
  JsonDocument document;
  EXPECT_TRUE(document.Parse(text)) << text;
  return document;
}

}  // namespace corvane::json::testing
