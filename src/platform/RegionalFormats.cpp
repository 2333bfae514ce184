#include "platform/RegionalFormats.h"

#include "platform/Cp1252.h"

#include <algorithm>
#include <cstdlib>
#include <iconv.h>
#include <initializer_list>
#include <iterator>
#include <langinfo.h>
#include <locale.h>
#include <optional>
#include <vector>

namespace tavik {

RegionalFormats IsoFormats() { return RegionalFormats{}; }

RegionalFormats GermanLikeFormats()
{
    RegionalFormats f;
    f.Order = DateOrder::DayMonthYear;
    f.DateSeparator = ".";
    f.DecimalSeparator = ",";
    return f;
}

RegionalFormats UsLikeFormats()
{
    RegionalFormats f;
    f.Order = DateOrder::MonthDayYear;
    f.DateSeparator = "/";
    f.DayLeadingZero = false;
    f.MonthLeadingZero = false;
    f.TwelveHour = true;
    f.HourLeadingZero = false;
    f.AmDesignator = "AM";
    f.PmDesignator = "PM";
    return f;
}

namespace {

enum class Field { Literal, Day, Month, MonthName, Year, Hour24, Hour12, Minute, Second, AmPm, Other };

struct Token {
    Field Kind = Field::Literal;
    std::string Text;        // for literals
    bool LeadingZero = true; // for numeric fields
};

// Splits a strftime pattern into fields and literal text, expanding the
// composite conversions (%D, %F, %T, %R, %r) in place.
void Tokenize(std::string_view pattern, std::string_view ampmPattern, int depth, std::vector<Token>& out)
{
    auto literal = [&out](std::string_view text) {
        if (!out.empty() && out.back().Kind == Field::Literal)
            out.back().Text += text;
        else
            out.push_back(Token{Field::Literal, std::string(text), true});
    };
    auto field = [&out](Field kind, bool leadingZero) { out.push_back(Token{kind, {}, leadingZero}); };
    auto expand = [&](std::string_view inner) {
        if (depth < 3) Tokenize(inner, ampmPattern, depth + 1, out);
    };

    std::size_t i = 0;
    while (i < pattern.size()) {
        char c = pattern[i];
        if (c != '%') {
            literal(pattern.substr(i, 1));
            ++i;
            continue;
        }
        ++i;
        // glibc flags: '-' and '_' drop the zero padding, '0' asks for it.
        std::optional<bool> zeroFlag;
        while (i < pattern.size() && std::string_view("_-0^#").find(pattern[i]) != std::string_view::npos) {
            if (pattern[i] == '-' || pattern[i] == '_') zeroFlag = false;
            if (pattern[i] == '0') zeroFlag = true;
            ++i;
        }
        // A field width: its leading zero went as a flag above, later zeros are its digits.
        while (i < pattern.size() && pattern[i] >= '0' && pattern[i] <= '9') ++i;
        while (i < pattern.size() && (pattern[i] == 'E' || pattern[i] == 'O')) ++i;
        if (i >= pattern.size()) break;
        char conversion = pattern[i++];
        auto numeric = [&](Field kind, bool zeroByDefault) { field(kind, zeroFlag.value_or(zeroByDefault)); };
        switch (conversion) {
        case 'd': numeric(Field::Day, true); break;
        case 'e': numeric(Field::Day, false); break;
        case 'm': numeric(Field::Month, true); break;
        case 'b':
        case 'B':
        case 'h': field(Field::MonthName, true); break; // counts as a two-digit month
        case 'y':
        case 'Y': numeric(Field::Year, true); break;
        case 'H': numeric(Field::Hour24, true); break;
        case 'k': numeric(Field::Hour24, false); break;
        case 'I': numeric(Field::Hour12, true); break;
        case 'l': numeric(Field::Hour12, false); break;
        case 'M': numeric(Field::Minute, true); break;
        case 'S': numeric(Field::Second, true); break;
        case 'p':
        case 'P': field(Field::AmPm, true); break;
        case 'D': expand("%m/%d/%y"); break;
        case 'F': expand("%Y-%m-%d"); break;
        case 'T': expand("%H:%M:%S"); break;
        case 'R': expand("%H:%M"); break;
        case 'r': expand(ampmPattern.empty() ? std::string_view("%I:%M:%S %p") : ampmPattern); break;
        case '%': literal("%"); break;
        case 'n': literal("\n"); break;
        case 't': literal("\t"); break;
        default: field(Field::Other, true); break; // weekday, zone, century...
        }
    }
}

std::optional<std::size_t> FirstOf(const std::vector<Token>& tokens, std::initializer_list<Field> kinds)
{
    for (std::size_t i = 0; i < tokens.size(); ++i)
        for (Field k : kinds)
            if (tokens[i].Kind == k) return i;
    return std::nullopt;
}

// The literal text between two token positions, or nothing when it is not a
// plain separator: ASCII punctuation and blanks only.
std::optional<std::string> SeparatorBetween(const std::vector<Token>& tokens, std::size_t from, std::size_t to)
{
    std::string text;
    for (std::size_t i = from + 1; i < to; ++i)
        if (tokens[i].Kind == Field::Literal) text += tokens[i].Text;
    if (text.empty()) return std::nullopt;
    for (char ch : text) {
        const auto c = static_cast<unsigned char>(ch);
        bool punctuation = (c >= 0x21 && c <= 0x2F) || (c >= 0x3A && c <= 0x40) || (c >= 0x5B && c <= 0x60)
                           || (c >= 0x7B && c <= 0x7E);
        if (!punctuation && c != ' ') return std::nullopt;
    }
    return text;
}

void ApplyDatePattern(std::string_view pattern, RegionalFormats& f)
{
    std::vector<Token> tokens;
    Tokenize(pattern, {}, 0, tokens);
    auto day = FirstOf(tokens, {Field::Day});
    auto month = FirstOf(tokens, {Field::Month, Field::MonthName});
    auto year = FirstOf(tokens, {Field::Year});
    if (!day || !month || !year) return; // keep the ISO layout

    if (*year < *day && *year < *month)
        f.Order = DateOrder::YearMonthDay;
    else if (*month < *day)
        f.Order = DateOrder::MonthDayYear;
    else
        f.Order = DateOrder::DayMonthYear;

    bool monthByName = tokens[*month].Kind == Field::MonthName;
    std::size_t positions[] = {*day, *month, *year};
    std::sort(std::begin(positions), std::end(positions));
    // A month name between numbers ("06 Dec 2026") says nothing about the
    // separator of the numeric form.
    auto separator = monthByName ? std::nullopt : SeparatorBetween(tokens, positions[0], positions[1]);
    f.DateSeparator = separator.value_or("/");
    f.DayLeadingZero = tokens[*day].LeadingZero;
    f.MonthLeadingZero = tokens[*month].LeadingZero;
}

void ApplyTimePattern(std::string_view pattern, std::string_view ampmPattern, std::string_view am, std::string_view pm,
                      RegionalFormats& f)
{
    std::vector<Token> tokens;
    Tokenize(pattern, ampmPattern, 0, tokens);
    auto hour = FirstOf(tokens, {Field::Hour24, Field::Hour12});
    auto minute = FirstOf(tokens, {Field::Minute});
    if (!hour || !minute || *minute < *hour) return; // keep the ISO layout

    f.TwelveHour = tokens[*hour].Kind == Field::Hour12;
    f.HourLeadingZero = tokens[*hour].LeadingZero;
    f.TimeSeparator = SeparatorBetween(tokens, *hour, *minute).value_or(":");
    if (f.TwelveHour) {
        f.AmDesignator = std::string(am);
        f.PmDesignator = std::string(pm);
        auto designator = FirstOf(tokens, {Field::AmPm});
        f.DesignatorBeforeTime = designator && *designator < *hour;
    }
}

// The locale name that setlocale(LC_ALL, "") would pick for one category.
std::string CategoryLocaleName(const char* categoryVariable)
{
    for (const char* variable : {"LC_ALL", categoryVariable, "LANG"}) {
        const char* value = std::getenv(variable);
        if (value != nullptr && *value != '\0') return value;
    }
    return "C";
}

bool IsCLocale(std::string_view name) { return name == "C" || name == "POSIX" || name.substr(0, 2) == "C."; }

class Locale {
public:
    Locale(int mask, const std::string& name) : handle_(newlocale(mask, name.c_str(), static_cast<locale_t>(0))) {}
    ~Locale()
    {
        if (handle_ != static_cast<locale_t>(0)) freelocale(handle_);
    }
    Locale(const Locale&) = delete;
    Locale& operator=(const Locale&) = delete;

    explicit operator bool() const { return handle_ != static_cast<locale_t>(0); }
    std::string Info(nl_item item) const
    {
        const char* text = nl_langinfo_l(item, handle_);
        return text != nullptr ? text : "";
    }

private:
    locale_t handle_;
};

bool IsAscii(std::string_view text)
{
    for (char c : text)
        if (static_cast<unsigned char>(c) >= 0x80) return false;
    return true;
}

} // namespace

std::optional<std::string> LocaleTextToUtf8(const std::string& text, const std::string& codeset)
{
    if (IsAscii(text) || codeset == "UTF-8") return text;
    iconv_t cd = iconv_open("UTF-8", codeset.c_str());
    if (cd == reinterpret_cast<iconv_t>(-1)) return std::nullopt;
    std::string in = text;
    std::string out(in.size() * 4 + 4, '\0');
    char* inPtr = in.data();
    std::size_t inLeft = in.size();
    char* outPtr = out.data();
    std::size_t outLeft = out.size();
    std::size_t rc = iconv(cd, &inPtr, &inLeft, &outPtr, &outLeft);
    iconv_close(cd);
    if (rc == static_cast<std::size_t>(-1) || inLeft != 0) return std::nullopt;
    out.resize(out.size() - outLeft);
    return out;
}

RegionalFormats FormatsFromPatterns(std::string_view dateFormat, std::string_view timeFormat,
                                    std::string_view ampmTimeFormat, std::string_view am, std::string_view pm,
                                    std::string_view radix)
{
    RegionalFormats f = IsoFormats();
    ApplyDatePattern(dateFormat, f);
    ApplyTimePattern(timeFormat, ampmTimeFormat, am, pm, f);
    if (!radix.empty()) f.DecimalSeparator = std::string(radix);
    return f;
}

FileFormats Cp1252FileFormats(const RegionalFormats& regional)
{
    const RegionalFormats iso = IsoFormats();
    FileFormats out{regional, {}};
    RegionalFormats& f = out.Formats;
    std::vector<std::string> lacking, instead;
    auto quoted = [](const std::string& s) { return "\"" + s + "\""; };
    if (!FitsCp1252(f.DateSeparator)) {
        lacking.push_back("date separator " + quoted(f.DateSeparator));
        instead.push_back("ISO dates");
        f.Order = iso.Order;
        f.DateSeparator = iso.DateSeparator;
        f.DayLeadingZero = f.MonthLeadingZero = true;
    }
    if (f.TwelveHour && !(FitsCp1252(f.AmDesignator) && FitsCp1252(f.PmDesignator))) {
        lacking.push_back("AM/PM designators " + quoted(f.AmDesignator) + " and " + quoted(f.PmDesignator));
        instead.push_back("24-hour time");
        f.TwelveHour = false;
        f.HourLeadingZero = true;
        f.AmDesignator.clear();
        f.PmDesignator.clear();
        f.DesignatorBeforeTime = false;
    }
    if (!FitsCp1252(f.TimeSeparator)) {
        lacking.push_back("time separator " + quoted(f.TimeSeparator));
        instead.push_back(quoted(iso.TimeSeparator) + " between hours and minutes");
        f.TimeSeparator = iso.TimeSeparator;
    }
    if (!FitsCp1252(f.DecimalSeparator)) {
        lacking.push_back("decimal separator " + quoted(f.DecimalSeparator));
        instead.push_back(quoted(iso.DecimalSeparator) + " for decimals");
        f.DecimalSeparator = iso.DecimalSeparator;
    }
    if (lacking.empty()) return out;
    auto join = [](const std::vector<std::string>& parts) {
        std::string text;
        for (std::size_t i = 0; i < parts.size(); ++i)
            text += (i == 0 ? "" : i + 1 == parts.size() ? " and " : ", ") + parts[i];
        return text;
    };
    out.Note = "Windows-1252 cannot hold the locale's " + join(lacking) + ", so the files use " + join(instead)
               + "; the screen keeps the locale's forms";
    return out;
}

RegionalFormats FormatsFromProcessLocale()
{
    const RegionalFormats iso = IsoFormats();
    RegionalFormats f = iso;

    const std::string timeName = CategoryLocaleName("LC_TIME");
    if (!IsCLocale(timeName)) {
        Locale time(LC_TIME_MASK | LC_CTYPE_MASK, timeName);
        if (time) {
            const std::string codeset = time.Info(CODESET);
            f = FormatsFromPatterns(time.Info(D_FMT), time.Info(T_FMT), time.Info(T_FMT_AMPM),
                                    LocaleTextToUtf8(time.Info(AM_STR), codeset).value_or("AM"),
                                    LocaleTextToUtf8(time.Info(PM_STR), codeset).value_or("PM"), iso.DecimalSeparator);
        }
    }

    const std::string numericName = CategoryLocaleName("LC_NUMERIC");
    if (!IsCLocale(numericName)) {
        Locale numeric(LC_NUMERIC_MASK | LC_CTYPE_MASK, numericName);
        if (numeric) {
            auto radix = LocaleTextToUtf8(numeric.Info(RADIXCHAR), numeric.Info(CODESET));
            if (radix && !radix->empty()) f.DecimalSeparator = *radix;
        }
    }
    return f;
}

} // namespace tavik
