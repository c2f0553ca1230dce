#include "graphics/PackedModel.h"

#include "foundation/CrashLog.h"
#include "foundation/TracePoint.h"
#include "graphics/GraphicsContext.h"
#include "graphics/ImageCache.h"

namespace {

constexpr float kFullScale = 65535.0f;

float Unquantise(float minimum, float maximum, uint16_t q)
{
    return minimum + (maximum - minimum) * float(q) / kFullScale;
}

}  // namespace

void UnpackVertices(const uint16_t* packed, const float box[6], std::vector<CModelVertex>& vertices)
{
    for (CModelVertex& vertex : vertices) {
        vertex.position = {Unquantise(box[0], box[1], packed[0]), Unquantise(box[2], box[3], packed[1]),
                           Unquantise(box[4], box[5], packed[2])};
        const unsigned n = packed[3];
        vertex.normal = {float(n >> 11) * 2.0f / 31.0f - 1.0f, float((n >> 6) & 31) * 2.0f / 31.0f - 1.0f,
                         float(n & 63) * 2.0f / 63.0f - 1.0f};
        packed += 4;
    }
}

CPackedModel::CPackedModel(const std::vector<CModelVertex>& restVertices, const uint16_t* skinWeights,
                           const uint16_t* textureCoordinates, const uint16_t* corners)
    : m_restVertices(restVertices), m_skinWeights(skinWeights), m_textureCoordinates(textureCoordinates),
      m_corners(corners)
{
}

CPackedModel::~CPackedModel() = default;

CGroupNode& CPackedModel::AddPackedPart(int parent, int weightedCount, const CVector3& position,
                                        const CVector3& restAngles, const char* axisOrder)
{
    CGroupNode* parentNode = nullptr;
    if (parent >= 0 && parent < int(m_nodes.size())) {
        parentNode = m_nodes[size_t(parent)].node.get();
    } else if (parent >= 0) {
        TRACE_VALUE(int32_t, parent);
        ReportFailure();
    }
    m_nodes.emplace_back();
    m_nodes.back().weightedCount = weightedCount;
    m_nodes.back().node = std::make_unique<CGroupNode>(*this, parentNode, int(m_nodes.size()) - 1, position,
                                                       restAngles, axisOrder);
    m_skinValid = false;
    return *m_nodes.back().node;
}

void CPackedModel::AddMaterial(const std::wstring& textureName, uint32_t cornerCount)
{
    CMaterial material;
    material.textureName = textureName;
    material.cornerCount = cornerCount;
    m_materials.push_back(material);
}

void CPackedModel::SetMaterialColor(uint32_t argb)
{
    for (CMaterial& material : m_materials)
        material.color = argb;
}

void CPackedModel::SetMaterialColor(int material, uint32_t argb)
{
    if (material >= 0 && material < int(m_materials.size()))
        m_materials[size_t(material)].color = argb;
}

void CPackedModel::SetTextureName(int material, const std::wstring& name)
{
    if (material < 0 || material >= int(m_materials.size()))
        return;
    m_materials[size_t(material)].textureName = name;
    m_materials[size_t(material)].texture = nullptr;
    m_materials[size_t(material)].textureLooked = false;
}

void CPackedModel::SetTransform(const CTransform& placement)
{
    m_placement = placement;
    if (!m_nodes.empty())
        m_nodes.front().node->Invalidate();
    m_skinValid = false;
}

CVector3 CPackedModel::GetRestVertex(int n) const
{
    if (n >= 1 && size_t(n) <= m_restVertices.size())
        return m_restVertices[size_t(n) - 1].position;
    TRACE_VALUE(int32_t, n);
    ReportFailure();
    return {};
}

const std::vector<CModelVertex>& CPackedModel::GetSkinnedVertices()
{
    if (!m_skinValid)
        Skin();
    return m_skinned;
}

void CPackedModel::ReleaseSkin()
{
    std::vector<CModelVertex>().swap(m_skinned);
    m_skinValid = false;
}

void CPackedModel::Skin()
{
    TRACE_POINT();
    m_skinned.assign(m_restVertices.size(), CModelVertex());
    const uint16_t* pair = m_skinWeights;
    for (CPart& part : m_nodes) {
        const CTransform& world = part.node->GetWorldTransform();
        // The rest transform of a node is its bind pose in its parent's
        // frame; the bind pose in model space is its first world placement.
        const CTransform& bind = part.node->GetInitialWorldTransform();
        for (int i = 0; i < part.weightedCount; ++i, pair += 2) {
            const size_t index = pair[0];
            if (index >= m_restVertices.size())
                continue;
            const float w = float(pair[1]) / kFullScale;
            const CModelVertex& source = m_restVertices[index];
            CModelVertex& target = m_skinned[index];
            const CVector3 p = world.TransformPoint(bind.InverseTransformPoint(source.position));
            const CVector3 n = world.TransformVector(bind.InverseTransformVector(source.normal));
            target.position = {target.position.x + w * p.x, target.position.y + w * p.y,
                               target.position.z + w * p.z};
            target.normal = {target.normal.x + w * n.x, target.normal.y + w * n.y, target.normal.z + w * n.z};
        }
    }
    m_skinValid = true;
    ++m_skinCount;
}

void CPackedModel::Draw(CGraphicsContext& context)
{
    TRACE_POINT();
    if (!m_skinValid)
        Skin();
    const uint16_t* corner = m_corners;
    for (CMaterial& material : m_materials) {
        const uint16_t* first = corner;
        corner += size_t(material.cornerCount) * 2;
        if ((material.color >> 24) == 0)
            continue;
        context.SetColor(material.color);
        if (!material.textureLooked) {
            material.textureLooked = true;
            material.texture = CImage::GetCached(material.textureName);
            if (!material.texture) {
                TRACE_POINT();
                ReportFailure();
            }
        }
        context.m_state.texture = material.texture;
        context.BeginVertices(0, false, 2);
        for (const uint16_t* c = first; c != corner; c += 2) {
            if (c[0] >= m_skinned.size())
                continue;
            const CModelVertex& vertex = m_skinned[c[0]];
            context.m_state.texU = float(m_textureCoordinates[size_t(c[1]) * 2]) / kFullScale;
            context.m_state.texV = float(m_textureCoordinates[size_t(c[1]) * 2 + 1]) / kFullScale;
            context.SetNormal(vertex.normal, false);
            context.AddVertex(vertex.position);
        }
        context.EndVertices();
    }
    context.m_state.texture = nullptr;
}
