#pragma once

#include <cstdio>
#include <string>
#include <vector>

#include "graphics/Drawable.h"
#include "graphics/GraphicsContext.h"

// A graphics context that writes down what the front end hands to the back
// end, for tests of the front end and of things that draw:
//   B<stroke>,<fill>  EmitBeginPath      M<x>,<y>  EmitMoveTo
//   L<x>,<y>          EmitLineTo         C<x1>,<y1>,<x2>,<y2>,<x3>,<y3>  EmitBezierTo
//   Z                 EmitCloseFigure    E         EmitEndPath
//   T<x>,<y>          DrawText           D<mode>,<flag>  DrawDrawable (then
//   V<kind>,<rev>,<row> BeginVertices       the child draws into this context)
//   X                 EndVertices
// Numbers are written with %g. Vertices go to the base store as usual.
// Each call keeps a copy of the drawing state it came with.
class CRecordingContext : public CGraphicsContext
{
public:
    struct CCall
    {
        char op = 0;
        float v[6] = {};
        // The state when the call came: what back ends read from it.
        CGraphicsState state;
    };

    void DrawText(const std::wstring& text, float x, float y) override
    {
        Record('T', {x, y});
        texts.push_back(text);
    }
    void BeginVertices(int kind, bool reverse, int rowLength) override
    {
        Record('V', {float(kind), reverse ? 1.0f : 0.0f, float(rowLength)});
        CGraphicsContext::BeginVertices(kind, reverse, rowLength);
    }
    void EndVertices() override { Record('X', {}); }
    void DrawDrawable(CDrawable& drawable, int mode, int flag) override
    {
        Record('D', {float(mode), float(flag)});
        PushState();
        m_state.Reset(CVector3());
        drawable.Draw(*this);
        PopState();
    }
    bool IgnoresDashes() const override { return ignoreDashes; }

    // The calls as one line: "B1,0 M0,0 L1,0 E".
    std::string Log() const
    {
        std::string out;
        for (const CCall& call : calls) {
            if (!out.empty())
                out += ' ';
            out += call.op;
            const int n = Arity(call.op);
            for (int i = 0; i < n; ++i) {
                char number[32];
                std::snprintf(number, sizeof number, "%g", double(call.v[i]));
                if (i > 0)
                    out += ',';
                out += number;
            }
        }
        return out;
    }
    int Count(char op) const
    {
        int n = 0;
        for (const CCall& call : calls)
            n += call.op == op ? 1 : 0;
        return n;
    }
    void Clear()
    {
        calls.clear();
        texts.clear();
    }

    std::vector<CCall> calls;
    std::vector<std::wstring> texts;
    bool ignoreDashes = false;
    // Curves reach EmitLineTo through the base flattening instead of 'C'.
    bool flattenCurves = false;

protected:
    void EmitBeginPath(bool stroke, bool fill) override
    {
        Record('B', {stroke ? 1.0f : 0.0f, fill ? 1.0f : 0.0f});
    }
    void EmitMoveTo(float x, float y) override { Record('M', {x, y}); }
    void EmitLineTo(float x, float y) override { Record('L', {x, y}); }
    void EmitBezierTo(const CCurveGeometry& c) override
    {
        if (flattenCurves) {
            CGraphicsContext::EmitBezierTo(c);
            return;
        }
        Record('C', {c.p1.x, c.p1.y, c.p2.x, c.p2.y, c.p3.x, c.p3.y});
    }
    void EmitCloseFigure() override { Record('Z', {}); }
    void EmitEndPath() override { Record('E', {}); }

private:
    static int Arity(char op)
    {
        switch (op) {
        case 'B': case 'M': case 'L': case 'T': case 'D':
            return 2;
        case 'V':
            return 3;
        case 'C':
            return 6;
        default:
            return 0;
        }
    }
    void Record(char op, std::initializer_list<float> values)
    {
        CCall call;
        call.op = op;
        int i = 0;
        for (float v : values)
            call.v[i++] = v;
        call.state = m_state;
        calls.push_back(call);
    }
};
