#include "base/TJsonValue.h"

#include <charconv>
#include <cmath>
#include <cstdio>
#include <stdexcept>

#include "base/Utf8.h"

namespace tavora {

namespace {

constexpr int kMaxDepth = 64;

[[noreturn]] void WrongKind(const char* wanted) {
  throw std::runtime_error(std::string("a JSON ") + wanted + " was expected");
}

bool IsAscii(std::string_view s) {
  for (const char c : s)
    if (static_cast<unsigned char>(c) >= 0x80) return false;
  return true;
}

void DumpString(std::string& out, std::string_view raw) {
  // Ill-formed UTF-8 (a file name of another encoding) is repaired on the way through UTF-16.
  const std::string repaired = IsAscii(raw) ? std::string() : Utf16ToUtf8(Utf8ToUtf16(raw));
  const std::string_view s = IsAscii(raw) ? raw : std::string_view(repaired);
  out += '"';
  for (const char c : s) {
    switch (c) {
      case '"':
        out += "\\\"";
        break;
      case '\\':
        out += "\\\\";
        break;
      case '\n':
        out += "\\n";
        break;
      case '\r':
        out += "\\r";
        break;
      case '\t':
        out += "\\t";
        break;
      default:
        if (static_cast<unsigned char>(c) < 0x20) {
          char escaped[8];
          std::snprintf(escaped, sizeof escaped, "\\u%04x", static_cast<unsigned>(c));
          out += escaped;
        } else {
          out += c;
        }
    }
  }
  out += '"';
}

void DumpNumber(std::string& out, double value) {
  if (!std::isfinite(value)) {
    out += "null";  // JSON has no such numbers
    return;
  }
  char digits[32];
  const auto end =
      std::abs(value) < 9007199254740992.0 && value == std::floor(value)
          ? std::to_chars(digits, digits + sizeof digits, static_cast<long long>(value)).ptr
          : std::to_chars(digits, digits + sizeof digits, value).ptr;
  out.append(digits, end);
}

void NewLine(std::string& out, int indent) {
  out += '\n';
  out.append(static_cast<std::size_t>(indent) * 2, ' ');
}

// A recursive-descent reader over the whole text.
class TParser {
 public:
  explicit TParser(std::string_view text) : text_(text) {}

  TJsonValue Document() {
    TJsonValue value = Value(0);
    SkipSpace();
    if (pos_ != text_.size()) Fail("text follows the value");
    return value;
  }

 private:
  [[noreturn]] void Fail(const std::string& problem) const {
    std::size_t line = 1;
    for (std::size_t i = 0; i < pos_ && i < text_.size(); ++i) line += text_[i] == '\n';
    throw std::runtime_error("line " + std::to_string(line) + ": " + problem);
  }

  void SkipSpace() {
    while (pos_ < text_.size() && (text_[pos_] == ' ' || text_[pos_] == '\t' ||
                                   text_[pos_] == '\n' || text_[pos_] == '\r'))
      ++pos_;
  }

  bool Take(std::string_view word) {
    if (text_.substr(pos_, word.size()) != word) return false;
    pos_ += word.size();
    return true;
  }

  TJsonValue Value(int depth) {
    if (depth > kMaxDepth) Fail("values are nested too deeply");
    SkipSpace();
    if (pos_ >= text_.size()) Fail("a value was expected");
    const char c = text_[pos_];
    if (c == '{') return ObjectValue(depth);
    if (c == '[') return ArrayValue(depth);
    if (c == '"') return TJsonValue(String());
    if (Take("true")) return TJsonValue(true);
    if (Take("false")) return TJsonValue(false);
    if (Take("null")) return TJsonValue();
    return TJsonValue(Number());
  }

  TJsonValue ObjectValue(int depth) {
    ++pos_;
    TJsonValue::TObject members;
    SkipSpace();
    if (Take("}")) return TJsonValue(std::move(members));
    for (;;) {
      SkipSpace();
      if (pos_ >= text_.size() || text_[pos_] != '"') Fail("a member name was expected");
      std::string key = String();
      SkipSpace();
      if (!Take(":")) Fail("\":\" was expected");
      members.emplace_back(std::move(key), Value(depth + 1));
      SkipSpace();
      if (Take("}")) return TJsonValue(std::move(members));
      if (!Take(",")) Fail("\",\" or \"}\" was expected");
    }
  }

  TJsonValue ArrayValue(int depth) {
    ++pos_;
    TJsonValue::TArray items;
    SkipSpace();
    if (Take("]")) return TJsonValue(std::move(items));
    for (;;) {
      items.push_back(Value(depth + 1));
      SkipSpace();
      if (Take("]")) return TJsonValue(std::move(items));
      if (!Take(",")) Fail("\",\" or \"]\" was expected");
    }
  }

  double Number() {
    const std::size_t start = pos_;
    if (pos_ < text_.size() && text_[pos_] == '-') ++pos_;
    while (pos_ < text_.size() &&
           std::string_view("0123456789.eE+-").find(text_[pos_]) != std::string_view::npos)
      ++pos_;
    double value = 0;
    const auto [end, ec] = std::from_chars(text_.data() + start, text_.data() + pos_, value);
    if (pos_ == start || ec != std::errc() || end != text_.data() + pos_) {
      pos_ = start;
      Fail("a value was expected");
    }
    return value;
  }

  unsigned Hex4() {
    unsigned value = 0;
    if (pos_ + 4 > text_.size()) Fail("\\u needs four hexadecimal digits");
    const auto [end, ec] = std::from_chars(text_.data() + pos_, text_.data() + pos_ + 4, value, 16);
    if (ec != std::errc() || end != text_.data() + pos_ + 4)
      Fail("\\u needs four hexadecimal digits");
    pos_ += 4;
    return value;
  }

  void Escape(std::string& out) {
    if (pos_ >= text_.size()) Fail("the string is not closed");
    const char c = text_[pos_++];
    switch (c) {
      case '"':
      case '\\':
      case '/':
        out += c;
        return;
      case 'b':
        out += '\b';
        return;
      case 'f':
        out += '\f';
        return;
      case 'n':
        out += '\n';
        return;
      case 'r':
        out += '\r';
        return;
      case 't':
        out += '\t';
        return;
      case 'u':
        break;
      default:
        Fail("unknown escape");
    }
    char32_t cp = Hex4();
    if (cp >= 0xD800 && cp < 0xDC00 && text_.substr(pos_, 2) == "\\u") {
      const std::size_t back = pos_;
      pos_ += 2;
      const unsigned low = Hex4();
      if (low >= 0xDC00 && low < 0xE000) {
        cp = 0x10000 + ((cp - 0xD800) << 10) + (low - 0xDC00);
      } else {
        pos_ = back;
      }
    }
    AppendCodePointUtf8(out, cp >= 0xD800 && cp < 0xE000 ? char32_t{0xFFFD} : cp);
  }

  std::string String() {
    ++pos_;  // the opening quote
    std::string out;
    for (;;) {
      if (pos_ >= text_.size()) Fail("the string is not closed");
      const char c = text_[pos_++];
      if (c == '"') return out;
      if (c == '\\') {
        Escape(out);
      } else if (static_cast<unsigned char>(c) < 0x20) {
        Fail("a control character stands in a string");
      } else {
        out += c;
      }
    }
  }

  std::string_view text_;
  std::size_t pos_ = 0;
};

}  // namespace

bool TJsonValue::AsBool() const {
  if (!IsBool()) WrongKind("true or false");
  return std::get<bool>(value_);
}

double TJsonValue::AsNumber() const {
  if (!IsNumber()) WrongKind("number");
  return std::get<double>(value_);
}

const std::string& TJsonValue::AsString() const {
  if (!IsString()) WrongKind("string");
  return std::get<std::string>(value_);
}

const TJsonValue::TArray& TJsonValue::AsArray() const {
  if (!IsArray()) WrongKind("array");
  return std::get<TArray>(value_);
}

const TJsonValue::TObject& TJsonValue::AsObject() const {
  if (!IsObject()) WrongKind("object");
  return std::get<TObject>(value_);
}

const TJsonValue* TJsonValue::Find(std::string_view key) const {
  if (!IsObject()) return nullptr;
  for (const auto& [name, value] : std::get<TObject>(value_))
    if (name == key) return &value;
  return nullptr;
}

void TJsonValue::Set(std::string key, TJsonValue value) {
  if (!IsObject()) WrongKind("object");
  for (auto& [name, member] : std::get<TObject>(value_)) {
    if (name == key) {
      member = std::move(value);
      return;
    }
  }
  std::get<TObject>(value_).emplace_back(std::move(key), std::move(value));
}

void TJsonValue::Push(TJsonValue value) {
  if (!IsArray()) WrongKind("array");
  std::get<TArray>(value_).push_back(std::move(value));
}

std::string TJsonValue::Dump() const {
  std::string out;
  DumpTo(out, 0);
  return out;
}

void TJsonValue::DumpTo(std::string& out, int indent) const {
  if (IsNull()) {
    out += "null";
  } else if (IsBool()) {
    out += std::get<bool>(value_) ? "true" : "false";
  } else if (IsNumber()) {
    DumpNumber(out, std::get<double>(value_));
  } else if (IsString()) {
    DumpString(out, std::get<std::string>(value_));
  } else if (IsArray()) {
    const TArray& items = std::get<TArray>(value_);
    out += '[';
    for (std::size_t i = 0; i < items.size(); ++i) {
      if (i > 0) out += ',';
      NewLine(out, indent + 1);
      items[i].DumpTo(out, indent + 1);
    }
    if (!items.empty()) NewLine(out, indent);
    out += ']';
  } else {
    const TObject& members = std::get<TObject>(value_);
    out += '{';
    for (std::size_t i = 0; i < members.size(); ++i) {
      if (i > 0) out += ',';
      NewLine(out, indent + 1);
      DumpString(out, members[i].first);
      out += ": ";
      members[i].second.DumpTo(out, indent + 1);
    }
    if (!members.empty()) NewLine(out, indent);
    out += '}';
  }
}

TJsonValue TJsonValue::Parse(std::string_view text) { return TParser(text).Document(); }

}  // namespace tavora
