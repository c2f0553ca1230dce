#include "dialogs/LengthFormat.h"

#include <cmath>
#include <cstdint>
#include <map>

#include "foundation/CrashLog.h"
#include "foundation/Settings.h"
#include "foundation/Strings.h"

namespace {

// The word written after a number of each kind with a word of its own.
const std::map<int, std::wstring>& GetUnitWords()
{
    static std::map<int, std::wstring> words;
    if (words.empty()) {
        // Each text lists the spellings of one unit, the displayed one first.
        const struct {
            int kind;
            int textId;
        } units[] = {{1, 2023}, {3, 2024}, {4, 2025}, {6, 2026}, {7, 2027}};
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

const std::wstring& UnitWord(int kind)
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

std::wstring FormatLength(float tenths, int kind, bool withUnit)
{
    std::wstring word;
    if (kind == 2 || (kind == 5 && withUnit))
        word = UnitWord(3);
    else if (withUnit && (kind == 1 || kind == 3 || kind == 4 || kind == 6 || kind == 7))
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
    case 1:
        text += std::to_wstring(inches) + word;
        break;
    case 2: {
        const int64_t feet = inches / 12;
        const int64_t rest = inches - 12 * feet;
        if (feet != 0 || rest == 0)
            text += FormatLength(float(feet * 120), 3, true);
        if (feet != 0 && rest != 0 && UnitWord(3) != L"'")
            text += L' ';
        if (rest != 0)
            text += FormatLength(float(rest * 10), 1, true);
        break;
    }
    case 3:
        text += std::to_wstring(Rounded(inches, 12)) + word;
        break;
    case 4: {
        const int64_t yards = Rounded(10 * inches, 36);
        if (yards > 999)
            text += std::to_wstring(Rounded(inches, 36)) + word;
        else
            text += DecimalTenths(yards) + word;
        break;
    }
    case 5:
        text += DecimalTenths(Rounded(t, 12)) + word;
        break;
    case 6:
        text += std::to_wstring(cm) + word;
        break;
    case 7: {
        const int64_t metres = Rounded(cm, 10);
        if (metres > 999)
            text += std::to_wstring(Rounded(cm, 100)) + word;
        else
            text += DecimalTenths(metres) + word;
        break;
    }
    default:
        TRACE_VALUE(int32_t, kind);
        ReportFailure();
        break;
    }
    return text;
}

bool IsMetricUnitKind(int kind)
{
    if (kind < 1 || kind > 7) {
        TRACE_VALUE(int32_t, kind);
        ReportFailure();
        return false;
    }
    return kind >= 6;
}

std::wstring FormatMeasuredLength(float tenths, bool metric, int usKind)
{
    if (metric)
        return FormatLength(tenths, 7, false);
    return FormatLength(tenths, usKind, usKind == 2 || usKind == 3 || usKind == 5);
}
