#include "tests/app/CourseFileTestSupport.h"

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

#include "course/Course.h"
#include "course/CourseObject.h"
#include "course/EditSession.h"
#include "course/ObjectType.h"
#include "dialogs/AFrameDlg.h"
#include "foundation/Settings.h"
#include "foundation/Transform.h"
#include "tests/support/TestSettings.h"

namespace filetest {

void OpenFileTestSettings()
{
    OpenCourseTestSettings();
    for (const wchar_t* hint : {L"NeverShow2704", L"NeverShow2705", L"NeverShow2708", L"NeverShow2712"})
        CSettings::SetInt(hint, 1);
}

CCourseObject* PlaceAFrame(CCourse& course, float x, float y, float angle)
{
    const CObjectType* type = FindObjectTypeById(10);
    if (!type)
        return nullptr;
    CTransform placement;
    placement.RotateZ(angle);
    placement.SetPosition2D(x, y);
    CAFrameDlg dialog(&course);
    dialog.MergeLength(1080.0f);
    dialog.MergeHeight(660.0f);
    std::unique_ptr<CCourseObject> object = type->CreateNew(&course, placement, &dialog);
    CCourseObject* raw = object.get();
    course.AddObject(std::move(object));
    return raw;
}

std::unique_ptr<CCourse> MakeCourseWithAFrames(const std::wstring& title, const std::wstring& path)
{
    auto course = std::make_unique<CCourse>(title, path);
    PlaceAFrame(*course, 1200.0f, 1500.0f, 0.0f);
    if (CCourseObject* middle = PlaceAFrame(*course, 3600.0f, 2400.0f, 45.0f))
        middle->SetSelected(true);
    PlaceAFrame(*course, 6000.0f, 4000.0f, 90.0f);
    course->MarkUnmodified(true);
    return course;
}

bool PlaceEveryKind(CCourse& course)
{
    course.SetSize(24000.0f, 24000.0f);
    int placed = 0;
    for (const CObjectType* type : GetObjectTypes()) {
        CTransform placement;
        placement.SetPosition2D(1500.0f + float(placed % 6) * 3600.0f, 2000.0f + float(placed / 6) * 2400.0f);
        placement.RotateZ(float(placed * 25));
        std::unique_ptr<CEditSession> dialog = type->CreatePropertiesDialog(&course, type->GetNameTextId());
        std::unique_ptr<CCourseObject> made = type->CreateNew(&course, placement, dialog.get());
        if (!made) {
            ADD_FAILURE() << type->GetTypeId();
            return false;
        }
        CCourseObject* object = made.get();
        course.AddObject(std::move(made));
        object->Invalidate();
        const int last = object->GetEndCount() - 1;
        if (last >= 0 && object->GetCategoryFor(last) == 3) {
            CPoint2 end;
            object->GetEnd(end, last);
            end = object->GetPlacement().TransformPoint2D(end);
            object->StartHandleMove(last);
            object->MoveHandle(last, end.x + 350.0f, end.y - 610.0f);
            object->EndHandleMove();
            object->Invalidate();
        }
        ++placed;
    }
    return placed > 0;
}

std::string TextBlockOf(CCourse& course, bool selectedOnly, bool version3)
{
    std::ostringstream block;
    course.WriteTextBlock(block, selectedOnly, version3);
    return block.str();
}

void WriteBytes(const std::wstring& path, const std::string& bytes)
{
    std::ofstream out(path.c_str(), std::ios::binary | std::ios::trunc);
    out << bytes;
}

std::vector<std::wstring> ListFolder(const std::wstring& folder)
{
    std::vector<std::wstring> names;
    WIN32_FIND_DATAW found;
    const HANDLE search = FindFirstFileW((folder + L"\\*").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE)
        return names;
    do {
        const std::wstring name = found.cFileName;
        if (name != L"." && name != L"..")
            names.push_back(name);
    } while (FindNextFileW(search, &found));
    FindClose(search);
    return names;
}

void SetReadOnly(const std::wstring& path, bool readOnly)
{
    SetFileAttributesW(path.c_str(), readOnly ? FILE_ATTRIBUTE_READONLY : FILE_ATTRIBUTE_NORMAL);
}

CFakeFileWindow::CFakeFileWindow(std::unique_ptr<CCourse> course) : m_course(std::move(course)) {}

CFakeFileWindow::~CFakeFileWindow() = default;

bool CFakeFileWindow::IsPathFreeForSave(const std::wstring& path)
{
    askedPaths.push_back(path);
    return pathFree;
}

void CFakeFileWindow::StopClosing()
{
    ++stopCount;
    closing = false;
}

void CFakeFileWindow::DestroyWindowAndCourse(bool deleteCourse)
{
    ++destroyCount;
    if (deleteCourse)
        m_course.reset();
    else
        m_course.release();
    closing = false;
}

}  // namespace filetest
