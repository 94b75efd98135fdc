// Option parsing for corvane-sim: "--name value" or "--name=value".
#include "sim/command_line.h"

#include <charconv>
#include <optional>

namespace corvane::sim {

namespace {

std::optional<long long> WholeNumber(std::string_view text, long long low, long long high) {
  long long value = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (text.empty() || error != std::errc() || end != text.data() + text.size()) {
    return std::nullopt;
  }
  if (value < low || value > high) return std::nullopt;
  return value;
}

}  // namespace

std::string_view UsageText() {
  return "usage: corvane-sim [options]\n"
         "Serves the sandbox affiliate platform on 127.0.0.1 until SIGINT or SIGTERM.\n"
         "  --port N           port to listen on (0, the default: a free port)\n"
         "  --threads N        connections served at once (default 16)\n"
         "  --latency MS       delay every search answer by MS milliseconds\n"
         "  --fail-status CODE answer searches with HTTP status CODE (400..599)\n"
         "  --reset            close search connections without an answer\n"
         "  --truncate         send only half of every search answer\n"
         "  --non-json         answer searches with an HTML page\n"
         "  --huge-body MB     make search answers at least MB megabytes\n"
         "  --fault-every N    apply the faults above to every Nth search only\n"
         "  --help             show this text\n";
}

std::variant<CommandLine, std::string> ParseCommandLine(const std::vector<std::string>& args) {
  CommandLine line;
  Faults& faults = line.options.faults;
  for (std::size_t i = 0; i < args.size(); ++i) {
    std::string name = args[i];
    std::optional<std::string> inlineValue;
    if (const std::size_t equals = name.find('=');
        name.starts_with("--") && equals != std::string::npos) {
      inlineValue = name.substr(equals + 1);
      name.resize(equals);
    }
    // Reads the option's value as a whole number in [low, high].
    const auto number = [&](long long low, long long high) -> std::variant<long long, std::string> {
      std::string value;
      if (inlineValue) {
        value = *inlineValue;
      } else if (i + 1 < args.size()) {
        value = args[++i];
      } else {
        return name + " needs a value";
      }
      if (auto parsed = WholeNumber(value, low, high)) return *parsed;
      return name + " takes a whole number from " + std::to_string(low) + " to " +
             std::to_string(high) + ", not \"" + value + "\"";
    };
    const auto flag = [&](bool& target) -> std::optional<std::string> {
      if (inlineValue) return name + " takes no value";
      target = true;
      return std::nullopt;
    };

    std::variant<long long, std::string> value;
    std::optional<std::string> error;
    if (name == "--port") {
      value = number(0, 65535);
      if (auto* v = std::get_if<long long>(&value)) line.options.port = static_cast<int>(*v);
    } else if (name == "--threads") {
      value = number(2, 256);
      if (auto* v = std::get_if<long long>(&value)) line.options.threads = static_cast<int>(*v);
    } else if (name == "--latency") {
      value = number(0, 600000);
      if (auto* v = std::get_if<long long>(&value)) faults.latencyMs = static_cast<int>(*v);
    } else if (name == "--fail-status") {
      value = number(400, 599);
      if (auto* v = std::get_if<long long>(&value)) faults.failStatus = static_cast<int>(*v);
    } else if (name == "--huge-body") {
      value = number(1, 1024);
      if (auto* v = std::get_if<long long>(&value)) {
        faults.hugeBodyBytes = static_cast<std::size_t>(*v) << 20;
      }
    } else if (name == "--fault-every") {
      value = number(1, 1000000);
      if (auto* v = std::get_if<long long>(&value)) faults.faultEvery = static_cast<int>(*v);
    } else if (name == "--reset") {
      error = flag(faults.resetConnection);
    } else if (name == "--truncate") {
      error = flag(faults.truncateBody);
    } else if (name == "--non-json") {
      error = flag(faults.nonJsonBody);
    } else if (name == "--help" || name == "-h") {
      error = flag(line.help);
    } else {
      return "unknown option \"" + args[i] + "\" (see --help)";
    }
    if (auto* message = std::get_if<std::string>(&value)) return *message;
    if (error) return *error;
  }
  return line;
}

}  // namespace corvane::sim
