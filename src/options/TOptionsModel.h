#pragma once

// The option model of the main window, independent of any toolkit. A front end sets
// controls by name (as the user would), reads every control's value, texts and
// shown/enabled flags back, and takes the run parameters from it. The rules that show,
// hide, enable, disable and clear controls run inside the setters, whenever a value
// changes. A command-line front end sets the same names and gets the same parameters.

#include <array>
#include <functional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "engine/Measures.h"
#include "options/TOptionControls.h"
#include "options/TOptionEncoders.h"
#include "options/TOptionRules.h"
#include "processing/RunOptions.h"

namespace tavora {

// An option that cannot take the value given (unknown name, wrong kind, disabled
// control, unreadable value). The message names the option.
class EOptionError : public std::invalid_argument {
 public:
  using std::invalid_argument::invalid_argument;
};

class TOptionsModel {
 public:
  static constexpr std::u16string_view kWindowCaption = u"Tavora";

  TOptionsModel() = default;

  // ---- Reading ----
  // Every control in window order (left column, then right column, each control after
  // its panel).
  [[nodiscard]] const std::vector<TControl>& Controls() const noexcept { return c_.All(); }
  [[nodiscard]] const TControl& Control(std::string_view Name) const { return c_[Name]; }
  // The control's own flag, as set by the rules.
  [[nodiscard]] bool IsShown(std::string_view Name) const { return c_[Name].Shown; }
  // Own flag and every enclosing panel's: whether the user can see the control.
  [[nodiscard]] bool IsVisible(std::string_view Name) const;
  [[nodiscard]] bool IsEnabled(std::string_view Name) const { return c_[Name].Enabled; }
  [[nodiscard]] bool IsChecked(std::string_view Name) const;
  [[nodiscard]] int GetItemIndex(std::string_view Name) const;
  // Text of a text field, the multi-line text or an integer field (as typed).
  [[nodiscard]] const std::u16string& GetText(std::string_view Name) const;
  // Value of an integer field: its text read as a decimal integer, a text that is not
  // an integer counting as the lower bound; always within the bounds.
  [[nodiscard]] int GetValue(std::string_view Name) const;
  [[nodiscard]] const std::u16string& GetCaption(std::string_view Name) const {
    return c_[Name].Caption;
  }
  [[nodiscard]] const std::u16string& GetLabel(std::string_view Name) const {
    return c_[Name].Label;
  }
  [[nodiscard]] const std::vector<std::u16string>& GetItems(std::string_view Name) const {
    return c_[Name].Items;
  }
  // Top-level panels of each column, top to bottom. PanelWoL stands above
  // PanelInputDetails until a text source is first chosen, below it from then on.
  [[nodiscard]] std::vector<std::string> LeftColumnPanels() const;
  [[nodiscard]] std::vector<std::string> RightColumnPanels() const;

  // ---- Changing, as the user does ----
  // Each setter throws EOptionError for an unknown name, a control of another kind or a
  // disabled control, and runs the control's rule when its value changes.
  void SetChecked(std::string_view Name, bool Checked);
  // -1 (nothing chosen) up to the number of items - 1 (a radio group), or an enabled item
  // (a choice).
  void SetItemIndex(std::string_view Name, int ItemIndex);
  // Text fields, the multi-line text, and integer fields as typed (not yet clamped).
  void SetText(std::string_view Name, std::u16string Text);
  // The user leaves an integer field: a value outside the bounds becomes the nearer
  // bound, an unreadable text the lower bound. Other controls: nothing happens.
  void LeaveField(std::string_view Name);
  // An integer field typed and left.
  void SetValue(std::string_view Name, int Value);
  // Any value-carrying control from text: a check box takes "1"/"true"/"yes"/"on" or
  // "0"/"false"/"no"/"off"; a radio group takes an index or one of its items; an
  // integer field is typed and left; text fields take the text unchanged.
  void SetOption(std::string_view Name, std::u16string_view Value);
  // Several options, applied in window order whatever their order here, so that a choice
  // (text source, input format, column boxes) comes before the boxes it enables.
  void SetOptions(const std::vector<std::pair<std::string, std::u16string>>& Options);

  // Appends a line (an input path) as the new last line of MemoListOfTexts, after
  // whatever it holds ("Open files").
  void AddInputLine(std::u16string_view Line);
  // A file dropped on the window: the text source becomes files (its rule runs even when
  // it already was) and the name is appended as by AddInputLine.
  void DropFile(std::u16string_view FileName);

  // Every control back to its start state, as at window creation. The list of files and
  // the pasted text are kept, each for its text source, until that source is chosen again.
  void ResetToStartValues();

  // Called with the control's name whenever its value, text, shown or enabled flag
  // changes, and with ctl::PanelWoL when that panel moves.
  void SetObserver(std::function<void(std::string_view)> Observer) {
    observer_ = std::move(Observer);
  }

  // ---- Encoders: each reads the checked state of its boxes only (TOptionEncoders) ----
  [[nodiscard]] TWordOrLemmaSet EncodeWoL() const { return Encoders().EncodeWoL(); }
  [[nodiscard]] TMeasureSet EncodeMetrics() const { return Encoders().EncodeMetrics(); }
  [[nodiscard]] tMeasureSecondarySet EncodeMetricsSecondary() const {
    return Encoders().EncodeMetricsSecondary();
  }
  // Holds outIndices when CheckBoxIndices is checked.
  [[nodiscard]] TOutputTypeSet EncodeOutputTypes() const { return Encoders().EncodeOutputTypes(); }
  // The checked boxes of PanelIndices.
  [[nodiscard]] TIndexSet EncodeIndices() const { return Encoders().EncodeIndices(); }
  // The variants below that list (the defaults while CheckBoxIndices is unchecked); throws
  // EConvertError for an unreadable MTLD threshold.
  [[nodiscard]] TIndexVariants EncodeIndexVariants() const {
    return Encoders().EncodeIndexVariants();
  }
  // Fills a record that the caller has cleared.
  void EncodeCustomVertcal(TCustomVertical& Custom) const {
    Encoders().EncodeCustomVertcal(Custom);
  }
  // The rule of content words, the UD, document-per-file, document-id and precision boxes.
  [[nodiscard]] TCorpusOptions EncodeCorpusOptions() const {
    return Encoders().EncodeCorpusOptions();
  }

  // ---- Runs ----
  // Start of either run: with no input format chosen, or with pasted text, the input
  // format becomes "Plain text (UTF-8)" and its rule runs.
  void PrepareRun();
  // The reference lists a measuring run uses, by kind; empty for a kind that is not
  // measured, whose field is empty, or while the reference box is hidden.
  [[nodiscard]] TWordOrLemmaNames GetReferenceFileNames() const {
    return Encoders().GetReferenceFileNames();
  }
  // The values "Process the texts!" passes; throws EConvertError for an unreadable
  // Hill's Q or MTLD threshold. Call PrepareRun first.
  [[nodiscard]] TMeasureParameters GetMeasureParameters() const {
    return Encoders().GetMeasureParameters();
  }
  // The values "Create frequency list of types" passes. Call PrepareRun first.
  [[nodiscard]] TDictionaryParameters GetDictionaryParameters() const {
    return Encoders().GetDictionaryParameters();
  }

  // The two conditions the rules share.
  [[nodiscard]] bool LemmaPossible() const { return TOptionRules::LemmaPossible(c_); }
  [[nodiscard]] bool TagsPossible() const { return TOptionRules::TagsPossible(c_); }

 private:
  TControl& Changeable(std::string_view Name, TControlKind Kind);
  void Notify(std::string_view Name) const;
  [[nodiscard]] TOptionEncoders Encoders() const { return TOptionEncoders(c_); }
  [[nodiscard]] TOptionRules Rules() { return TOptionRules(c_, state_, observer_); }

  TOptionControls c_;
  TOptionRules::TState state_;
  std::function<void(std::string_view)> observer_;
};

}  // namespace tavora
