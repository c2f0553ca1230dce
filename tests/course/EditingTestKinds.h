#pragma once

#include <memory>
#include <string>
#include <vector>

#include "course/Course.h"
#include "course/CourseObject.h"
#include "course/ObjectType.h"
#include "foundation/Settings.h"
#include "foundation/FieldStream.h"
#include "graphics/GraphicsContext.h"
#include "tests/course/CourseTestKinds.h"

// An object kind for the editing, query and set-up tests (type ids 921 to
// 929, which no real kind has): a square of a chosen half size with ends
// that serve as handles, recording what the course asks of it.

namespace editingtest {

class CEditObject : public CCourseObject
{
public:
    CEditObject(int layer, int category) : m_layer(layer), m_category(category) {}

    int GetCategory() const override { return m_category; }
    int GetLayer() const override { return m_layer; }
    int GetEndCount() const override { return int(m_ends.size()); }
    void GetEnd(CPoint2& point, int index) const override { point = m_ends.at(size_t(index))->point; }
    std::wstring GetSizeText() const override { return sizeText; }
    bool IsHidable() const override { return hidable; }
    void Draw2D(CGraphicsContext& context) override
    {
        const float h = halfSize;
        if (h <= 0.0f)
            return;
        context.BeginPath(true, true, 0);
        context.AddRect(CRectF(-h, -h, h, h));
        context.EndPath();
    }
    void Serialize(CFieldStream& stream) override
    {
        stream.Float16(halfSize);
        int32_t count = int32_t(m_ends.size());
        stream.Int8(count);
        for (int i = 0; i < count && i < int(m_ends.size()); ++i)
            stream.Point(m_ends[size_t(i)]->point);
        stream.EndField();
    }
    void StartHandleMove(int handle) override { startedHandles.push_back(handle); }
    void EndHandleMove() override { ++endHandleMoves; }
    // The handle follows the point; with handOver set the drag goes on with
    // the next handle.
    int MoveHandle(int handle, float x, float y) override
    {
        movedHandles.push_back(handle);
        m_ends.at(size_t(handle))->point = GetPlacement().InverseTransformPoint2D(x, y);
        return handOver ? (handle + 1) % GetEndCount() : handle;
    }
    void Flip() override
    {
        ++flips;
        CCourseObject::Flip();
    }
    void FromDialog(CEditSession& dialog) override
    {
        ++fromDialogCalls;
        dialogHalfSize = halfSize;
    }
    bool OnOthersReshaped() override
    {
        ++reshapedNotices;
        return false;
    }
    bool OnHandleMoved() override
    {
        ++handleNotices;
        return false;
    }
    void ResetShape() override { ++resetShapes; }
    void AddSnapCoordinates(CSnapAxis& axisX, CSnapAxis& axisY, const CCourseObject* source) override
    {
        ++snapRequests;
        axisX.AddPosition(GetPosition().x);
        axisY.AddPosition(GetPosition().y);
    }

    coursetest::CTestEnd* AddEnd(int kind, CPoint2 point, CPoint2 direction)
    {
        m_ends.push_back(std::make_unique<coursetest::CTestEnd>(this, kind, point, direction));
        RegisterEnd(m_ends.back().get(), true);
        return m_ends.back().get();
    }

    float halfSize = 100.0f;
    std::wstring sizeText;
    bool hidable = false;
    bool handOver = false;
    std::vector<int> startedHandles;
    std::vector<int> movedHandles;
    int endHandleMoves = 0;
    int flips = 0;
    int fromDialogCalls = 0;
    float dialogHalfSize = 0.0f;
    int reshapedNotices = 0;
    int handleNotices = 0;
    int resetShapes = 0;
    int snapRequests = 0;

private:
    int m_layer;
    int m_category;
    std::vector<std::unique_ptr<coursetest::CTestEnd>> m_ends;
};

using CEditDialog = coursetest::CTestDialog;

// The kind's descriptor: objects of one layer and category with a square
// of half size 100 and, for kinds with ends, a first end at (-100, 0) and a
// second end at (100, 0), both pointing along +x.
class CEditType : public CObjectType
{
public:
    CEditType(int typeId, int nameTextId, int layer, int category, bool withEnds, bool editOnCreate = false)
        : CObjectType(typeId, CObjectType::kUnnamed, CObjectType::kUnnamed),
          m_layer(layer),
          m_category(category),
          m_withEnds(withEnds),
          m_editOnCreate(editOnCreate)
    {
        SetNameId(nameTextId);
    }
    std::unique_ptr<CCourseObject> CreateObject() const override
    {
        auto object = std::make_unique<CEditObject>(m_layer, m_category);
        if (m_withEnds) {
            object->AddEnd(1, CPoint2(-100.0f, 0.0f), CPoint2(10000.0f, 0.0f));
            object->AddEnd(2, CPoint2(100.0f, 0.0f), CPoint2(10000.0f, 0.0f));
        }
        return object;
    }
    std::unique_ptr<CEditSession> CreatePropertiesDialog(CCourse* course, int nameTextId) const override
    {
        auto dialog = std::make_unique<CEditDialog>(course);
        lastDialog = dialog.get();
        dialog->stays = dialogsStay;
        dialog->cancels = dialogsCancel;
        return dialog;
    }
    bool GetEditOnCreateDefault() const override { return m_editOnCreate; }

    mutable CEditDialog* lastDialog = nullptr;
    bool dialogsStay = true;
    bool dialogsCancel = false;

private:
    int m_layer;
    int m_category;
    bool m_withEnds;
    bool m_editOnCreate;
};

// Name text ids that no real kind uses.
constexpr int kObstacleNameId = 2462;
constexpr int kPlainNameId = 2465;
constexpr int kEditOnCreateNameId = 2466;

// Type 921: a layer-4 obstacle of category 2 with two ends; 922: a layer-3
// object of category 1 without ends; 923: like 921 but opening its dialog
// on creation.
inline CEditType& ObstacleType()
{
    static CEditType type(921, kObstacleNameId, 4, 2, true);
    return type;
}

inline CEditType& PlainType()
{
    static CEditType type(922, kPlainNameId, 3, 1, false);
    return type;
}

inline CEditType& EditOnCreateType()
{
    static CEditType type(923, kEditOnCreateNameId, 4, 2, true, true);
    return type;
}

// Layer 6 (like obstacle numbers) and layer 2 (like lines), for overlays.
inline CEditType& NumberType()
{
    static CEditType type(924, 2463, 6, 1, false);
    return type;
}

inline CEditType& LineType()
{
    static CEditType type(925, 2464, 2, 1, false);
    return type;
}

// Switches off the hint dialogs the course can show (2708 after editing
// properties, 2709 after deleting objects outside the ring); the hints are
// still counted.
inline void SilenceHints()
{
    CSettings::SetInt(L"NeverShow2708", 1);
    CSettings::SetInt(L"NeverShow2709", 1);
}

// An object of the type placed at (x, y) with the placement's rotation
// (CTransform::GetRotation) angle, in the course.
inline CEditObject* PlaceEdit(CCourse& course, const CEditType& type, float x, float y, float angle = 0.0f)
{
    std::unique_ptr<CCourseObject> object = type.CreateNew(&course, coursetest::MakePlacement(x, y, angle), nullptr);
    CEditObject* raw = static_cast<CEditObject*>(object.get());
    course.AddObject(std::move(object));
    raw->Invalidate();
    return raw;
}

// Course tests with the hints silenced and the obstacle and plain kinds
// registered.
class CEditingFixture : public coursetest::CCourseFixture
{
protected:
    void SetUp() override
    {
        CCourseFixture::SetUp();
        SilenceHints();
        ObstacleType();
        PlainType();
    }
};

}  // namespace editingtest
