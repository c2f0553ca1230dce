#include "objects/equipment/TunnelFlexibleGeometry.h"

#include <algorithm>
#include <cmath>
#include <istream>

#include "course/CourseObject.h"
#include "course/ObjectType.h"
#include "dialogs/TunnelPropertiesDlg.h"
#include "foundation/CrashLog.h"
#include "foundation/FieldStream.h"
#include "foundation/NoticeSink.h"
#include "foundation/Numeric.h"
#include "foundation/TracePoint.h"
#include "objects/equipment/TunnelPolylineGeometry.h"

namespace {

constexpr float kPi = 3.1415925f;
// One sample of a centre line per this much of its length.
constexpr float kSampleSpacing = 60.0f;
// The most sections a fit tries when it may choose, and what each costs in
// the score of a fit.
constexpr int kMaxFittedSections = 8;
constexpr float kSectionCost = 100.0f;
// No section is ever cut shorter than this, nor any other section's share.
constexpr float kLongestFloor = 180.0f;

// The spacing of the samples along pieces (sections or segments) of the
// total length, each piece sampled at its end at least: one sample per
// kSampleSpacing, or farther apart where a longer line would need more than
// kMaxSamples, so that the work on one body stays bounded.
float SampleSpacing(float total, int pieces)
{
    const float room = float(std::max(CTunnelGeometry::kMaxSamples - pieces, 1));
    return total > kSampleSpacing * room ? total / room : kSampleSpacing;
}

int SampleCount(float length, float spacing)
{
    const float count = std::ceil(length / spacing);
    return count > 0.0f ? int(count) : 0;
}

}  // namespace

bool CTunnelFlexibleGeometry::IsValidHandle(int handle) const
{
    if (handle >= 1 && handle <= int(m_sections.size()))
        return true;
    TRACE_VALUE(int32_t, handle);
    ReportFailure();
    return false;
}

void CTunnelFlexibleGeometry::ToDialog(CTunnelPropertiesDlg& dialog)
{
    dialog.MergeSections(int(m_sections.size()));
}

void CTunnelFlexibleGeometry::FromDialog(CTunnelPropertiesDlg& dialog)
{
    TRACE_POINT();
    if (m_sections.empty()) {
        // A tunnel without a shape takes straight sections; while the dialog
        // has no count or length for it, it keeps having none.
        if (!dialog.HasSections() || !dialog.HasLength()) {
            ReportFailure();
            return;
        }
        if (dialog.HasDiameter())
            SetDiameter(dialog.GetDiameter());
        m_length = dialog.GetLength();
        const int count = dialog.GetSections();
        const float even = std::floor(m_length / float(count) + 0.5f);
        for (int i = 0; i < count - 1; ++i)
            m_sections.push_back(MakeSection(0.0f, even));
        m_sections.push_back(MakeSection(0.0f, m_length - float(count - 1) * even));
        InvalidateOutline();
        return;
    }

    const CTunnelPoints samples = SampleCentreLine();
    int count = int(m_sections.size());
    bool refit = false;
    if (dialog.HasSections() && dialog.GetSections() != count) {
        count = dialog.GetSections();
        refit = true;
    }
    if (dialog.HasLength()) {
        m_length = dialog.GetLength();
        float outerTotal = 0.0f;
        for (const CTunnelSection& section : m_sections)
            outerTotal += section.outerLength;
        refit = refit || m_length < outerTotal;
    }
    if (!dialog.HasDiameter() || dialog.GetDiameter() == m_diameter) {
        if (refit)
            Fit(samples, count);
    } else {
        SetDiameter(dialog.GetDiameter());
        if (refit) {
            Fit(samples, count);
        } else {
            // A thicker tube cannot keep a bend its sections are too short
            // for: then the centre line is fitted anew.
            for (CTunnelSection& section : m_sections) {
                if (section.outerLength < std::fabs(section.angle / CTransform::kDegreesPerRadian) * GetMinBendRadius()) {
                    Fit(samples, count);
                    break;
                }
                section.SetRadius(GetRadius());
            }
        }
    }
    InvalidateOutline();
}

CTunnelPoints CTunnelFlexibleGeometry::SampleCentreLine() const
{
    float total = 0.0f;
    for (const CTunnelSection& section : m_sections)
        total += std::max(section.GetCentreLength(), 0.0f);
    const float spacing = SampleSpacing(total, int(m_sections.size()));
    size_t room = 1;
    for (const CTunnelSection& section : m_sections)
        room += size_t(SampleCount(section.GetCentreLength(), spacing));
    CTunnelPoints samples(1, CPoint2());
    samples.reserve(room);
    CTransform frame;
    for (const CTunnelSection& section : m_sections) {
        const int count = SampleCount(section.GetCentreLength(), spacing);
        for (int j = 1; j <= count; ++j)
            samples.push_back(frame.TransformPoint2D(section.GetChord(float(j) / float(count))));
        section.Advance(frame, 1.0f);
    }
    return samples;
}

CTunnelPoints CTunnelFlexibleGeometry::SampleLine(const CTunnelPolylineGeometry& polyline)
{
    // A body starts at the origin along +x: it takes the line in the frame
    // the line starts in (flipped, a line runs along -x).
    CTunnelPoints line = polyline.GetLinePoints();
    if (line.size() < 2)
        return CTunnelPoints();
    const CTransform start = polyline.GetStartFrame();
    if (start != CTransform()) {
        for (CPoint2& p : line)
            p = start.InverseTransformPoint2D(p);
    }
    std::vector<CCurveGeometry> curves(line.size() - 1);
    float total = 0.0f;
    for (size_t i = 0; i < curves.size(); ++i) {
        GetSegmentCurve(line, int(i), curves[i]);
        total += (curves[i].p3 - curves[i].p0).Length();
    }
    const float spacing = SampleSpacing(total, int(curves.size()));
    const auto countOf = [spacing](const CCurveGeometry& curve) {
        return 1 + int((curve.p3 - curve.p0).Length() / spacing);
    };
    size_t room = 1;
    for (const CCurveGeometry& curve : curves)
        room += size_t(countOf(curve));
    CTunnelPoints samples(1, CPoint2());
    samples.reserve(room);
    for (const CCurveGeometry& curve : curves) {
        const int count = countOf(curve);
        for (int j = 1; j <= count; ++j)
            samples.push_back(curve.GetPoint(float(j) / float(count)));
    }
    return samples;
}

void CTunnelFlexibleGeometry::StartHandleMove(int handle)
{
    TRACE_VALUE(int32_t, handle);
    if (!IsValidHandle(handle))
        return;
    const int count = int(m_sections.size());
    m_angleSnap.Clear();
    for (int degrees = -180; degrees <= 180; degrees += 45)
        m_angleSnap.AddPosition(float(degrees));
    m_angleSnap.Anchor(m_sections[size_t(handle) - 1].angle);

    float even = std::floor(m_length / float(count));
    const float floorLimit = std::min(even, kLongestFloor);
    if (handle == count)
        even = m_length - float(count - 1) * even;
    m_lengthSnap.Clear();
    if (even <= floorLimit + 1.0f) {
        m_lengthSnap.SetZone(1.0f);
    } else {
        m_lengthSnap.AddPosition(even);
        m_lengthSnap.SetZone(std::min((even - floorLimit) * 2.0f / 3.0f, 480.0f));
    }
    m_lengthSnap.Anchor(m_sections[size_t(handle) - 1].outerLength);

    if (m_firstHandle == -1) {
        m_firstHandle = handle;
        m_firstHandleSeconds = GetClockSeconds();
    } else if (handle < m_firstHandle && GetClockSeconds() - m_firstHandleSeconds < 5.0) {
        m_hintPending = true;
    }
}

int CTunnelFlexibleGeometry::MoveHandle(int handle, float x, float y)
{
    if (!IsValidHandle(handle))
        return handle;
    const CPoint2 local = m_owner.GetPlacement().InverseTransformPoint2D(x, y);
    Solve(handle - 1, local.x, local.y);
    InvalidateOutline();
    return handle;
}

void CTunnelFlexibleGeometry::EndHandleMove()
{
    TRACE_POINT();
    m_angleSnap.Clear();
    m_lengthSnap.Clear();
    if (m_hintPending)
        ShowHintNotice(2718, L"OpenTunnel", 1);
    if (m_sections.size() < 2)
        return;
    // A tunnel bent one way nearly evenly along its whole length would be
    // set up more easily with fewer sections.
    float smallest = 100000.0f;
    float largest = -100000.0f;
    float angleSum = 0.0f;
    float lengthSum = 0.0f;
    for (const CTunnelSection& section : m_sections) {
        if (section.outerLength >= 1.0f) {
            const float ratio = section.angle / section.outerLength;
            smallest = std::min(smallest, ratio);
            largest = std::max(largest, ratio);
        } else {
            smallest = -100000.0f;
            largest = 100000.0f;
        }
        angleSum += section.angle;
        lengthSum += section.outerLength;
    }
    const float bend = std::fabs(angleSum);
    if (smallest * largest > 0.0f && bend >= 45.0f && bend <= 180.0f && lengthSum * (largest - smallest) < 30.0f)
        ShowHintNotice(2717, L"OpenTunnel", 1);
}

void CTunnelFlexibleGeometry::Solve(int sectionIndex, float x, float y)
{
    const int count = int(m_sections.size());
    if (sectionIndex < 0 || sectionIndex >= count) {
        TRACE_VALUE(int32_t, sectionIndex);
        ReportFailure();
        return;
    }
    // The floor limit: no section is cut below it. At least a unit, so that
    // a tunnel of a damaged length keeps sections of some length.
    const float floorLimit = std::max(std::min(std::floor(m_length / float(count)), kLongestFloor), 1.0f);
    CTransform frame;
    float done = 0.0f;
    float rest = 0.0f;
    for (const CTunnelSection& section : m_sections)
        rest += section.outerLength;
    for (int i = 0; i < count; ++i) {
        CTunnelSection& section = m_sections[size_t(i)];
        rest -= section.outerLength;
        if (i >= sectionIndex) {
            float sign = 1.0f;
            float size = 0.0f;
            float length = 0.0f;
            if (i == sectionIndex) {
                const CPoint2 q = frame.InverseTransformPoint2D(x, y);
                sign = q.y < 0.0f ? -1.0f : 1.0f;
                const float py = std::fabs(q.y);
                const float px = std::max(q.x, 0.0f);
                const float phi = std::atan2(py, px);
                const float c = Sinc(phi);
                const float d = Hypot(px, py);
                float bend = 0.0f;
                length = floorLimit;
                if (c >= 0.001f && d >= 0.1f) {
                    bend = 2.0f * phi;
                    length = GetRadius() * bend + d / c;
                    if (length < floorLimit) {
                        bend *= floorLimit / length;
                        length = floorLimit;
                    }
                }
                const float later = float(count - 1 - sectionIndex) * floorLimit;
                length = std::max(std::min(length, m_length - (later + done)), floorLimit);
                bend = std::min(bend, length / GetMinBendRadius());
                size = m_angleSnap.Apply(bend * CTransform::kDegreesPerRadian);
                length = m_lengthSnap.Apply(length);
            } else {
                const float room = std::max(m_length - (rest + done), floorLimit);
                sign = section.angle < 0.0f ? -1.0f : 1.0f;
                size = std::fabs(section.angle);
                length = section.outerLength;
                if (room < length) {
                    size *= room / length;
                    length = room;
                }
            }
            length = std::floor(length + 0.5f);
            const float largest = GetLargestAngle(length);
            section.outerLength = length;
            section.SetRadius(GetRadius());
            section.SetAngle(sign * std::floor(std::min(std::fabs(size) + 0.5f, largest)));
        }
        done += section.outerLength;
        section.Advance(frame, 1.0f);
    }
}

CTunnelSection CTunnelFlexibleGeometry::MakeStoredSection(float angle, float outerLength) const
{
    outerLength = std::max(outerLength, 1.0f);
    const float largest = std::floor(GetLargestAngle(outerLength));
    return MakeSection(Clamp(angle, -largest, largest), outerLength);
}

void CTunnelFlexibleGeometry::AddSection(float angle, float length)
{
    length = std::floor(length + 0.5f);
    if (!m_sections.empty()) {
        CTunnelSection& last = m_sections.back();
        if (last.angle * length == std::floor(last.outerLength + 0.5f) * angle) {
            last.SetAngle(last.angle + angle);
            last.outerLength += length;
            return;
        }
    }
    m_sections.push_back(MakeSection(angle, length));
}

void CTunnelFlexibleGeometry::Fit(const CTunnelPoints& points, int count)
{
    TRACE_VALUE(int32_t, count);
    if (points.size() < 2)
        return;
    CPoint2 low = points.front();
    CPoint2 high = points.front();
    for (const CPoint2& p : points) {
        low = CPoint2(std::min(low.x, p.x), std::min(low.y, p.y));
        high = CPoint2(std::max(high.x, p.x), std::max(high.y, p.y));
    }
    const float halfDiagonal = (high - low).Length() * 0.5f;

    // Bends weigh more: the joints gather where the line turns.
    const float tightest = 1.0f / GetMinInnerRadius();
    std::vector<float> weights(points.size(), 0.0f);
    float previousWeight = 0.0f;
    for (size_t i = 0; i < points.size(); ++i) {
        CCurveGeometry curve;
        GetSegmentCurve(points, i == 0 ? 0 : int(i) - 1, curve);
        const float curvature = curve.GetCurvature(i == 0 ? 0.0f : 1.0f);
        const float weight = Hypot(1.0f, halfDiagonal * std::min(std::fabs(curvature), tightest));
        if (i > 0)
            weights[i] = weights[i - 1] + (weight + previousWeight) * (points[i] - points[i - 1]).Length() * 0.5f;
        previousWeight = weight;
    }

    if (count != 0) {
        FitSections(points, weights, halfDiagonal, count);
        return;
    }
    CTunnelSections best;
    float bestScore = 0.0f;
    for (int candidate = 1; candidate <= kMaxFittedSections; ++candidate) {
        // Every section costs 100 in the score: once that alone reaches the
        // best score, no more sections can do better.
        if (!best.empty() && bestScore <= float(candidate) * kSectionCost)
            break;
        FitSections(points, weights, halfDiagonal, candidate);
        const float score = ScoreFit(points);
        if (best.empty() || score < bestScore) {
            best = m_sections;
            bestScore = score;
        }
    }
    m_sections = best;
}

void CTunnelFlexibleGeometry::FitSections(const CTunnelPoints& points, const std::vector<float>& weights,
                                          float halfDiagonal, int count)
{
    m_sections.resize(size_t(count));
    for (CTunnelSection& section : m_sections)
        section.SetRadius(GetRadius());
    const float total = weights.back();
    const float weight = 4.0f * halfDiagonal * halfDiagonal;
    CTransform frame;
    size_t segment = 0;
    for (int joint = 1; joint < count; ++joint) {
        const float target = float(joint) * total / float(count);
        while (segment + 2 < weights.size() && weights[segment + 1] < target)
            ++segment;
        const float span = weights[segment + 1] - weights[segment];
        const float t = span > 0.0f ? (target - weights[segment]) / span : 0.0f;
        CCurveGeometry curve;
        GetSegmentCurve(points, int(segment), curve);
        CPoint2 point;
        CPoint2 tangent;
        curve.Evaluate(t, &point, &tangent, nullptr);
        const CPoint2 p = frame.InverseTransformPoint2D(point);
        const CPoint2 v = frame.InverseTransformVector2D(tangent);
        // The aim blends the chord's own direction with the one the tangent
        // calls for, so that the section meets the line turned with it.
        const float reach = p.Length();
        const float chordAngle = std::atan2(p.y, p.x);
        float tangentAngle = std::atan2(v.y, v.x) * 0.5f;
        if (tangentAngle < chordAngle - kPi / 2.0f)
            tangentAngle += kPi;
        else if (tangentAngle > chordAngle + kPi / 2.0f)
            tangentAngle -= kPi;
        const float aim = (weight * tangentAngle + reach * reach * chordAngle) / (reach * reach + weight + 0.000001f);
        const float along = reach * std::cos(aim - chordAngle);
        const CPoint2 aimPoint = frame.TransformPoint2D(std::cos(aim) * along, std::sin(aim) * along);
        Solve(joint - 1, aimPoint.x, aimPoint.y);
        m_sections[size_t(joint) - 1].Advance(frame, 1.0f);
    }
    Solve(count - 1, points.back().x, points.back().y);
}

float CTunnelFlexibleGeometry::ScoreFit(const CTunnelPoints& points) const
{
    std::vector<CTransform> frames;
    std::vector<CTransform> ends;
    CTransform frame;
    for (const CTunnelSection& section : m_sections) {
        frames.push_back(frame);
        ends.push_back(section.GetLocalFrame(1.0f));
        section.Advance(frame, 1.0f);
    }
    float sum = 0.0f;
    float total = 0.0f;
    float previous = 0.0f;
    for (size_t i = 1; i < points.size(); ++i) {
        float nearest = 1000000000.0f;
        for (size_t k = 0; k < m_sections.size(); ++k) {
            const CPoint2 q = frames[k].InverseTransformPoint2D(points[i]);
            const float d = m_sections[k].GetDistanceTo(q.x, q.y, ends[k]);
            nearest = std::min(nearest, d * d);
        }
        const float step = (points[i] - points[i - 1]).Length();
        sum += (previous + nearest) * 0.5f * step;
        total += step;
        previous = nearest;
    }
    return (total > 0.0f ? sum / total : 0.0f) + float(m_sections.size()) * kSectionCost;
}

void CTunnelFlexibleGeometry::Serialize(CFieldStream& stream)
{
    if (stream.m_versionMajor < 4) {
        TRACE_VALUE(int32_t, stream.m_versionMajor);
        ReportFailure();
    }
    float length = m_length;
    float diameter = m_diameter;
    int32_t count = int32_t(m_sections.size());
    stream.Float16(length);
    stream.Float16(diameter);
    stream.Int8(count);
    if (!stream.IsReading()) {
        for (CTunnelSection& section : m_sections) {
            stream.Float16(section.angle);
            stream.Float16(section.outerLength);
        }
        return;
    }
    if (length > 0.0f)
        m_length = length;
    SetDiameter(diameter);
    m_sections.clear();
    // One block of the size read: grown step by step for each of thousands
    // of long bodies, the sections would leave the heap strewn with freed
    // blocks that every later allocation searches through.
    m_sections.reserve(size_t(std::max(count, int32_t(1))));
    for (int32_t i = 0; i < count; ++i) {
        float angle = 0.0f;
        float outerLength = 0.0f;
        stream.Float16(angle);
        stream.Float16(outerLength);
        m_sections.push_back(MakeStoredSection(angle, outerLength));
    }
    // A record without sections (of a tunnel never shaped, or damaged)
    // reads as a straight tunnel, which can be seen and picked.
    if (m_sections.empty())
        m_sections.push_back(MakeSection(0.0f, m_length));
    InvalidateOutline();
}

void CTunnelFlexibleGeometry::ApplyVariant(std::istream& words)
{
    TRACE_POINT();
    const int startCode = ReadLegacyInt(words, -1);
    const int endCode = ReadLegacyInt(words, -1);
    const int inches = ReadLegacyInt(words, 180);
    m_length = float(std::max(60, std::min(300, inches)) * 10);
    SetDiameter(240.0f);
    m_sections.clear();

    const float l = m_length;
    const float r = l / kPi - GetRadius();
    const float k = std::sqrt(0.5f);
    const float q = std::sqrt(2.0f) * l * 0.25f;
    CPoint2 offset(-l / 2.0f, 0.0f);
    float turn = 0.0f;
    switch (startCode) {
    case 0:
        AddSection(-90.0f, l / 2.0f);
        offset = CPoint2(-r, -r);
        turn = 90.0f;
        break;
    case 1:
        AddSection(0.0f, q);
        AddSection(-45.0f, l / 4.0f);
        offset = CPoint2(-(k * r + k * q), -((1.0f - k) * r + k * q));
        turn = 45.0f;
        break;
    case 3:
        AddSection(0.0f, q);
        AddSection(45.0f, l / 4.0f);
        offset = CPoint2(-(k * r + k * q), (1.0f - k) * r + k * q);
        turn = -45.0f;
        break;
    case 4:
        AddSection(90.0f, l / 2.0f);
        offset = CPoint2(-r, r);
        turn = -90.0f;
        break;
    default:
        AddSection(0.0f, l / 2.0f);
        break;
    }
    switch (endCode) {
    case 0:
        AddSection(-90.0f, l / 2.0f);
        break;
    case 1:
        AddSection(-45.0f, l / 4.0f);
        AddSection(0.0f, q);
        break;
    case 3:
        AddSection(45.0f, l / 4.0f);
        AddSection(0.0f, q);
        break;
    case 4:
        AddSection(90.0f, l / 2.0f);
        break;
    default:
        AddSection(0.0f, l / 2.0f);
        break;
    }
    // A bend at one end that runs on into the other's may be sharper than
    // its length allows: it is held as a record read holds it, so that the
    // tunnel is written as it reads back.
    for (CTunnelSection& section : m_sections)
        section = MakeStoredSection(section.angle, section.outerLength);
    InvalidateOutline();

    CTransform placement = m_owner.GetPlacement();
    const CPoint2 start = placement.TransformPoint2D(offset);
    placement.SetPosition2D(RoundHalfUp(start.x), RoundHalfUp(start.y));
    placement.SetRotationZ(placement.GetRotation() - turn);
    m_owner.SetPlacement(placement);
}

void CTunnelFlexibleGeometry::SplitBend()
{
    // Split at whole numbers, so that the record keeps the sum; the half
    // that takes the odd degree takes the length it needs to hold it, as a
    // record read holds a section's bend to the whole degrees its length
    // allows. Where the other half could not hold the rest, the bend stays
    // whole: it reads back as it was.
    CTunnelSection& first = m_sections.front();
    const auto holds = [this](float angle, float length) {
        return angle <= std::floor(GetLargestAngle(RoundHalfUp(length)));
    };
    const float angle = RoundHalfUp(first.angle * 0.5f);
    float length = RoundHalfUp(first.outerLength * 0.5f);
    while (!holds(angle, length) && length < first.outerLength)
        length += 1.0f;
    if (!holds(first.angle - angle, first.outerLength - length))
        return;
    CTunnelSection second = first;
    second.SetAngle(first.angle - angle);
    second.outerLength = first.outerLength - length;
    first.SetAngle(angle);
    first.outerLength = length;
    m_sections.push_back(second);
}

void CTunnelFlexibleGeometry::ConvertFrom(const CTunnelGeometry& other)
{
    TRACE_VALUE(int32_t, int32_t(other.GetKind()));
    m_length = other.GetNominalLength();
    SetDiameter(other.GetDiameter());
    switch (other.GetKind()) {
    case kRigid: {
        m_sections = static_cast<const CTunnelBodyGeometry&>(other).GetSections();
        if (!m_sections.empty() && m_sections.front().angle > 180.0f)
            SplitBend();
        break;
    }
    case kPolyline: {
        const CTunnelPoints samples = SampleLine(static_cast<const CTunnelPolylineGeometry&>(other));
        if (samples.size() < 2)
            break;
        // Twice the length: the fit may not be cut short by the length.
        const float length = m_length;
        m_length = 2.0f * length;
        Fit(samples, 0);
        m_length = length;
        break;
    }
    default:
        ReportFailure();
        break;
    }
    InvalidateOutline();
}
