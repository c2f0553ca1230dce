#pragma once

#include <cstdint>
#include <ostream>
#include <string>
#include <utility>

// Breadcrumbs: one static record per call site, stamped with the global
// sequence number each time execution passes it. Nothing is written while the
// program runs normally; the crash log writes every point, in the order of its
// last stamp, when the first failure is reported.
//
//     TRACE_POINT();                 // plain point
//     TRACE_VALUE(int32_t, result);  // point that also keeps a value
//
// Passing a point is an increment and one or two stores. Points are passed
// on the user-interface thread; the watchdog reads them while that thread is
// suspended.

// The global sequence counter: starts at 0, incremented before each stamp.
extern volatile uint32_t g_traceSequence;

class CTracePoint
{
public:
    // Stores the call site, takes the current counter value as its stamp
    // (without incrementing it) and joins the crash log's list.
    CTracePoint(const char* fileCode, int line);
    CTracePoint(const CTracePoint&) = delete;
    CTracePoint& operator=(const CTracePoint&) = delete;

    void Pass() { sequence = ++g_traceSequence; }

    // The value text of the record line; nothing for a plain point.
    virtual void WriteValue(std::ostream& out) const;

    const char* const fileCode;
    const int line;
    volatile uint32_t sequence;

protected:
    // A derived point joins the list only once its own fields exist, so that
    // nobody reading the list meets a half-built point.
    struct CJoinLater
    {
    };
    CTracePoint(const char* fileCode, int line, CJoinLater);
    void JoinCrashLog();

private:
    friend class CCrashLog;
    // The point built before this one; the crash log's list runs from the
    // newest point through these links.
    CTracePoint* m_older = nullptr;
};

// Value texts of the crash log. Further value types (sizes, points,
// rectangles, colours) declare their own overload beside the type.
void WriteTraceValue(std::ostream& out, int32_t value);
void WriteTraceValue(std::ostream& out, float value);
void WriteTraceValue(std::ostream& out, bool value);
void WriteTraceValue(std::ostream& out, const void* value);
void WriteTraceValue(std::ostream& out, const std::string& value);
void WriteTraceValue(std::ostream& out, const std::wstring& value);

template <class T>
class CTraceValue : public CTracePoint
{
public:
    CTraceValue(const char* fileCode, int line) : CTracePoint(fileCode, line, CJoinLater()) { JoinCrashLog(); }

    void Pass(const T& newValue)
    {
        CTracePoint::Pass();
        value = newValue;
    }
    // A value made for the point (a course's state, say) moves in whole.
    void Pass(T&& newValue)
    {
        CTracePoint::Pass();
        value = std::move(newValue);
    }

    void WriteValue(std::ostream& out) const override { WriteTraceValue(out, value); }

    T value{};
};

// The file code of a call site: the source file's own name, which stays the
// same between builds wherever the tree is checked out.
#define TRACE_FILE_CODE __FILE_NAME__

#define TRACE_POINT()                                                      \
    do {                                                                   \
        static CTracePoint tracePoint_(TRACE_FILE_CODE, __LINE__);        \
        tracePoint_.Pass();                                                \
    } while (0)

#define TRACE_VALUE(Type, expression)                                      \
    do {                                                                   \
        static CTraceValue<Type> tracePoint_(TRACE_FILE_CODE, __LINE__);  \
        tracePoint_.Pass(expression);                                      \
    } while (0)
