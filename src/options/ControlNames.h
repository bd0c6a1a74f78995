#pragma once

// The names of the option controls of the main window: the one spelling of each name, used
// by the option model, the window and the command line. Each constant holds its own name.
// Below them, the check boxes that choose each measure, kind, result family and index.

#include <array>
#include <string_view>

#include "engine/Indices.h"
#include "engine/Measures.h"
#include "results/ResultNames.h"

namespace tavora::ctl {

inline constexpr std::string_view PanelFirstDecision = "PanelFirstDecision";
inline constexpr std::string_view RGMode = "RGMode";

inline constexpr std::string_view PanelInputTexts = "PanelInputTexts";
inline constexpr std::string_view MemoListOfTexts = "MemoListOfTexts";

inline constexpr std::string_view PanelLoadTexts = "PanelLoadTexts";
inline constexpr std::string_view ButtonOpenFiles = "ButtonOpenFiles";

inline constexpr std::string_view PanelInputType = "PanelInputType";
inline constexpr std::string_view RGInputType = "RGInputType";
inline constexpr std::string_view CheckBoxUniversalDependencies = "CheckBoxUniversalDependencies";
inline constexpr std::string_view EditEncoding = "EditEncoding";

inline constexpr std::string_view PanelCustomVertical = "PanelCustomVertical";
inline constexpr std::string_view SpinEditWord = "SpinEditWord";
inline constexpr std::string_view CheckBoxColumnLemmata = "CheckBoxColumnLemmata";
inline constexpr std::string_view SpinEditLemma = "SpinEditLemma";
inline constexpr std::string_view CheckBoxCollumnTags = "CheckBoxCollumnTags";
inline constexpr std::string_view SpinEditTags = "SpinEditTags";
inline constexpr std::string_view EditTextBegin = "EditTextBegin";
inline constexpr std::string_view LabelTagsForAutosemantics = "LabelTagsForAutosemantics";
inline constexpr std::string_view EditTagsForAutosemantics = "EditTagsForAutosemantics";

inline constexpr std::string_view PanelInputDetails = "PanelInputDetails";
inline constexpr std::string_view RadioGroupCaseSensitivity = "RadioGroupCaseSensitivity";
inline constexpr std::string_view CheckBoxOmitPunctuation = "CheckBoxOmitPunctuation";
inline constexpr std::string_view CheckBoxOmitDigits = "CheckBoxOmitDigits";
inline constexpr std::string_view CheckBoxDocumentPerFile = "CheckBoxDocumentPerFile";

inline constexpr std::string_view PanelWoL = "PanelWoL";
inline constexpr std::string_view CheckBoxWordForms = "CheckBoxWordForms";
inline constexpr std::string_view CheckBoxLemmata = "CheckBoxLemmata";

inline constexpr std::string_view PanelWhatToDo = "PanelWhatToDo";
inline constexpr std::string_view RadioGroupWhatToDo = "RadioGroupWhatToDo";

inline constexpr std::string_view PanelWindowLength = "PanelWindowLength";
inline constexpr std::string_view SpinEditWindowLength = "SpinEditWindowLength";

inline constexpr std::string_view PanelMetrics = "PanelMetrics";
inline constexpr std::string_view CheckBoxTypes = "CheckBoxTypes";
inline constexpr std::string_view CheckBoxPerplexity = "CheckBoxPerplexity";
inline constexpr std::string_view CheckBoxCrossPerplexity = "CheckBoxCrossPerplexity";
inline constexpr std::string_view CheckBoxOtherMetrics = "CheckBoxOtherMetrics";

inline constexpr std::string_view PanelOtherMetrics = "PanelOtherMetrics";
inline constexpr std::string_view CheckBoxHapax = "CheckBoxHapax";
inline constexpr std::string_view CheckBoxRRR = "CheckBoxRRR";
inline constexpr std::string_view CheckBoxCrossDistinctionRate = "CheckBoxCrossDistinctionRate";
inline constexpr std::string_view CheckBoxRepeatRate = "CheckBoxRepeatRate";
inline constexpr std::string_view CheckBoxCrossRepeatRate = "CheckBoxCrossRepeatRate";
inline constexpr std::string_view CheckBoxEntropy = "CheckBoxEntropy";
inline constexpr std::string_view CheckBoxCrossEntropy = "CheckBoxCrossEntropy";
inline constexpr std::string_view CheckBoxRelativePerplexity = "CheckBoxRelativePerplexity";
inline constexpr std::string_view CheckBoxRelativeEntropy = "CheckBoxRelativeEntropy";
inline constexpr std::string_view CheckBoxDissimilarity_Levenshtein =
    "CheckBoxDissimilarity_Levenshtein";
inline constexpr std::string_view CheckBoxHillsContinuum = "CheckBoxHillsContinuum";
inline constexpr std::string_view LabelQ = "LabelQ";
inline constexpr std::string_view EditHillsQ = "EditHillsQ";
inline constexpr std::string_view CheckBoxAutosemanticsRatio = "CheckBoxAutosemanticsRatio";
inline constexpr std::string_view ComboBoxAutosemanticRule = "ComboBoxAutosemanticRule";
inline constexpr std::string_view EditAutosemanticPrefixes = "EditAutosemanticPrefixes";
inline constexpr std::string_view CheckBoxWordLength = "CheckBoxWordLength";
inline constexpr std::string_view CheckBoxLegacyMetrics = "CheckBoxLegacyMetrics";

inline constexpr std::string_view PanelLegacyMetrics = "PanelLegacyMetrics";
inline constexpr std::string_view CheckBoxTTR = "CheckBoxTTR";
inline constexpr std::string_view CheckBoxLogTTR = "CheckBoxLogTTR";
inline constexpr std::string_view CheckBoxRootTTR = "CheckBoxRootTTR";

inline constexpr std::string_view PanelDictionary = "PanelDictionary";
inline constexpr std::string_view EditWordDictionary = "EditWordDictionary";
inline constexpr std::string_view ButtonOpenFileWordForm = "ButtonOpenFileWordForm";
inline constexpr std::string_view EditLemmaDictionary = "EditLemmaDictionary";
inline constexpr std::string_view ButtonOpenFileLemma = "ButtonOpenFileLemma";
inline constexpr std::string_view CheckBoxReferenceContains = "CheckBoxReferenceContains";
inline constexpr std::string_view ButtonCreateReference = "ButtonCreateReference";

inline constexpr std::string_view PanelProcess = "PanelProcess";
inline constexpr std::string_view EditOutputDirectory = "EditOutputDirectory";
inline constexpr std::string_view ButtonSelectOutputDirectory = "ButtonSelectOutputDirectory";
inline constexpr std::string_view CheckBoxOutputAverages = "CheckBoxOutputAverages";
inline constexpr std::string_view CheckBoxOutputDistributions = "CheckBoxOutputDistributions";
inline constexpr std::string_view CheckBoxOutputSeries = "CheckBoxOutputSeries";
inline constexpr std::string_view CheckBoxOutputTotalValues = "CheckBoxOutputTotalValues";
inline constexpr std::string_view CheckBoxIndices = "CheckBoxIndices";
inline constexpr std::string_view CheckBoxSafeCsv = "CheckBoxSafeCsv";
inline constexpr std::string_view CheckBoxOutputCsv = "CheckBoxOutputCsv";
inline constexpr std::string_view CheckBoxOutputDatabase = "CheckBoxOutputDatabase";

inline constexpr std::string_view PanelIndices = "PanelIndices";
inline constexpr std::string_view CheckBoxDocumentIds = "CheckBoxDocumentIds";
inline constexpr std::string_view CheckBoxFullPrecision = "CheckBoxFullPrecision";
inline constexpr std::string_view ButtonProcess = "ButtonProcess";

// The boxes of PanelIndices, one per further index.
inline constexpr std::string_view CheckBoxIndexMTLD = "CheckBoxIndexMTLD";
inline constexpr std::string_view CheckBoxIndexMTLDMA = "CheckBoxIndexMTLDMA";
inline constexpr std::string_view CheckBoxIndexHDD = "CheckBoxIndexHDD";
inline constexpr std::string_view CheckBoxIndexMSTTR = "CheckBoxIndexMSTTR";
inline constexpr std::string_view CheckBoxIndexYuleK = "CheckBoxIndexYuleK";
inline constexpr std::string_view CheckBoxIndexYuleI = "CheckBoxIndexYuleI";
inline constexpr std::string_view CheckBoxIndexSimpsonD = "CheckBoxIndexSimpsonD";
inline constexpr std::string_view CheckBoxIndexHerdanVm = "CheckBoxIndexHerdanVm";
inline constexpr std::string_view CheckBoxIndexMaas = "CheckBoxIndexMaas";
inline constexpr std::string_view CheckBoxIndexDugast = "CheckBoxIndexDugast";
inline constexpr std::string_view CheckBoxIndexSummer = "CheckBoxIndexSummer";
inline constexpr std::string_view CheckBoxIndexCTTR = "CheckBoxIndexCTTR";
inline constexpr std::string_view CheckBoxIndexMTLDMAWrap = "CheckBoxIndexMTLDMAWrap";
inline constexpr std::string_view CheckBoxIndexMTLDMABid = "CheckBoxIndexMTLDMABid";
inline constexpr std::string_view CheckBoxIndexVocdD = "CheckBoxIndexVocdD";
inline constexpr std::string_view CheckBoxIndexVocdD3 = "CheckBoxIndexVocdD3";
inline constexpr std::string_view CheckBoxIndexLgV0 = "CheckBoxIndexLgV0";
inline constexpr std::string_view CheckBoxIndexLgeV0 = "CheckBoxIndexLgeV0";
inline constexpr std::string_view CheckBoxIndexUber = "CheckBoxIndexUber";

// The variants of the indices' definitions, below the boxes of PanelIndices.
inline constexpr std::string_view EditMtldThreshold = "EditMtldThreshold";
inline constexpr std::string_view RadioGroupMtldRule = "RadioGroupMtldRule";
inline constexpr std::string_view SpinEditHddSample = "SpinEditHddSample";
inline constexpr std::string_view RadioGroupLogBase = "RadioGroupLogBase";
inline constexpr std::string_view SpinEditSeed = "SpinEditSeed";

}  // namespace tavora::ctl

namespace tavora {

// Where a measure has no box of its own.
inline constexpr std::string_view kNoBox;

// The box that chooses each basic measure, by tMeasure; kNoBox for a measure that no box
// chooses (tokens are always measured, the others only on the command line).
inline constexpr std::array<std::string_view, kMeasureCount> kMeasureBoxes = {
    kNoBox,                                  // vTokens
    ctl::CheckBoxTypes,                      // vTypes
    ctl::CheckBoxHapax,                      // vHapax
    ctl::CheckBoxPerplexity,                 // vPerplexity
    ctl::CheckBoxRRR,                        // vRRR
    ctl::CheckBoxHillsContinuum,             // vHillsContinuum
    kNoBox,                                  // vCrossTypes
    ctl::CheckBoxCrossPerplexity,            // vCrossPerplexity
    ctl::CheckBoxCrossDistinctionRate,       // vCrossRRR
    kNoBox,                                  // vCrossHillsContinuum
    ctl::CheckBoxWordLength,                 // vLength
    ctl::CheckBoxDissimilarity_Levenshtein,  // vDifference
    ctl::CheckBoxAutosemanticsRatio,         // vAutosemantics
};

// The box of each secondary measure, by tMeasureSecondary; kNoBox where none.
inline constexpr std::array<std::string_view, kMeasureSecondaryCount> kMeasureSecondaryBoxes = {
    ctl::CheckBoxTTR,                 // vTTR
    ctl::CheckBoxLogTTR,              // vLogTTR
    ctl::CheckBoxRootTTR,             // vRootTTR
    ctl::CheckBoxEntropy,             // vEntropy
    ctl::CheckBoxCrossEntropy,        // vCrossEntropy
    ctl::CheckBoxRelativeEntropy,     // vRelativeEntropy
    ctl::CheckBoxRepeatRate,          // vRepeatRate
    ctl::CheckBoxCrossRepeatRate,     // vCrossRepeatRate
    kNoBox,                           // vLogLogTTR
    kNoBox,                           // vLogLogLogTTR
    ctl::CheckBoxRelativePerplexity,  // vRelativePerplexity
    kNoBox,                           // vRelativeTypes
    kNoBox,                           // vLogTypes
    kNoBox,                           // vLogRelativeTypes
    kNoBox,                           // vRenyiEntropy
    kNoBox,                           // vRenyiCrossEntropy
    kNoBox,                           // vRenyiRelativeEntropy
};

// The box of each kind, by tWordOrLemma.
inline constexpr std::array<std::string_view, kWordOrLemmaCount> kKindBoxes = {
    ctl::CheckBoxWordForms, ctl::CheckBoxLemmata};

// The box of each family of result files, by TOutputType.
inline constexpr std::array<std::string_view, kOutputTypeCount> kOutputBoxes = {
    ctl::CheckBoxOutputAverages, ctl::CheckBoxOutputDistributions, ctl::CheckBoxOutputSeries,
    ctl::CheckBoxOutputTotalValues, ctl::CheckBoxIndices};

// The box of each further index, by tIndex.
inline constexpr std::array<std::string_view, kIndexCount> kIndexBoxes = {
    ctl::CheckBoxIndexMTLD,       ctl::CheckBoxIndexMTLDMA,    ctl::CheckBoxIndexHDD,
    ctl::CheckBoxIndexMSTTR,      ctl::CheckBoxIndexYuleK,     ctl::CheckBoxIndexYuleI,
    ctl::CheckBoxIndexSimpsonD,   ctl::CheckBoxIndexHerdanVm,  ctl::CheckBoxIndexMaas,
    ctl::CheckBoxIndexDugast,     ctl::CheckBoxIndexSummer,    ctl::CheckBoxIndexCTTR,
    ctl::CheckBoxIndexMTLDMAWrap, ctl::CheckBoxIndexMTLDMABid, ctl::CheckBoxIndexVocdD,
    ctl::CheckBoxIndexVocdD3,     ctl::CheckBoxIndexLgV0,      ctl::CheckBoxIndexLgeV0,
    ctl::CheckBoxIndexUber};

}  // namespace tavora
