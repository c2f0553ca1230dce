#include "tools/benchmark/PictureReplay.h"

#include <algorithm>

namespace {

// The record's body as the structure of its type.
template <class T>
const T& As(const ENHMETARECORD& record)
{
    return *reinterpret_cast<const T*>(&record);
}

}  // namespace

CPictureReplay::~CPictureReplay()
{
    for (HGDIOBJ object : m_made)
        DeleteObject(object);
}

HGDIOBJ& CPictureReplay::ObjectSlot(DWORD index)
{
    if (index >= m_objects.size())
        m_objects.resize(index + 1, nullptr);
    return m_objects[index];
}

void CPictureReplay::Load(HENHMETAFILE metafile)
{
    const UINT size = GetEnhMetaFileBits(metafile, 0, nullptr);
    std::vector<BYTE> bytes(size);
    GetEnhMetaFileBits(metafile, size, bytes.data());
    for (size_t at = 0; at + sizeof(EMR) <= bytes.size();) {
        const ENHMETARECORD& record = *reinterpret_cast<const ENHMETARECORD*>(&bytes[at]);
        if (record.nSize < sizeof(EMR))
            break;
        ReadRecord(record);
        at += record.nSize;
    }
}

void CPictureReplay::AddPoints(const POINTS* points, DWORD count, BYTE firstType, BYTE nextType)
{
    for (DWORD i = 0; i < count; ++i) {
        m_points.push_back({points[i].x, points[i].y});
        m_types.push_back(i == 0 ? firstType : nextType);
    }
}

void CPictureReplay::AddPoints(const POINTL* points, DWORD count, BYTE firstType, BYTE nextType)
{
    for (DWORD i = 0; i < count; ++i) {
        m_points.push_back({points[i].x, points[i].y});
        m_types.push_back(i == 0 ? firstType : nextType);
    }
}

void CPictureReplay::ReadRecord(const ENHMETARECORD& record)
{
    switch (record.iType) {
    case EMR_HEADER:
    case EMR_EOF:
    case EMR_SETMITERLIMIT:
        break;
    case EMR_EXTCREATEPEN: {
        const EXTLOGPEN& pen = As<EMREXTCREATEPEN>(record).elp;
        const LOGBRUSH brush = {pen.elpBrushStyle, pen.elpColor, pen.elpHatch};
        HGDIOBJ made = ExtCreatePen(pen.elpPenStyle, pen.elpWidth, &brush, 0, nullptr);
        m_made.push_back(made);
        ObjectSlot(As<EMREXTCREATEPEN>(record).ihPen) = made;
        break;
    }
    case EMR_CREATEPEN: {
        HGDIOBJ made = CreatePenIndirect(&As<EMRCREATEPEN>(record).lopn);
        m_made.push_back(made);
        ObjectSlot(As<EMRCREATEPEN>(record).ihPen) = made;
        break;
    }
    case EMR_CREATEBRUSHINDIRECT: {
        const LOGBRUSH32& brush32 = As<EMRCREATEBRUSHINDIRECT>(record).lb;
        const LOGBRUSH brush = {brush32.lbStyle, brush32.lbColor, ULONG_PTR(brush32.lbHatch)};
        HGDIOBJ made = CreateBrushIndirect(&brush);
        m_made.push_back(made);
        ObjectSlot(As<EMRCREATEBRUSHINDIRECT>(record).ihBrush) = made;
        break;
    }
    case EMR_EXTCREATEFONTINDIRECTW: {
        HGDIOBJ made = CreateFontIndirectW(&As<EMREXTCREATEFONTINDIRECTW>(record).elfw.elfLogFont);
        m_made.push_back(made);
        ObjectSlot(As<EMREXTCREATEFONTINDIRECTW>(record).ihFont) = made;
        break;
    }
    case EMR_DELETEOBJECT:
        ObjectSlot(As<EMRDELETEOBJECT>(record).ihObject) = nullptr;
        break;
    case EMR_SELECTOBJECT: {
        const DWORD index = As<EMRSELECTOBJECT>(record).ihObject;
        HGDIOBJ object = (index & ENHMETA_STOCK_OBJECT) ? GetStockObject(int(index & ~ENHMETA_STOCK_OBJECT))
                                                         : ObjectSlot(index);
        switch (GetObjectType(object)) {
        case OBJ_PEN:
        case OBJ_EXTPEN:
            m_state.pen = object;
            break;
        case OBJ_BRUSH:
            m_state.brush = object;
            break;
        case OBJ_FONT:
            m_state.font = object;
            break;
        default:
            break;
        }
        break;
    }
    case EMR_SETROP2:
        m_state.rop2 = int(As<EMRSETROP2>(record).iMode);
        break;
    case EMR_SETPOLYFILLMODE:
        m_state.fillMode = int(As<EMRSETPOLYFILLMODE>(record).iMode);
        break;
    case EMR_SETBKMODE:
        m_state.bkMode = int(As<EMRSETBKMODE>(record).iMode);
        break;
    case EMR_SETTEXTALIGN:
        m_state.textAlign = As<EMRSETTEXTALIGN>(record).iMode;
        break;
    case EMR_SETTEXTCOLOR:
        m_state.textColor = As<EMRSETTEXTCOLOR>(record).crColor;
        break;
    case EMR_SETBKCOLOR:
        m_state.bkColor = As<EMRSETBKCOLOR>(record).crColor;
        break;
    case EMR_BEGINPATH:
        m_inPath = true;
        m_pathStart = m_points.size();
        break;
    case EMR_ABORTPATH:
        m_inPath = false;
        m_points.resize(m_pathStart);
        m_types.resize(m_pathStart);
        break;
    case EMR_ENDPATH:
        m_inPath = false;
        break;
    case EMR_MOVETOEX:
        m_points.push_back({As<EMRMOVETOEX>(record).ptl.x, As<EMRMOVETOEX>(record).ptl.y});
        m_types.push_back(PT_MOVETO);
        break;
    case EMR_LINETO:
        m_points.push_back({As<EMRLINETO>(record).ptl.x, As<EMRLINETO>(record).ptl.y});
        m_types.push_back(PT_LINETO);
        break;
    case EMR_CLOSEFIGURE:
        if (!m_types.empty())
            m_types.back() |= PT_CLOSEFIGURE;
        break;
    case EMR_POLYLINETO16:
        AddPoints(As<EMRPOLYLINETO16>(record).apts, As<EMRPOLYLINETO16>(record).cpts, PT_LINETO, PT_LINETO);
        break;
    case EMR_POLYBEZIERTO16:
        AddPoints(As<EMRPOLYBEZIERTO16>(record).apts, As<EMRPOLYBEZIERTO16>(record).cpts, PT_BEZIERTO,
                  PT_BEZIERTO);
        break;
    case EMR_POLYLINETO:
        AddPoints(As<EMRPOLYLINETO>(record).aptl, As<EMRPOLYLINETO>(record).cptl, PT_LINETO, PT_LINETO);
        break;
    case EMR_POLYBEZIERTO:
        AddPoints(As<EMRPOLYBEZIERTO>(record).aptl, As<EMRPOLYBEZIERTO>(record).cptl, PT_BEZIERTO, PT_BEZIERTO);
        break;
    case EMR_POLYDRAW16: {
        const EMRPOLYDRAW16& draw = As<EMRPOLYDRAW16>(record);
        const size_t start = m_types.size();
        AddPoints(draw.apts, draw.cpts, PT_LINETO, PT_LINETO);
        // The types follow the points.
        const BYTE* types = reinterpret_cast<const BYTE*>(draw.apts + draw.cpts);
        std::copy(types, types + draw.cpts, m_types.begin() + ptrdiff_t(start));
        break;
    }
    case EMR_POLYDRAW: {
        const EMRPOLYDRAW& draw = As<EMRPOLYDRAW>(record);
        const size_t start = m_types.size();
        AddPoints(draw.aptl, draw.cptl, PT_LINETO, PT_LINETO);
        const BYTE* types = reinterpret_cast<const BYTE*>(draw.aptl + draw.cptl);
        std::copy(types, types + draw.cptl, m_types.begin() + ptrdiff_t(start));
        break;
    }
    case EMR_STROKEPATH:
    case EMR_FILLPATH:
    case EMR_STROKEANDFILLPATH: {
        CItem item;
        item.state = m_state;
        item.ending = record.iType;
        item.first = m_pathStart;
        item.count = m_points.size() - m_pathStart;
        m_items.push_back(item);
        m_pathStart = m_points.size();
        ++m_paths;
        break;
    }
    case EMR_EXTTEXTOUTW: {
        const EMREXTTEXTOUTW& out = As<EMREXTTEXTOUTW>(record);
        const BYTE* base = reinterpret_cast<const BYTE*>(&record);
        CItem item;
        item.state = m_state;
        item.origin = {out.emrtext.ptlReference.x, out.emrtext.ptlReference.y};
        const wchar_t* text = reinterpret_cast<const wchar_t*>(base + out.emrtext.offString);
        item.text.assign(text, out.emrtext.nChars);
        const INT* advances = reinterpret_cast<const INT*>(base + out.emrtext.offDx);
        item.advances.assign(advances, advances + out.emrtext.nChars);
        m_items.push_back(item);
        ++m_texts;
        break;
    }
    default:
        ++m_skipped;
        break;
    }
}

void CPictureReplay::Draw(HDC dc) const
{
    CDrawState current;
    current.pen = current.brush = current.font = nullptr;
    current.rop2 = current.fillMode = current.bkMode = -1;
    current.textColor = current.bkColor = CLR_INVALID;
    current.textAlign = GDI_ERROR;
    SetMiterLimit(dc, 2.0f, nullptr);
    for (const CItem& item : m_items) {
        const CDrawState& s = item.state;
        if (s.pen != current.pen && s.pen)
            SelectObject(dc, current.pen = s.pen);
        if (s.brush != current.brush && s.brush)
            SelectObject(dc, current.brush = s.brush);
        if (s.rop2 != current.rop2)
            SetROP2(dc, current.rop2 = s.rop2);
        if (s.bkMode != current.bkMode)
            SetBkMode(dc, current.bkMode = s.bkMode);
        if (s.bkColor != current.bkColor)
            SetBkColor(dc, current.bkColor = s.bkColor);
        if (item.ending == 0) {
            if (s.font != current.font && s.font)
                SelectObject(dc, current.font = s.font);
            if (s.textColor != current.textColor)
                SetTextColor(dc, current.textColor = s.textColor);
            if (s.textAlign != current.textAlign)
                SetTextAlign(dc, current.textAlign = s.textAlign);
            ExtTextOutW(dc, item.origin.x, item.origin.y, 0, nullptr, item.text.data(), UINT(item.text.size()),
                        item.advances.data());
            continue;
        }
        if (s.fillMode != current.fillMode)
            SetPolyFillMode(dc, current.fillMode = s.fillMode);
        BeginPath(dc);
        PolyDraw(dc, &m_points[item.first], &m_types[item.first], int(item.count));
        EndPath(dc);
        if (item.ending == EMR_STROKEPATH)
            StrokePath(dc);
        else if (item.ending == EMR_FILLPATH)
            FillPath(dc);
        else
            StrokeAndFillPath(dc);
    }
    GdiFlush();
}
