// The small HTML pages of the sandbox sign-in and the filter keyword list it serves.
#pragma once

#include <string>
#include <string_view>

namespace corvane::sim {

// The filter keyword list as served (UTF-8 here; served as CP936). Its words occur in some
// catalogue titles, so filtering visibly removes rows.
inline constexpr std::string_view kFilterKeywordsUtf8 = "二手|高仿|a货|清仓|尾货|明星同款|代购|diy";

std::string HtmlEscape(std::string_view text);

// The sign-in form; `error` (may be empty) is shown above it.
std::string LoginFormHtml(std::string_view error, std::string_view userName);

// The publisher's front page: who is signed in, or a link to the sign-in page.
std::string PublisherHomeHtml(const std::string* userName, std::string_view loginUrl);

std::string MessageHtml(std::string_view title, std::string_view message);

}  // namespace corvane::sim
