// The year of light as a table: text for people, CSV and JSON for scripts,
// all UTF-8 with "." decimals whatever the locale.
#pragma once

#include "forecast/YearOfLight.h"

#include <string>

namespace tavik {

// A header naming satellite, model and attitude, one row per day, then the
// eclipse seasons.
std::string YearReportText(const YearOfLight& year);
// One row per day with the JSON day fields as columns, CR LF.
std::string YearReportCsv(const YearOfLight& year);
// {"satellite", "model", "attitude", "days": [...], "seasons": [...]}.
std::string YearReportJson(const YearOfLight& year);

} // namespace tavik
