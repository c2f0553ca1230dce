#include <gtest/gtest.h>

#include <memory>
#include <sstream>
#include <string>

#include "course/Course.h"
#include "course/CourseObject.h"
#include "course/ObjectType.h"
#include "dialogs/ObjectPropertiesDlg.h"
#include "foundation/FieldStream.h"
#include "tests/app/CourseFileTestSupport.h"
#include "tests/support/NoticeRecorder.h"

namespace {

// Reads a course text block into a new course.
std::unique_ptr<CCourse> ReadBack(const std::string& text)
{
    auto course = std::make_unique<CCourse>(L"Read", L"");
    std::istringstream in(text);
    if (!course->ReadTextBlock(in, false))
        return nullptr;
    return course;
}

}  // namespace

// A course holding an object of every registered kind, each made as the
// placing tool makes it and, where its last end is a handle, with that end
// dragged, reads back from its text block and writes the same bytes again.
// A kind joins this test by being registered.
TEST(EveryKind, ACourseOfEveryKindResavesByteIdentically)
{
    filetest::OpenFileTestSettings();
    // Hints that dragging may give go nowhere.
    CNoticeRecorder notices;
    CCourse course(L"Every kind", L"");
    ASSERT_TRUE(filetest::PlaceEveryKind(course));
    const size_t placed = GetObjectTypes().size();
    // The older format stores some kinds as older kinds; those that are not
    // kinds of this program yet are left out when read back.
    CFieldWriter olderStream;
    olderStream.m_versionMajor = 3;
    size_t olderKept = 0;
    for (const CObjectType* type : GetObjectTypes()) {
        if (FindObjectTypeById(type->GetId(&olderStream)) != nullptr)
            ++olderKept;
    }

    const std::string text = filetest::TextBlockOf(course);
    std::unique_ptr<CCourse> read = ReadBack(text);
    ASSERT_TRUE(read);
    EXPECT_EQ(placed, read->GetObjectCount());
    EXPECT_EQ(text, filetest::TextBlockOf(*read));

    // The older format may give a kind a form of its own once; read back,
    // it stays.
    std::unique_ptr<CCourse> older = ReadBack(filetest::TextBlockOf(course, false, true));
    ASSERT_TRUE(older);
    EXPECT_EQ(olderKept, older->GetObjectCount());
    const std::string olderText = filetest::TextBlockOf(*older, false, true);
    EXPECT_EQ(olderText, filetest::TextBlockOf(*ReadBack(olderText), false, true));
}
