#pragma once

// The controls of the main window as plain data: names, kinds, texts, start values,
// bounds, and the shown/enabled flags that the option rules change. The names are the
// names of the options, whatever the front end (options/ControlNames.h).

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace tavora {

// The shortest window length the window's field takes: the engine measures windows of any
// length from one token, as the command line does.
inline constexpr int kMinWindowLength = 1;

enum class TControlKind {
  Panel,          // groups controls; shown or hidden as a whole
  RadioGroup,     // Caption, Items, ItemIndex (-1: nothing chosen)
  Choice,         // a drop-down list beside the control before it: Items, ItemIndex
  CheckBox,       // Caption, Checked
  IntegerField,   // Label, Text, MinValue, MaxValue
  TextField,      // Label, Text (one line)
  MultiLineText,  // Text (lines separated by CR LF or LF)
  Button,         // Caption
  Label,          // Caption (a free-standing label with its own visibility)
};

struct TControl {
  std::string Name;
  TControlKind Kind = TControlKind::Panel;
  std::string Parent;  // the enclosing panel; empty for a top-level panel
  std::u16string Caption;
  std::u16string Label;  // text of the label beside a field
  std::vector<std::u16string> Items;
  std::vector<bool> ItemsEnabled;  // of a Choice, one per item; empty: every item
  int Columns = 1;                 // columns of a radio group's items
  bool Shown = true;
  bool Enabled = true;
  bool Checked = false;
  int ItemIndex = -1;
  std::u16string Text;
  int MinValue = 0;
  int MaxValue = 0;
  std::u16string Help;  // what the option does (MeasureHelp.h); the window's tooltip
};

// The window's controls in their start state, in window order: the left column top to
// bottom, then the right column top to bottom, every control after its panel.
class TOptionControls {
 public:
  TOptionControls();

  [[nodiscard]] const std::vector<TControl>& All() const noexcept { return controls_; }
  // Index of a control; throws std::invalid_argument "Unknown option '<Name>'".
  [[nodiscard]] std::size_t IndexOf(std::string_view Name) const;
  [[nodiscard]] const TControl& operator[](std::string_view Name) const {
    return controls_[IndexOf(Name)];
  }
  [[nodiscard]] TControl& operator[](std::string_view Name) { return controls_[IndexOf(Name)]; }

 private:
  std::vector<TControl> controls_;
};

}  // namespace tavora
