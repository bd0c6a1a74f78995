#include "TTokenSource.h"

#include <pybind11/numpy.h>

#include <stdexcept>
#include <string>

namespace tavora::python {

namespace {

// Whether NumPy is loaded; an object can only be an array when it is, and asking
// pybind11 otherwise would import it.
bool NumpyLoaded() {
  return py::module_::import("sys").attr("modules").cast<py::dict>().contains("numpy");
}

[[noreturn]] void NotAString(Py_ssize_t Index, PyObject* Item) {
  throw py::type_error("tokens must be str: item " + std::to_string(Index) + " is " +
                       std::string(Py_TYPE(Item)->tp_name));
}

// Makes a str readable through its canonical storage (a no-op since Python 3.12).
void Ready(Py_ssize_t Index, PyObject* Item) {
  if (!PyUnicode_Check(Item)) NotAString(Index, Item);
#if PY_VERSION_HEX < 0x030C0000
  if (PyUnicode_READY(Item) != 0) throw py::error_already_set();
#endif
}

}  // namespace

TTokenSource::TTokenSource(py::handle Tokens, py::handle Separator) {
  if (PyUnicode_Check(Tokens.ptr())) {
    ReadSplit(Tokens, Separator);
  } else if (!Separator.is_none()) {
    throw py::type_error("sep applies only to tokens given as one str");
  } else if (NumpyLoaded() && py::isinstance<py::array>(Tokens) &&
             Tokens.attr("dtype").attr("kind").cast<std::string>() == "U") {
    ReadArray(Tokens);
  } else {
    ReadItems(Tokens);
  }
}

void TTokenSource::ReadItems(py::handle Tokens) {
  shape_ = TShape::Items;
  if (PyList_Check(Tokens.ptr())) {
    // A list may change while the GIL is released: its items are copied (and checked in
    // the same pass).
    PyObject* list = Tokens.ptr();
    const Py_ssize_t n = PyList_GET_SIZE(list);
    held_ = py::reinterpret_steal<py::object>(PyTuple_New(n));
    if (!held_) throw py::error_already_set();
    for (Py_ssize_t i = 0; i < n; ++i) {
      PyObject* item = PyList_GET_ITEM(list, i);
      Ready(i, item);
      Py_INCREF(item);
      PyTuple_SET_ITEM(held_.ptr(), i, item);
    }
  } else {
    if (PyTuple_Check(Tokens.ptr())) {
      held_ = py::reinterpret_borrow<py::object>(Tokens);
    } else if (py::isinstance<py::iterable>(Tokens)) {
      held_ = py::reinterpret_steal<py::object>(PySequence_Tuple(Tokens.ptr()));
      if (!held_) throw py::error_already_set();
    } else {
      throw py::type_error(
          "tokens must be an iterable of str, a NumPy array of str or one str, not " +
          std::string(Py_TYPE(Tokens.ptr())->tp_name));
    }
    const Py_ssize_t n = PyTuple_GET_SIZE(held_.ptr());
    for (Py_ssize_t i = 0; i < n; ++i) Ready(i, PyTuple_GET_ITEM(held_.ptr(), i));
  }
  maxTokens_ = static_cast<std::size_t>(PyTuple_GET_SIZE(held_.ptr()));
}

void TTokenSource::ReadArray(py::handle Tokens) {
  shape_ = TShape::Array;
  auto array = py::reinterpret_borrow<py::array>(Tokens);
  if (array.ndim() != 1) {
    throw py::type_error("tokens: a NumPy array of str must be one-dimensional, not of " +
                         std::to_string(array.ndim()) + " dimensions");
  }
  // Code points in the machine's byte order.
  if (!array.dtype().attr("isnative").cast<bool>()) {
    array = array.attr("astype")(array.dtype().attr("newbyteorder")("="));
  }
  held_ = array;
  arrayData_ = static_cast<const char*>(array.data());
  arrayCount_ = static_cast<std::size_t>(array.shape(0));
  arrayStride_ = array.strides(0);
  arrayWidth_ = static_cast<std::size_t>(array.itemsize());
  maxTokens_ = arrayCount_;
}

void TTokenSource::ReadSplit(py::handle Text, py::handle Separator) {
  shape_ = TShape::Split;
  held_ = py::reinterpret_borrow<py::object>(Text);
  Ready(0, Text.ptr());
  if (!Separator.is_none()) {
    if (!PyUnicode_Check(Separator.ptr())) {
      throw py::type_error("sep must be str or None, not " +
                           std::string(Py_TYPE(Separator.ptr())->tp_name));
    }
    Ready(0, Separator.ptr());
    const Py_ssize_t n = PyUnicode_GET_LENGTH(Separator.ptr());
    if (n == 0) throw std::invalid_argument("empty separator");
    const int kind = PyUnicode_KIND(Separator.ptr());
    const void* data = PyUnicode_DATA(Separator.ptr());
    for (Py_ssize_t i = 0; i < n; ++i) separator_.push_back(PyUnicode_READ(kind, data, i));
  }
  // Two tokens are apart by at least one code point.
  maxTokens_ = (static_cast<std::size_t>(PyUnicode_GET_LENGTH(Text.ptr())) + 1) / 2;
}

std::u16string_view TTokenSource::Utf16(PyObject* Str) {
  const auto length = static_cast<std::size_t>(PyUnicode_GET_LENGTH(Str));
  switch (PyUnicode_KIND(Str)) {
    case PyUnicode_1BYTE_KIND:
      return WidenLatin1(PyUnicode_1BYTE_DATA(Str), length);
    case PyUnicode_2BYTE_KIND:
      return {reinterpret_cast<const char16_t*>(PyUnicode_2BYTE_DATA(Str)), length};
    default:
      return WidenUcs4(PyUnicode_4BYTE_DATA(Str), length);
  }
}

std::u16string_view TTokenSource::WidenLatin1(const std::uint8_t* Data, std::size_t Length) {
  buffer_.resize(Length);
  for (std::size_t i = 0; i < Length; ++i) buffer_[i] = Data[i];
  return buffer_;
}

std::u16string_view TTokenSource::WidenUcs4(const std::uint32_t* Data, std::size_t Length) {
  buffer_.clear();
  for (std::size_t i = 0; i < Length; ++i) {
    std::uint32_t c = Data[i];
    if (c > 0x10FFFF) c = 0xFFFD;  // possible in a NumPy array only
    if (c < 0x10000) {
      buffer_.push_back(static_cast<char16_t>(c));
    } else {
      c -= 0x10000;
      buffer_.push_back(static_cast<char16_t>(0xD800 + (c >> 10)));
      buffer_.push_back(static_cast<char16_t>(0xDC00 + (c & 0x3FF)));
    }
  }
  return buffer_;
}

}  // namespace tavora::python
