// Arbitrary bytes through the token stream in each of the eight input formats and in one of
// several encodings: every token is read and every getter of the token and of the document
// metadata is called. The words never depend on the reader's block size, also where a
// converter keeps state across blocks (ISO-2022-JP) or a character takes several bytes.
#include <cstddef>
#include <cstdint>
#include <sstream>
#include <string>
#include <vector>

#include "input/TTokenizationStream.h"

namespace {

constexpr tavora::THow kFormats[] = {tavora::THow::JStandard,    tavora::THow::JLines,
                                     tavora::THow::JWhiteSpaces, tavora::THow::jSYN,
                                     tavora::THow::jCOCA,        tavora::THow::jCustomVertical,
                                     tavora::THow::jCONLLU,      tavora::THow::jBNC};

// The default (UTF-8, or UTF-16 after a byte-order mark) and encodings of every kind.
constexpr const char* kEncodings[] = {"",
                                      "",
                                      "",
                                      "",
                                      "UTF-8",
                                      "UTF-16LE",
                                      "UTF-16BE",
                                      "windows-1250",
                                      "KOI8-R",
                                      "Shift_JIS",
                                      "ISO-2022-JP",
                                      "GB18030",
                                      "UTF-32",
                                      "US-ASCII",
                                      "Big5",
                                      "UTF-7"};

volatile std::size_t sink;

std::vector<std::u16string> ReadAll(tavora::THow how, std::size_t block, std::int32_t custom,
                                    const char* encoding, const std::string& bytes) {
  std::istringstream in(bytes, std::ios::binary);
  tavora::TTokenizationStream stream(how, block);
  stream.SetEncoding(encoding);
  if (how == tavora::THow::jCustomVertical)
    stream.SetCustomVerticalFormatting(custom % 5, custom / 5 % 5, custom / 25 % 5, u"<text");
  stream.SetUniversalDependencies(custom % 2 == 1);
  stream.LoadFromStream(in);
  std::size_t total = 0;
  std::uint64_t lastIndex = 0;
  std::vector<std::u16string> words;
  while (tavora::TToken* token = stream.ReadAndParseToken()) {
    total += token->GetRaw().size() + token->GetParsed().size();
    total += token->GetWord().size() + token->GetLemma().size();
    total += token->GetTag().size() + token->GetPOS().size();
    total += token->GetIsPunctuation() + token->GetIsDigit() + token->IsNormalWord();
    total += token->IndexInDocument() + token->IndexInFile() + token->PositionInFile();
    if (token->IndexInCorpus() < lastIndex) __builtin_trap();  // the corpus index never falls
    lastIndex = token->IndexInCorpus();
    tavora::TDocMetadata& meta = stream.GetMetadata();
    total += meta.GetParsed().size() + meta.GetHeader().size() + meta.Find(u"id").size();
    total += meta.GetDocumentId().size();
    if (token->IsNormalWord()) words.emplace_back(token->GetWord());
  }
  if (!stream.GetEndOfStream()) __builtin_trap();
  if (stream.GetBytesRead() != bytes.size()) __builtin_trap();
  total += stream.TakeWarnings().size();
  sink = total;
  return words;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 2) return 0;
  // The first byte picks the reader's block size and the custom columns, the second the
  // encoding; the rest is the text.
  const std::size_t block = (data[0] & 0x7) == 0 ? 4096 : (data[0] & 0x7);
  const std::int32_t custom = data[0] >> 3;
  const char* encoding = kEncodings[data[1] % std::size(kEncodings)];
  const std::string bytes(reinterpret_cast<const char*>(data) + 2, size - 2);
  for (const tavora::THow how : kFormats) {
    const auto words = ReadAll(how, block, custom, encoding, bytes);
    if (block != 4096 && words != ReadAll(how, 4096, custom, encoding, bytes)) __builtin_trap();
  }
  return 0;
}
