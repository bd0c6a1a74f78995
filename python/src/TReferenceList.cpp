#include "TReferenceList.h"

#include <limits>
#include <system_error>

#include "base/Utf8.h"

namespace tavora::python {

namespace fs = std::filesystem;

TReferenceList TReferenceList::Load(const fs::path& Path) {
  auto list = std::make_shared<TReferenceDictionary>();
  list->ShouldSurvive = true;
  py::gil_scoped_release unlocked;
  std::error_code ec;
  if (!fs::is_regular_file(Path, ec)) {
    const bool exists = fs::exists(Path, ec);
    throw TFileError(exists ? TFileError::TKind::NotAFile : TFileError::TKind::Missing,
                     "Cannot open reference list \"" + Utf16ToUtf8(Path.u16string()) + "\"" +
                         (exists ? ": not a file." : ": no such file."));
  }
  try {
    list->Load(Path);
  } catch (const std::runtime_error& e) {
    throw TFileError(TFileError::TKind::Other, e.what());
  }
  return TReferenceList(std::move(list));
}

TReferenceList TReferenceList::FromCounts(py::handle Counts) {
  if (!PyMapping_Check(Counts.ptr()) || !py::hasattr(Counts, "items")) {
    throw py::type_error("from_counts takes a mapping of type (str) to count (int), not " +
                         std::string(Py_TYPE(Counts.ptr())->tp_name));
  }
  constexpr auto kMaxCount = static_cast<long long>(TCount::kMaxCount);
  auto list = std::make_shared<TReferenceDictionary>();
  list->ShouldSurvive = true;
  for (py::handle item : py::iter(Counts.attr("items")())) {
    const auto pair = py::reinterpret_borrow<py::tuple>(item);
    if (!PyUnicode_Check(pair[0].ptr()) || !PyLong_Check(pair[1].ptr()) ||
        PyBool_Check(pair[1].ptr())) {
      throw py::type_error("from_counts takes str types and int counts, not " +
                           py::repr(pair).cast<std::string>());
    }
    const std::u16string type = Utf8ToUtf16(pair[0].cast<std::string>());
    int overflow = 0;
    const long long count = PyLong_AsLongLongAndOverflow(pair[1].ptr(), &overflow);
    if (overflow != 0 || count < 0 || count > kMaxCount) {
      throw std::invalid_argument("The count of " + py::repr(pair[0]).cast<std::string>() +
                                  " must be a whole number from 0 to " + std::to_string(kMaxCount));
    }
    if (type.empty()) continue;
    list->Set(type,
              TCount(static_cast<std::uint64_t>(count), static_cast<std::uint32_t>(type.size())));
    if (static_cast<std::uint64_t>(count) >
        std::numeric_limits<std::uint64_t>::max() - list->TotalTokens)
      throw std::invalid_argument("The counts add up to more than 18446744073709551615 tokens");
    list->TotalTokens += static_cast<std::uint64_t>(count);
  }
  list->IsLoaded = true;
  return TReferenceList(std::move(list));
}

}  // namespace tavora::python
