#include "objects/equipment/CrawlTunnel.h"

#include "foundation/FieldStream.h"
#include "foundation/TracePoint.h"
#include "graphics/GraphicsContext.h"
#include "objects/equipment/PartDrawing.h"
#include "objects/equipment/PipeParts.h"

namespace {

constexpr int kCoverPart = 8;
constexpr int kFramePart = 17;

constexpr float kPipe = 15.0f;
constexpr float kPostY = CCrawlTunnel::kHalfWidth + 7.5f;
constexpr float kTop = 307.5f;
constexpr float kFootLength = 240.0f;

// One frame across the tunnel: a post each side, a cross bar on top and a
// foot along +x from each post.
class CFramePart : public CDrawable
{
public:
    explicit CFramePart(int color) : m_color(color)
    {
        CFieldWriter& key = BeginKey();
        key.WriteInt8(m_color);
    }

    void Draw(CGraphicsContext& context) override
    {
        TRACE_POINT();
        CTransform& matrix = context.m_state.matrix;
        CPipeJointPart joint(kPipe, m_color, false, false);
        CDiscPart post(kTop - 7.5f, kPipe, m_color);
        CDiscPart bar(2.0f * kPostY, kPipe, m_color);
        CDiscPart foot(kFootLength, kPipe, m_color);
        for (float y : {-kPostY, kPostY}) {
            matrix.ResetRotation();
            DrawPartAt(context, post, 0.0f, y, 7.5f);
            DrawPartAt(context, joint, 0.0f, y, 7.5f);
            matrix.SetRotationY(90.0f);
            DrawPartAt(context, foot, 0.0f, y, 7.5f);
        }
        matrix.SetRotationX(-90.0f);
        DrawPartAt(context, bar, 0.0f, -kPostY, kTop);
        matrix.ResetRotation();
    }

private:
    int m_color;
};

}  // namespace

const CCrawlTunnel::CCrawlTunnelType& CCrawlTunnel::GetCrawlTunnelType()
{
    static const CCrawlTunnelType* type =
        new CCrawlTunnelType({kTypeId, 2536, {"CrawlTunnel"}, {kCoverPart, kFramePart}, false, false});
    return *type;
}

CCrawlTunnel::CCrawlTunnel() : CStraightObstacle(CStraightEnds::EOrder::kByEnd)
{
    UpdateEnds();
}

void CCrawlTunnel::SerializeExtra(CFieldStream& stream)
{
    float height = GetCourseJumpHeight(*this);
    stream.Float16(height);
}

void CCrawlTunnel::Draw2D(CGraphicsContext& context)
{
    TRACE_POINT();
    const float x = kHalfLength;
    const float y = kHalfWidth;
    context.BeginPath(true, true, 0);
    context.AddRect(CRectF(-x, -y, x, y));
    context.EndPath();
    context.BeginLine(1);
    context.MoveTo(-x, 0.0f);
    context.LineTo(x, 0.0f);
    for (float frame : {-120.0f, 120.0f}) {
        context.MoveTo(frame, y);
        context.LineTo(frame, -y);
    }
    context.EndPath();
}

void CCrawlTunnel::Build3D(CGraphicsContext& context)
{
    TRACE_POINT();
    const float j = GetCourseJumpHeight(*this);
    CFramePart frame(GetPartColorIndex(kFramePart));
    CTransform& matrix = context.m_state.matrix;
    context.SetColor(GetPartColor(kCoverPart));
    context.DrawBox(CBox3(-362.0f, 362.0f, -kHalfWidth, kHalfWidth, j, j), 15);
    for (float x : {-360.0f, -120.0f}) {
        matrix.SetIdentity();
        matrix.SetTranslation(x, 0.0f, 0.0f);
        DrawPart(context, frame);
        matrix.SetTranslation(-x, 0.0f, 0.0f);
        matrix.RotateZ(180.0f);
        DrawPart(context, frame);
    }
    matrix.SetIdentity();
}
