#include "dialogs/LengthFormat.h"

#include <cmath>
#include <cwctype>
#include <cstdint>
#include <map>

#include "foundation/CrashLog.h"
#include "foundation/Settings.h"
#include "foundation/Strings.h"

namespace {

struct CUnitTables
{
    // The word written after a number of each kind with a word of its own.
    std::map<EUnitKind, std::wstring> shown;
    // Every spelling, lowercased and without a final ".", with its kind.
    std::map<std::wstring, EUnitKind> read;
};

std::wstring Lowercase(std::wstring word)
{
    for (wchar_t& c : word)
        c = wchar_t(towlower(c));
    return word;
}

const CUnitTables& GetUnitTables()
{
    static CUnitTables tables;
    if (tables.shown.empty()) {
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
            size_t start = 0;
            for (bool first = true;; first = false) {
                const size_t end = spellings.find(L';', start);
                std::wstring word = spellings.substr(start, end == std::wstring::npos ? end : end - start);
                if (first) {
                    std::wstring shown = word;
                    if (shown != L"\"" && shown != L"'")
                        shown.insert(0, 1, L' ');
                    tables.shown[unit.kind] = shown;
                }
                word = Lowercase(word);
                if (!word.empty() && word.back() == L'.')
                    word.pop_back();
                tables.read.emplace(word, unit.kind);
                if (end == std::wstring::npos)
                    break;
                start = end + 1;
            }
        }
    }
    return tables;
}

const std::map<EUnitKind, std::wstring>& GetUnitWords()
{
    return GetUnitTables().shown;
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

namespace {

// Nine whole digits and six decimals keep every sum below within 64 bits.
constexpr int kMaxWholeDigits = 9;
constexpr int64_t kMaxDecimalScale = 1000000;

// a / b rounded half up, for any sign of a (b > 0).
int64_t RoundedHalfUp(int64_t a, int64_t b)
{
    const int64_t sum = a + b / 2;
    int64_t quotient = sum / b;
    if (sum % b != 0 && sum < 0)
        --quotient;
    return quotient;
}

// (number × 100000 + 127 × scale) / (254 × scale), the metres of a number
// with `scale` = 10 to the number of its decimals. The powers of ten common
// to the factor and the scale go first: the product would overflow.
int64_t MetresToTenths(int64_t number, int64_t scale)
{
    int64_t factor = 100000;
    while (factor % 10 == 0 && scale % 100 == 0) {
        factor /= 10;
        scale /= 10;
    }
    return (number * factor + 127 * scale) / (254 * scale);
}

}  // namespace

CParsedLength ParseLength(const std::wstring& typed)
{
    std::wstring text = typed;
    for (wchar_t& c : text) {
        if (c >= 0xFF01 && c <= 0xFF5E)
            c = wchar_t(c - 0xFEE0);
    }
    CParsedLength parsed;
    size_t i = 0;
    const auto skipBlanks = [&] {
        while (i < text.size() && iswspace(text[i]))
            ++i;
    };
    const auto isDigit = [](wchar_t c) { return c >= L'0' && c <= L'9'; };

    skipBlanks();
    int64_t sign = 1;
    if (i < text.size() && text[i] == L'-') {
        sign = -1;
        ++i;
        skipBlanks();
    }
    int64_t number = 0;
    int64_t scale = 1;
    int wholeDigits = 0;
    bool separator = false;
    for (; i < text.size(); ++i) {
        const wchar_t c = text[i];
        if (c == L'.' || c == L',') {
            if (separator)
                break;
            separator = true;
            continue;
        }
        if (!isDigit(c))
            break;
        if (!separator) {
            if (number != 0 || c != L'0')
                ++wholeDigits;
            if (wholeDigits > kMaxWholeDigits)
                return parsed;
            number = number * 10 + (c - L'0');
        } else if (scale < kMaxDecimalScale) {
            number = number * 10 + (c - L'0');
            scale *= 10;
        }
    }
    const int64_t signedNumber = sign * number;

    skipBlanks();
    std::wstring word;
    for (; i < text.size() && !iswspace(text[i]) && !isDigit(text[i]); ++i)
        word += wchar_t(towlower(text[i]));
    if (!word.empty() && word.back() == L'.')
        word.pop_back();
    skipBlanks();

    if (word.empty()) {
        parsed.result = scale > 1 ? ELengthText::kDecimalNumber : ELengthText::kWholeNumber;
        parsed.value = scale > 1 ? RoundedHalfUp(signedNumber * 100, scale) : signedNumber;
        return parsed;
    }
    const auto& words = GetUnitTables().read;
    const auto found = words.find(word);
    if (found == words.end())
        return parsed;
    const EUnitKind unit = found->second;
    const bool atEnd = i == text.size();

    int64_t tenths = 0;
    EUnitKind kind = unit;
    switch (unit) {
    case EUnitKind::kFeet: {
        tenths = (signedNumber * 120 + scale / 2) / scale;
        if (atEnd)
            break;
        // Inches may follow, with or without their word.
        const CParsedLength rest = ParseLength(text.substr(i));
        int64_t restTenths = 0;
        if (rest.result == ELengthText::kWholeNumber)
            restTenths = rest.value * 10;
        else if (rest.result == ELengthText::kDecimalNumber)
            restTenths = RoundedHalfUp(rest.value, 10);
        else if (rest.result == ELengthText::kLength && rest.kind == EUnitKind::kInches)
            restTenths = rest.value;
        else
            return parsed;
        tenths += sign * restTenths;
        kind = EUnitKind::kFeetAndInches;
        break;
    }
    case EUnitKind::kInches:
    case EUnitKind::kYards:
    case EUnitKind::kCentimetres:
    case EUnitKind::kMetres:
        if (!atEnd)
            return parsed;
        if (unit == EUnitKind::kInches)
            tenths = (signedNumber * 10 + scale / 2) / scale;
        else if (unit == EUnitKind::kYards)
            tenths = (signedNumber * 360 + scale / 2) / scale;
        else if (unit == EUnitKind::kCentimetres)
            tenths = (signedNumber * 1000 + 127 * scale) / (254 * scale);
        else
            tenths = MetresToTenths(signedNumber, scale);
        break;
    default:
        return parsed;
    }
    parsed.result = ELengthText::kLength;
    parsed.value = tenths;
    parsed.kind = kind;
    return parsed;
}
