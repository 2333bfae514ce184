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
};

// Asks for the list and the format, then for the file (named after the
// satellite, in folder); nothing when cancelled.
std::optional<ExportChoice> AskExport(QWidget* parent, const QString& satName, const QString& folder);

} // namespace tavik::shell
