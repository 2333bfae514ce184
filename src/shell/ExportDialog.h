// File > Export…: which list (passes or eclipses), in which format, into
// which file. The choice only; the window makes the bytes and writes them.
#pragma once

#include "output/Exports.h"

#include <QString>

#include <optional>

class QWidget;

namespace tavik::shell {

struct ExportChoice {
    bool Passes = true; // else the eclipses
    ExportFormat Format = ExportFormat::Csv;
    QString Path;
    // The passes as the Pass details tab filters them unless this is set.
    bool AllPasses = false;
};

// Asks for the list and the format, then for the file (named after the
// satellite, in folder); nothing when cancelled. filterNote ("237 of 462
// passes, at least 20°") says what the Pass details filter leaves; empty when
// it hides nothing.
std::optional<ExportChoice> AskExport(QWidget* parent, const QString& satName, const QString& folder,
                                      const QString& filterNote);

} // namespace tavik::shell
