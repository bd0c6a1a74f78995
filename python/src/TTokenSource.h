#pragma once

// The tokens of a Python object, read without the GIL. Three shapes are accepted:
// - one str, split at a separator (runs of white space when none is given, as str.split);
// - a one-dimensional NumPy array of str (dtype kind "U"), read in place;
// - any other iterable of str: a tuple is held as it is, anything else is first copied
//   into a tuple (one pass with the GIL; the copy keeps the items alive and unchanged
//   while the GIL is released).
// Items are read in Python's own storage (Latin-1, UCS-2 or UCS-4) and handed on as
// UTF-16, the engine's strings: UCS-2 text is passed as it stands, the others are widened
// into one buffer that keeps its capacity.
//
// Construction and destruction need the GIL; ForEach does not, and must not hold it for
// long (it reads only objects this source keeps alive).

#include <pybind11/pybind11.h>

#include <Python.h>

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace tavora::python {

namespace py = pybind11;

class TTokenSource {
 public:
  // Throws py::type_error for anything but the shapes above (naming the first item that
  // is not a str), std::invalid_argument for an empty separator.
  TTokenSource(py::handle Tokens, py::handle Separator);

  // At least the number of non-empty tokens ForEach yields.
  [[nodiscard]] std::size_t MaxTokens() const { return maxTokens_; }
  // Whether MaxTokens is the number of items (a str split at a separator has fewer
  // tokens than the bound).
  [[nodiscard]] bool CountsItems() const { return shape_ != TShape::Split; }

  // Calls Feed(std::u16string_view) for every token in order; empty tokens may be among
  // them. A view is valid during its call only.
  template <typename F>
  void ForEach(F&& Feed);

 private:
  enum class TShape { Items, Array, Split };

  void ReadItems(py::handle Tokens);
  void ReadArray(py::handle Tokens);
  void ReadSplit(py::handle Text, py::handle Separator);

  // One str in UTF-16: a view of its own storage (UCS-2) or of buffer_.
  std::u16string_view Utf16(PyObject* Str);
  std::u16string_view WidenLatin1(const std::uint8_t* Data, std::size_t Length);
  std::u16string_view WidenUcs4(const std::uint32_t* Data, std::size_t Length);
  template <typename TUnit, typename F>
  void SplitUnits(const TUnit* Data, std::size_t Length, F& Feed);
  template <typename TUnit>
  std::u16string_view Piece(const TUnit* Data, std::size_t Length);

  TShape shape_ = TShape::Items;
  py::object held_;  // the tuple, array or str read
  std::size_t maxTokens_ = 0;
  // Array: first element, element count, stride and width in bytes.
  const char* arrayData_ = nullptr;
  std::size_t arrayCount_ = 0;
  std::ptrdiff_t arrayStride_ = 0;
  std::size_t arrayWidth_ = 0;
  // Split: the separator's code points; empty for white space.
  std::vector<std::uint32_t> separator_;
  std::u16string buffer_;
};

template <typename F>
void TTokenSource::ForEach(F&& Feed) {
  switch (shape_) {
    case TShape::Items: {
      PyObject* tuple = held_.ptr();
      const Py_ssize_t n = PyTuple_GET_SIZE(tuple);
      for (Py_ssize_t i = 0; i < n; ++i) Feed(Utf16(PyTuple_GET_ITEM(tuple, i)));
      break;
    }
    case TShape::Array: {
      const std::size_t units = arrayWidth_ / 4;
      for (std::size_t i = 0; i < arrayCount_; ++i) {
        const auto* item = reinterpret_cast<const std::uint32_t*>(
            arrayData_ + static_cast<std::ptrdiff_t>(i) * arrayStride_);
        // NumPy pads shorter strings with NUL code points.
        std::size_t length = units;
        while (length > 0 && item[length - 1] == 0) --length;
        Feed(WidenUcs4(item, length));
      }
      break;
    }
    case TShape::Split: {
      PyObject* text = held_.ptr();
      const auto length = static_cast<std::size_t>(PyUnicode_GET_LENGTH(text));
      switch (PyUnicode_KIND(text)) {
        case PyUnicode_1BYTE_KIND:
          SplitUnits(PyUnicode_1BYTE_DATA(text), length, Feed);
          break;
        case PyUnicode_2BYTE_KIND:
          SplitUnits(PyUnicode_2BYTE_DATA(text), length, Feed);
          break;
        default:
          SplitUnits(PyUnicode_4BYTE_DATA(text), length, Feed);
          break;
      }
      break;
    }
  }
}

template <typename TUnit, typename F>
void TTokenSource::SplitUnits(const TUnit* Data, std::size_t Length, F& Feed) {
  std::size_t start = 0;
  if (separator_.empty()) {
    // Runs of white space, as str.split() without arguments.
    for (std::size_t i = 0; i < Length; ++i) {
      if (Py_UNICODE_ISSPACE(static_cast<Py_UCS4>(Data[i]))) {
        if (i > start) Feed(Piece(Data + start, i - start));
        start = i + 1;
      }
    }
    if (Length > start) Feed(Piece(Data + start, Length - start));
    return;
  }
  // Every occurrence of the separator ends a piece; the engine ignores empty pieces.
  const std::uint32_t first = separator_[0];
  const std::size_t sepLength = separator_.size();
  for (std::size_t i = 0; i + sepLength <= Length;) {
    bool match = Data[i] == first;
    for (std::size_t k = 1; match && k < sepLength; ++k) match = Data[i + k] == separator_[k];
    if (match) {
      Feed(Piece(Data + start, i - start));
      i += sepLength;
      start = i;
    } else {
      ++i;
    }
  }
  Feed(Piece(Data + start, Length - start));
}

template <typename TUnit>
std::u16string_view TTokenSource::Piece(const TUnit* Data, std::size_t Length) {
  if constexpr (sizeof(TUnit) == 1) {
    return WidenLatin1(Data, Length);
  } else if constexpr (sizeof(TUnit) == 2) {
    return {reinterpret_cast<const char16_t*>(Data), Length};
  } else {
    return WidenUcs4(Data, Length);
  }
}

}  // namespace tavora::python
