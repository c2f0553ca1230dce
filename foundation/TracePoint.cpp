#include "foundation/TracePoint.h"

#include <cstdio>
#include <type_traits>

#include "foundation/CrashLog.h"

volatile uint32_t g_traceSequence = 0;

CTracePoint::CTracePoint(const char* fileCode_, int line_)
    : fileCode(fileCode_), line(line_), sequence(g_traceSequence)
{
    JoinCrashLog();
}

CTracePoint::CTracePoint(const char* fileCode_, int line_, CJoinLater)
    : fileCode(fileCode_), line(line_), sequence(g_traceSequence)
{
}

void CTracePoint::JoinCrashLog() { GetCrashLog().AddTracePoint(this); }

void CTracePoint::WriteValue(std::ostream&) const {}

void WriteTraceValue(std::ostream& out, int32_t value) { out << value; }

void WriteTraceValue(std::ostream& out, float value) { out << value; }

void WriteTraceValue(std::ostream& out, bool value) { out << (value ? "T" : "F"); }

void WriteTraceValue(std::ostream& out, const void* value)
{
    // The stream's pointer form: upper-case hex digits, two a byte (8 in the
    // 32-bit program, 16 in the 64-bit one).
    char text[24];
    snprintf(text, sizeof text, "%0*llX", int(2 * sizeof value), static_cast<unsigned long long>(uintptr_t(value)));
    out << text;
}

namespace {

template <class Unit>
void WriteEscaped(std::ostream& out, const std::basic_string<Unit>& value, int hexDigits)
{
    static const char kHex[] = "0123456789ABCDEF";
    for (Unit unit : value) {
        const unsigned code = static_cast<std::make_unsigned_t<Unit>>(unit);
        if (code >= 32 && code <= 126 && code != '\\') {
            out << char(code);
            continue;
        }
        out << "\\x";
        for (int shift = (hexDigits - 1) * 4; shift >= 0; shift -= 4)
            out << kHex[(code >> shift) & 15];
    }
}

}  // namespace

void WriteTraceValue(std::ostream& out, const std::string& value) { WriteEscaped(out, value, 2); }

void WriteTraceValue(std::ostream& out, const std::wstring& value) { WriteEscaped(out, value, 4); }
