// JsonDocument over a Boost.JSON tree: path reads through ScriptValue, writes through slots of
// the tree, and sub-documents that share the parent's tree until either side changes.
#include "json/json_document.h"

#include <algorithm>
#include <atomic>
#include <boost/json/monotonic_resource.hpp>
#include <boost/json/value.hpp>
#include <cmath>
#include <limits>

#include "json/json_parse.h"
#include "json/json_path.h"
#include "json/number_text.h"
#include "json/script_value.h"
#include "text/charset.h"

namespace corvane::json {

namespace detail {

// What copies of a document share. `root` points into `tree`, which sub-documents made from
// this one (or the parent this one was made from) may hold as well; the tree is changed in
// place only while this engine is its only holder.
struct Engine {
  std::shared_ptr<boost::json::value> tree;  // null: the root is undefined
  boost::json::value* root = nullptr;
  // The root reached this document as JSON text (a sub-document not changed since), so its
  // numbers that are not finite read as null and -0 as 0.
  bool throughJson = false;
};

}  // namespace detail

namespace {

using detail::Engine;

// Writing an element beyond the end of an array fills the gap with null (JSON has no holes);
// a gap wider than this changes nothing, so that a stray index cannot fill memory.
constexpr double kMaxFilledGap = 1'000'000;

bool IsBlank(std::string_view text) {
  for (const char c : text) {
    if (c != ' ' && c != '\t' && c != '\n' && c != '\r' && c != '\v' && c != '\f') return false;
  }
  return true;
}

enum class Outcome { kFailed, kUndefined, kValue };

struct ParsedText {
  Outcome outcome = Outcome::kFailed;
  // Set for kValue. Held in an optional so that the tree keeps the storage it was parsed into
  // (assigning a boost::json::value copies it into the target's storage).
  std::optional<boost::json::value> value;
};

// A parsed tree is only read in the common case and is dropped whole, so its nodes come from
// one growing buffer of its own. Changes made in place allocate from it as well and free
// nothing before the tree goes, which suits documents that live for one answer.
boost::json::storage_ptr NewTreeStorage() {
  return boost::json::make_shared_resource<boost::json::monotonic_resource>();
}

// Reads a UTF-8 JSON text. Blank text is undefined (the script evaluates nothing). With
// `evaluateStrings`, a JSON string is the text of a further evaluation, as when the script
// hands a string to eval: its content is parsed once more (and there a string stays a string).
ParsedText ParseJsonText(std::string_view utf8, bool evaluateStrings) {
  if (IsBlank(utf8)) return {Outcome::kUndefined, std::nullopt};
  auto value = ParseJson(utf8, NewTreeStorage());
  if (!value) return {Outcome::kFailed, std::nullopt};
  if (evaluateStrings && value->is_string()) {
    const std::string content(value->get_string());
    return ParseJsonText(content, false);
  }
  return {Outcome::kValue, std::move(value)};
}

// A value given with `raw` (script source of a value) or as a text stored literally.
std::optional<boost::json::value> ValueToStore(std::string_view cp936, bool raw) {
  const std::string utf8 = text::Cp936ToUtf8(cp936);
  if (!raw) return boost::json::value(boost::json::string_view(utf8));
  ParsedText parsed = ParseJsonText(utf8, false);
  return std::move(parsed.value);
}

std::shared_ptr<Engine> EngineWith(std::optional<boost::json::value> root) {
  auto engine = std::make_shared<Engine>();
  if (root) {
    engine->tree = std::make_shared<boost::json::value>(std::move(*root));
    engine->root = engine->tree.get();
  }
  return engine;
}

void ReplaceRoot(Engine& engine, boost::json::value root) {
  engine.tree = std::make_shared<boost::json::value>(std::move(root));
  engine.root = engine.tree.get();
  engine.throughJson = false;
}

// What a trip through JSON text does to numbers.
void NormaliseAsJson(boost::json::value& value) {
  if (value.is_double()) {
    const double number = value.get_double();
    if (!std::isfinite(number)) {
      value = nullptr;
    } else if (number == 0) {
      value = 0.0;
    }
  } else if (auto* array = value.if_array()) {
    for (auto& element : *array) NormaliseAsJson(element);
  } else if (auto* object = value.if_object()) {
    for (auto& member : *object) NormaliseAsJson(member.value());
  }
}

// The root, ready to be changed in place: a sub-document takes its own copy on its first
// change, and so does a document whose tree a sub-document still shares. Null when the root
// is undefined.
boost::json::value* WritableRoot(Engine& engine) {
  if (engine.root == nullptr) return nullptr;
  if (engine.throughJson || engine.tree.use_count() > 1) {
    auto copy = std::make_shared<boost::json::value>(*engine.root, boost::json::storage_ptr());
    if (engine.throughJson) NormaliseAsJson(*copy);
    engine.tree = std::move(copy);
    engine.root = engine.tree.get();
    engine.throughJson = false;
  } else {
    // Pairs with the release of the last other holder, whose reads must be over.
    std::atomic_thread_fence(std::memory_order_acquire);
  }
  return engine.root;
}

ScriptValue RootValue(const Engine& engine) {
  return engine.root ? ScriptValue::Of(*engine.root, engine.throughJson) : ScriptValue();
}

PathStep IndexStep(int index) {
  return PathStep{true, JsNumberText(index), static_cast<double>(index)};
}

// The element slot `index` of an array for assignment, growing the array up to it.
boost::json::value* ElementSlot(boost::json::array& array, double index) {
  if (index < 0) return nullptr;  // a named property of the array: JSON has no place for it
  if (index < static_cast<double>(array.size())) return &array[static_cast<std::size_t>(index)];
  if (index - static_cast<double>(array.size()) > kMaxFilledGap) return nullptr;
  array.resize(static_cast<std::size_t>(index) + 1);
  return &array.back();
}

// The value that holds the last step of `path`, when it is an object or an array; null when
// the script would throw (a step below an absent or null value) or store nothing (a member of
// a string, number or boolean).
boost::json::value* Container(boost::json::value& root, const Path& path) {
  boost::json::value* current = &root;
  for (std::size_t i = 0; i + 1 < path.size() && current; ++i) {
    const PathStep& step = path[i];
    if (auto* object = current->if_object()) {
      current = object->if_contains(step.key);
    } else if (auto* array = current->if_array()) {
      current = step.subscript && step.index < static_cast<double>(array->size())
                    ? &(*array)[static_cast<std::size_t>(step.index)]
                    : nullptr;
    } else {
      current = nullptr;
    }
  }
  if (current && (current->is_object() || current->is_array())) return current;
  return nullptr;
}

// The slot that an assignment to `step` of `container` writes, created (null) when absent.
// A named member of an array has no slot: JSON keeps only an array's elements.
boost::json::value* Slot(boost::json::value& container, const PathStep& step) {
  if (auto* object = container.if_object()) return &(*object)[step.key];
  if (step.subscript) return ElementSlot(container.get_array(), step.index);
  return nullptr;
}

// The slot for root + path, or null when the assignment stores nothing.
boost::json::value* PathSlot(Engine* engine, std::string_view pathCp936) {
  if (!engine) return nullptr;
  const auto path = ParsePath(text::Cp936ToUtf8(pathCp936), false);
  if (!path) return nullptr;
  boost::json::value* root = WritableRoot(*engine);
  if (!root) return nullptr;
  boost::json::value* container = Container(*root, *path);
  return container ? Slot(*container, path->back()) : nullptr;
}

}  // namespace

JsonDocument::JsonDocument() = default;

JsonDocument::JsonDocument(std::shared_ptr<detail::Engine> engine) : engine_(std::move(engine)) {}

void JsonDocument::ReleaseEngine() {
  engine_.reset();
}

void JsonDocument::ResetEngine() {
  engine_ = EngineWith(boost::json::value(boost::json::object()));
}

bool JsonDocument::Parse(std::string_view text) {
  ParsedText parsed = ParseJsonText(text::Cp936ToUtf8(text), true);
  switch (parsed.outcome) {
    case Outcome::kUndefined:
      engine_ = EngineWith(std::nullopt);
      return false;
    case Outcome::kFailed:
      engine_ = EngineWith(boost::json::value(nullptr));
      return false;
    case Outcome::kValue:
      break;
  }
  const bool isNull = parsed.value->is_null();
  engine_ = EngineWith(std::move(parsed.value));
  return !isNull;
}

namespace {

// root + dot + path, read; nothing when there is no tree, the path has the wrong form or a step
// throws.
std::optional<ScriptValue> Read(const Engine* engine, std::string_view pathCp936,
                                bool mayStartWithSubscript) {
  if (!engine) return std::nullopt;
  const auto path = ParsePath(text::Cp936ToUtf8(pathCp936), mayStartWithSubscript);
  if (!path) return std::nullopt;
  return Evaluate(RootValue(*engine), *path);
}

// The optional-path target: the root for an empty path, otherwise root + "." + path.
std::optional<ScriptValue> ReadTarget(const Engine* engine, std::string_view pathCp936) {
  if (!engine) return std::nullopt;
  if (pathCp936.empty()) return RootValue(*engine);
  return Read(engine, pathCp936, false);
}

}  // namespace

std::string JsonDocument::ToJson() const {
  if (!engine_) return {};
  return text::Utf8ToCp936(ScriptJson(RootValue(*engine_)));
}

void JsonDocument::SetText(std::string_view path, std::string_view value) {
  if (auto* slot = PathSlot(engine_.get(), path)) {
    *slot = boost::json::string_view(text::Cp936ToUtf8(value));
  }
}

void JsonDocument::SetJson(std::string_view path, std::string_view json) {
  ParsedText parsed = ParseJsonText(text::Cp936ToUtf8(json), true);
  if (parsed.outcome == Outcome::kFailed) return;  // the script throws before it assigns
  if (parsed.outcome == Outcome::kValue) {
    if (auto* slot = PathSlot(engine_.get(), path)) *slot = std::move(*parsed.value);
    return;
  }
  // Undefined: an object member that holds undefined is left out of JSON and reads as absent,
  // so it is removed (keeping the other members' order); an array element becomes null.
  if (!engine_) return;
  const auto steps = ParsePath(text::Cp936ToUtf8(path), false);
  if (!steps) return;
  boost::json::value* root = WritableRoot(*engine_);
  boost::json::value* container = root ? Container(*root, *steps) : nullptr;
  if (!container) return;
  if (auto* object = container->if_object()) {
    object->stable_erase(steps->back().key);
  } else if (auto* slot = Slot(*container, steps->back())) {
    *slot = nullptr;
  }
}

void JsonDocument::SetNumber(std::string_view path, double number) {
  if (!std::isfinite(number)) return;
  if (auto* slot = PathSlot(engine_.get(), path)) *slot = number == 0 ? 0.0 : number;
}

double JsonDocument::GetNumber(std::string_view path) const {
  const auto value = Read(engine_.get(), path, false);
  return value ? ScriptNumber(*value) : 0;
}

std::string JsonDocument::GetJson(std::string_view path) const {
  const auto value = Read(engine_.get(), path, false);
  return value ? text::Utf8ToCp936(ScriptJson(*value)) : std::string();
}

std::string JsonDocument::GetText(std::string_view path, bool asJson) const {
  const auto value = Read(engine_.get(), path, true);
  if (!value) return {};
  return text::Utf8ToCp936(asJson ? ScriptJson(*value) : ScriptText(*value));
}

namespace {

// The document that serialising `value` and parsing the text would give, without either: a
// string is parsed as the script's eval would read its content; numbers, booleans, null,
// objects and arrays share the parent's tree, read as values that came through JSON text.
std::shared_ptr<Engine> SubEngine(const Engine* parent, const std::optional<ScriptValue>& value) {
  if (!value || value->kind() == ScriptKind::kUndefined) return EngineWith(std::nullopt);
  if (value->kind() == ScriptKind::kString) {
    ParsedText parsed = ParseJsonText(value->tree()->get_string(), false);
    switch (parsed.outcome) {
      case Outcome::kUndefined:
        return EngineWith(std::nullopt);
      case Outcome::kFailed:
        return EngineWith(boost::json::value(nullptr));
      case Outcome::kValue:
        return EngineWith(std::move(parsed.value));
    }
  }
  if (value->tree() == nullptr) return EngineWith(boost::json::value(value->number()));
  auto engine = std::make_shared<Engine>();
  engine->tree = parent->tree;
  engine->root = const_cast<boost::json::value*>(value->tree());  // changed only once unshared
  engine->throughJson = true;
  return engine;
}

}  // namespace

JsonDocument JsonDocument::GetObject(std::string_view path) const {
  return JsonDocument(SubEngine(engine_.get(), Read(engine_.get(), path, true)));
}

int JsonDocument::GetArrayLength(std::string_view path) const {
  const auto target = ReadTarget(engine_.get(), path);
  if (!target) return 0;
  const auto length = Member(*target, PathStep{false, "length", 0});
  if (!length) return 0;
  const double number = std::trunc(ScriptNumber(*length));
  // A value that no integer holds converts to nothing, which reads as 0.
  if (!(number >= std::numeric_limits<int>::min() && number <= std::numeric_limits<int>::max())) {
    return 0;
  }
  return static_cast<int>(number);
}

void JsonDocument::AppendToArray(std::string_view value, std::string_view path, bool raw) {
  if (!engine_) return;
  auto item = ValueToStore(value, raw);
  if (!item) return;
  boost::json::value* target = nullptr;
  if (path.empty()) {
    if (!engine_->root || !engine_->root->is_array()) {
      ReplaceRoot(*engine_, boost::json::array());
    }
    target = WritableRoot(*engine_);
  } else {
    target = PathSlot(engine_.get(), path);
    if (!target) return;
    if (!target->is_array()) *target = boost::json::array();
  }
  target->get_array().push_back(std::move(*item));
}

JsonDocument JsonDocument::GetArrayItem(int index, std::string_view path) const {
  const auto target = ReadTarget(engine_.get(), path);
  const auto item = target ? Member(*target, IndexStep(index)) : std::nullopt;
  return JsonDocument(SubEngine(engine_.get(), item));
}

std::string JsonDocument::GetArrayItemText(int index, std::string_view path, bool asJson) const {
  const auto target = ReadTarget(engine_.get(), path);
  const auto item = target ? Member(*target, IndexStep(index)) : std::nullopt;
  if (!item) return {};
  return text::Utf8ToCp936(asJson ? ScriptJson(*item) : ScriptText(*item));
}

void JsonDocument::SetArrayItem(int index, std::string_view value, bool raw) {
  if (!engine_) return;
  auto item = ValueToStore(value, raw);
  if (!item) return;
  boost::json::value* root = WritableRoot(*engine_);
  if (!root || !(root->is_object() || root->is_array())) return;
  if (auto* slot = Slot(*root, IndexStep(index))) *slot = std::move(*item);
}

void JsonDocument::RemoveArrayItem(int index) {
  if (!engine_ || !engine_->root || !engine_->root->is_array()) return;
  auto& array = WritableRoot(*engine_)->get_array();
  // splice(index, 1): a negative start counts from the end.
  const long long size = static_cast<long long>(array.size());
  long long start = index < 0 ? std::max<long long>(size + index, 0) : index;
  if (start < size) array.erase(array.begin() + start);
}

void JsonDocument::ResetRoot(int type) {
  if (!engine_) return;
  if (type == 0 || type == 4) ReplaceRoot(*engine_, boost::json::object());
  if (type == 5) ReplaceRoot(*engine_, boost::json::array());
}

void JsonDocument::SetRoot(std::string_view value, bool raw) {
  if (!engine_) return;
  if (auto item = ValueToStore(value, raw)) ReplaceRoot(*engine_, std::move(*item));
}

bool JsonDocument::Exists(std::string_view path) const {
  const auto value = Read(engine_.get(), path, false);
  return value && !value->IsNullish();
}

void JsonDocument::GetKeys(std::vector<std::string>& keys, std::string_view path) const {
  keys.clear();
  const auto target = ReadTarget(engine_.get(), path);
  if (!target || target->tree() == nullptr) return;
  if (const auto* object = target->tree()->if_object()) {
    keys.reserve(object->size());
    for (const auto& member : *object) keys.push_back(text::Utf8ToCp936(member.key()));
  } else if (const auto* array = target->tree()->if_array()) {
    keys.reserve(array->size());
    for (std::size_t i = 0; i < array->size(); ++i) keys.push_back(std::to_string(i));
  }
}

int JsonDocument::GetType(std::string_view path) const {
  const auto target = ReadTarget(engine_.get(), path);
  if (!target) return 0;
  switch (target->kind()) {
    case ScriptKind::kUndefined:
    case ScriptKind::kNull:
      return 0;
    case ScriptKind::kNumber:
      return 2;
    case ScriptKind::kArray:
      return 5;
    case ScriptKind::kString:
      return 6;
    case ScriptKind::kBoolean:
    case ScriptKind::kObject:
      return 4;
  }
  return 0;
}

JsonDocument JsonDocument::GetObjectBySerialising(std::string_view path) const {
  JsonDocument document;
  document.Parse(GetText(path, true));
  return document;
}

JsonDocument JsonDocument::GetArrayItemBySerialising(int index, std::string_view path) const {
  JsonDocument document;
  document.Parse(GetArrayItemText(index, path, true));
  return document;
}

}  // namespace corvane::json
