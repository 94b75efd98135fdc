// Reading values and member steps as the script engine does.
#include "json/script_value.h"

#include <cmath>

#include "json/json_writer.h"
#include "json/number_text.h"

namespace corvane::json {

ScriptValue ScriptValue::Of(const boost::json::value& value, bool throughJson) {
  ScriptValue result;
  result.tree_ = &value;
  result.throughJson_ = throughJson;
  switch (value.kind()) {
    case boost::json::kind::null:
      result.kind_ = ScriptKind::kNull;
      break;
    case boost::json::kind::bool_:
      result.kind_ = ScriptKind::kBoolean;
      break;
    case boost::json::kind::int64:
    case boost::json::kind::uint64:
    case boost::json::kind::double_:
      result.number_ = TreeNumber(value);
      result.kind_ = ScriptKind::kNumber;
      if (throughJson && !std::isfinite(result.number_)) {
        result.kind_ = ScriptKind::kNull;
        result.number_ = 0;
      } else if (throughJson && result.number_ == 0) {
        result.number_ = 0;  // -0 came through JSON text as 0
      }
      break;
    case boost::json::kind::string:
      result.kind_ = ScriptKind::kString;
      break;
    case boost::json::kind::array:
      result.kind_ = ScriptKind::kArray;
      break;
    case boost::json::kind::object:
      result.kind_ = ScriptKind::kObject;
      break;
  }
  return result;
}

ScriptValue ScriptValue::Number(double number) {
  ScriptValue result;
  result.kind_ = ScriptKind::kNumber;
  result.number_ = number;
  return result;
}

std::size_t Utf16Length(std::string_view utf8) {
  std::size_t units = 0;
  for (const char c : utf8) {
    const unsigned char b = static_cast<unsigned char>(c);
    if ((b & 0xC0) != 0x80) ++units;  // a lead byte starts a character
    if (b >= 0xF0) ++units;           // four-byte characters take a surrogate pair
  }
  return units;
}

std::optional<ScriptValue> Member(const ScriptValue& base, const PathStep& step) {
  switch (base.kind()) {
    case ScriptKind::kUndefined:
    case ScriptKind::kNull:
      return std::nullopt;
    case ScriptKind::kString:
      if (!step.subscript && step.key == "length") {
        return ScriptValue::Number(static_cast<double>(Utf16Length(base.tree()->get_string())));
      }
      return ScriptValue();
    case ScriptKind::kArray: {
      const auto& array = base.tree()->get_array();
      if (step.subscript) {
        if (step.index >= 0 && step.index < static_cast<double>(array.size())) {
          return ScriptValue::Of(array[static_cast<std::size_t>(step.index)], base.throughJson());
        }
        return ScriptValue();
      }
      if (step.key == "length") return ScriptValue::Number(static_cast<double>(array.size()));
      return ScriptValue();
    }
    case ScriptKind::kObject: {
      const auto* member = base.tree()->get_object().if_contains(step.key);
      return member ? ScriptValue::Of(*member, base.throughJson()) : ScriptValue();
    }
    case ScriptKind::kBoolean:
    case ScriptKind::kNumber:
      return ScriptValue();
  }
  return ScriptValue();
}

std::optional<ScriptValue> Evaluate(const ScriptValue& root, const Path& path) {
  std::optional<ScriptValue> current = root;
  for (const auto& step : path) {
    current = Member(*current, step);
    if (!current) return std::nullopt;
  }
  return current;
}

std::string ScriptText(const ScriptValue& value) {
  switch (value.kind()) {
    case ScriptKind::kUndefined:
    case ScriptKind::kNull:
      return {};
    case ScriptKind::kBoolean:
      return value.tree()->get_bool() ? "true" : "false";
    case ScriptKind::kNumber:
      return JsNumberText(value.number());
    case ScriptKind::kString:
      return std::string(value.tree()->get_string());
    case ScriptKind::kObject:
      return "[object Object]";
    case ScriptKind::kArray: {
      std::string text;
      bool first = true;
      for (const auto& element : value.tree()->get_array()) {
        if (!first) text += ',';
        first = false;
        text += ScriptText(ScriptValue::Of(element, value.throughJson()));
      }
      return text;
    }
  }
  return {};
}

double ScriptNumber(const ScriptValue& value) {
  switch (value.kind()) {
    case ScriptKind::kNumber:
      return value.number();
    case ScriptKind::kString:
      return NumericTextValue(value.tree()->get_string());
    case ScriptKind::kBoolean:
      return value.tree()->get_bool() ? 1 : 0;
    default:
      return 0;
  }
}

std::string ScriptJson(const ScriptValue& value) {
  if (value.kind() == ScriptKind::kUndefined) return {};
  if (value.tree() == nullptr) return JsNumberText(value.number());
  std::string text;
  AppendJson(text, *value.tree());
  return text;
}

}  // namespace corvane::json
