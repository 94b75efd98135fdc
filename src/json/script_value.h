// Values as the document's script engine read them: the JSON kinds plus undefined, every number
// a double, and member steps with the script's rules (a member of undefined or null throws; a
// member of any other primitive is undefined; arrays and strings have a "length").
#pragma once

#include <boost/json/value.hpp>
#include <optional>
#include <string>
#include <string_view>

#include "json/json_path.h"

namespace corvane::json {

enum class ScriptKind { kUndefined, kNull, kBoolean, kNumber, kString, kObject, kArray };

// A tree number as the script holds it: integers that the parser kept as int64 or uint64
// become doubles.
inline double TreeNumber(const boost::json::value& value) {
  switch (value.kind()) {
    case boost::json::kind::int64:
      return static_cast<double>(value.get_int64());
    case boost::json::kind::uint64:
      return static_cast<double>(value.get_uint64());
    case boost::json::kind::double_:
      return value.get_double();
    default:
      return 0;
  }
}

class ScriptValue {
 public:
  ScriptValue() = default;  // undefined

  // `throughJson`: the value reached its document as JSON text (a sub-document), where a
  // number that is not finite became null and -0 became 0; it reads so.
  static ScriptValue Of(const boost::json::value& value, bool throughJson);
  // A value the tree does not hold, such as the length of an array.
  static ScriptValue Number(double number);

  ScriptKind kind() const { return kind_; }
  bool IsNullish() const { return kind_ == ScriptKind::kUndefined || kind_ == ScriptKind::kNull; }
  // The value in the tree; null for undefined and for numbers the tree does not hold.
  const boost::json::value* tree() const { return tree_; }
  double number() const { return number_; }
  bool throughJson() const { return throughJson_; }

 private:
  ScriptKind kind_ = ScriptKind::kUndefined;
  const boost::json::value* tree_ = nullptr;
  double number_ = 0;
  bool throughJson_ = false;
};

// One member step; nothing when the script throws, i.e. when `base` is undefined or null.
// A subscript on a string is undefined (the engine does not index strings), and so is every
// named member of an array but "length". Members inherited from the script's prototypes
// (toString, constructor ...) are no JSON values and read as undefined.
std::optional<ScriptValue> Member(const ScriptValue& base, const PathStep& step);

// The value of root + path, or nothing when a step throws.
std::optional<ScriptValue> Evaluate(const ScriptValue& root, const Path& path);

// The text a value reads as (UTF-8): the string itself, a number in the script's form,
// "true"/"false" for a boolean (our platform's choice of conversion: the script's own
// String(value)), "[object Object]" for an object and, for an array, its elements' texts joined
// by "," with null and undefined elements as empty text (String(value) again). Undefined and
// null read as empty text.
std::string ScriptText(const ScriptValue& value);

// The number a value reads as: numbers themselves, numeric strings converted (see
// NumericTextValue), true 1 and false 0 (the script's Number(value)), everything else 0.
double ScriptNumber(const ScriptValue& value);

// JSON.stringify(value) as UTF-8 text; empty text for undefined.
std::string ScriptJson(const ScriptValue& value);

// The length the script gives a string: UTF-16 code units.
std::size_t Utf16Length(std::string_view utf8);

}  // namespace corvane::json
