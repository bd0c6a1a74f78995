#pragma once

// A JSON value for the small records the program writes and reads back (the run record of a
// result folder). Objects keep their members in insertion order, so that a record is written
// the same way every time.

#include <cstddef>
#include <string>
#include <string_view>
#include <type_traits>
#include <utility>
#include <variant>
#include <vector>

namespace tavora {

class TJsonValue {
 public:
  using TArray = std::vector<TJsonValue>;
  using TObject = std::vector<std::pair<std::string, TJsonValue>>;

  TJsonValue() = default;  // null
  TJsonValue(std::nullptr_t) {}
  TJsonValue(bool value) : value_(value) {}
  TJsonValue(double value) : value_(value) {}
  // Integers are held as numbers (exact up to 2^53).
  template <class T>
  requires(std::is_integral_v<T> && !std::is_same_v<T, bool>) TJsonValue(T value)
      : value_(static_cast<double>(value)) {}
  TJsonValue(std::string value) : value_(std::move(value)) {}
  TJsonValue(const char* value) : value_(std::string(value)) {}
  TJsonValue(TArray value) : value_(std::move(value)) {}
  TJsonValue(TObject value) : value_(std::move(value)) {}

  [[nodiscard]] static TJsonValue Object() { return TJsonValue(TObject{}); }
  [[nodiscard]] static TJsonValue Array() { return TJsonValue(TArray{}); }

  [[nodiscard]] bool IsNull() const { return value_.index() == 0; }
  [[nodiscard]] bool IsBool() const { return std::holds_alternative<bool>(value_); }
  [[nodiscard]] bool IsNumber() const { return std::holds_alternative<double>(value_); }
  [[nodiscard]] bool IsString() const { return std::holds_alternative<std::string>(value_); }
  [[nodiscard]] bool IsArray() const { return std::holds_alternative<TArray>(value_); }
  [[nodiscard]] bool IsObject() const { return std::holds_alternative<TObject>(value_); }

  // The value of its kind; std::runtime_error when it is of another kind.
  [[nodiscard]] bool AsBool() const;
  [[nodiscard]] double AsNumber() const;
  [[nodiscard]] const std::string& AsString() const;
  [[nodiscard]] const TArray& AsArray() const;
  [[nodiscard]] const TObject& AsObject() const;

  // The member of an object; nullptr when there is none or this is not an object.
  [[nodiscard]] const TJsonValue* Find(std::string_view key) const;
  // Sets a member of an object (replacing one of the same key), or appends to an array.
  void Set(std::string key, TJsonValue value);
  void Push(TJsonValue value);

  // The value as JSON text, indented by two spaces, ending without a line break. Strings are
  // written as UTF-8; ill-formed UTF-8 in them becomes U+FFFD.
  [[nodiscard]] std::string Dump() const;

  // Parses JSON text (RFC 8259; nesting at most 64 deep). Throws std::runtime_error
  // "line L: PROBLEM" for text that is not JSON.
  [[nodiscard]] static TJsonValue Parse(std::string_view text);

  friend bool operator==(const TJsonValue&, const TJsonValue&) = default;

 private:
  void DumpTo(std::string& out, int indent) const;

  std::variant<std::monostate, bool, double, std::string, TArray, TObject> value_;
};

}  // namespace tavora
