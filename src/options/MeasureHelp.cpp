#include "options/MeasureHelp.h"

#include <algorithm>
#include <map>

#include "base/Utf8.h"
#include "options/ControlNames.h"
#include "options/TOptionControls.h"

namespace tavora {

namespace {

// Sources cited more than once.
constexpr std::string_view kShannon =
    "Shannon (1948), A mathematical theory of communication, Bell System Technical Journal 27";
constexpr std::string_view kCoverThomas =
    "Cover & Thomas (2006), Elements of Information Theory, 2nd ed., Wiley";
constexpr std::string_view kPopescu =
    "Popescu et al. (2009), Word Frequency Studies, Mouton de Gruyter (repeat rate)";
constexpr std::string_view kHill =
    "Hill (1973), Diversity and evenness: a unifying notation, Ecology 54";
constexpr std::string_view kRenyi =
    "Renyi (1961), On measures of entropy and information, Proc. 4th Berkeley Symposium 1";
constexpr std::string_view kSomers =
    "Somers (1966), Statistical methods in literary analysis, in Leed (ed.), The Computer "
    "and Literary Style";
constexpr std::string_view kKullbackLeibler =
    "Kullback & Leibler (1951), On information and sufficiency, Annals of Mathematical "
    "Statistics 22";
constexpr std::string_view kMcCarthyJarvis2010 =
    "McCarthy & Jarvis (2010), MTLD, vocd-D, and HD-D, Behavior Research Methods 42";
constexpr std::string_view kYule =
    "Yule (1944), The Statistical Study of Literary Vocabulary, Cambridge University Press";
constexpr std::string_view kOwnCross =
    "this program's cross counterpart of the measure, against the reference list";

constexpr std::array<TMeasureHelp, kMeasureCount> kBasic = {{
    {"How many tokens the window holds: the window length, or the length of a whole text.", "N",
     "1 to the window length (any count for a whole text)", "a plain count"},
    {"How many different words the window holds: the more, the richer the vocabulary.",
     "V, the number of distinct types among the N tokens", "1 to N",
     "Tweedie & Baayen (1998), How variable may a constant be?, Computers and the Humanities 32"},
    {"How many words occur exactly once in the window: many mean a varied vocabulary.",
     "V(1), the number of types with count 1", "0 to N",
     "Baayen (2001), Word Frequency Distributions, Kluwer"},
    {"As many equally likely words as would make the window as unpredictable as it is: "
     "higher means more diverse.",
     "2^H with H = -sum p(t) log2 p(t), that is the product of p(t)^-p(t)", "1 to N",
     "Shannon (1948); Jelinek et al. (1977), Perplexity - a measure of the difficulty of "
     "speech recognition tasks, JASA 62"},
    {"The effective number of types when frequent words weigh more: 1 over the chance that "
     "two tokens drawn with replacement are the same word.",
     "1 / sum p(t)^2", "1 to N", kPopescu},
    {"The effective number of types of order Q: Q = 0 gives the types, Q = 1 the perplexity, "
     "Q = 2 the reverse repeat rate; a larger Q weighs frequent words more.",
     "(sum p(t)^Q)^(1/(1-Q))", "1 to N", kHill},
    {"Types weighed by their rarity in the reference list: high when the window uses words "
     "the reference seldom has.",
     "sum p(t) / r'(t)", "0 and up", kOwnCross},
    {"How surprising the window's words are for the reference list: higher means the text "
     "departs more from the reference.",
     "2^(-sum p(t) log2 r'(t)), that is the product of r'(t)^-p(t)", "1 and up", kCoverThomas},
    {"1 over the chance that a token of the window and a token of the reference list are the "
     "same word: high when they share few frequent words.",
     "1 / sum p(t) r(t)", "1 and up (Inf when no word of the window is in the list)", kPopescu},
    {"Hill's number of order Q of the window taken against the reference list.",
     "(sum p(t) r'(t)^(Q-1))^(1/(1-Q))", "1 and up", kHill},
    {"The mean length of the window's tokens, in UTF-16 code units (characters, mostly).",
     "sum of the token lengths / N", "1 and up",
     "Grzybek (ed.) (2006), Contributions to the Science of Text and Language: Word Length "
     "Studies, Springer"},
    {"How different two tokens of the window are on average in their spelling: 0 when all are "
     "the same word.",
     "sum over pairs of types p(a) p(b) d(a,b)", "0 to 1",
     "Levenshtein (1966), Binary codes capable of correcting deletions, insertions and "
     "reversals, Soviet Physics Doklady 10"},
    {"The share of content (autosemantic) words in the window, told by their tags: higher "
     "means a denser text.",
     "autosemantic tokens / N", "0 to 1",
     "Ure (1971), Lexical density and register differentiation, in Perren & Trim (eds.), "
     "Applications of Linguistics"},
}};

constexpr std::array<TMeasureHelp, kMeasureSecondaryCount> kSecondary = {{
    {"The share of different words in the window; its average over a text is the "
     "moving-average TTR (MATTR), which does not depend on the text's length.",
     "V / N", "1/N to 1",
     "Covington & McFall (2010), Cutting the Gordian knot: the moving-average type-token "
     "ratio (MATTR), Journal of Quantitative Linguistics 17"},
    {"Herdan's C: the TTR on a logarithmic scale, less bound to the length.", "ln V / ln N",
     "0 to 1", "Herdan (1960), Type-Token Mathematics, Mouton"},
    {"Guiraud's index: the types over the square root of the tokens.", "V / sqrt(N)",
     "1/sqrt(N) to sqrt(N)",
     "Guiraud (1954), Les caracteres statistiques du vocabulaire, Presses Universitaires de "
     "France"},
    {"How unpredictable the next word of the window is, in bits: higher means more diverse.",
     "H = -sum p(t) log2 p(t) = log2 of the perplexity", "0 to log2 N", kShannon},
    {"The bits a word of the window takes in a code built on the reference list: higher means "
     "the text departs more from the reference.",
     "-sum p(t) log2 r'(t) = log2 of the cross perplexity", "0 and up", kCoverThomas},
    {"The extra bits a word of the window takes when coded with the reference list instead of "
     "the window's own distribution: 0 when the two agree.",
     "cross entropy - entropy = sum p(t) log2(p(t) / r'(t))", "0 and up, as a rule",
     kKullbackLeibler},
    {"The chance that two tokens drawn from the window with replacement are the same word: "
     "higher means less diverse.",
     "sum p(t)^2", "1/N to 1", kPopescu},
    {"The chance that a token of the window and a token of the reference list are the same "
     "word.",
     "sum p(t) r(t)", "0 to 1", kPopescu},
    {"The TTR on a doubly logarithmic scale (Somers' S).", "ln ln V / ln ln N",
     "0 to 1 once the window holds 3 types or more", kSomers},
    {"The TTR on a triply logarithmic scale.",
     "ln ln ln V / ln ln ln N; 0 while V or N is 2.8 "
     "or less",
     "0 to 1 once the window holds 16 types or more", kSomers},
    {"How many times more surprising the window is for the reference list than for itself.",
     "cross perplexity / perplexity = 2^(relative entropy)", "1 and up, as a rule",
     kKullbackLeibler},
    {"The cross types over the types of the window.", "cross types / V", "0 and up", kOwnCross},
    {"The number of types in bits.", "log2 V", "0 to log2 N",
     "Hartley (1928), Transmission of information, Bell System Technical Journal 7"},
    {"The cross types over the types, in bits.", "log2(cross types) - log2 V", "any number",
     kOwnCross},
    {"Renyi's entropy of order Q, in bits: Q = 0 gives log2 of the types, Q = 2 log2 of the "
     "reverse repeat rate (undefined for Q = 1).",
     "log2(sum p(t)^Q) / (1-Q) = log2 of Hill's number", "0 to log2 N", kRenyi},
    {"Renyi's cross entropy of order Q of the window against the reference list.",
     "log2(sum p(t) r'(t)^(Q-1)) / (1-Q)", "0 and up", kRenyi},
    {"Renyi's divergence of order Q of the window from the reference list.",
     "Renyi cross entropy - Renyi entropy", "0 and up, as a rule", kRenyi},
}};

constexpr std::array<TMeasureHelp, kIndexCount> kIndices = {{
    {"The mean length of the stretches of text whose TTR stays above 0.72: longer stretches "
     "mean a more varied vocabulary.",
     "N / factors, a factor ending where its TTR falls to 0.72; forward and backward averaged",
     "1 and up (NaN when no type repeats)", kMcCarthyJarvis2010},
    {"The mean length of the factors that start at every token (moving-average MTLD).",
     "mean over the start positions of the length until the TTR falls to 0.72; both "
     "directions averaged",
     "1 and up (NaN when no factor completes)", kMcCarthyJarvis2010},
    {"The expected TTR of a random sample of 42 tokens of the text.",
     "sum over types (1 - C(N - f(t), 42) / C(N, 42)) / 42", "0 to 1 (NaN under 42 tokens)",
     "McCarthy & Jarvis (2007), vocd: A theoretical and empirical evaluation, Language "
     "Testing 24"},
    {"The mean TTR of the consecutive segments of the window length.",
     "mean of V/L over the full segments of L tokens", "0 to 1 (NaN when N < L)",
     "Johnson (1944), Studies in language behavior, Psychological Monographs 56"},
    {"Yule's characteristic K: how often words repeat, largely independent of the length; "
     "higher means less diverse.",
     "10^4 (sum i^2 V(i) - N) / N^2", "0 and up", kYule},
    {"Yule's I: the reciprocal view of K; higher means more diverse.", "V^2 / (sum i^2 V(i) - V)",
     "0 and up (Inf when every type occurs once)", kYule},
    {"The chance that two tokens drawn without replacement are the same word.",
     "sum f(t) (f(t) - 1) / (N (N - 1))", "0 to 1",
     "Simpson (1949), Measurement of diversity, "
     "Nature 163"},
    {"Herdan's Vm: the spread of the type frequencies; lower means more diverse.",
     "sqrt(sum V(i) (i/N)^2 - 1/V)", "0 to 1", "Herdan (1960), Type-Token Mathematics, Mouton"},
    {"Maas' a^2: how fast new types become rare as the text grows; lower means more diverse.",
     "(ln N - ln V) / (ln N)^2", "0 and up",
     "Maas (1972), Zeitschrift fuer Literaturwissenschaft und Linguistik 2(8)"},
    {"Dugast's Uber index: higher means more diverse.", "(ln N)^2 / (ln N - ln V)",
     "0 and up (Inf when no type repeats)",
     "Dugast (1979), Vocabulaire et stylistique, Slatkine-Champion"},
    {"Somers' S: the TTR on a doubly logarithmic scale.", "ln ln V / ln ln N",
     "0 to 1 once the text holds 3 types or more", kSomers},
    {"Carroll's corrected TTR.", "V / sqrt(2N)", "0 and up",
     "Carroll (1964), Language and Thought, Prentice-Hall"},
    {"Moving-average MTLD with wrap-around: a factor that reaches the end of the text goes on "
     "from its start.",
     "mean over the start positions of the length until the TTR falls below the threshold "
     "(factors of at least 10 tokens), the text read as a ring",
     "1 and up (NaN when no factor completes)", kMcCarthyJarvis2010},
    {"Bidirectional moving-average MTLD: the forward and the backward pass averaged.",
     "mean of the forward and backward MTLD-MA, a factor ending below the threshold with at "
     "least 10 tokens",
     "1 and up (NaN when no factor completes)", kMcCarthyJarvis2010},
    {"vocd-D: the D of the curve that best fits the mean TTR of random samples of 35 to 50 "
     "tokens; higher means more diverse.",
     "least-squares D of TTR(n) = (D/n)(sqrt(1 + 2n/D) - 1) over n = 35..50, 100 samples "
     "each, one trial",
     "0 and up (NaN under 50 tokens, Inf when no sample repeats a type)",
     "Malvern & Richards (1997); McKee, Malvern & Richards (2000), Literary and Linguistic "
     "Computing 15"},
    {"vocd-D as the mean of three trials, as common implementations report it.",
     "mean of three vocd-D trials with successive random samples", "0 and up (NaN under 50 tokens)",
     "McKee, Malvern & Richards (2000), Literary and Linguistic Computing 15"},
    {"Maas' lgV0 in decimal logarithms: the vocabulary size corrected for the length; higher "
     "means more diverse.",
     "log10 V / sqrt(1 - (log10 V / log10 N)^2)", "0 and up (Inf when no type repeats)",
     "Maas (1972), Zeitschrift fuer Literaturwissenschaft und Linguistik 2(8)"},
    {"Maas' lgV0 in natural logarithms.", "ln V / sqrt(1 - (ln V / ln N)^2)",
     "0 and up (Inf when no type repeats)",
     "Maas (1972), Zeitschrift fuer Literaturwissenschaft und Linguistik 2(8)"},
    {"The Uber index in decimal logarithms (Dugast's index under the name other tools give "
     "it); higher means more diverse.",
     "(log10 N)^2 / (log10 N - log10 V)", "0 and up (Inf when no type repeats)",
     "Dugast (1979), Vocabulaire et stylistique, Slatkine-Champion"},
}};

// Sentences of the options that are not measures, by control name.
const std::map<std::string_view, std::string_view>& OptionSentences() {
  static const std::map<std::string_view, std::string_view> sentences = {
      {ctl::RGMode, "Read the texts from files and folders, or measure text pasted below."},
      {ctl::MemoListOfTexts,
       "Files and folders to read, one a line (folders are read with their sub-folders), or "
       "the pasted text itself. Files can be dropped here."},
      {ctl::ButtonOpenFiles, "Adds files to the list, each on a line of its own."},
      {ctl::RGInputType, "The format of the input files; pasted text is always plain text."},
      {ctl::SpinEditWord, "Column of the word form, counted from 1."},
      {ctl::CheckBoxColumnLemmata, "The files have a column with lemmata: name it."},
      {ctl::SpinEditLemma, "Column of the lemma, counted from 1."},
      {ctl::CheckBoxCollumnTags, "The files have a column with tags: name it."},
      {ctl::SpinEditTags, "Column of the tag, counted from 1."},
      {ctl::EditTextBegin, "A line that begins with this text starts a new document."},
      {ctl::EditTagsForAutosemantics,
       "Tags that begin with one of these prefixes (separated by |) mark content words."},
      {ctl::RadioGroupCaseSensitivity,
       "Whether word forms are lowered before counting; lemmata are never lowered."},
      {ctl::CheckBoxOmitPunctuation, "Leave punctuation tokens out of every count."},
      {ctl::CheckBoxOmitDigits, "Leave tokens made of digits out of every count."},
      {ctl::CheckBoxWordForms, "Measure the word forms as they stand in the text."},
      {ctl::CheckBoxLemmata, "Measure the lemmata; the format must carry them."},
      {ctl::RadioGroupWhatToDo,
       "Measure lexical diversity over a moving window, or count the types of a corpus into "
       "frequency lists for later use as a reference."},
      {ctl::SpinEditWindowLength,
       "Tokens in the moving window, 1 to 1,000,000; a document shorter than the window gets "
       "no window position."},
      {ctl::CheckBoxOtherMetrics, "Shows every further measure."},
      {ctl::CheckBoxLegacyMetrics, "Shows the type-token ratios."},
      {ctl::LabelQ, "The order Q of Hill's continuum and of the Renyi measures."},
      {ctl::EditHillsQ,
       "The order Q of Hill's continuum, a whole number from 0 to 1,000,000: 0 counts types, 2 "
       "gives the reverse "
       "repeat rate; a larger Q weighs frequent words more."},
      {ctl::EditWordDictionary,
       "Measuring: the frequency list of word forms to compare with. Frequency lists: the file "
       "to write the list to."},
      {ctl::ButtonOpenFileWordForm, "Chooses the file of the frequency list of word forms."},
      {ctl::EditLemmaDictionary,
       "Measuring: the frequency list of lemmata to compare with. Frequency lists: the file to "
       "write the list to."},
      {ctl::ButtonOpenFileLemma, "Chooses the file of the frequency list of lemmata."},
      {ctl::CheckBoxReferenceContains,
       "Check this when the frequency list was built from a corpus that includes the texts "
       "you measure: each text's own counts are then taken out of the reference counts, so "
       "that no text is compared with itself. Leave it unchecked for an independent "
       "reference corpus."},
      {ctl::ButtonCreateReference, "Counts the texts and writes the frequency lists."},
      {ctl::EditOutputDirectory,
       "The folder the result files go to; it is created when it does not exist."},
      {ctl::ButtonSelectOutputDirectory,
       "Chooses the folder for the result files; a new name creates a new folder."},
      {ctl::CheckBoxOutputAverages, "One row per document with the mean of every measure."},
      {ctl::CheckBoxOutputDistributions,
       "How many windows fall into each interval of every measure."},
      {ctl::CheckBoxOutputSeries,
       "The value of every measure at every window position: one file per document, large "
       "for big corpora."},
      {ctl::CheckBoxOutputTotalValues,
       "One row per document with every measure taken over the whole document."},
      {ctl::CheckBoxIndices,
       "One row per document with further indices (MTLD, HD-D, Yule's K and more)."},
      {ctl::ButtonProcess, "Starts measuring (Ctrl+R)."},
      {ctl::CheckBoxUniversalDependencies,
       "CoNLL-U by the Universal Dependencies conventions: multiword-token ranges and empty "
       "nodes are not words, and content words follow UPOS."},
      {ctl::CheckBoxDocumentPerFile,
       "Every input file starts a new document, also in formats with a document marker."},
      {ctl::ComboBoxAutosemanticRule,
       "Which tags mark content words: the built-in rule, UPOS (CoNLL-U) or tag prefixes."},
      {ctl::EditAutosemanticPrefixes,
       "Tags that begin with one of these prefixes (separated by |) mark content words."},
      {ctl::CheckBoxDocumentIds,
       "Adds the column \"Document id\" with the id the input gives each document."},
      {ctl::CheckBoxFullPrecision,
       "Writes every value with as many digits as it takes to read back the same number."},
      {ctl::CheckBoxOutputCsv, "Writes the chosen results as CSV files in the output folder."},
      {ctl::CheckBoxOutputDatabase,
       "Writes every chosen result at full precision into Tavora.sqlite in the output folder, "
       "one run after another."},
      {ctl::CheckBoxSafeCsv,
       "Puts an apostrophe before a document name that begins with =, +, - or @, so that "
       "spreadsheets do not run it as a formula."},
      {ctl::EditEncoding,
       "The encoding of the input files, any name ICU knows (windows-1250, KOI8-R, "
       "UTF-16LE); empty: UTF-8."},
      {ctl::EditMtldThreshold, "The TTR at which a factor of MTLD and MTLD-MA ends (0.72)."},
      {ctl::RadioGroupMtldRule,
       "Whether a factor ends at TTR <= threshold, or below it with at least 10 tokens."},
      {ctl::SpinEditHddSample, "The sample size of HD-D in tokens (42)."},
      {ctl::RadioGroupLogBase, "The logarithm of Maas, Dugast and Summer: natural or decimal."},
      {ctl::SpinEditSeed,
       "The start of vocd-D's random samples: the same seed gives the same values."},
  };
  return sentences;
}

std::string Quoted(std::u16string_view text) { return "\"" + Utf16ToUtf8(text) + "\""; }

std::vector<std::string> Lines(const TMeasureHelp& help) {
  if (help.Says.empty()) return {};
  return {std::string(help.Says), "Formula: " + std::string(help.Formula) + ".",
          "Range: " + std::string(help.Range) + ".", "Source: " + std::string(help.Source) + "."};
}

std::vector<std::string> WithNames(std::vector<std::string> lines, std::u16string_view box,
                                   std::string_view name, std::u16string_view column) {
  if (lines.empty()) return lines;
  std::string names = "Names: ";
  names += box.empty() ? "not in the window" : "in the window " + Quoted(box);
  names += "; command line " + std::string(name);
  for (const auto& alias : kMeasureAliases)
    if (alias[1] == name) names += " or " + std::string(alias[0]);
  names += "; result column " + Quoted(column) + ".";
  lines.push_back(std::move(names));
  return lines;
}

std::u16string Joined(const std::vector<std::string>& lines) {
  std::string text;
  for (const std::string& line : lines) {
    if (!text.empty()) text += '\n';
    text += line;
  }
  return Utf8ToUtf16(text);
}

}  // namespace

const TMeasureHelp& MeasureHelp(tMeasure m) { return kBasic[static_cast<std::size_t>(m)]; }

const TMeasureHelp& MeasureHelp(tMeasureSecondary m) {
  return kSecondary[static_cast<std::size_t>(m)];
}

const TMeasureHelp& IndexHelp(tIndex i) { return kIndices[static_cast<std::size_t>(i)]; }

std::vector<std::string> HelpNotation() {
  return {
      "N: the tokens of the window (or of the whole text); V: its types; V(i): the types that "
      "occur i times; f(t): the count of type t; p(t) = f(t) / N.",
      "r(t): the share of t in the reference list; r'(t) = (reference count + 0.5) / "
      "(reference tokens + 0.5 * reference types), the smoothed share.",
      "Q: the order of Hill's continuum; L: the window length; d(a,b): the Levenshtein "
      "distance of a and b divided by the longer length; ln: natural logarithm.",
  };
}

std::vector<std::string> MeasureHelpLines(tMeasure m, std::u16string_view BoxCaption) {
  return WithNames(Lines(MeasureHelp(m)), BoxCaption, MeasureName(m), MeasureCaption(m));
}

std::vector<std::string> MeasureHelpLines(tMeasureSecondary m, std::u16string_view BoxCaption) {
  return WithNames(Lines(MeasureHelp(m)), BoxCaption, MeasureSecondaryName(m),
                   MeasureSecondaryCaption(m));
}

std::vector<std::string> IndexHelpLines(tIndex i) {
  std::vector<std::string> lines = Lines(IndexHelp(i));
  if (!lines.empty())
    lines.push_back("Column " + Quoted(IndexCaption(i)) + " of the indices file.");
  return lines;
}

std::u16string ControlHelp(const TControl& Control) {
  const std::string_view name = Control.Name;
  for (std::size_t m = 0; m < kMeasureCount; ++m) {
    if (kMeasureBoxes[m] == name)
      return Joined(MeasureHelpLines(static_cast<tMeasure>(m), Control.Caption));
  }
  for (std::size_t m = 0; m < kMeasureSecondaryCount; ++m) {
    if (kMeasureSecondaryBoxes[m] == name)
      return Joined(MeasureHelpLines(static_cast<tMeasureSecondary>(m), Control.Caption));
  }
  for (std::size_t i = 0; i < kIndexCount; ++i) {
    if (kIndexBoxes[i] == name) return Joined(IndexHelpLines(static_cast<tIndex>(i)));
  }
  const auto& sentences = OptionSentences();
  const auto it = sentences.find(name);
  return it == sentences.end() ? std::u16string() : Utf8ToUtf16(it->second);
}

}  // namespace tavora
