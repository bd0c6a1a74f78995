#pragma once

// The input formats: the enumeration and one row per format saying what the format is made of.
// The token, the token stream, the document metadata, the measurement run and the option model
// read the rows; adding a format means adding an enumerator, its row and, when none of the read
// modes fits, its reader.

#include <array>
#include <cstddef>
#include <cstdint>
#include <initializer_list>
#include <string_view>

namespace tavora {

// The input format of a token stream.
enum class THow : std::uint8_t {
  JStandard,        // plain text, cut into words by the character classes
  JLines,           // one word per line
  JWhiteSpaces,     // words delimited by white space
  jSYN,             // standard vertical (tab-separated columns, "<doc " headers)
  jCOCA,            // COCA vertical ("##" document markers)
  jCustomVertical,  // vertical with user-chosen columns and marker
  jCONLLU,          // CoNLL-U
  jBNC              // BNC XML
};

inline constexpr std::size_t kHowCount = 8;

// How the stream cuts the input into raw items, one per token or structural line.
enum class TReadMode : std::uint8_t {
  Word,        // a word, a number or one punctuation character, cut by the character classes
  WhiteSpace,  // the text between spaces, tabs and line breaks
  Line,        // one whole line
  BncElement,  // one element of BNC XML, without its opening "<"
};

// How a token's raw text is cut into values.
enum class TValueSplit : std::uint8_t {
  Whole,          // one value: the raw text
  Tabs,           // the tab-separated columns; a tab at the very end adds no empty value
  ElementValues,  // the attribute values in order, then the element text
};

// Where a field of a token (word, lemma, tag, part of speech) comes from.
enum class TFieldSource : std::uint8_t {
  None,    // always empty
  Raw,     // the raw text itself
  Value,   // one of the parsed values, as TColumn says
  Custom,  // the value at the column the user chose for this field (TToken::CustomIndex...)
};

// One field of a token. A value that the token does not have gives empty text.
struct TColumn {
  TFieldSource Source = TFieldSource::None;
  std::uint8_t Index = 0;      // zero-based value taken when the token has MinValues values
  std::uint8_t MinValues = 0;  // with fewer values, the value Otherwise is taken, untrimmed
  std::uint8_t Otherwise = 0;
  bool Trimmed = false;  // leading and trailing characters up to U+0020 are removed
};

// Column `oneBased` of the parsed values.
[[nodiscard]] constexpr TColumn Column(std::uint8_t oneBased) noexcept {
  return {TFieldSource::Value, static_cast<std::uint8_t>(oneBased - 1), 0, 0, false};
}
// Column `oneBased` when the token has at least `minValues` values, else column `otherwise`.
[[nodiscard]] constexpr TColumn ColumnOr(std::uint8_t oneBased, std::uint8_t minValues,
                                         std::uint8_t otherwise, bool trimmed) noexcept {
  return {TFieldSource::Value, static_cast<std::uint8_t>(oneBased - 1), minValues,
          static_cast<std::uint8_t>(otherwise - 1), trimmed};
}
inline constexpr TColumn kNoColumn{};
inline constexpr TColumn kRawText{TFieldSource::Raw};
inline constexpr TColumn kChosenColumn{TFieldSource::Custom};

// Whether the tokens of a format carry a lemma (or a tag) of their own.
enum class TCarries : std::uint8_t {
  Never,
  Always,
  IfColumnChosen,  // only when the user names its column
};

// Which lines of a format are structural (markup, comments): read, but not words of the text.
enum class TStructuralTest : std::uint8_t {
  None,
  Markup,          // longer than 2 characters, "<" not followed by a tab
  MarkupOrHashes,  // longer than 2 characters, "##" or "<" not followed by a tab
  Comment,         // longer than 1 character, beginning with "#"
};

// What a document-marker line tells about its document.
enum class TDocumentHeader : std::uint8_t {
  None,
  Attributes,  // names and quoted values of its attributes
  NewdocId,    // the one item "ID", the id of "# newdoc id = X"
};

// Where a document's id comes from (the "Document id" column of the results).
enum class TDocumentId : std::uint8_t {
  None,
  IdAttribute,  // the id attribute of the marker line (<doc id="a1">)
  NewdocId,     // X of "# newdoc id = X"
  MarkerText,   // the text after the marker up to the first blank ("##4001 ..." gives 4001)
  BncDocId,     // the xml:id (or id) attribute of the file's bncDoc element
};

// The rule by which a token counts as autosemantic (a content word).
enum class TAutosemanticRule : std::uint8_t {
  None,      // never
  Builtin,   // the built-in rule for the standard vertical, CoNLL-U and BNC tag sets
  Prefixes,  // the tag begins with one of the user's patterns
  Upos,      // the part of speech is NOUN, PROPN, VERB, ADJ or ADV (CoNLL-U's UPOS)
};

// The rule the user chooses for content words; Builtin is the format's own rule.
enum class TAutosemanticChoice : std::uint8_t { Builtin, Upos, Prefixes };
inline constexpr std::size_t kAutosemanticChoiceCount = 3;

// A set of choices, bit i for choice i.
[[nodiscard]] constexpr std::uint8_t Choices(std::initializer_list<TAutosemanticChoice> choices) {
  std::uint8_t bits = 0;
  for (const TAutosemanticChoice c : choices)
    bits |= static_cast<std::uint8_t>(1u << static_cast<unsigned>(c));
  return bits;
}

// One input format.
struct TInputFormat {
  THow How;
  std::u16string_view Caption;  // under which the window offers it
  TReadMode Reading;
  TValueSplit Split;
  TColumn Word;
  TColumn Lemma;
  TColumn Tag;
  TColumn POS;
  TCarries CarriesLemma;
  TCarries CarriesTag;
  // Prefix of a line that starts a new document; empty: every input file is one document.
  // The custom vertical format takes the user's marker instead.
  std::u16string_view DocumentMarker;
  TStructuralTest Structural;
  TDocumentHeader Header;
  TDocumentId Id;
  TAutosemanticRule Autosemantic;    // the format's own rule (the choice Builtin)
  std::uint8_t AutosemanticChoices;  // the rules the user may choose (Choices), none: no tags
};

// The formats in enumeration order (the window lists their captions in this order).
inline constexpr std::array<TInputFormat, kHowCount> kInputFormats = {{
    {.How = THow::JStandard,
     .Caption = u"Plain text (UTF-8)",
     .Reading = TReadMode::Word,
     .Split = TValueSplit::Whole,
     .Word = kRawText,
     .Lemma = kRawText,
     .Tag = kNoColumn,
     .POS = kNoColumn,
     .CarriesLemma = TCarries::Never,
     .CarriesTag = TCarries::Never,
     .DocumentMarker = u"",
     .Structural = TStructuralTest::None,
     .Header = TDocumentHeader::None,
     .Id = TDocumentId::None,
     .Autosemantic = TAutosemanticRule::None,
     .AutosemanticChoices = 0},
    {.How = THow::JLines,
     .Caption = u"Words delimited by new lines (UTF-8)",
     .Reading = TReadMode::Line,
     .Split = TValueSplit::Whole,
     .Word = kRawText,
     .Lemma = kRawText,
     .Tag = kNoColumn,
     .POS = kNoColumn,
     .CarriesLemma = TCarries::Never,
     .CarriesTag = TCarries::Never,
     .DocumentMarker = u"",
     .Structural = TStructuralTest::None,
     .Header = TDocumentHeader::None,
     .Id = TDocumentId::None,
     .Autosemantic = TAutosemanticRule::None,
     .AutosemanticChoices = 0},
    {.How = THow::JWhiteSpaces,
     .Caption = u"Words delimited by white spaces (UTF-8)",
     .Reading = TReadMode::WhiteSpace,
     .Split = TValueSplit::Whole,
     .Word = kRawText,
     .Lemma = kRawText,
     .Tag = kNoColumn,
     .POS = kNoColumn,
     .CarriesLemma = TCarries::Never,
     .CarriesTag = TCarries::Never,
     .DocumentMarker = u"",
     .Structural = TStructuralTest::None,
     .Header = TDocumentHeader::None,
     .Id = TDocumentId::None,
     .Autosemantic = TAutosemanticRule::None,
     .AutosemanticChoices = 0},
    {.How = THow::jSYN,
     .Caption = u"Standard vertical (UTF-8)",
     .Reading = TReadMode::Line,
     .Split = TValueSplit::Tabs,
     .Word = Column(1),
     .Lemma = Column(2),
     .Tag = Column(3),
     .POS = Column(4),
     .CarriesLemma = TCarries::Always,
     .CarriesTag = TCarries::Always,
     .DocumentMarker = u"<doc ",
     .Structural = TStructuralTest::Markup,
     .Header = TDocumentHeader::Attributes,
     .Id = TDocumentId::IdAttribute,
     .Autosemantic = TAutosemanticRule::Builtin,
     .AutosemanticChoices = Choices({TAutosemanticChoice::Builtin, TAutosemanticChoice::Prefixes})},
    // COCA lines carry a part of speech in their tag column, but the built-in rule was made
    // for other tag sets: no COCA token is autosemantic unless the user's prefixes say so.
    {.How = THow::jCOCA,
     .Caption = u"COCA vertical (UTF-8)",
     .Reading = TReadMode::Line,
     .Split = TValueSplit::Tabs,
     .Word = Column(1),
     .Lemma = Column(2),
     .Tag = Column(3),
     .POS = Column(3),
     .CarriesLemma = TCarries::Always,
     .CarriesTag = TCarries::Always,
     .DocumentMarker = u"##",
     .Structural = TStructuralTest::MarkupOrHashes,
     .Header = TDocumentHeader::None,
     .Id = TDocumentId::MarkerText,
     .Autosemantic = TAutosemanticRule::None,
     .AutosemanticChoices = Choices({TAutosemanticChoice::Builtin, TAutosemanticChoice::Prefixes})},
    {.How = THow::jCustomVertical,
     .Caption = u"Custom vertical (UTF-8)",
     .Reading = TReadMode::Line,
     .Split = TValueSplit::Tabs,
     .Word = kChosenColumn,
     .Lemma = kChosenColumn,
     .Tag = kChosenColumn,
     .POS = kNoColumn,
     .CarriesLemma = TCarries::IfColumnChosen,
     .CarriesTag = TCarries::IfColumnChosen,
     .DocumentMarker = u"",
     .Structural = TStructuralTest::Markup,
     .Header = TDocumentHeader::Attributes,
     .Id = TDocumentId::IdAttribute,
     .Autosemantic = TAutosemanticRule::Prefixes,
     .AutosemanticChoices = Choices({TAutosemanticChoice::Builtin, TAutosemanticChoice::Prefixes})},
    // FORM, LEMMA, XPOS and UPOS.
    {.How = THow::jCONLLU,
     .Caption = u"CoNLL-U (UTF-8)",
     .Reading = TReadMode::Line,
     .Split = TValueSplit::Tabs,
     .Word = Column(2),
     .Lemma = Column(3),
     .Tag = Column(5),
     .POS = Column(4),
     .CarriesLemma = TCarries::Always,
     .CarriesTag = TCarries::Always,
     .DocumentMarker = u"# newdoc",
     .Structural = TStructuralTest::Comment,
     .Header = TDocumentHeader::NewdocId,
     .Id = TDocumentId::NewdocId,
     .Autosemantic = TAutosemanticRule::Builtin,
     .AutosemanticChoices = Choices(
         {TAutosemanticChoice::Builtin, TAutosemanticChoice::Upos, TAutosemanticChoice::Prefixes})},
    // A w element has three attribute values and its text; a c element one attribute value
    // and its text, which is then both word and lemma, untrimmed.
    {.How = THow::jBNC,
     .Caption = u"BNC xml (UTF-8)",
     .Reading = TReadMode::BncElement,
     .Split = TValueSplit::ElementValues,
     .Word = ColumnOr(4, 4, 2, true),
     .Lemma = Column(2),
     .Tag = ColumnOr(3, 4, 1, false),
     .POS = Column(1),
     .CarriesLemma = TCarries::Always,
     .CarriesTag = TCarries::Always,
     .DocumentMarker = u"",
     .Structural = TStructuralTest::None,
     .Header = TDocumentHeader::None,
     .Id = TDocumentId::BncDocId,
     .Autosemantic = TAutosemanticRule::Builtin,
     .AutosemanticChoices = Choices({TAutosemanticChoice::Builtin, TAutosemanticChoice::Prefixes})},
}};

[[nodiscard]] constexpr const TInputFormat& InputFormat(THow how) noexcept {
  return kInputFormats[static_cast<std::size_t>(how)];
}

// Whether the format lets the user choose the rule.
[[nodiscard]] constexpr bool AllowsChoice(const TInputFormat& format,
                                          TAutosemanticChoice choice) noexcept {
  return (format.AutosemanticChoices & Choices({choice})) != 0;
}

// The rule that a choice means for a format: Builtin is the format's own rule, a choice
// the format does not allow is no rule.
[[nodiscard]] constexpr TAutosemanticRule RuleOf(const TInputFormat& format,
                                                 TAutosemanticChoice choice) noexcept {
  if (!AllowsChoice(format, choice)) return TAutosemanticRule::None;
  switch (choice) {
    case TAutosemanticChoice::Builtin:
      return format.Autosemantic;
    case TAutosemanticChoice::Upos:
      return TAutosemanticRule::Upos;
    case TAutosemanticChoice::Prefixes:
      return TAutosemanticRule::Prefixes;
  }
  return TAutosemanticRule::None;
}

// The row of the format at window index `index`, or nullptr outside 0..kHowCount-1.
[[nodiscard]] constexpr const TInputFormat* InputFormatAt(int index) noexcept {
  return index >= 0 && static_cast<std::size_t>(index) < kHowCount
             ? &kInputFormats[static_cast<std::size_t>(index)]
             : nullptr;
}

// Whether a trimmed, non-empty raw item is a structural line under `test`.
[[nodiscard]] constexpr bool IsStructuralLine(TStructuralTest test,
                                              std::u16string_view raw) noexcept {
  switch (test) {
    case TStructuralTest::None:
      return false;
    case TStructuralTest::Markup:
      return raw.size() > 2 && raw[0] == u'<' && raw[1] != u'\t';
    case TStructuralTest::MarkupOrHashes:
      return raw.size() > 2 && (raw.starts_with(u"##") || (raw[0] == u'<' && raw[1] != u'\t'));
    case TStructuralTest::Comment:
      return raw.size() > 1 && raw[0] == u'#';
  }
  return false;
}

namespace how_detail {
constexpr bool RowsInEnumerationOrder() {
  for (std::size_t i = 0; i < kHowCount; ++i)
    if (static_cast<std::size_t>(kInputFormats[i].How) != i) return false;
  return true;
}
}  // namespace how_detail
static_assert(how_detail::RowsInEnumerationOrder(), "one row per THow, in enumeration order");

}  // namespace tavora
