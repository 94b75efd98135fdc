#include "text/charset.h"

#include <iconv.h>

#include <algorithm>
#include <cerrno>
#include <stdexcept>

#include "text/cp936.h"

namespace corvane::text {

namespace {

// One iconv descriptor, closed on destruction. Descriptors carry shift state and are not
// thread-safe, so each thread keeps its own (see Converter()).
class IconvDescriptor {
 public:
  IconvDescriptor(const char* to, const char* from) : cd_(iconv_open(to, from)) {
    if (cd_ == reinterpret_cast<iconv_t>(-1)) {
      throw std::runtime_error(std::string("iconv cannot convert ") + from + " to " + to);
    }
  }
  ~IconvDescriptor() { iconv_close(cd_); }
  IconvDescriptor(const IconvDescriptor&) = delete;
  IconvDescriptor& operator=(const IconvDescriptor&) = delete;

  // Converts `input`. ASCII is the same in both encodings and is copied as it stands; iconv
  // sees only the runs of other characters, whose ends `runEnd(input, start)` tells. On an
  // unconvertible or incomplete sequence `onError(rest of the run, output)` appends a
  // replacement and returns how many bytes to skip.
  template <typename RunEnd, typename OnError>
  std::string Convert(std::string_view input, RunEnd runEnd, OnError onError) {
    std::string output;
    output.reserve(input.size() + input.size() / 2 + 16);
    std::size_t pos = 0;
    while (pos < input.size()) {
      std::size_t ascii = pos;
      while (ascii < input.size() && static_cast<unsigned char>(input[ascii]) < 0x80) ++ascii;
      output.append(input, pos, ascii - pos);
      if (ascii == input.size()) break;
      pos = runEnd(input, ascii);
      AppendConverted(input.substr(ascii, pos - ascii), output, onError);
    }
    return output;
  }

 private:
  template <typename OnError>
  void AppendConverted(std::string_view run, std::string& output, OnError onError) {
    iconv(cd_, nullptr, nullptr, nullptr, nullptr);
    char* in = const_cast<char*>(run.data());
    std::size_t inLeft = run.size();
    std::size_t written = output.size();
    output.resize(written + run.size() * 2 + 16);
    while (inLeft > 0) {
      char* out = output.data() + written;
      std::size_t outLeft = output.size() - written;
      const std::size_t rc = iconv(cd_, &in, &inLeft, &out, &outLeft);
      written = output.size() - outLeft;
      if (rc != static_cast<std::size_t>(-1)) break;
      if (errno == E2BIG) {
        output.resize(output.size() * 2);
        continue;
      }
      output.resize(written);
      const std::size_t skip = onError(std::string_view(in, inLeft), output);
      written = output.size();
      output.resize(written + inLeft * 2 + 16);
      in += skip;
      inLeft -= skip;
    }
    output.resize(written);
  }

  iconv_t cd_;
};

// Length of the well-formed UTF-8 sequence at the start of `bytes`, 0 when it is not one.
std::size_t Utf8SequenceLength(std::string_view bytes) {
  const auto b = [&](std::size_t i) { return static_cast<unsigned char>(bytes[i]); };
  const auto cont = [&](std::size_t i) { return i < bytes.size() && (b(i) & 0xC0) == 0x80; };
  const unsigned char lead = b(0);
  if (lead < 0x80) return 1;
  if (lead >= 0xC2 && lead <= 0xDF) return cont(1) ? 2 : 0;
  if (lead >= 0xE0 && lead <= 0xEF) {
    if (!cont(1) || !cont(2)) return 0;
    if (lead == 0xE0 && b(1) < 0xA0) return 0;   // overlong
    if (lead == 0xED && b(1) >= 0xA0) return 0;  // surrogate
    return 3;
  }
  if (lead >= 0xF0 && lead <= 0xF4) {
    if (!cont(1) || !cont(2) || !cont(3)) return 0;
    if (lead == 0xF0 && b(1) < 0x90) return 0;
    if (lead == 0xF4 && b(1) >= 0x90) return 0;
    return 4;
  }
  return 0;
}

}  // namespace

std::string Cp936ToUtf8(std::string_view cp936) {
  thread_local IconvDescriptor converter("UTF-8", "CP936");
  // A run of two-byte characters; a trail byte may itself be below 0x80.
  const auto runEnd = [](std::string_view text, std::size_t pos) {
    while (pos < text.size() && static_cast<unsigned char>(text[pos]) >= 0x80) {
      pos += CharLength(text, pos);
    }
    return std::min(pos, text.size());
  };
  return converter.Convert(cp936, runEnd, [](std::string_view, std::string& output) {
    output += "\xEF\xBF\xBD";
    return std::size_t{1};
  });
}

std::string Utf8ToCp936(std::string_view utf8) {
  thread_local IconvDescriptor converter("CP936", "UTF-8");
  // Every byte of a multi-byte UTF-8 sequence is 0x80 or above.
  const auto runEnd = [](std::string_view text, std::size_t pos) {
    while (pos < text.size() && static_cast<unsigned char>(text[pos]) >= 0x80) ++pos;
    return pos;
  };
  return converter.Convert(utf8, runEnd, [](std::string_view rest, std::string& output) {
    output += '?';
    const std::size_t length = Utf8SequenceLength(rest);
    return length == 0 ? std::size_t{1} : length;
  });
}

bool IsValidUtf8(std::string_view bytes) {
  while (!bytes.empty()) {
    const std::size_t length = Utf8SequenceLength(bytes);
    if (length == 0) return false;
    bytes.remove_prefix(length);
  }
  return true;
}

}  // namespace corvane::text
