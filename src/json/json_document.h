// JsonDocument: one JSON value, the root, that answers path queries and takes changes. Texts
// at its interface are CP936; the tree holds UTF-8. Every query on a failed step, an absent
// value or a path of the wrong form yields its empty value (empty text, 0, false, an
// undefined-root document), and such a change does nothing.
//
// Paths are member expressions: property names joined by "." and subscripts [n], such as
// data.pageList[3].title. The operations join them to the root differently:
// - SetText, SetJson, SetNumber, GetNumber, GetJson and Exists put "." between the root and
//   the path, so the path must start with a name;
// - GetText and GetObject put "." there unless the path starts with "[" ("[1]" subscripts the
//   root); an empty path gives the empty value (ToJson reads the whole document);
// - GetArrayLength, AppendToArray, GetArrayItem, GetArrayItemText, GetKeys and GetType take an
//   optional path that starts with a name; an empty one addresses the root;
// - SetArrayItem, RemoveArrayItem, ResetRoot and SetRoot work on the root only.
//
// Copies share the tree: a change through one is seen through the other until one of them is
// parsed or reset again. Sub-documents (GetObject, GetArrayItem) behave as independent copies
// made through JSON text; they share the parent's tree without copying it, and whichever side
// is changed first takes a copy of its own, so no change through one is ever seen through the
// other. A document and its copies are used by one thread at a time; documents that only
// share a tree through sub-documents may be used on different threads.
//
// Type codes (GetType, ResetRoot): 0 null or undefined, 2 number, 4 object and every other
// value (booleans), 5 array, 6 string.
#pragma once

#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace corvane::json {

namespace detail {
struct Engine;
}

class JsonDocument {
 public:
  JsonDocument();  // no tree: every query yields its empty value, every change does nothing

  // Drops this document's tree; until the next Parse or ResetEngine it is as a new document.
  void ReleaseEngine();
  // A tree of its own whose root is {}.
  void ResetEngine();
  // The root becomes the value of the JSON text (a tree of its own). A text that is not JSON
  // leaves the root null; an empty text makes it undefined. A JSON string is read once more:
  // its content becomes the root ("\"[1]\"" gives [1]; "\"abc\"" gives null). True when the
  // root is neither null nor undefined.
  bool Parse(std::string_view text);
  // The whole document as compact JSON; empty text for an undefined root.
  std::string ToJson() const;

  // Stores the text as a string, whatever quotes, backslashes or line breaks it holds.
  void SetText(std::string_view path, std::string_view value);
  // Stores the value of a JSON text, read as Parse reads it; a text that is not JSON changes
  // nothing, and an empty one removes the member.
  void SetJson(std::string_view path, std::string_view json);
  // A number that is not finite has no JSON form and changes nothing; -0 is stored as 0.
  void SetNumber(std::string_view path, double number);
  double GetNumber(std::string_view path) const;
  std::string GetJson(std::string_view path) const;
  std::string GetText(std::string_view path, bool asJson = false) const;
  JsonDocument GetObject(std::string_view path) const;
  int GetArrayLength(std::string_view path = {}) const;
  // A target that is not an array, an absent one included, becomes an array first. With
  // `raw` the value is read as a JSON value (a number, true, an object ...) and an invalid one
  // changes nothing; without it the text is stored as a string.
  void AppendToArray(std::string_view value, std::string_view path = {}, bool raw = false);
  JsonDocument GetArrayItem(int index, std::string_view path = {}) const;
  std::string GetArrayItemText(int index, std::string_view path = {}, bool asJson = false) const;
  void SetArrayItem(int index, std::string_view value, bool raw = false);
  // Removes one element of the root array; a negative index counts from the end.
  void RemoveArrayItem(int index);
  // 0 or 4: {}; 5: []; any other type changes nothing.
  void ResetRoot(int type);
  void SetRoot(std::string_view value, bool raw = false);
  bool Exists(std::string_view path) const;
  // Replaces `keys` by the target's member names (indexes for an array), each whole.
  void GetKeys(std::vector<std::string>& keys, std::string_view path = {}) const;
  int GetType(std::string_view path = {}) const;

  // GetObject and GetArrayItem done literally: the selected value is written as JSON text and
  // parsed into a new document. Same results, at the cost of a copy; they exist only as the
  // baseline of the collection benchmark.
  JsonDocument GetObjectBySerialising(std::string_view path) const;
  JsonDocument GetArrayItemBySerialising(int index, std::string_view path = {}) const;

 private:
  explicit JsonDocument(std::shared_ptr<detail::Engine> engine);

  std::shared_ptr<detail::Engine> engine_;
};

}  // namespace corvane::json
