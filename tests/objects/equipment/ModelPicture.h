#pragma once

#include <algorithm>
#include <cmath>
#include <vector>

#include "foundation/Transform.h"
#include "graphics/Drawable.h"
#include "graphics/GraphicsContext.h"
#include "graphics/PixelBitmap.h"

// A picture of 3D models for tests to look at: a graphics context that
// fills every triangle it is given, lit and textured as the back ends do,
// into a bitmap through a depth buffer, seen from above at an angle with a
// parallel projection. Paths and text are left out.
class CModelPicture : public CGraphicsContext
{
public:
    // scale: pixels per unit; (cx, cy): the pixel of the world origin; yaw
    // turns the world about z, pitch tilts the view from level (0) to
    // straight down (90).
    CModelPicture(int width, int height, float scale, float cx, float cy, float yaw = 30.0f, float pitch = 35.0f)
        : m_bitmap(float(width), float(height)),
          m_depth(size_t(width) * size_t(height), 1e30f),
          m_scale(scale),
          m_cx(cx),
          m_cy(cy),
          m_yaw(yaw / CTransform::kDegreesPerRadian),
          m_pitch(pitch / CTransform::kDegreesPerRadian)
    {
        m_state.Reset(kLight);
    }

    // Draws a drawable as the outermost item, placed in the world.
    void DrawAt(CDrawable& drawable, const CTransform& placement)
    {
        m_state.Reset(kLight);
        m_device = placement;
        drawable.Draw(*this);
        m_device = CTransform();
    }

    const CPixelBitmap& GetBitmap() const { return m_bitmap; }
    int GetTriangleCount() const { return m_triangleCount; }

    void DrawText(const std::wstring& text, float x, float y) override {}
    void EndVertices() override
    {
        const std::vector<CGraphicsVertex>& vertices = GetVertices();
        const std::vector<uint32_t>& triangles = GetTriangles();
        for (size_t i = 0; i + 2 < triangles.size(); i += 3)
            Fill(vertices[triangles[i]], vertices[triangles[i + 1]], vertices[triangles[i + 2]]);
        ClearVertices();
    }
    void DrawDrawable(CDrawable& drawable, int mode, int flag) override
    {
        const CTransform outer = m_device;
        m_device = CTransform(outer, m_state.matrix);
        PushState();
        m_state.Reset(kLight);
        drawable.Draw(*this);
        PopState();
        m_device = outer;
    }

protected:
    void EmitMoveTo(float x, float y) override {}
    void EmitLineTo(float x, float y) override {}
    void EmitCloseFigure() override {}

private:
    struct CScreen
    {
        float x, y, depth;
    };

    CScreen Project(const CGraphicsVertex& v) const
    {
        const CVector3 w = m_device.TransformPoint(CVector3(v.x, v.y, v.z));
        const float x1 = w.x * std::cos(m_yaw) - w.y * std::sin(m_yaw);
        const float y1 = w.x * std::sin(m_yaw) + w.y * std::cos(m_yaw);
        const float up = y1 * std::sin(m_pitch) + w.z * std::cos(m_pitch);
        const float depth = y1 * std::cos(m_pitch) - w.z * std::sin(m_pitch);
        return {m_cx + m_scale * x1, m_cy - m_scale * up, depth};
    }

    uint32_t Sample(float u, float v) const
    {
        const CPixelBitmap* texture = m_state.texture;
        if (texture == nullptr || texture->IsEmpty())
            return 0xFFFFFFFF;
        const int w = texture->GetPixelWidth();
        const int h = texture->GetPixelHeight();
        const int x = ((int(std::floor(u * float(w))) % w) + w) % w;
        const int y = ((int(std::floor(v * float(h))) % h) + h) % h;
        return texture->GetPixel(x, y);
    }

    void Fill(const CGraphicsVertex& a, const CGraphicsVertex& b, const CGraphicsVertex& c)
    {
        ++m_triangleCount;
        const CScreen p[3] = {Project(a), Project(b), Project(c)};
        const CGraphicsVertex* v[3] = {&a, &b, &c};
        const float area = (p[1].x - p[0].x) * (p[2].y - p[0].y) - (p[2].x - p[0].x) * (p[1].y - p[0].y);
        if (!(std::fabs(area) > 1e-6f))
            return;
        const int width = m_bitmap.GetPixelWidth();
        const int height = m_bitmap.GetPixelHeight();
        const int x0 = std::max(0, int(std::floor(std::min({p[0].x, p[1].x, p[2].x}))));
        const int x1 = std::min(width - 1, int(std::ceil(std::max({p[0].x, p[1].x, p[2].x}))));
        const int y0 = std::max(0, int(std::floor(std::min({p[0].y, p[1].y, p[2].y}))));
        const int y1 = std::min(height - 1, int(std::ceil(std::max({p[0].y, p[1].y, p[2].y}))));
        for (int y = y0; y <= y1; ++y) {
            for (int x = x0; x <= x1; ++x) {
                const float px = float(x) + 0.5f;
                const float py = float(y) + 0.5f;
                float w[3];
                for (int i = 0; i < 3; ++i) {
                    const CScreen& s = p[(i + 1) % 3];
                    const CScreen& t = p[(i + 2) % 3];
                    w[i] = ((t.x - s.x) * (py - s.y) - (px - s.x) * (t.y - s.y)) / area;
                }
                if (w[0] < 0.0f || w[1] < 0.0f || w[2] < 0.0f)
                    continue;
                const float depth = w[0] * p[0].depth + w[1] * p[1].depth + w[2] * p[2].depth;
                float& held = m_depth[size_t(y) * size_t(width) + size_t(x)];
                if (depth >= held)
                    continue;
                const float u = w[0] * v[0]->u + w[1] * v[1]->u + w[2] * v[2]->u;
                const float tv = w[0] * v[0]->v + w[1] * v[1]->v + w[2] * v[2]->v;
                const uint32_t texel = Sample(u, tv);
                uint32_t channels[4];
                for (int k = 0; k < 4; ++k) {
                    float sum = 0.0f;
                    for (int i = 0; i < 3; ++i)
                        sum += w[i] * float((v[i]->color >> (8 * k)) & 0xFF);
                    channels[k] = uint32_t(sum * float((texel >> (8 * k)) & 0xFF) / 255.0f) & 0xFF;
                }
                const uint32_t alpha = channels[3];
                const uint32_t under = m_bitmap.GetPixel(x, y);
                uint32_t out = 0xFF000000;
                for (int k = 0; k < 3; ++k) {
                    const uint32_t back = (under >> (8 * k)) & 0xFF;
                    out |= ((channels[k] * alpha + back * (255 - alpha)) / 255) << (8 * k);
                }
                m_bitmap.SetPixel(x, y, out);
                if (alpha == 255)
                    held = depth;
            }
        }
    }

    const CVector3 kLight{0.3f, -0.5f, 0.81f};
    CPixelBitmap m_bitmap;
    std::vector<float> m_depth;
    float m_scale;
    float m_cx;
    float m_cy;
    float m_yaw;
    float m_pitch;
    CTransform m_device;
    int m_triangleCount = 0;
};
