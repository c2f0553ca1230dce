#pragma once

#include <iosfwd>
#include <memory>
#include <string>

#include "course/ObjectType.h"
#include "objects/equipment/StraightObstacle.h"

// The A-frame: two ramps of equal length leaning against each other, taken
// from either foot. Local frame: origin at the apex centre, x along the way
// over it, y across, z up; lengths in tenths of an inch.
//
// Each foot carries a first end pointing away from the obstacle and a
// second end pointing back over it, each with an entry 180 either side.
class CAFrame : public CStraightObstacle
{
public:
    // The A-frame's descriptor: type 10, named and grouped by text 2526,
    // with the legacy and variant key names and the parts ramp surface (16),
    // frame and hinge (2), contact zone (6) and braces (4).
    class CAFrameType : public CObjectType
    {
    public:
        CAFrameType();
        std::unique_ptr<CCourseObject> CreateObject() const override;
    };

    // The one descriptor, built on first use and kept until exit.
    static const CAFrameType& GetAFrameType();

    CAFrame();

    int GetLayer() const override { return 4; }
    // The feet lie the run from the apex.
    float GetReach() const override { return GetRun(); }
    // "<ramp length> ramps" (text 2037), the length in feet and inches, or
    // in centimetres on a metric course.
    std::wstring GetSizeText() const override;
    void ApplyVariant(const std::string& keyName, std::istream& words) override;
    // Ramp length and apex height as rounded Int16 floats; the width follows
    // from the length. A length or height read that is not above 0 keeps
    // the value the object had.
    void Serialize(CFieldStream& stream) override;
    void ToDialog(CEditSession& dialog) override;
    void FromDialog(CEditSession& dialog) override;
    void Draw2D(CGraphicsContext& context) override;
    void Build3D(CGraphicsContext& context) override;

    float GetLength() const { return m_length; }
    float GetHeight() const { return m_height; }
    float GetWidth() const { return m_width; }
    // The horizontal run of one ramp, sqrt(length^2 - height^2); 0 when the
    // height reaches the length.
    float GetRun() const { return m_run; }

    // 300 for a ramp of exactly 800 (the UKC A-frame), else 360.
    static float WidthForLength(float length);

    static constexpr int kTypeId = 10;
    static constexpr int kNameTextId = 2526;
    static constexpr float kRunIn = 180.0f;
    // The share of a ramp's plan from the apex that is not contact zone.
    static constexpr float kInnerShare = 0.566f;
    // The lowest stretch of each ramp that is contact zone.
    static constexpr float kContactZone = 420.0f;

private:
    // Sets length and height where they are above 0, then the width and
    // the run.
    void SetSize(float length, float height);

    float m_length = 200.0f;
    float m_height = 100.0f;
    float m_width = 360.0f;
    // Kept, for the ends ask for it at every change.
    float m_run = 0.0f;
};
