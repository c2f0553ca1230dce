#pragma once

#include <cstdint>
#include <deque>
#include <memory>
#include <string>
#include <vector>

#include "foundation/Box.h"
#include "foundation/GroupNode.h"
#include "foundation/Transform.h"
#include "graphics/Drawable.h"

class CPixelBitmap;

// A vertex of a figure mesh: position and a normal that need not be unit.
struct CModelVertex
{
    CVector3 position;
    CVector3 normal;
};

// Fills the pre-sized list from packed vertices: four 16-bit values each,
// x, y and z as fractions q / 65535 of the box (min x, max x, min y, max y,
// min z, max z), then the normal with x in bits 15-11, y in 10-6 and z in
// 5-0, each mapped from its field's range onto -1..1.
void UnpackVertices(const uint16_t* packed, const float box[6], std::vector<CModelVertex>& vertices);

// A skinned, textured mesh on a tree of group nodes: the dog and handler
// figures. The tables are static data handed in and not owned:
//   - rest vertices, the mesh in its bind pose;
//   - skin weights, pairs {vertex index, weight / 65535} taken node by node
//     in node order, each node as many as its weighted-vertex count;
//   - texture coordinates, pairs {u, v} / 65535;
//   - triangle corners, pairs {vertex index, texture-coordinate index},
//     three per triangle, taken material by material.
// Posing turns the nodes; the next Draw skins the mesh again when a node or
// the placement changed since it last did.
class CPackedModel : public CDrawable, public CGroupNodeOwner
{
public:
    struct CMaterial
    {
        uint32_t color = 0xFFFFFFFF;
        std::wstring textureName;
        const CPixelBitmap* texture = nullptr;
        bool textureLooked = false;
        uint32_t cornerCount = 0;
    };

    CPackedModel(const std::vector<CModelVertex>& restVertices, const uint16_t* skinWeights,
                 const uint16_t* textureCoordinates, const uint16_t* corners);
    ~CPackedModel() override;
    CPackedModel(const CPackedModel&) = delete;
    CPackedModel& operator=(const CPackedModel&) = delete;

    // A node under the node of that index (-1: a root) with its rest pose.
    CGroupNode& AddPackedPart(int parent, int weightedCount, const CVector3& position, const CVector3& restAngles,
                              const char* axisOrder);
    void AddMaterial(const std::wstring& textureName, uint32_t cornerCount);
    // Every material's colour; a colour of alpha 0 hides its material.
    void SetMaterialColor(uint32_t argb);
    void SetMaterialColor(int material, uint32_t argb);
    void SetTextureName(int material, const std::wstring& name);
    void SetTransform(const CTransform& placement);
    const CTransform& GetTransform() const { return m_placement; }
    // Rest vertex n, counted from 1.
    CVector3 GetRestVertex(int n) const;

    int GetPartCount() const { return int(m_nodes.size()); }
    CGroupNode& GetPart(int index) { return *m_nodes[size_t(index)].node; }
    int GetWeightedCount(int index) const { return m_nodes[size_t(index)].weightedCount; }
    const CMaterial& GetMaterial(int index) const { return m_materials[size_t(index)]; }
    int GetMaterialCount() const { return int(m_materials.size()); }
    // The skinned mesh of the present pose.
    const std::vector<CModelVertex>& GetSkinnedVertices();
    // How often the mesh was skinned since the model was made.
    int GetSkinCount() const { return m_skinCount; }
    // Frees the skinned mesh; the next drawing skins it again. Figures whose
    // drawings are cached by their key keep no mesh between drawings.
    void ReleaseSkin();

    void Draw(CGraphicsContext& context) override;

    // The tree's owner: the placement places the roots; a turned node makes
    // the skin stale.
    const CTransform& GetBaseTransform() const override { return m_placement; }
    void InvalidateGeometry() override { m_skinValid = false; }

private:
    struct CPart
    {
        std::unique_ptr<CGroupNode> node;
        int weightedCount = 0;
    };

    void Skin();

    const std::vector<CModelVertex>& m_restVertices;
    const uint16_t* m_skinWeights;
    const uint16_t* m_textureCoordinates;
    const uint16_t* m_corners;
    std::deque<CPart> m_nodes;
    std::vector<CMaterial> m_materials;
    CTransform m_placement;
    std::vector<CModelVertex> m_skinned;
    bool m_skinValid = false;
    int m_skinCount = 0;
};
