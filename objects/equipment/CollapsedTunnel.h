#pragma once

#include <iosfwd>
#include <memory>
#include <string>

#include "course/CourseObject.h"
#include "course/ObjectType.h"
#include "objects/equipment/ObstacleEnd.h"

// The collapsed tunnel: a rigid barrel 300 long with a cloth chute behind
// it, of an overall length and a barrel diameter (tenths of an inch). Local
// frame: centred on the origin, the barrel's mouth at -length/2, the chute's
// end at +length/2; the chute widens to twice the diameter at its end.
class CCollapsedTunnel : public CCourseObject
{
public:
    // The descriptor: type 50, named and grouped by text 2534, key name
    // "CollapsedTunnel", parts fabric (30), hoop bands (31), frame (2) and
    // stand (7).
    class CCollapsedTunnelType : public CObjectType
    {
    public:
        CCollapsedTunnelType();
        std::unique_ptr<CCourseObject> CreateObject() const override;
    };

    // The one descriptor, built on first use and kept until exit.
    static const CCollapsedTunnelType& GetCollapsedTunnelType();

    CCollapsedTunnel();

    int GetCategory() const override { return 2; }
    int GetLayer() const override { return 3; }
    int GetEndCount() const override { return 2; }
    // The mouth (-length/2, 0) and the chute's end (length/2, 0).
    void GetEnd(CPoint2& point, int index) const override;
    int GetAnchorCount() const override { return 2; }
    // "<length> long" (text 2038), in feet and inches, or in centimetres on
    // a metric course.
    std::wstring GetSizeText() const override;
    // The chute's length in inches (60 to 180; 96 when absent): the length
    // is ten times it plus the barrel.
    void ApplyVariant(const std::string& keyName, std::istream& words) override;
    // The length, and from version 4 on the diameter, as rounded Int16
    // floats; a length below 960 becomes 960 (before it is written too), a
    // diameter read that is not above 0 keeps the diameter.
    void Serialize(CFieldStream& stream) override;
    void ToDialog(CEditSession& dialog) override;
    // A length above 0 and a diameter not 0 (not mixed).
    void FromDialog(CEditSession& dialog) override;
    // The barrel and the chute as one outline, then the barrel's mouth.
    void Draw2D(CGraphicsContext& context) override;
    // Two stands under the barrel, the chute lying flat towards its end,
    // the barrel with rims and a darkened inside.
    void Build3D(CGraphicsContext& context) override;
    // The first end at the mouth, the second at the chute's end, both
    // pointing along +x.
    void UpdateEnds() override;
    float GetMirrorAngle() const override { return 180.0f; }

    float GetLength() const { return m_length; }
    float GetDiameter() const { return m_diameter; }
    const CObstacleEnd& GetObstacleEnd(int index) const { return *m_ends[index]; }

    static constexpr int kTypeId = 50;
    static constexpr int kNameTextId = 2534;
    static constexpr float kBarrelLength = 300.0f;
    // No stored collapsed tunnel is shorter.
    static constexpr float kMinStoredLength = 960.0f;

private:
    // The chute: 21 rings from round at the barrel to lying flat.
    void BuildChute(CGraphicsContext& context) const;
    void BuildBarrel(CGraphicsContext& context) const;

    float m_length = 500.0f;
    float m_diameter = 240.0f;
    CSecondObstacleEnd m_second;
    CFirstObstacleEnd m_first;
    CObstacleEnd* const m_ends[2] = {&m_second, &m_first};
};
