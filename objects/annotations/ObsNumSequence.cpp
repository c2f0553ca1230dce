#include "objects/annotations/ObsNumSequence.h"

#include <algorithm>
#include <cstdint>
#include <iterator>
#include <vector>

#include "course/Course.h"
#include "foundation/CrashLog.h"
#include "foundation/Rect.h"
#include "foundation/TracePoint.h"
#include "objects/annotations/NumberStyle.h"
#include "objects/annotations/ObsNum.h"
#include "objects/equipment/ObstacleEnd.h"

namespace {

// The stamps of every sequence of the program come from one counter.
uint32_t g_lastStamp = 0;

// The ends whose presence lets a course be reversed: first ends and jump
// ends; the exits, and the finish ends towards which the last number turns.
constexpr int kEntryEndKinds = 1 | 4;
constexpr int kFirstEndKind = 1;
constexpr int kSecondEndKind = 2;
constexpr int kJumpEndKind = 4;
constexpr int kFinishEndKind = 16;

CCourse::ENumberingHold GetHold(const CCourse* course)
{
    return course != nullptr ? course->GetNumberingHold() : CCourse::ENumberingHold::kNone;
}

// The point clamped into the range of lo..hi, or the range's middle when it
// is inverted.
float ClampInto(float value, float lo, float hi)
{
    if (lo > hi)
        return 0.5f * (lo + hi);
    return std::min(std::max(value, lo), hi);
}

}  // namespace

bool CObsNumOrder::operator()(const CObsNum* a, const CObsNum* b) const
{
    const CObsNumLabel& la = a->GetParsedLabel();
    const CObsNumLabel& lb = b->GetParsedLabel();
    if (la.firstValue != lb.firstValue)
        return la.firstValue < lb.firstValue;
    if (la.secondValue != lb.secondValue)
        return la.secondValue < lb.secondValue;
    return a->GetSerialNumber() < b->GetSerialNumber();
}

CObsNumSequence::CObsNumSequence(CCourse* course, const CNumberStyle& style, bool flag, int kind)
    : m_course(course), m_style(&style), m_flag(flag), m_kind(kind), m_autoNumber(kind != 0)
{
    if (kind != 0)
        m_nextText = FormatObsNumLabel({kind, 0, 0, 0});
}

CObsNumSequence::~CObsNumSequence()
{
    for (CObsNum* member : m_members)
        member->DetachSequence();
}

std::unique_ptr<CCourseNumbering> CObsNumSequence::Make(CCourse* course, int styleIndex, bool flag, int kind)
{
    return std::make_unique<CObsNumSequence>(course, GetNumberStyle(styleIndex), flag, kind);
}

int CObsNumSequence::GetStyleIndex() const
{
    return m_style->GetIndex();
}

// ---- Joining and leaving ------------------------------------------------------------

bool CObsNumSequence::KeepsAutoNumber(const CObsNum* before, const CObsNum* after, const CObsNum* number,
                                      bool loading) const
{
    const CObsNumLabel& c = number->GetParsedLabel();
    if (loading && after != nullptr && after->GetText() == number->GetText())
        return false;
    if (before == nullptr)
        return c.firstValue == 0 && c.secondValue == 0;
    const CObsNumLabel& b = before->GetParsedLabel();
    if (b.firstValue == c.firstValue)
        return !(b.secondValue < c.secondValue - 1 || (loading && b.secondValue == c.secondValue));
    if (b.firstValue == c.firstValue - 1)
        return c.secondValue == 0;
    if (b.firstValue > c.firstValue) {
        TRACE_VALUE(int32_t, b.firstValue);
        ReportFailure();
    }
    return false;
}

namespace {

// Whether making room for the label in an automatic sequence, whose labels
// run 1, 2, 3 with uniform groups, would change no label: the label opens a
// new last group, or ends its group with the group's second kind.
bool NeedsNoRoom(const CObsNum* before, const CObsNum* after, const CObsNumLabel& c)
{
    if (before == nullptr)
        return after == nullptr;
    const CObsNumLabel& b = before->GetParsedLabel();
    if (after == nullptr && b.firstValue == c.firstValue - 1 && c.secondValue == 0)
        return true;
    return b.firstValue == c.firstValue && b.secondValue == c.secondValue - 1 && b.secondKind == c.secondKind &&
           c.secondKind != 0 && (after == nullptr || after->GetParsedLabel().firstValue > c.firstValue);
}

}  // namespace

uint32_t CObsNumSequence::AddMember(CObsNum* number, bool loading)
{
    TRACE_VALUE(std::wstring, number->GetText());
    const CObsNumLabel c = number->GetParsedLabel();
    if (m_kind != 0 && c.firstKind != m_kind) {
        TRACE_VALUE(int32_t, m_kind);
        ReportFailure();
    }
    const CCourse::ENumberingHold hold = GetHold(m_course);
    // Where the number goes: before the first member that orders after it.
    // A file holds the numbers in label order, so a number read mostly goes
    // after the last member.
    const bool last = m_members.empty() || !CObsNumOrder()(number, *m_members.rbegin());
    auto afterIt = last ? m_members.end() : m_members.upper_bound(number);
    if (m_kind == 0) {
        m_nextText = number->GetText();
    } else if (hold == CCourse::ENumberingHold::kReplacing) {
        // The labels are the records' own.
        m_pendingFreeText = true;
    } else {
        const CObsNum* after = afterIt != m_members.end() ? *afterIt : nullptr;
        const CObsNum* before = afterIt != m_members.begin() ? *std::prev(afterIt) : nullptr;
        if (m_autoNumber) {
            const bool roomNeeded = !NeedsNoRoom(before, after, c);
            // A label from a file never relabels the numbers read before it:
            // one that would, or that orders before any of them, ends
            // automatic numbering. So a read takes every label as written,
            // and one number at a time.
            m_autoNumber = KeepsAutoNumber(before, after, number, loading) &&
                           !(loading && (after != nullptr || roomNeeded));
            if (m_autoNumber && roomNeeded) {
                Renumber(&c);
                // Relabelled members may have been sorted afresh.
                afterIt = m_members.upper_bound(number);
            }
        }
        if (c.firstKind != 0) {
            CObsNumLabel next = c;
            ++(c.secondKind != 0 ? next.secondValue : next.firstValue);
            m_nextText = FormatObsNumLabel(next);
        }
        m_pendingFreeText = false;
    }
    const auto inserted = m_members.insert(afterIt, number);
    if (m_autoNumber && hold != CCourse::ENumberingHold::kReplacing)
        OrderSerials(inserted);
    m_stamp = ++g_lastStamp;
    return m_stamp;
}

void CObsNumSequence::RemoveMember(CObsNum* number)
{
    TRACE_VALUE(std::wstring, number->GetText());
    auto it = m_members.find(number);
    if (it == m_members.end() || *it != number)
        it = std::find(m_members.begin(), m_members.end(), number);
    if (it == m_members.end()) {
        ReportFailure();
        return;
    }
    m_members.erase(it);
    switch (GetHold(m_course)) {
    case CCourse::ENumberingHold::kReplacing:
        m_pendingFreeText = m_kind != 0;
        return;
    case CCourse::ENumberingHold::kHeld:
        m_pendingRenumber = m_pendingRenumber || m_autoNumber;
        m_pendingFreeText = m_kind != 0;
        return;
    case CCourse::ENumberingHold::kNone:
        break;
    }
    if (m_autoNumber) {
        Renumber(nullptr);
        OrderSerials(m_members.begin());
    }
    if (m_kind != 0)
        m_nextText = GetFirstFreeText();
}

void CObsNumSequence::CatchUp()
{
    const bool renumber = m_pendingRenumber && m_autoNumber;
    const bool order = (m_pendingOrder || renumber) && m_autoNumber;
    const bool freeText = m_pendingFreeText && m_kind != 0;
    m_pendingRenumber = m_pendingOrder = m_pendingFreeText = false;
    if (renumber)
        Renumber(nullptr);
    if (order)
        OrderSerials(m_members.begin());
    if (freeText)
        m_nextText = GetFirstFreeText();
    if (!m_restoredText.empty())
        m_nextText.swap(m_restoredText);
    m_restoredText.clear();
}

// ---- Settings of the sequence ---------------------------------------------------------

void CObsNumSequence::SetAutoNumber(bool on)
{
    if (on && !m_autoNumber) {
        if (m_kind == 0) {
            ReportFailure();
            return;
        }
        Renumber(nullptr);
        OrderSerials(m_members.begin());
        const int32_t last = m_members.empty() ? -1 : (*m_members.rbegin())->GetParsedLabel().firstValue;
        m_nextText = FormatObsNumLabel({m_kind, 0, last + 1, 0});
    }
    m_autoNumber = on;
}

void CObsNumSequence::SetText(const std::wstring& text)
{
    if (GetObsNumLabelKind(text) != m_kind) {
        TRACE_VALUE(int32_t, m_kind);
        ReportFailure();
    }
    m_nextText = text;
}

void CObsNumSequence::RestoreText(const std::wstring& text)
{
    if (m_kind != 0 && GetObsNumLabelKind(text) == m_kind)
        m_restoredText = text;
}

bool CObsNumSequence::IsSequential(bool gapsAllowed) const
{
    if (m_kind == 0)
        return false;
    CObsNumLabel previous;
    previous.firstValue = -1;
    for (const CObsNum* member : m_members) {
        const CObsNumLabel& c = member->GetParsedLabel();
        if (c.firstKind != m_kind) {
            TRACE_VALUE(int32_t, c.firstKind);
            ReportFailure();
        }
        if (c.firstValue == previous.firstValue) {
            if (c.secondKind != previous.secondKind || c.secondValue == previous.secondValue)
                return false;
            if (!gapsAllowed && c.secondValue != previous.secondValue + 1)
                return false;
        } else if (!gapsAllowed && (c.firstValue != previous.firstValue + 1 || c.secondValue != 0)) {
            return false;
        }
        previous = c;
    }
    return true;
}

std::wstring CObsNumSequence::GetFirstFreeText() const
{
    int32_t q = -1;
    for (const CObsNum* member : m_members) {
        const int32_t first = member->GetParsedLabel().firstValue;
        if (first > q + 1)
            break;
        q = first;
    }
    return FormatObsNumLabel({m_kind, 0, q + 1, 0});
}

// ---- Relabelling ------------------------------------------------------------------------

void CObsNumSequence::Renumber(const CObsNumLabel* insertion)
{
    TRACE_POINT();
    CObsNumLabel none;
    none.firstValue = -1;
    const CObsNumLabel& room = insertion != nullptr ? *insertion : none;
    CObsNumLabel out{m_kind, 0, -1, 0};
    // The first member always opens a group, whatever its own first value.
    bool first = true;
    int32_t previous = 0;
    bool changed = false;
    for (CObsNum* member : m_members) {
        const CObsNumLabel c = member->GetParsedLabel();
        if (!first && c.firstValue == previous) {
            ++out.secondValue;
        } else {
            ++out.firstValue;
            out.secondKind = c.secondKind;
            out.secondValue = 0;
        }
        if (out.firstValue == room.firstValue) {
            if (room.secondKind != 0 && out.secondKind != 0) {
                out.secondKind = room.secondKind;
                if (out.secondValue == room.secondValue)
                    ++out.secondValue;
            } else {
                ++out.firstValue;
            }
        }
        first = false;
        previous = c.firstValue;
        const std::wstring text = FormatObsNumLabel(out);
        if (text != member->GetText()) {
            member->Relabel(text);
            changed = true;
        }
    }
    if (changed)
        Resort();
}

void CObsNumSequence::OrderSerials(CMembers::iterator first)
{
    if (GetHold(m_course) != CCourse::ENumberingHold::kNone) {
        m_pendingOrder = true;
        return;
    }
    int64_t previous = first != m_members.begin() ? int64_t((*std::prev(first))->GetSerialNumber()) : -1;
    bool changed = false;
    for (auto it = first; it != m_members.end(); ++it) {
        if (int64_t((*it)->GetSerialNumber()) < previous) {
            (*it)->BringToFront();
            changed = true;
        }
        previous = int64_t((*it)->GetSerialNumber());
    }
    if (changed)
        Resort();
}

void CObsNumSequence::Resort()
{
    CMembers sorted(m_members.begin(), m_members.end());
    m_members.swap(sorted);
}

void CObsNumSequence::ReverseLabels()
{
    const std::vector<CObsNum*> members(m_members.begin(), m_members.end());
    std::vector<CObsNumLabel> labels;
    for (const CObsNum* member : members)
        labels.push_back(member->GetParsedLabel());
    // The last index of each group, in order.
    std::vector<size_t> groupEnds;
    for (size_t i = 0; i < members.size(); ++i) {
        if (i + 1 == members.size() || labels[i + 1].firstValue != labels[i].firstValue)
            groupEnds.push_back(i);
    }
    size_t group = 0;
    size_t j = 0;
    size_t k = 0;
    for (size_t i = 0; i < members.size(); ++i) {
        if (i == 0 || labels[i].firstValue != labels[i - 1].firstValue) {
            j = groupEnds[groupEnds.size() - 1 - group];
            k = groupEnds[group];
            ++group;
        } else {
            --k;
        }
        const CObsNumLabel& first = labels[j];
        const CObsNumLabel& second = labels[k];
        members[i]->Relabel(FormatObsNumLabel({first.firstKind, second.secondKind, first.firstValue, second.secondValue}));
    }
    Resort();
    OrderSerials(m_members.begin());
}

// ---- Reversing --------------------------------------------------------------------------

void CObsNumSequence::Reverse()
{
    TRACE_VALUE(int32_t, m_kind);
    if (m_members.empty() || m_course == nullptr || !IsSequential(false) ||
        m_course->FindNearestEnd(0.0f, 0.0f, -1.0f, kEntryEndKinds, 0) == nullptr)
        return;
    const std::vector<CObsNum*> members(m_members.begin(), m_members.end());
    for (size_t i = 0; i < members.size(); ++i)
        MoveToExitSide(*members[i], i + 1 < members.size() ? members[i + 1] : nullptr);
    ReverseLabels();
}

void CObsNumSequence::MoveToExitSide(CObsNum& member, const CObsNum* next) const
{
    const CObstacleEnd* entry = member.FindObstacleEnd();
    if (entry == nullptr || entry->owner == nullptr) {
        ReportFailure();
        return;
    }
    const CCourseObject& obstacle = *entry->owner;
    const CPoint2 p = member.GetPosition();
    const CPoint2 local = obstacle.GetPlacement().InverseTransformPoint2D(p);
    const CPoint2 mirrored = obstacle.GetPlacement().TransformPoint2D(-local.x, -local.y);
    CPoint2 position = mirrored;
    if (entry->GetEndKind() != kJumpEndKind) {
        CPoint2 target = mirrored;
        if (next != nullptr)
            target = next->GetPosition();
        else if (const CObstacleEnd* finish = m_course->FindNearestEnd(p.x, p.y, -1.0f, kFinishEndKind, 0))
            target = finish->GetCoursePoint();
        const CObstacleEnd* exit = nullptr;
        float nearest = 0.0f;
        for (const CObstacleEnd* end : obstacle.GetEnds()) {
            if (end->GetEndKind() != kSecondEndKind || !obstacle.IsValidTraversal(entry, end))
                continue;
            const float distance = (end->GetCoursePoint() - target).Length();
            if (exit == nullptr || distance < nearest) {
                exit = end;
                nearest = distance;
            }
        }
        // An obstacle that cannot be run through from this entry (weave
        // poles of two poles) leaves its number where it is.
        if (exit == nullptr)
            return;
        const CObstacleEnd* reference = exit;
        for (const CObstacleEnd* end : obstacle.GetEnds()) {
            if (end->GetEndKind() == kFirstEndKind && end->point == exit->point) {
                reference = end;
                break;
            }
        }
        CPoint2 q = entry->ToLocal(p);
        if (reference->GetEndKind() == kSecondEndKind)
            q = CPoint2(-q.x, -q.y);
        position = reference->ToCourse(q);
    }
    // The number stays inside the ring by half its size.
    const CRectF ring = m_course->GetRingRect(false, true);
    const CRectF bounds = member.GetBoundingRect();
    const float halfWidth = 0.5f * bounds.Width();
    const float halfHeight = 0.5f * bounds.Height();
    position.x = ClampInto(position.x, ring.left + halfWidth, ring.right - halfWidth);
    position.y = ClampInto(position.y, ring.top + halfHeight, ring.bottom - halfHeight);
    CTransform placement = member.GetPlacement();
    placement.SetPosition2D(position.x, position.y);
    member.SetPlacement(placement);
}
