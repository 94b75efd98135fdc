// Whole-file reads and writes of byte strings.
#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

namespace corvane::platform {

// The file's bytes, or nothing when it is missing or unreadable.
std::optional<std::string> ReadWholeFile(const std::filesystem::path& path);

// Creates or truncates the file and writes the bytes; false when that failed.
bool WriteWholeFile(const std::filesystem::path& path, std::string_view bytes);

}  // namespace corvane::platform
