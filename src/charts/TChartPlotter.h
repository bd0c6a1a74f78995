#pragma once

// Draws a series chart of a result folder into an image file without a window, for the
// command line. The header is free of Qt so that the command line's sources stay so.

#include <cstdint>
#include <filesystem>
#include <string>

#include "engine/Measures.h"

namespace tavora {

struct TPlotRequest {
  std::filesystem::path Folder;  // the output folder of a run
  std::filesystem::path Out;     // .svg for SVG, anything else for PNG
  std::u16string Caption;        // the measure's caption in the series header
  // A document number (from 1), or a document id of the folder's "Document id" column.
  std::string Doc = "1";
  tWordOrLemma Kind = tWordOrLemma::tokWord;
  std::int64_t Lag = 0;  // window length; 0 takes the smallest in the folder
  int Width = 1000;
  int Height = 600;
};

class TChartPlotter {
 public:
  // Reads the series and writes the chart. Creates an application object on the
  // "offscreen" platform when none exists and no platform is set. Throws
  // std::runtime_error naming the folder or file when there is nothing to draw (no such
  // series, or a document shorter than the window) or the image cannot be written.
  static void Plot(const TPlotRequest& Request);
};

}  // namespace tavora
