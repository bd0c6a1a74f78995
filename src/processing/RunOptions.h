#pragma once

// The options of a run: case handling, the custom vertical columns, the borrowed
// reference lists, and the parameter bundles of a
// measurement run and of a frequency-list run.

#include <array>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include "base/NumberFormat.h"
#include "engine/Indices.h"
#include "engine/Measures.h"
#include "input/THow.h"
#include "results/ResultNames.h"

namespace tavora {

class TReferenceDictionary;

// How word forms are lowered.
enum class TCasesensitiveness : std::uint8_t {
  csCaseSensitive,    // never lowered
  csOnlyIfLemma,      // lowered unless the lemma holds an upper-case letter
  csCaseInsensitive,  // always lowered
};

// Names of case handling on the command line and in run records, in TCasesensitiveness
// order (the items of the window's case radio group).
inline constexpr std::array<std::string_view, 3> kCaseNames = {"sensitive", "lemma", "insensitive"};
[[nodiscard]] constexpr std::string_view CaseName(TCasesensitiveness CS) {
  return kCaseNames[static_cast<std::size_t>(CS)];
}

// Names of the rules of content words on the command line and in run records, in
// TAutosemanticChoice order (the items of the window's rule choice).
inline constexpr std::array<std::string_view, kAutosemanticChoiceCount> kAutosemanticRuleNames = {
    "builtin", "upos", "prefixes"};
[[nodiscard]] constexpr std::string_view AutosemanticRuleName(TAutosemanticChoice Rule) {
  return kAutosemanticRuleNames[static_cast<std::size_t>(Rule)];
}

// Column settings of the custom vertical format. Columns count from 1; the fields are
// applied only when IsCustomVertical is set.
struct TCustomVertical {
  bool IsCustomVertical = false;
  std::int32_t WordIndex = 0;
  std::int32_t LemmaIndex = 0;
  std::int32_t TagIndex = 0;
  std::u16string NewDocMarker;

  void Clear() { *this = TCustomVertical{}; }

  friend bool operator==(const TCustomVertical&, const TCustomVertical&) = default;
};

// Choices for real corpora that the window's original options do not make; the start values
// keep the original reading and writing.
struct TCorpusOptions {
  // Which rule marks content words; Builtin is the format's own (THow.h).
  TAutosemanticChoice AutosemanticRule = TAutosemanticChoice::Builtin;
  // CoNLL-U: multiword-token ranges and empty nodes are not words (TTokenizationStream).
  bool UniversalDependencies = false;
  // Every input file starts a document, also in formats with a document marker.
  bool DocumentPerFile = false;
  // The result tables get the column "Document id" (measuring runs).
  bool DocumentIds = false;
  // Values with the measures' digits, or in full (measuring runs).
  TPrecision Precision = TPrecision::Fixed;

  friend bool operator==(const TCorpusOptions&, const TCorpusOptions&) = default;
};

// Where the results of a run go: the CSV files (measurement runs) and the results database
// (TDatabaseWriter). The start values write the CSV files only.
struct TResultDestinations {
  bool CsvFiles = true;
  bool Database = false;
  // Empty: "Tavora.sqlite" in the output folder, or for frequency lists in the folder of the
  // first list.
  std::u16string DatabaseFile;
  // The run replaces the database's earlier runs instead of being added to them.
  bool ReplaceDatabase = false;

  friend bool operator==(const TResultDestinations&, const TResultDestinations&) = default;
};

// One reference list per kind, indexed by tWordOrLemma; either may be null. The lists are
// borrowed: their owner (the front end's cache) keeps them alive for the whole run.
struct TReferenceDictionaryPair {
  std::array<const TReferenceDictionary*, kWordOrLemmaCount> Lists{};

  [[nodiscard]] const TReferenceDictionary*& operator[](tWordOrLemma k) {
    return Lists[static_cast<std::size_t>(k)];
  }
  [[nodiscard]] const TReferenceDictionary* operator[](tWordOrLemma k) const {
    return Lists[static_cast<std::size_t>(k)];
  }

  friend bool operator==(const TReferenceDictionaryPair&,
                         const TReferenceDictionaryPair&) = default;
};

// Frequency lists made by a frequency-list run, one per kind (indexed by tWordOrLemma); the
// slot of a kind not asked for is null. The caller owns them; each has ShouldSurvive set.
using TPreparedDictionaries = std::array<std::unique_ptr<TReferenceDictionary>, kWordOrLemmaCount>;

// One string per kind, indexed by tWordOrLemma (file names of reference lists).
struct TWordOrLemmaNames {
  std::array<std::u16string, kWordOrLemmaCount> Names{};

  [[nodiscard]] std::u16string& operator[](tWordOrLemma k) {
    return Names[static_cast<std::size_t>(k)];
  }
  [[nodiscard]] const std::u16string& operator[](tWordOrLemma k) const {
    return Names[static_cast<std::size_t>(k)];
  }

  friend bool operator==(const TWordOrLemmaNames&, const TWordOrLemmaNames&) = default;
};

// Everything a measurement run takes, in the order TProcessTexts::Measure takes it, plus
// the autosemantic tag text handed to SetAutosemanticTags before the run. The reference
// lists travel as file names (empty: none); the front end turns them into a
// TReferenceDictionaryPair through its cache of loaded lists.
struct TMeasureParameters {
  THow How = THow::JStandard;
  std::u16string InputFile;  // input paths, one per line, or the text itself
  std::u16string OutputFolder;
  bool IsWholeText = false;
  bool IsStandardInput = false;  // the input is the process's standard input, read as a file
  std::string Encoding;          // of the input files (TTextDecoder); empty: UTF-8
  bool DoOmitPunctuation = true;
  bool DoOmitDigits = true;
  TCasesensitiveness CS = TCasesensitiveness::csCaseInsensitive;
  TWordOrLemmaSet WoL{};
  TMeasureSet measures{};
  tMeasureSecondarySet MeasuresSecondary{};
  TCustomVertical Custom{};
  std::uint32_t LagLength = 200;
  TWordOrLemmaNames ReferenceDictionary{};
  TOutputTypeSet OutputTypes{};
  double HillsQ = 3.0;
  bool RefDicContrainsText = false;
  std::u16string AutosemanticTags;      // prefixes separated by "|"
  TIndexSet Indices = kDefaultIndices;  // columns of the indices file (with outIndices)
  TIndexVariants IndexVariants{};       // the definitions the indices follow
  bool SafeCsv = false;                 // document names that look like formulas get an apostrophe
  TCorpusOptions Corpus{};
  TResultDestinations Destinations{};

  friend bool operator==(const TMeasureParameters&, const TMeasureParameters&) = default;
};

// Everything a frequency-list run takes, in the order TProcessTexts::PrepareDictionary
// takes it.
struct TDictionaryParameters {
  THow How = THow::JStandard;
  std::u16string InputFile;
  std::u16string OutputFileWF;
  std::u16string OutputFileLemma;
  bool IsWholeText = false;
  bool IsStandardInput = false;
  std::string Encoding;
  bool DoOmitPunctuation = true;
  bool DoOmitDigits = true;
  TCasesensitiveness CS = TCasesensitiveness::csCaseInsensitive;
  TWordOrLemmaSet WoL{};
  TCustomVertical Custom{};
  TCorpusOptions Corpus{};  // the reading choices apply; the writing ones have no use here
  TResultDestinations Destinations{};  // the database, besides the list files

  friend bool operator==(const TDictionaryParameters&, const TDictionaryParameters&) = default;
};

}  // namespace tavora
