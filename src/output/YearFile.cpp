#include "output/YearFile.h"

#include "output/ListFiles.h"
#include "platform/AtomicFile.h"
#include "platform/Cp1252.h"
#include "platform/DateTime.h"
#include "platform/Error.h"
#include "platform/TextForms.h"

namespace tavik {

std::string YearFileName(std::string_view satName, int year)
{
    // "_sowi_" is the year file's fixed name part: stored files and the
    // programs that read them look for it, so it stays as it is.
    return SafeFileStem(satName) + "_sowi_" + std::to_string(year) + ".csv";
}

std::vector<std::string> SunAngleYearRows(int year, const CurrentElementSet& elements, const Station& station,
                                          const Attitude& attitude, ShadowCarry& carry, const RegionalFormats& formats,
                                          const YearProgress& progress)
{
    if (const auto why = PropagationProblem(elements)) throw InputError(*why);
    auto yearStart = DateTime::FromCalendar(year, 1, 1, 12);
    if (!yearStart) throw InputError("the year " + std::to_string(year) + " is not from 1 to 9999");

    std::vector<std::string> rows;
    rows.reserve(YearRows);
    for (int t = 0; t < YearRows; ++t) {
        if (progress) progress(t, YearProgressMaximum);
        // Still at 12:00:00: in a common year the last row is January 1 of the next year.
        DateTime day = yearStart->AddDays(t);
        const CalcInstant at = CalcInstantOf(day);
        StepState s = ComputeState(elements, station, attitude, at, carry);
        // The regional short date, not a cut of the date-time text, which
        // would take part of the time where day or month have one digit.
        rows.push_back(FormatShortDate(day, formats) + " ; " + FormatDefaultDouble(s.SunAngle(), formats) + ";"
                       + FormatDefaultDouble(s.Sun().SubSolarLat, formats) + ";"
                       + FormatDefaultDouble(s.Sun().SubSolarLon, formats));
    }
    if (progress) progress(0, YearProgressMaximum);
    return rows;
}

std::string YearFileBytes(const std::vector<std::string>& rows)
{
    std::vector<std::string> all;
    all.reserve(rows.size() + 1);
    all.emplace_back("date;sun angle;sun_lat; sun_long");
    all.insert(all.end(), rows.begin(), rows.end());
    return Utf8ToCp1252(JoinCrLf(all));
}

} // namespace tavik
