#pragma once

#include <vector>

#include "course/SnapAxis.h"
#include "foundation/Clock.h"
#include "objects/equipment/TunnelBodyGeometry.h"

class CTunnelPolylineGeometry;

// The flexible tunnel: sections bent at joints that the user drags. Handle h
// (1 to the number of sections) is the end of section h - 1; the start is no
// handle (its octagon turns the tunnel). Its record is the one every tunnel
// writes first, so every other kind can turn into it; it also fits sections
// to a sampled centre line, which the polyline kind and a changed section
// count use.
class CTunnelFlexibleGeometry : public CTunnelBodyGeometry
{
public:
    explicit CTunnelFlexibleGeometry(CCourseObject& owner) : CTunnelBodyGeometry(owner) {}

    int GetCategoryFor(int endIndex) const override { return endIndex == 0 ? 2 : 3; }
    int GetCategory() const override { return 3; }
    EKind GetKind() const override { return kFlexible; }
    // The number of sections.
    void ToDialog(CTunnelPropertiesDlg& dialog) override;
    // Without sections, makes the dialog's number of straight sections of
    // even length (nothing while the count or the length is mixed).
    // Otherwise refits the centre line when the count changes or the length
    // no longer holds the sections, and takes the diameter.
    void FromDialog(CTunnelPropertiesDlg& dialog) override;
    // Sets up the snaps of a drag: the angle to every 45 degrees, the length
    // to the even share. A handle out of range, or a tunnel without
    // sections, is reported and changes nothing here and in MoveHandle.
    void StartHandleMove(int handle) override;
    void EndHandleMove() override;
    int MoveHandle(int handle, float x, float y) override;
    // Start code, end code and length in inches (60 to 300) of a legacy
    // line, the bends held as a record holds them; the placement, which held
    // the tunnel's middle there, moves to its start.
    void ApplyVariant(std::istream& words) override;
    // Version 4 and later: length, diameter, section count, then angle and
    // outer length of each section. Values read are taken within what a
    // tunnel can be: a length not above 0 keeps the length, a section's
    // length is at least 1 and its bend at most the largest for it.
    void Serialize(CFieldStream& stream) override;
    // From a rigid body its sections (a bend beyond 180 split in two), from
    // a polyline sections fitted to the line.
    void ConvertFrom(const CTunnelGeometry& other) override;

    // A section as a record holds it: at least 1 long, bent no further than
    // the whole degrees its length allows.
    CTunnelSection MakeStoredSection(float angle, float outerLength) const;
    // Appends a section of the angle and the length (rounded), or lengthens
    // the last one where it bends the same per unit of length.
    void AddSection(float angle, float length);
    // Bends and lengthens section k so that its end lies as near as allowed
    // to the local point, and keeps the sections after it within the
    // nominal length.
    void Solve(int section, float x, float y);
    // Chooses sections that follow the points (at least two); count 0 tries
    // 1 to 8 sections and keeps the closest fit (each section costs a
    // little).
    void Fit(const CTunnelPoints& points, int count);

    bool IsHintPending() const { return m_hintPending; }

    // The points a body is fitted to: its own centre line (to refit it), or
    // a line's, in the frame the line starts in; from the origin, one point
    // per 60 along each section or segment, farther apart on one too long
    // for kMaxSamples.
    CTunnelPoints SampleCentreLine() const;
    static CTunnelPoints SampleLine(const CTunnelPolylineGeometry& line);

private:
    bool IsValidHandle(int handle) const;
    // Lays the bend of the first (only) section, beyond 180 degrees, in two.
    void SplitBend();
    // One candidate of Fit, with the cumulative weights of the points and
    // half the diagonal of their bounds.
    void FitSections(const CTunnelPoints& points, const std::vector<float>& weights, float halfDiagonal,
                     int count);
    // How far the points lie from the sections: the mean squared distance
    // along the points plus 100 per section.
    float ScoreFit(const CTunnelPoints& points) const;

    CSnapAxis m_angleSnap{15.0f};
    CSnapAxis m_lengthSnap{360.0f};
    int m_firstHandle = -1;
    // The clock when the first handle was taken (GetClockSeconds), read only
    // then: a course reads thousands of bodies that are never dragged.
    double m_firstHandleSeconds = 0.0;
    bool m_hintPending = false;
};
