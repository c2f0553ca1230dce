#include <gtest/gtest.h>

#include <windows.h>

#include <atomic>
#include <cstring>
#include <sstream>
#include <thread>

#include "app/Clipboard.h"
#include "course/Course.h"
#include "dialogs/HintDlg.h"
#include "foundation/Base64.h"
#include "foundation/Compression.h"
#include "foundation/CrashLog.h"
#include "foundation/FieldStream.h"
#include "foundation/Settings.h"
#include "foundation/Strings.h"
#include "tests/app/CourseFileTestSupport.h"
#include "tests/support/FailureReports.h"
#include "tests/support/TestSupport.h"

using namespace filetest;

namespace {

// A hidden top-level window to own the clipboard, as a course window does.
class CClipboardOwner
{
public:
    CClipboardOwner()
    {
        hwnd = CreateWindowExW(0, L"STATIC", L"owner", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr,
                               GetModuleHandleW(nullptr), nullptr);
    }
    ~CClipboardOwner() { DestroyWindow(hwnd); }
    HWND hwnd;
};

class Clipboard : public testing::Test
{
protected:
    void SetUp() override
    {
        OpenFileTestSettings();
        CDialogWatcher::TakeAnsweredTexts();
        EmptyTheClipboard();
    }
    void TearDown() override { DeleteTestSettingsKey(); }

    static void EmptyTheClipboard()
    {
        if (OpenClipboard(nullptr)) {
            EmptyClipboard();
            CloseClipboard();
        }
    }

    CClipboardOwner owner;
};

// The bytes of a clipboard format, as the clipboard holds them.
std::string ReadClipboardBytes(UINT format)
{
    std::string bytes;
    if (!OpenClipboard(nullptr))
        return "<not opened>";
    if (const HANDLE data = GetClipboardData(format)) {
        if (const char* memory = static_cast<const char*>(GlobalLock(data))) {
            bytes.assign(memory, GlobalSize(data));
            GlobalUnlock(data);
        }
    }
    CloseClipboard();
    return bytes;
}

// The header of the clipboard's enhanced metafile; nRecords 0 when none.
ENHMETAHEADER ReadMetafileHeader()
{
    ENHMETAHEADER header = {};
    if (!OpenClipboard(nullptr))
        return header;
    if (const HENHMETAFILE metafile = HENHMETAFILE(GetClipboardData(CF_ENHMETAFILE)))
        GetEnhMetaFileHeader(metafile, sizeof header, &header);
    CloseClipboard();
    return header;
}

void PutRawText(const char* data, size_t size)
{
    ASSERT_TRUE(OpenClipboard(nullptr));
    EmptyClipboard();
    const HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, size);
    std::memcpy(GlobalLock(block), data, size);
    GlobalUnlock(block);
    SetClipboardData(CF_TEXT, block);
    CloseClipboard();
}

// Holds the clipboard open from another thread until released.
class CClipboardHolder
{
public:
    CClipboardHolder()
    {
        m_thread = std::thread([this] {
            const bool opened = OpenClipboard(nullptr) != 0;
            m_opened = opened;
            m_ready = true;
            while (!m_release)
                Sleep(5);
            if (opened)
                CloseClipboard();
        });
        while (!m_ready)
            Sleep(5);
    }
    ~CClipboardHolder()
    {
        m_release = true;
        m_thread.join();
    }
    bool IsHolding() const { return m_opened; }

private:
    std::thread m_thread;
    std::atomic<bool> m_ready{false};
    std::atomic<bool> m_opened{false};
    std::atomic<bool> m_release{false};
};

}  // namespace

TEST_F(Clipboard, CopyPutsTheWholeCourseAsTextAndTheMapAsAPicture)
{
    std::unique_ptr<CCourse> course = MakeCourseWithAFrames(L"Copied", L"");
    course->DeselectAll(false);
    const int hints = GetHintCounts()[2704];
    ASSERT_TRUE(CopyCourse(*course, owner.hwnd, 2112));
    const std::string text = TextBlockOf(*course);
    EXPECT_EQ(text + '\0', ReadClipboardBytes(CF_TEXT));
    EXPECT_TRUE(IsClipboardFormatAvailable(CF_ENHMETAFILE));
    const ENHMETAHEADER header = ReadMetafileHeader();
    EXPECT_GT(header.nRecords, 10u);
    // One course unit to the pixel: the drawing spans the ring with its margins.
    const CRectF ring = course->GetRingRect(true, true);
    EXPECT_NEAR(ring.Width(), float(header.rclBounds.right - header.rclBounds.left + 1), ring.Width() * 0.02f);
    EXPECT_NEAR(ring.Height(), float(header.rclBounds.bottom - header.rclBounds.top + 1), ring.Height() * 0.02f);
    EXPECT_EQ(hints + 1, GetHintCounts()[2704]);
    EXPECT_TRUE(CanPaste());
    EXPECT_TRUE(CDialogWatcher::TakeAnsweredTexts().empty());
}

TEST_F(Clipboard, CopyOfASelectionPutsOnlyItsTextButTheWholePicture)
{
    std::unique_ptr<CCourse> course = MakeCourseWithAFrames(L"Copied", L"");
    ASSERT_EQ(1, course->CountSelected());
    ASSERT_TRUE(CopyCourse(*course, owner.hwnd, 2112));
    const std::string clipboard = ReadClipboardBytes(CF_TEXT);
    EXPECT_EQ(TextBlockOf(*course, true) + '\0', clipboard);
    EXPECT_NE(TextBlockOf(*course) + '\0', clipboard);
    const ENHMETAHEADER header = ReadMetafileHeader();
    const CRectF ring = course->GetRingRect(true, true);
    EXPECT_NEAR(ring.Width(), float(header.rclBounds.right - header.rclBounds.left + 1), ring.Width() * 0.02f);
}

TEST_F(Clipboard, PasteAddsTheCopiedObjectsToAnotherCourse)
{
    std::unique_ptr<CCourse> source = MakeCourseWithAFrames(L"Source", L"");
    ASSERT_TRUE(CopyCourse(*source, owner.hwnd, 2112));
    std::unique_ptr<CCourse> target = MakeCourseWithAFrames(L"Target", L"C:\\t\\Target.agl");
    target->DeselectAll(false);
    const int hints = GetHintCounts()[2705];
    ASSERT_TRUE(PasteFromClipboard(*target, false));
    EXPECT_EQ(4u, target->GetObjectCount());
    EXPECT_TRUE(target->IsModified());
    EXPECT_EQ(L"Target", target->GetTitle());
    ASSERT_TRUE(target->CanUndo());
    EXPECT_EQ(L"Paste", target->GetUndoLabel());
    // The pasted A-frame lies exactly on the one that was there.
    EXPECT_EQ(hints + 1, GetHintCounts()[2705]);
    ASSERT_TRUE(target->Undo());
    EXPECT_EQ(3u, target->GetObjectCount());
}

TEST_F(Clipboard, PasteIntoAFreshUntitledCourseReplacesIt)
{
    std::unique_ptr<CCourse> source = MakeCourseWithAFrames(L"Source", L"");
    source->SetMetric(true);
    source->DeselectAll(false);
    ASSERT_TRUE(CopyCourse(*source, owner.hwnd, 2110));
    // The setter kept metric as the default for new courses.
    CSettings::SetInt(L"Metric", 0);
    CCourse fresh(L"Fresh", L"");
    fresh.MarkUnmodified(true);
    ASSERT_FALSE(fresh.IsMetric());
    ASSERT_TRUE(PasteFromClipboard(fresh, false));
    EXPECT_EQ(3u, fresh.GetObjectCount());
    EXPECT_TRUE(fresh.IsMetric());
    EXPECT_EQ(L"Fresh", fresh.GetTitle());

    // A course made from the template is added to instead, even while it is
    // unmodified and untitled.
    CCourse fromTemplate(L"Template", L"");
    PlaceAFrame(fromTemplate, 9000.0f, 6000.0f, 0.0f);
    fromTemplate.MarkUnmodified(true);
    ASSERT_TRUE(PasteFromClipboard(fromTemplate, true));
    EXPECT_EQ(4u, fromTemplate.GetObjectCount());
}

TEST_F(Clipboard, CutDeletesTheSelectionAsOneStepAndOffersNoHint)
{
    std::unique_ptr<CCourse> course = MakeCourseWithAFrames(L"Cut", L"");
    const std::string selected = TextBlockOf(*course, true);
    const int hints = GetHintCounts()[2704];
    ASSERT_TRUE(CutCourseSelection(*course, owner.hwnd));
    EXPECT_EQ(selected + '\0', ReadClipboardBytes(CF_TEXT));
    EXPECT_TRUE(IsClipboardFormatAvailable(CF_ENHMETAFILE));
    EXPECT_EQ(2u, course->GetObjectCount());
    EXPECT_EQ(hints, GetHintCounts()[2704]);
    EXPECT_EQ(L"Cut", course->GetUndoLabel());
}

TEST_F(Clipboard, ABusyClipboardIsAMessageAndCutKeepsTheObjects)
{
    std::unique_ptr<CCourse> course = MakeCourseWithAFrames(L"Busy", L"");
    const int reports = ReportCount();
    {
        CClipboardHolder holder;
        ASSERT_TRUE(holder.IsHolding());
        EXPECT_FALSE(CutCourseSelection(*course, owner.hwnd));
        EXPECT_FALSE(CopyCourseSummary(*course, owner.hwnd));
    }
    EXPECT_EQ(3u, course->GetObjectCount());
    EXPECT_FALSE(course->IsModified());
    EXPECT_EQ((std::vector<std::wstring>{GetString(2671), GetString(2671)}), CDialogWatcher::TakeAnsweredTexts());
    EXPECT_EQ(reports, ReportCount());
    EXPECT_FALSE(CanPaste());
}

TEST_F(Clipboard, TheSummaryIsUnicodeTextWithoutAByteOrderMark)
{
    std::unique_ptr<CCourse> course = MakeCourseWithAFrames(L"Listed", L"");
    ASSERT_TRUE(CopyCourseSummary(*course, owner.hwnd));
    // The summary covers the whole course: the selection was cleared.
    EXPECT_FALSE(course->HasSelection());
    std::wostringstream summary;
    course->DescribeCourse(summary, false);
    const std::wstring expected = summary.str();
    ASSERT_NE(L'\xFEFF', expected.front());
    const std::string bytes = ReadClipboardBytes(CF_UNICODETEXT);
    ASSERT_GE(bytes.size(), (expected.size() + 1) * 2);
    EXPECT_EQ(expected + L'\0', std::wstring(reinterpret_cast<const wchar_t*>(bytes.data()), expected.size() + 1));
}

TEST_F(Clipboard, TheOlderFormatCopyIsTheWholeCourseAsVersion3Text)
{
    std::unique_ptr<CCourse> course = MakeCourseWithAFrames(L"Older", L"");
    ASSERT_TRUE(CopyCourseVersion3(*course, owner.hwnd));
    const std::string text = ReadClipboardBytes(CF_TEXT);
    EXPECT_EQ(TextBlockOf(*course, false, true) + '\0', text);
    EXPECT_NE(std::string::npos, text.find("Version 3 \r\n"));
    EXPECT_FALSE(IsClipboardFormatAvailable(CF_ENHMETAFILE));
}

// Windows hands the block back as it was put; Wine writes a terminator into
// its last byte. Either way the text ends at the block's end or its first NUL.
TEST_F(Clipboard, TextWithoutATerminatorEndsWithTheBlock)
{
    PutRawText("Begin Fendrel", 13);
    const std::string block = ReadClipboardBytes(CF_TEXT);
    ASSERT_FALSE(block.empty());
    const std::string text = GetClipboardCourseText();
    EXPECT_EQ(block.substr(0, block.find('\0')), text);
    EXPECT_EQ(0u, text.find("Begin Fendre"));
    EXPECT_LE(text.size(), 13u);
    PutRawText("Begin\0After", 11);
    EXPECT_EQ("Begin", GetClipboardCourseText());
}

TEST_F(Clipboard, NoTextGivesAnEmptyTextAndPasteIsDisabled)
{
    EXPECT_FALSE(CanPaste());
    EXPECT_EQ("", GetClipboardCourseText());
    EXPECT_TRUE(CDialogWatcher::TakeAnsweredTexts().empty());
}

TEST_F(Clipboard, PasteOfTextThatIsNoCourseChangesNothing)
{
    PutRawText("just some words\r\n", 18);
    std::unique_ptr<CCourse> course = MakeCourseWithAFrames(L"Kept", L"");
    const std::string before = TextBlockOf(*course);
    EXPECT_FALSE(PasteFromClipboard(*course, false));
    EXPECT_EQ(before, TextBlockOf(*course));
    EXPECT_FALSE(course->IsModified());
    EXPECT_EQ(std::vector<std::wstring>{GetString(2687)}, CDialogWatcher::TakeAnsweredTexts());
}

TEST_F(Clipboard, APasteThatWouldPassTheObjectLimitIsRefusedWithAMessage)
{
    std::unique_ptr<CCourse> course = MakeCourseWithAFrames(L"Kept", L"C:\\Courses\\kept.agl");
    // The course's own block with one of its A-frames as many times again
    // as a course holds objects.
    std::string archive;
    course->WriteArchive(archive, false, false, false);
    CFieldWriter record;
    record.m_versionMajor = 4;
    record.m_versionMinor = 33;
    course->WriteObject(record, *course->GetObjects().begin());
    std::string flood;
    for (size_t i = 0; i < CCourse::kMaxObjects; ++i)
        flood += record.m_bytes;
    archive.insert(archive.size() - 3, flood);
    std::string compressed;
    ASSERT_TRUE(ZlibCompressWithLength(archive, compressed, true, std::string()));
    const std::string text = "Begin Fendrel\r\nVersion 4\r\n" + CBase64::Encode(std::string(3, '\0') + compressed, 64) +
                             "\r\nEnd Fendrel\r\n";
    PutRawText(text.c_str(), text.size() + 1);

    const std::string before = TextBlockOf(*course);
    EXPECT_FALSE(PasteFromClipboard(*course, false));
    EXPECT_EQ(before, TextBlockOf(*course));
    EXPECT_EQ(std::vector<std::wstring>{GetString(2672)}, CDialogWatcher::TakeAnsweredTexts());
}
