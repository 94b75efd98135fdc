// HTML of the sandbox pages. Texts are UTF-8; user input is escaped.
#include "sim/pages.h"

namespace corvane::sim {

namespace {

std::string Page(std::string_view title, std::string_view body) {
  std::string html = "<!DOCTYPE html>\n<html lang=\"zh-CN\"><head><meta charset=\"utf-8\"><title>";
  html += HtmlEscape(title);
  html += "</title></head>\n<body>\n";
  html += body;
  html += "\n</body></html>\n";
  return html;
}

}  // namespace

std::string HtmlEscape(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  for (const char c : text) {
    switch (c) {
      case '&':
        out += "&amp;";
        break;
      case '<':
        out += "&lt;";
        break;
      case '>':
        out += "&gt;";
        break;
      case '"':
        out += "&quot;";
        break;
      case '\'':
        out += "&#39;";
        break;
      default:
        out += c;
    }
  }
  return out;
}

std::string LoginFormHtml(std::string_view error, std::string_view userName) {
  std::string body = "<h1>沙盒联盟 · 登录</h1>\n";
  if (!error.empty()) body += "<p class=\"error\" id=\"error\">" + HtmlEscape(error) + "</p>\n";
  body +=
      "<form method=\"post\" action=\"/member/login.jhtml\" id=\"login-form\">\n"
      "<p><label for=\"username\">账户名：</label>"
      "<input type=\"text\" id=\"username\" name=\"username\" value=\"" +
      HtmlEscape(userName) +
      "\"></p>\n"
      "<p><label for=\"password\">密码：</label>"
      "<input type=\"password\" id=\"password\" name=\"password\"></p>\n"
      "<p><button type=\"submit\" id=\"submit\">登录</button></p>\n"
      "</form>\n<p>沙盒环境：任意非空账户名均可登录，密码不作检查。</p>";
  return Page("登录", body);
}

std::string PublisherHomeHtml(const std::string* userName, std::string_view loginUrl) {
  if (userName) {
    return Page("已登录", "<h1>已登录</h1>\n<p id=\"signed-in\">当前账户：" +
                              HtmlEscape(*userName) + "</p>\n<p>请回到程序点击确认。</p>");
  }
  return Page("未登录",
              "<h1>未登录</h1>\n<p><a href=\"" + HtmlEscape(loginUrl) + "\">前往登录</a></p>");
}

std::string MessageHtml(std::string_view title, std::string_view message) {
  return Page(title, "<h1>" + HtmlEscape(title) + "</h1>\n<p>" + HtmlEscape(message) + "</p>");
}

}  // namespace corvane::sim
