#include "dialogs/LengthFormat.h"

#include <cmath>
#include <cstdint>
#include <map>

#include "foundation/CrashLog.h"
#include "foundation/Settings.h"
#include "foundation/Strings.h"

namespace {

// The word written after a number of each kind with a word of its own.
const std::map<EUnitKind, std::wstring>& GetUnitWords()
{
    static std::map<EUnitKind, std::wstring> words;
    if (words.empty()) {
        // Each text lists the spellings of one unit, the displayed one first.
        const struct {
            EUnitKind kind;
            int textId;
        } units[] = {{EUnitKind::kInches, 2023},
                     {EUnitKind::kFeet, 2024},
                     {EUnitKind::kYards, 2025},
                     {EUnitKind::kCentimetres, 2026},
                     {EUnitKind::kMetres, 2027}};
        for (const auto& unit : units) {
            const std::wstring spellings = GetString(unit.textId);
            std::wstring word = spellings.substr(0, spellings.find(L';'));
            if (word != L"\"" && word != L"'")
                word.insert(0, 1, L' ');
            words[unit.kind] = word;
        }
    }
    return words;
}

const std::wstring& UnitWord(EUnitKind kind)
{
    return GetUnitWords().at(kind);
}

// a / b rounded half up, for a >= 0 and b > 0.
int64_t Rounded(int64_t a, int64_t b)
{
    return (a + b / 2) / b;
}

// A value in tenths: whole part, then the separator and the tenths digit
// unless they are 0.
std::wstring DecimalTenths(int64_t tenths)
{
    std::wstring text = std::to_wstring(tenths / 10);
    if (tenths % 10 != 0) {
        text += CLocaleDefaults().decimalSeparator;
        text += wchar_t(L'0' + tenths % 10);
    }
    return text;
}

}  // namespace

std::wstring FormatLength(float tenths, EUnitKind kind, bool withUnit)
{
    std::wstring word;
    if (kind == EUnitKind::kFeetAndInches || (kind == EUnitKind::kDecimalFeet && withUnit))
        word = UnitWord(EUnitKind::kFeet);
    else if (withUnit && GetUnitWords().count(kind) != 0)
        word = UnitWord(kind);

    // Lengths of a course lie far inside this; beyond it they are held at
    // the limit so that the arithmetic below cannot overflow.
    const double limit = 1e12;
    double rounded = std::floor(double(tenths) + 0.5);
    if (!(rounded > -limit))
        rounded = std::isnan(rounded) ? 0.0 : -limit;
    if (rounded > limit)
        rounded = limit;
    int64_t t = int64_t(rounded);
    std::wstring text;
    if (t < 0) {
        text = L"-";
        t = -t;
    }
    const int64_t inches = (t + 5) / 10;
    const int64_t cm = (t * 254 + 500) / 1000;
    switch (kind) {
    case EUnitKind::kInches:
        text += std::to_wstring(inches) + word;
        break;
    case EUnitKind::kFeetAndInches: {
        const int64_t feet = inches / 12;
        const int64_t rest = inches - 12 * feet;
        if (feet != 0 || rest == 0)
            text += FormatLength(float(feet * 120), EUnitKind::kFeet, true);
        if (feet != 0 && rest != 0 && UnitWord(EUnitKind::kFeet) != L"'")
            text += L' ';
        if (rest != 0)
            text += FormatLength(float(rest * 10), EUnitKind::kInches, true);
        break;
    }
    case EUnitKind::kFeet:
        text += std::to_wstring(Rounded(inches, 12)) + word;
        break;
    case EUnitKind::kYards: {
        const int64_t yards = Rounded(10 * inches, 36);
        if (yards > 999)
            text += std::to_wstring(Rounded(inches, 36)) + word;
        else
            text += DecimalTenths(yards) + word;
        break;
    }
    case EUnitKind::kDecimalFeet:
        text += DecimalTenths(Rounded(t, 12)) + word;
        break;
    case EUnitKind::kCentimetres:
        text += std::to_wstring(cm) + word;
        break;
    case EUnitKind::kMetres: {
        const int64_t metres = Rounded(cm, 10);
        if (metres > 999)
            text += std::to_wstring(Rounded(cm, 100)) + word;
        else
            text += DecimalTenths(metres) + word;
        break;
    }
    default:
        TRACE_VALUE(int32_t, int32_t(kind));
        ReportFailure();
        break;
    }
    return text;
}

bool IsMetricUnitKind(EUnitKind kind)
{
    if (kind < EUnitKind::kInches || kind > EUnitKind::kMetres) {
        TRACE_VALUE(int32_t, int32_t(kind));
        ReportFailure();
        return false;
    }
    return kind == EUnitKind::kCentimetres || kind == EUnitKind::kMetres;
}

std::wstring FormatMeasuredLength(float tenths, bool metric, EUnitKind usKind)
{
    if (metric)
        return FormatLength(tenths, EUnitKind::kMetres, false);
    const bool withWord = usKind == EUnitKind::kFeetAndInches || usKind == EUnitKind::kFeet ||
                          usKind == EUnitKind::kDecimalFeet;
    return FormatLength(tenths, usKind, withWord);
}
