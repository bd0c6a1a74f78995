#include "options/TReferenceCache.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "TestFolders.h"
#include "engine/TReferenceDictionary.h"

namespace tavora {
namespace {

namespace fs = std::filesystem;
using ::testing::StrEq;
using ::testing::ThrowsMessage;

class TReferenceCacheTest : public ::testing::Test {
 protected:
  ::tavora::test::TTempFolder folder_{"tavora_cache"};
  const fs::path& dir_ = folder_.Path();

  // Writes a list file holding one type with the given count; returns its name as typed.
  std::u16string WriteList(const std::string& file, const std::string& type, int count) {
    std::ofstream(dir_ / file, std::ios::binary) << type << '\t' << count << "\r\n";
    return (dir_ / file).u16string();
  }

  static std::uint32_t CountOf(const TReferenceDictionary& list, std::u16string_view type) {
    const TCount* c = list.Find(type);
    return c == nullptr ? 0 : c->Count;
  }
};

TEST_F(TReferenceCacheTest, ReadsAFileOnceAndKeepsItWhenTheFileChanges) {
  TReferenceCache cache;
  const std::u16string name = WriteList("words.tsv", "dog", 5);
  const TReferenceDictionary& first = cache.Obtain(name);
  EXPECT_EQ(CountOf(first, u"dog"), 5u);
  EXPECT_TRUE(first.ShouldSurvive);

  WriteList("words.tsv", "dog", 9);
  const TReferenceDictionary& second = cache.Obtain(name);
  EXPECT_EQ(&first, &second);
  EXPECT_EQ(CountOf(second, u"dog"), 5u);
  EXPECT_EQ(cache.Size(), 1u);
}

TEST_F(TReferenceCacheTest, TheSameFileNamedByAnotherTextIsReadAgain) {
  TReferenceCache cache;
  const std::u16string name = WriteList("words.tsv", "dog", 5);
  const TReferenceDictionary& byName = cache.Obtain(name);
  WriteList("words.tsv", "dog", 9);
  // Another spelling of the same path: "<dir>/./words.tsv".
  const std::u16string other = (dir_ / "." / "words.tsv").u16string();
  const TReferenceDictionary& byOther = cache.Obtain(other);
  EXPECT_NE(&byName, &byOther);
  EXPECT_EQ(CountOf(byOther, u"dog"), 9u);
  EXPECT_EQ(cache.Size(), 2u);
}

TEST_F(TReferenceCacheTest, AMissingFileIsAnErrorNamingItAndIsNotCached) {
  TReferenceCache cache;
  const std::u16string missing = (dir_ / "none.tsv").u16string();
  const std::string shown = (dir_ / "none.tsv").string();
  EXPECT_THAT([&] { (void)cache.Obtain(missing); },
              ThrowsMessage<std::runtime_error>(StrEq("Cannot open the frequency list \"" + shown +
                                                      "\": the file does not exist.")));
  EXPECT_EQ(cache.Size(), 0u);
  EXPECT_EQ(cache.Find(missing), nullptr);
}

TEST_F(TReferenceCacheTest, ResolveFillsTheNamedKindsOnly) {
  struct Case {
    const char* what;
    bool word;
    bool lemma;
  };
  for (const Case& c : {Case{"none", false, false}, Case{"word", true, false},
                        Case{"lemma", false, true}, Case{"both", true, true}}) {
    SCOPED_TRACE(c.what);
    TReferenceCache cache;
    TWordOrLemmaNames names;
    if (c.word) names[tWordOrLemma::tokWord] = WriteList("w.tsv", "dog", 2);
    if (c.lemma) names[tWordOrLemma::tokLemma] = WriteList("l.tsv", "be", 3);
    const TReferenceDictionaryPair pair = cache.Resolve(names);
    EXPECT_EQ(pair[tWordOrLemma::tokWord] != nullptr, c.word);
    EXPECT_EQ(pair[tWordOrLemma::tokLemma] != nullptr, c.lemma);
    if (c.word) {
      EXPECT_EQ(CountOf(*pair[tWordOrLemma::tokWord], u"dog"), 2u);
    }
    if (c.lemma) {
      EXPECT_EQ(CountOf(*pair[tWordOrLemma::tokLemma], u"be"), 3u);
    }
    EXPECT_EQ(cache.Size(), static_cast<std::size_t>(c.word) + static_cast<std::size_t>(c.lemma));
  }
}

TEST_F(TReferenceCacheTest, ResolveChecksEveryFileBeforeLoadingAny) {
  TReferenceCache cache;
  TWordOrLemmaNames names;
  names[tWordOrLemma::tokWord] = WriteList("w.tsv", "dog", 2);
  names[tWordOrLemma::tokLemma] = (dir_ / "missing.tsv").u16string();
  EXPECT_THROW((void)cache.Resolve(names), std::runtime_error);
  EXPECT_EQ(cache.Size(), 0u);
}

TEST_F(TReferenceCacheTest, BuiltListsAreCachedUnderTheirNamesReplacingEarlierOnes) {
  TReferenceCache cache;
  const std::u16string name = WriteList("w.tsv", "dog", 2);
  (void)cache.Obtain(name);

  TPreparedDictionaries built;
  built[static_cast<std::size_t>(tWordOrLemma::tokWord)] = std::make_unique<TReferenceDictionary>();
  built[static_cast<std::size_t>(tWordOrLemma::tokWord)]->AddToken(u"cat");
  TWordOrLemmaNames names;
  names[tWordOrLemma::tokWord] = name;
  names[tWordOrLemma::tokLemma] = u"lemmata-not-built.tsv";
  cache.Store(std::move(built), names);

  EXPECT_EQ(cache.Size(), 1u);  // the null lemma slot is skipped
  const TReferenceDictionary& cached = cache.Obtain(name);
  EXPECT_EQ(CountOf(cached, u"cat"), 1u);
  EXPECT_EQ(CountOf(cached, u"dog"), 0u);
  EXPECT_TRUE(cached.ShouldSurvive);
}

}  // namespace
}  // namespace tavora
