// Arbitrary bytes through the token stream in each of the eight input formats: every token is
// read and every getter of the token and of the document metadata is called.
#include <cstddef>
#include <cstdint>
#include <sstream>
#include <string>

#include "input/TTokenizationStream.h"

namespace {

constexpr tavora::THow kFormats[] = {tavora::THow::JStandard,    tavora::THow::JLines,
                                     tavora::THow::JWhiteSpaces, tavora::THow::jSYN,
                                     tavora::THow::jCOCA,        tavora::THow::jCustomVertical,
                                     tavora::THow::jCONLLU,      tavora::THow::jBNC};

volatile std::size_t sink;

void ReadAll(tavora::THow how, std::size_t block, std::int32_t custom, const std::string& bytes) {
  std::istringstream in(bytes, std::ios::binary);
  tavora::TTokenizationStream stream(how, block);
  if (how == tavora::THow::jCustomVertical)
    stream.SetCustomVerticalFormatting(custom % 5, custom / 5 % 5, custom / 25 % 5, u"<text");
  stream.SetUniversalDependencies(custom % 2 == 1);
  stream.LoadFromStream(in);
  std::size_t total = 0;
  std::uint64_t lastIndex = 0;
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
  }
  if (!stream.GetEndOfStream()) __builtin_trap();
  if (stream.GetBytesRead() != bytes.size()) __builtin_trap();
  sink = total;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size == 0) return 0;
  // The first byte picks the reader's block size and the custom columns; the rest is the text.
  const std::size_t block = (data[0] & 0x7) == 0 ? 4096 : (data[0] & 0x7);
  const std::int32_t custom = data[0] >> 3;
  const std::string bytes(reinterpret_cast<const char*>(data) + 1, size - 1);
  for (const tavora::THow how : kFormats) ReadAll(how, block, custom, bytes);
  return 0;
}
