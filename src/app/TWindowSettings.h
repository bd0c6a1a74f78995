#pragma once

// The last settings, kept in the user's settings store (QSettings) so that "Restore last
// settings" can bring them back: every option that carries a value (the input format, the
// options, the measures, the window length, the output folder; the list of texts is not an
// option and is not kept) and the window's geometry. A start of the program always begins
// from the start values; the settings come back only on request.

class QWidget;

namespace tavora {

class TOptionsModel;

class TWindowSettings {
 public:
  // Keeps the options of the model and the geometry of the window.
  static void Save(const TOptionsModel& Model, const QWidget& Window);
  // Whether settings were kept before.
  [[nodiscard]] static bool Exist();
  // Sets the kept options on the model as a user would, in window order (a choice before
  // the controls it enables); an option the model does not take now is passed over. Then
  // the window's geometry. Returns false when nothing was kept.
  static bool Restore(TOptionsModel& Model, QWidget& Window);
};

}  // namespace tavora
