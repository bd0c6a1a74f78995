// Known faults of the option model and its reference cache, kept as disabled tests until
// they are mended. Each names the rule it checks.

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "options/TOptionsModel.h"
#include "options/TReferenceCache.h"

namespace tavora {
namespace {

namespace fs = std::filesystem;

// Rule: a measuring run prepares the word-form list whenever "Word Forms" is checked and
// its field is not empty, and a list file that does not exist leaves the list empty
// rather than failing the run. The cache makes a missing list an error so that cross
// measures are never computed against an empty list; but the error also fires when no
// cross measure is chosen, i.e. while the list panel (and the field that names the
// missing file) is hidden from the user. Such a run must not fail over a list that no
// chosen measure needs.
TEST(ReviewReferenceLists,
     DISABLED_MissingListInHiddenFieldDoesNotFailARunWithoutCrossMeasures) {
  TOptionsModel m;
  m.SetItemIndex("RGMode", 0);
  m.SetItemIndex("RGInputType", 3);
  m.SetItemIndex("RadioGroupWhatToDo", 0);
  m.SetChecked("CheckBoxCrossPerplexity", true);
  const fs::path missing = fs::temp_directory_path() / "tavora_review_no_such_list.tsv";
  fs::remove(missing);
  m.SetText("EditWordDictionary", missing.u16string());
  m.SetChecked("CheckBoxCrossPerplexity", false);
  ASSERT_FALSE(m.IsVisible("EditWordDictionary"));

  m.PrepareRun();
  const TMeasureParameters p = m.GetMeasureParameters();
  ASSERT_FALSE(p.measures.Contains(tMeasure::vCrossPerplexity));
  TReferenceCache cache;
  EXPECT_NO_THROW((void)cache.Resolve(m.GetReferenceFileNames()));
}

}  // namespace
}  // namespace tavora
