#pragma once

#include <gtest/gtest.h>

#include <istream>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "course/Course.h"
#include "course/CourseFileAccess.h"
#include "course/CourseListener.h"
#include "course/CourseObject.h"
#include "course/EditSession.h"
#include "course/ObjectType.h"
#include "foundation/FieldStream.h"
#include "foundation/Settings.h"
#include "graphics/GraphicsContext.h"
#include "objects/equipment/ObstacleEnd.h"
#include "tests/support/TestSettings.h"

// Small object kinds and helpers shared by the course tests. The test kinds
// use type ids 901 to 909, which no real kind has.

namespace coursetest {

// Opens the test settings key, with the hint shown when objects outside the
// area are deleted switched off: it is a modal dialog that would wait for a
// click.
inline void OpenTestSettings()
{
    OpenTestSettingsKey();
    CSettings::SetInt(L"NeverShow2709", 1);
}

// A properties dialog whose answers the test chooses, merging the edited
// objects as the plain dialog does; confirming or cancelling it goes to the
// course as the real dialogs do.
class CTestDialog : public CEditSession
{
public:
    explicit CTestDialog(CCourse* course) : m_course(course) {}

    void AddEditedObject(const CObjectType* type, int, const CPartColorSet& colors) override
    {
        if (editedCount++ == 0) {
            editedType = type;
            colorsEdited = colors;
        }
    }
    bool DoModal() override
    {
        ++runs;
        if (cancels) {
            m_course->ReleasePropertiesDialog(this);
            return false;
        }
        m_course->ApplyPropertiesDialog(*this);
        return true;
    }
    bool StaysForFurtherObjects() const override { return stays; }
    void SetPending(bool on) override { pending = on; }
    const CPartColorSet& GetEditedColors() const override { return colorsEdited; }

    int editedCount = 0;
    const CObjectType* editedType = nullptr;
    CPartColorSet colorsEdited;
    int runs = 0;
    bool cancels = false;
    bool stays = true;
    bool pending = true;

private:
    CCourse* m_course;
};

// What the course window does with the Properties command: the selection's
// dialog, or the tool's, run. Whether one ran and was confirmed.
inline bool RunSelectionDialog(CCourse& course)
{
    std::unique_ptr<CEditSession> dialog = course.MakeSelectionSession();
    return dialog && dialog->DoModal();
}

inline bool RunToolDialog(CCourse& course)
{
    std::shared_ptr<CEditSession> dialog = course.GetToolSessionToRun();
    return dialog && dialog->DoModal();
}

// Tests in the test settings key, which goes afterwards.
class CSettingsFixture : public testing::Test
{
protected:
    void SetUp() override { OpenTestSettings(); }
    void TearDown() override { DeleteTestSettingsKey(); }
};

// Tests of courses made with imperial units and rule set 1 in the settings.
class CCourseFixture : public CSettingsFixture
{
protected:
    void SetUp() override
    {
        CSettingsFixture::SetUp();
        CSettings::SetInt(L"Metric", 0);
        CSettings::SetInt(L"SpecList", 1);
    }
};

class CTestEnd : public CObstacleEnd
{
public:
    CTestEnd(CCourseObject* owner_, int kind, CPoint2 point_, CPoint2 direction_) : m_kind(kind)
    {
        owner = owner_;
        point = point_;
        direction = direction_;
    }
    int GetEndKind() const override { return m_kind; }

private:
    int m_kind;
};

// A plain object of a chosen layer and category. Its record holds one Int16
// value; it can be told to go at any course event.
class CTestObject : public CCourseObject
{
public:
    CTestObject(int layer = 4, int category = 1) : m_layer(layer), m_category(category) {}

    int GetCategory() const override { return m_category; }
    int GetLayer() const override { return m_layer; }
    int GetEndCount() const override { return int(m_handles.size()); }
    void GetEnd(CPoint2& point, int index) const override { point = m_handles.at(size_t(index)); }
    // Draws a square of twice drawHalfSize when that is above 0.
    void Draw2D(CGraphicsContext& context) override
    {
        drawnColorModes.push_back(GetColorMode());
        if (drawHalfSize <= 0)
            return;
        const float h = float(drawHalfSize);
        context.BeginPath(true, true, 0);
        context.AddRect(CRectF(-h, -h, h, h));
        context.EndPath();
    }
    void Serialize(CFieldStream& stream) override
    {
        stream.Int16(value);
        stream.EndField();
    }
    void SerializeExtra(CFieldStream& stream) override { stream.Int16(drawHalfSize); }
    void ApplyVariant(const std::string& keyName, std::istream& words) override
    {
        variant = keyName;
        words >> value;
    }
    void ClearHandles() override { ++clearHandlesCalls; }
    void FromDialog(CEditSession&) override { ++fromDialogCalls; }
    bool OnJumpSettingsChanged() override { return goesOnJumpSettings; }
    bool ResolveLinks() override { return goesOnResolve; }
    void UpdateEnds() override { ++updateEndsCalls; }

    // Adds an end (and a handle at its point).
    CTestEnd* AddEnd(int kind, CPoint2 point, CPoint2 direction)
    {
        m_ownedEnds.push_back(std::make_unique<CTestEnd>(this, kind, point, direction));
        m_handles.push_back(point);
        RegisterEnd(m_ownedEnds.back().get(), true);
        return m_ownedEnds.back().get();
    }

    int32_t value = 0;
    int32_t drawHalfSize = 0;
    std::vector<int> drawnColorModes;
    std::string variant;
    int clearHandlesCalls = 0;
    int fromDialogCalls = 0;
    int updateEndsCalls = 0;
    bool goesOnJumpSettings = false;
    bool goesOnResolve = false;

private:
    int m_layer;
    int m_category;
    std::vector<CPoint2> m_handles;
    std::vector<std::unique_ptr<CTestEnd>> m_ownedEnds;
};

// A kind of layer 4 with parts 10 and 2.
class CTestObjectType : public CObjectType
{
public:
    CTestObjectType(int typeId, int nameTextId, bool editOnCreateDefault = false)
        : CObjectType(typeId, CObjectType::kUnnamed, CObjectType::kUnnamed), m_editOnCreate(editOnCreateDefault)
    {
        GetPartColors().AddPart(2);
        if (nameTextId != 0)
            SetNameId(nameTextId);
    }
    std::unique_ptr<CCourseObject> CreateObject() const override
    {
        if (makesNothing)
            return nullptr;
        return std::make_unique<CTestObject>();
    }
    bool GetEditOnCreateDefault() const override { return m_editOnCreate; }

    mutable bool makesNothing = false;

private:
    bool m_editOnCreate;
};

// A context that only keeps its drawing state.
class CStateContext : public CGraphicsContext
{
public:
    void DrawText(const std::wstring&, float, float) override {}
    void DrawDrawable(CDrawable&, int, int) override {}

protected:
    void EmitMoveTo(float, float) override {}
    void EmitLineTo(float, float) override {}
    void EmitCloseFigure() override {}
};

// A placement at (x, y) of the plan, turned by the angle (degrees, as
// CTransform::GetRotation gives it back).
inline CTransform MakePlacement(float x, float y, float angle = 0.0f)
{
    CTransform placement;
    placement.SetPosition2D(x, y);
    placement.RotateZ(angle);
    return placement;
}

// The course's archive as a snapshot would hold it, to compare whole states.
inline std::string ArchiveOf(CCourse& course, bool bothCameras = true)
{
    std::string bytes;
    course.WriteArchive(bytes, false, false, bothCameras);
    return bytes;
}

// Where a version-4 archive differs from the one expected, as words to
// follow a message: in the head (the settings, marked points and overlay),
// in the number of records, or in the records of which kinds; empty when
// either cannot be split into records.
inline std::string ArchiveDifferences(const std::string& expected, const std::string& actual)
{
    CCourseFileAccess::CArchiveLayout layouts[2];
    if (!CCourseFileAccess::SplitArchive(expected, layouts[0]) || !CCourseFileAccess::SplitArchive(actual, layouts[1]))
        return std::string();
    std::string where;
    if (expected.compare(0, layouts[0].headEnd, actual, 0, layouts[1].headEnd) != 0)
        where = " in the head";
    if (layouts[0].records.size() != layouts[1].records.size())
        return where + " in the number of records";
    std::set<int32_t> kinds;
    for (size_t i = 0; i < layouts[0].records.size(); ++i) {
        const auto& [start, end] = layouts[0].records[i];
        const auto& [startActual, endActual] = layouts[1].records[i];
        if (expected.compare(start, end - start, actual, startActual, endActual - startActual) != 0) {
            CFieldReader reader(expected.data() + start, end - start);
            int32_t typeId = 0;
            reader.ReadInt16(typeId);
            kinds.insert(typeId);
        }
    }
    for (int32_t kind : kinds)
        where += (kind == *kinds.begin() ? " in records of type " : ", ") + std::to_string(kind);
    return where;
}

// Undoes every step, checking its label and the state it gives back, down to
// an empty history, then redoes them all the same way. labels[i] names the
// step from states[i] to states[i + 1].
inline void ExpectUndoAndRedoThrough(CCourse& course, const std::vector<std::wstring>& labels,
                                     const std::vector<std::string>& states)
{
    ASSERT_EQ(labels.size() + 1, states.size());
    for (size_t step = labels.size(); step > 0; --step) {
        EXPECT_EQ(labels[step - 1], course.GetUndoLabel()) << step;
        ASSERT_TRUE(course.Undo()) << step;
        EXPECT_EQ(states[step - 1], ArchiveOf(course)) << step;
    }
    EXPECT_FALSE(course.CanUndo());
    for (size_t step = 1; step <= labels.size(); ++step) {
        EXPECT_EQ(labels[step - 1], course.GetRedoLabel()) << step;
        ASSERT_TRUE(course.Redo()) << step;
        EXPECT_EQ(states[step], ArchiveOf(course)) << step;
    }
}

// A placed test object, owned by the course.
inline CTestObject* Place(CCourse& course, float x, float y, int layer = 4, int category = 1)
{
    auto object = std::make_unique<CTestObject>(layer, category);
    object->Init(&course, nullptr, MakePlacement(x, y), CCourseObject::kNormal);
    CTestObject* raw = object.get();
    course.AddObject(std::move(object));
    return raw;
}

// Records every notification with the course's broadcasting state.
class CRecordingListener : public CCourseListener
{
public:
    explicit CRecordingListener(CCourse* course = nullptr) : m_course(course) {}

    void OnMapLayerChanged(ESceneLayer layer) override
    {
        mapLayers.push_back(int(layer));
        Seen();
    }
    void On3DLayerChanged(ESceneLayer layer) override
    {
        layers3D.push_back(int(layer));
        Seen();
    }
    void OnCourseSettingsChanged() override
    {
        ++settingsChanges;
        Seen();
    }
    void OnCourseChanged() override
    {
        ++courseChanges;
        Seen();
    }
    void Clear()
    {
        mapLayers.clear();
        layers3D.clear();
        settingsChanges = 0;
        courseChanges = 0;
    }

    std::vector<int> mapLayers;
    std::vector<int> layers3D;
    int settingsChanges = 0;
    int courseChanges = 0;
    bool sawBroadcasting = false;
    int motionRequest = -1;

private:
    void Seen()
    {
        if (m_course == nullptr)
            return;
        sawBroadcasting = sawBroadcasting || m_course->IsBroadcasting();
        if (motionRequest >= 0)
            m_course->SetMotion(motionRequest);
    }

    CCourse* m_course;
};

}  // namespace coursetest
