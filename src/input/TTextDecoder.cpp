#include "input/TTextDecoder.h"

#include <unicode/ucnv.h>
#include <unicode/ucnv_cb.h>
#include <unicode/ucnv_err.h>

#include "base/Utf8.h"

namespace tavora {
namespace {

constexpr char16_t kReplacement = 0xFFFD;

// Decodes UTF-16 bytes [in, in + n) of the given byte order into `out` (n / 2 code units at
// most). A surrogate without its partner becomes U+FFFD. Unless `final`, a lone last byte and a
// last high surrogate are left for the next block, whose first unit may complete the pair; when
// `final`, a lone last byte becomes U+FFFD. Returns the number of bytes consumed.
std::size_t DecodeUtf16(const unsigned char* in, std::size_t n, bool bigEndian, char16_t* out,
                        TTextDecoder::TDecoded& result, std::uint64_t& replaced, bool final) {
  const auto unitAt = [&](std::size_t i) -> char16_t {
    return bigEndian ? static_cast<char16_t>((in[i] << 8) | in[i + 1])
                     : static_cast<char16_t>(in[i] | (in[i + 1] << 8));
  };
  std::size_t i = 0;
  char16_t* o = out;
  while (i + 2 <= n) {
    const char16_t u = unitAt(i);
    if (u >= 0xD800 && u <= 0xDBFF) {
      if (i + 4 > n && !final) break;  // its partner may follow in the next block
      if (i + 4 <= n) {
        const char16_t low = unitAt(i + 2);
        if (low >= 0xDC00 && low <= 0xDFFF) {
          *o++ = u;
          *o++ = low;
          i += 4;
          continue;
        }
      }
      *o++ = kReplacement;
      ++replaced;
    } else if (u >= 0xDC00 && u <= 0xDFFF) {
      *o++ = kReplacement;
      ++replaced;
    } else {
      *o++ = u;
      if (u == 0xFEFF) result.FeffEnd = static_cast<std::size_t>(o - out);
    }
    i += 2;
  }
  if (final && i < n) {
    // A high surrogate at the very end was handled above; what is left is one odd byte.
    *o++ = kReplacement;
    ++replaced;
    i = n;
  }
  result.Produced = static_cast<std::size_t>(o - out);
  return i;
}

// ICU's call for a byte sequence it cannot convert: counts it and writes U+FFFD (ICU's own
// substitute is U+001A for some encodings).
extern "C" void CountAndReplace(const void* context, UConverterToUnicodeArgs* args,
                                const char* /*codeUnits*/, int32_t /*length*/,
                                UConverterCallbackReason reason, UErrorCode* status) {
  if (reason != UCNV_UNASSIGNED && reason != UCNV_ILLEGAL && reason != UCNV_IRREGULAR) return;
  ++*static_cast<std::uint64_t*>(const_cast<void*>(context));
  const UChar replacement = kReplacement;
  *status = U_ZERO_ERROR;
  ucnv_cbToUWriteUChars(args, &replacement, 1, 0, status);
}

UConverter* OpenConverter(std::string_view encoding) {
  const std::string name(encoding);
  if (name.empty() || name.find('\0') != std::string::npos) return nullptr;
  UErrorCode status = U_ZERO_ERROR;
  UConverter* converter = ucnv_open(name.c_str(), &status);
  if (U_FAILURE(status)) return nullptr;
  return converter;
}

}  // namespace

TTextDecoder::TTextDecoder(std::string_view encoding) {
  if (encoding.empty()) {
    name_ = "UTF-8";
    return;
  }
  converter_ = OpenConverter(encoding);
  if (converter_ == nullptr) {
    throw TUnknownEncoding("Unknown encoding \"" + std::string(encoding) + "\".");
  }
  name_ = encoding;
  UErrorCode status = U_ZERO_ERROR;
  const std::string_view canonical = ucnv_getName(converter_, &status);
  kind_ = TKind::Icu;
  if (canonical == "UTF-8") kind_ = TKind::Utf8;
  if (canonical == "UTF-16LE") kind_ = TKind::Utf16LE;
  if (canonical == "UTF-16BE") kind_ = TKind::Utf16BE;
  if (kind_ != TKind::Icu) {
    ucnv_close(converter_);
    converter_ = nullptr;
    return;
  }
  ucnv_setToUCallBack(converter_, CountAndReplace, &replaced_, nullptr, nullptr, &status);
  if (U_FAILURE(status)) {
    ucnv_close(converter_);
    throw TUnknownEncoding("Cannot use the encoding \"" + name_ + "\".");
  }
}

TTextDecoder::~TTextDecoder() {
  if (converter_ != nullptr) ucnv_close(converter_);
}

bool TTextDecoder::IsKnown(std::string_view encoding) {
  if (encoding.empty()) return true;
  UConverter* converter = OpenConverter(encoding);
  if (converter == nullptr) return false;
  ucnv_close(converter);
  return true;
}

TTextDecoder::TDecoded TTextDecoder::Decode(const unsigned char* in, std::size_t n, char16_t* out,
                                            std::size_t room, bool final) {
  TDecoded result;
  std::size_t skip = 0;
  if (kind_ == TKind::Sniff) {
    // FF FE or FE FF at the very start is a UTF-16 byte-order mark; anything else is UTF-8.
    if (n < 2 && !final) return result;
    kind_ = TKind::Utf8;
    if (n >= 2 && in[0] == 0xFF && in[1] == 0xFE) kind_ = TKind::Utf16LE;
    if (n >= 2 && in[0] == 0xFE && in[1] == 0xFF) kind_ = TKind::Utf16BE;
    if (kind_ != TKind::Utf8) {
      name_ = kind_ == TKind::Utf16LE ? "UTF-16LE" : "UTF-16BE";
      skip = 2;
    }
  }
  switch (kind_) {
    case TKind::Sniff:
    case TKind::Utf8: {
      const TUtf8Decoded d = DecodeUtf8(in, n, out, final);
      replaced_ += d.Replaced;
      result.Consumed = d.Consumed;
      result.Produced = d.Produced;
      result.FeffEnd = d.FeffEnd;
      return result;
    }
    case TKind::Utf16LE:
    case TKind::Utf16BE:
      result.Consumed = skip + DecodeUtf16(in + skip, n - skip, kind_ == TKind::Utf16BE, out,
                                           result, replaced_, final);
      return result;
    case TKind::Icu:
      break;
  }
  return DecodeIcu(in, n, out, room, final);
}

TTextDecoder::TDecoded TTextDecoder::DecodeIcu(const unsigned char* in, std::size_t n,
                                               char16_t* out, std::size_t room, bool final) {
  TDecoded result;
  const char* source = reinterpret_cast<const char*>(in);
  UChar* target = out;
  UErrorCode status = U_ZERO_ERROR;
  ucnv_toUnicode(converter_, &target, out + room, &source, source + n, nullptr, final, &status);
  result.Consumed = static_cast<std::size_t>(source - reinterpret_cast<const char*>(in));
  result.Produced = static_cast<std::size_t>(target - out);
  if (status == U_BUFFER_OVERFLOW_ERROR) {
    result.OutputFull = true;
  } else if (U_FAILURE(status)) {
    throw std::runtime_error("Cannot decode the text as " + name_ + ": " + u_errorName(status) +
                             ".");
  }
  for (std::size_t i = result.Produced; i > 0; --i) {
    if (out[i - 1] == 0xFEFF) {
      result.FeffEnd = i;
      break;
    }
  }
  return result;
}

}  // namespace tavora
