#pragma once

// How the results view names what it shows: documents by a short name, measures by their
// column caption with the window's own caption beside it (and Q where it applies), charts by
// a title and a file name that say what they show.

#include <cstdint>
#include <optional>

#include <QString>
#include <QStringList>

#include "engine/Measures.h"

namespace tavora {

// The short name of a document: its id when the input gives one, otherwise the base name of
// its file; "pasted text" for a document without a file.
[[nodiscard]] QString ShortDocumentName(const QString& FileName, const QString& DocumentId = {});

// A measure as the lists show it: the caption of its column, then, after a dash, the caption
// of its check box where that says more and Q for the measures of order Q when it is known
// ("Hills Continuum — Hill's continuum, Q = 3").
[[nodiscard]] QString MeasureLabel(const QString& Caption, std::optional<double> HillsQ);

// The caption with Q for the measures of order Q when it is known ("Hills Continuum, Q = 3").
[[nodiscard]] QString MeasureTitle(const QString& Caption, std::optional<double> HillsQ);

// What the measure says, its formula, range, source and names; empty for an unknown caption.
[[nodiscard]] QString MeasureToolTip(const QString& Caption);

// A chart's title: "Perplexity: letter.txt (text 2), word forms, window 50". Documents: the
// short names with their numbers, or one text such as "all documents".
[[nodiscard]] QString ChartTitle(const QString& MeasureTitle, const QStringList& Documents,
                                 const QString& Kinds, std::int64_t Lag);

// The file name offered when a chart is saved: "ttr-doc3-w200.png", "ttr-lemma-total-w200.png";
// Documents: their numbers, none for the whole run.
[[nodiscard]] QString ChartFileName(const QString& Caption, const QList<std::int64_t>& Documents,
                                    tWordOrLemma Kind, std::int64_t Lag);

// "word forms" or "lemmata".
[[nodiscard]] QString KindText(tWordOrLemma Kind);

}  // namespace tavora
