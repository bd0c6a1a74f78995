#pragma once

// The rules of the option model: what a change of one control's value shows, hides, enables,
// disables or clears among the others. Made for each change over the model's controls and
// the little the rules remember between changes, as TOptionEncoders is made for each reading.

#include <array>
#include <functional>
#include <string>
#include <string_view>

#include "input/THow.h"
#include "options/TOptionControls.h"

namespace tavora {

class TOptionRules {
 public:
  // What the rules remember between changes.
  struct TState {
    bool WolBelowInputDetails = false;  // PanelWoL has moved below PanelInputDetails
    bool RuleSetByUd = false;           // the UD box chose UPOS; unchecking it goes back
    // MemoListOfTexts holds the text of the chosen text source; the other source's text
    // waits here, so that file names are never read as pasted text nor pasted text as
    // file names.
    std::array<std::u16string, 2> InputTexts;  // by text source, while not shown
    int InputTextMode = -1;                    // the source whose text the field holds
  };
  using TObserver = std::function<void(std::string_view)>;

  // Changes Controls and State, which must outlive the rules, and tells Observer (when it
  // is set) the name of every control whose value, text, shown or enabled flag changes.
  TOptionRules(TOptionControls& Controls, TState& State, const TObserver& Observer)
      : c_(Controls), state_(State), observer_(Observer) {}

  // Runs the rule of a control whose value the user has changed; most controls have none.
  void RunRuleOf(std::string_view Name);
  // The rules of the text source and of the input format, which also run without a change
  // of value (a dropped file, the start of a run).
  void RGModeClick();
  void RGInputTypeClick();
  void Notify(std::string_view Name) const;

  // The two conditions the rules share.
  [[nodiscard]] static bool LemmaPossible(const TOptionControls& Controls);
  [[nodiscard]] static bool TagsPossible(const TOptionControls& Controls);

 private:
  void SetShown(std::string_view Name, bool Shown);
  void SetEnabled(std::string_view Name, bool Enabled);
  // A check changed by a rule; runs the box's own rule when the check changes.
  void SetCheckedByRule(std::string_view Name, bool Checked);
  [[nodiscard]] bool Checked(std::string_view Name) const { return c_[Name].Checked; }
  [[nodiscard]] int Index(std::string_view Name) const { return c_[Name].ItemIndex; }
  [[nodiscard]] bool AnyCrossChecked() const;
  void SwapInputText(int Mode);

  void ApplyLemmaPossible();
  void ApplyTagsPossible();
  void ApplyAutosemanticRule();
  // The rule of content words set by a rule (SetCheckedByRule's counterpart).
  void SetRuleChoiceByRule(TAutosemanticChoice Choice);
  void ComboBoxAutosemanticRuleClick();
  void CheckBoxUniversalDependenciesClick();
  void CheckBoxColumnLemmataClick();
  void CheckBoxCollumnTagsClick();
  void CheckBoxWordFormsClick();
  void CheckBoxLemmataClick();
  void RadioGroupWhatToDoClick();
  void CheckBoxCrossClick();
  void CheckBoxOtherMetricsClick();
  void CheckBoxLegacyMetricsClick();
  void CheckBoxHillsContinuumClick();
  void CheckBoxIndicesClick();

  TOptionControls& c_;
  TState& state_;
  const TObserver& observer_;
};

}  // namespace tavora
