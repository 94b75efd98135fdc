#include "cli/collector.h"

#include <unistd.h>

#include <chrono>
#include <mutex>
#include <optional>
#include <stdexcept>

#include "cli/output.h"
#include "engine/collection_run.h"
#include "filters/filter_keyword_list.h"
#include "filters/link_export.h"
#include "platform/files.h"
#include "sim/sandbox_server.h"
#include "state/main_form.h"
#include "state/shared_state.h"
#include "text/charset.h"
#include "text/cp936.h"

namespace corvane::cli {

namespace {

namespace fs = std::filesystem;

// A problem with what the user gave us: reported in one line, exit code 2.
struct BadInput : std::runtime_error {
  using std::runtime_error::runtime_error;
};

std::string Quoted(const fs::path& path) {
  std::string quoted(1, '"');
  return quoted.append(path.string()).append(1, '"');
}

// Files and command-line texts arrive as UTF-8; a file that is not valid UTF-8 is taken as
// CP936, the program's own encoding.
std::string AsCp936(std::string bytes) {
  if (bytes.rfind("\xEF\xBB\xBF", 0) == 0) bytes.erase(0, 3);
  return text::IsValidUtf8(bytes) ? text::Utf8ToCp936(bytes) : bytes;
}

std::string ReadInput(const fs::path& path, const char* what) {
  std::error_code error;
  if (fs::is_directory(path, error)) {
    throw BadInput(std::string("the ") + what + " " + Quoted(path) + " is a directory");
  }
  auto bytes = platform::ReadWholeFile(path);
  if (!bytes) throw BadInput(std::string("cannot read the ") + what + " " + Quoted(path));
  return *bytes;
}

// One entry per line; a line may end in CR LF or LF; the last line break adds no entry.
std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> lines = text::Split(text, "\n");
  for (auto& line : lines) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
  }
  return lines;
}

std::string JoinCrLf(const std::vector<std::string>& lines) {
  std::string joined;
  for (std::size_t i = 0; i < lines.size(); ++i) {
    if (i) joined += "\r\n";
    joined += lines[i];
  }
  return joined;
}

// Checked without creating anything, so a refused output costs no collected work.
void CheckWritable(const fs::path& path, const char* what) {
  std::error_code error;
  if (fs::is_directory(path, error)) {
    throw BadInput(std::string("the ") + what + " " + Quoted(path) + " is a directory");
  }
  if (fs::exists(path, error)) {
    if (access(path.c_str(), W_OK) != 0) {
      throw BadInput(std::string("cannot write the ") + what + " " + Quoted(path));
    }
    return;
  }
  const fs::path parent = path.has_parent_path() ? path.parent_path() : fs::path(".");
  if (!fs::is_directory(parent, error) || access(parent.c_str(), W_OK | X_OK) != 0) {
    throw BadInput(std::string("cannot create the ") + what + " " + Quoted(path) +
                   ": its folder is missing or not writable");
  }
}

// Cookie text as a user may paste it: one line or several, perhaps with the header name of a
// copied "Cookie:" line. The lines' entries are joined into one cookie text.
std::string SessionCookieText(const std::string& pasted) {
  std::string joined;
  for (const std::string& line : Lines(pasted)) {
    std::string_view entries = text::Trim(line);
    if (entries.rfind("Cookie:", 0) == 0) entries = text::Trim(entries.substr(7));
    while (!entries.empty() && entries.back() == ';')
      entries = text::Trim(entries.substr(0, entries.size() - 1));
    if (entries.empty()) continue;
    if (!joined.empty()) joined += "; ";
    joined += entries;
  }
  return joined;
}

// The value of the cookie text's _tb_token_ entry, wherever it stands.
std::string SessionTokenOf(const std::string& cookies) {
  for (const std::string& entry : text::Split(cookies, ";")) {
    const std::string_view pair = text::Trim(entry);
    const auto equals = pair.find('=');
    if (equals != std::string_view::npos && text::Trim(pair.substr(0, equals)) == "_tb_token_") {
      return std::string(pair.substr(equals + 1));
    }
  }
  return {};
}

// Signs in through the sandbox's own form, as a user in the browser would: the form's answer
// redirects to the publisher host, which sets the session cookies.
std::string SignInToSandbox(const sim::SandboxServer& sandbox, const web::WebClient& client) {
  std::string cookies;
  std::string location;
  client.HttpPost(sandbox.LoginUrl(), "username=corvane&password=sandbox", &cookies, nullptr,
                  nullptr, &location, true);
  if (location.empty()) return {};
  std::string publisherCookies;
  std::string next;
  client.HttpGet(location, &publisherCookies, nullptr, nullptr, &next, true);
  // The run uses a thread of its own; this thread's connection would only keep the sandbox
  // waiting when it stops.
  platform::CloseIdleConnections();
  return publisherCookies;
}

void FillForm(const CollectorOptions& options, state::MainForm& form) {
  const auto set = [](ui::EditBox& box, const std::optional<std::string>& value) {
    if (value) box.SetText(AsCp936(*value));
  };
  set(form.编辑框_页数, options.pages);
  set(form.编辑框_佣金比例, options.minRate);
  set(form.编辑框_推广数小, options.minSales);
  set(form.编辑框_价格小, options.minPrice);
  set(form.编辑框_价格大, options.maxPrice);
  ui::RadioButton* scopes[] = {&form.单选框_所有的, &form.单选框_淘宝, &form.单选框_天猫};
  scopes[options.scope]->SetChecked(true);
  form.组合框_店铺等级.SetSelectedIndex(options.shopLevel - 1);
}

}  // namespace

int RunCollector(const CollectorOptions& options, std::ostream& out, std::ostream& err) {
  try {
    state::Configuration configuration;
    state::ApplyEnvironment(configuration);
    if (options.programDirectory) {
      std::error_code error;
      if (!fs::is_directory(*options.programDirectory, error)) {
        throw BadInput("the program directory " + Quoted(*options.programDirectory) +
                       " does not exist");
      }
      configuration.programDirectory = *options.programDirectory;
    }
    if (options.publisherHost) configuration.publisherHost = *options.publisherHost;

    // Every input is read and every output checked before the first request.
    std::string keywordText;
    if (options.keywordsFile) {
      keywordText = JoinCrLf(Lines(AsCp936(ReadInput(*options.keywordsFile, "keywords file"))));
    } else {
      std::vector<std::string> keywords;
      for (const auto& keyword : options.keywords) keywords.push_back(AsCp936(keyword));
      keywordText = JoinCrLf(keywords);
    }
    std::string cookies;
    if (options.cookies) cookies = SessionCookieText(AsCp936(*options.cookies));
    if (options.cookieFile) {
      cookies = SessionCookieText(AsCp936(ReadInput(*options.cookieFile, "cookie file")));
    }
    std::optional<std::string> filterText;
    if (options.filter) filterText = AsCp936(*options.filter);
    if (options.filterFile) filterText = AsCp936(ReadInput(*options.filterFile, "filter file"));
    if (options.linksFile) CheckWritable(*options.linksFile, "links file");
    if (options.csvFile) CheckWritable(*options.csvFile, "CSV file");

    std::optional<sim::SandboxServer> sandbox;
    if (options.sandbox) {
      sandbox.emplace();
      sandbox->Start();
      configuration.publisherHost = sandbox->PublisherHost();
      configuration.loginHost = sandbox->LoginHost();
      configuration.filterListHost = sandbox->FilterListHost();
    }

    state::SharedState state(configuration);
    if (sandbox) {
      cookies = SignInToSandbox(*sandbox, state.webClient);
      if (cookies.empty()) {
        err << "corvane-cli: signing in to the sandbox failed\n";
        return kExitFailed;
      }
    }
    state.sessionCookies = cookies;
    state.sessionToken = SessionTokenOf(cookies);
    if (state.sessionToken.empty()) {
      throw BadInput("the session cookies hold no _tb_token_ entry");
    }

    state::MainForm form;
    FillForm(options, form);
    form.编辑框_关键词.SetText(keywordText);
    if (filterText) {
      form.编辑框_过滤关键词.SetText(*filterText);
    } else {
      filters::LoadFilterKeywords(configuration, form);
    }

    std::mutex errMutex;
    if (!options.quiet) {
      form.状态条1.PartChanged().Subscribe([&](int part) {
        const std::string line = text::Cp936ToUtf8(form.状态条1.PartText(part));
        std::lock_guard lock(errMutex);
        err << line << std::endl;
      });
    }

    form.按钮_开始采集.SetClickHandler([&] { engine::StartCollection(state, form); });
    form.按钮_开始采集.Click();
    if (!state.workerThreadHandle) {
      std::lock_guard lock(errMutex);
      err << "corvane-cli: the collection could not be started\n";
      return kExitFailed;
    }
    while (!platform::WaitForThread(state.workerThreadHandle, std::chrono::hours(1))) {
    }

    const auto rows = form.超级列表框_采集宝贝.Rows();
    out << TabSeparatedText(rows) << std::flush;

    int status = kExitFinished;
    if (options.linksFile &&
        !filters::WriteLinkExport(*options.linksFile, form.超级列表框_采集宝贝)) {
      err << "corvane-cli: writing the links file " << Quoted(*options.linksFile) << " failed\n";
      status = kExitFailed;
    }
    if (options.csvFile) {
      std::vector<std::string> titles;
      for (const auto& column : form.超级列表框_采集宝贝.Columns()) titles.push_back(column.title);
      if (!platform::WriteWholeFile(*options.csvFile, CsvText(titles, rows))) {
        err << "corvane-cli: writing the CSV file " << Quoted(*options.csvFile) << " failed\n";
        status = kExitFailed;
      }
    }
    return status;
  } catch (const BadInput& problem) {
    err << "corvane-cli: " << problem.what() << "\n";
    return kExitBadInput;
  } catch (const std::runtime_error& problem) {  // e.g. the sandbox could not bind a port
    err << "corvane-cli: " << problem.what() << "\n";
    return kExitFailed;
  }
}

}  // namespace corvane::cli
