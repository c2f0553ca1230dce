#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <memory>
#include <sstream>
#include <string>

#include "course/Course.h"
#include "dialogs/TextPropertiesDlg.h"
#include "foundation/FieldStream.h"
#include "foundation/Settings.h"
#include "objects/annotations/Text.h"
#include "tests/objects/equipment/CountingContext.h"
#include "tests/support/DialogDriver.h"
#include "tests/support/FailureReports.h"
#include "tests/support/RecordingContext.h"
#include "tests/support/TestSettings.h"
#include "tests/support/TestSupport.h"

namespace {

using Text = CCourseSettingsTest;

std::unique_ptr<CCourse> MakeCourse(float width = 14400.0f, float height = 12000.0f, bool metric = false)
{
    auto course = std::make_unique<CCourse>(L"Texts", L"");
    course->SetMetric(metric);
    course->SetSize(width, height);
    return course;
}

CText* AddText(CCourse& course, float x, float y, const std::wstring& text)
{
    return dynamic_cast<CText*>(course.AddText(x, y, text));
}

// A text placed with the text tool, as a click on the course does.
CText* PlaceWithTool(CCourse& course, float x, float y)
{
    course.SelectToolType(2596);
    course.StartPlacingObject(x, y);
    CText* placed = dynamic_cast<CText*>(course.GetPlacedObject());
    course.DropPlacedObject(x, y);
    return placed;
}

std::string BlockOf(CCourse& course, bool olderFormat = false)
{
    std::ostringstream out;
    course.WriteTextBlock(out, false, olderFormat);
    return out.str();
}

std::unique_ptr<CCourse> ReadBlock(const std::string& block)
{
    auto course = std::make_unique<CCourse>(L"Read", L"");
    std::istringstream in(block);
    EXPECT_TRUE(course->ReadTextBlock(in, false));
    return course;
}

// The course's texts in drawing order.
std::vector<CText*> TextsOf(CCourse& course)
{
    std::vector<CText*> texts;
    for (CCourseObject* object : course.GetObjects())
        if (CText* text = dynamic_cast<CText*>(object))
            texts.push_back(text);
    return texts;
}

std::wstring PlainText(CText& text)
{
    CFormattedText& document = text.GetDocument();
    return document.GetText(0, document.GetLength());
}

// A version-4 record: the formatted text's bytes, the wrap width and the
// box, hidable and upright flags.
std::string MakeRecord(const std::string& bytes, int32_t wrap, bool hidable = false)
{
    CFieldWriter writer;
    writer.WriteString(bytes);
    writer.WriteInt16(wrap);
    writer.WriteBool(false);
    writer.WriteBool(hidable);
    writer.WriteBool(false);
    return writer.m_bytes;
}

std::unique_ptr<CCourseObject> ReadText(CCourse& course, const std::string& record)
{
    CFieldReader reader(record);
    reader.m_versionMajor = 4;
    reader.m_versionMinor = 33;
    CTransform placement;
    placement.SetPosition2D(3000.0f, 2000.0f);
    return CText::GetTextType().CreateFromArchive(&course, placement, reader, false);
}

}  // namespace

TEST_F(Text, BoxesAndWrapWidthsOfNewTexts)
{
    CFormattedText document(240.0f, 360);
    document.InsertText(L"Walk the course before the briefing");
    document.SetWrapWidth(1001);
    const CTextBoxSize box = ComputeTextBoxSize(document);
    EXPECT_EQ(1282.0f, box.width);
    EXPECT_EQ(0.0f, std::fmod(box.height, 2.0f));
    EXPECT_GE(box.height, document.GetHeight() + 192.0f);
    EXPECT_LT(box.height, document.GetHeight() + 194.0f);

    const struct {
        float width;
        bool metric;
        int32_t wrap;
    } courses[] = {{1200.0f, false, 600}, {3000.0f, false, 2400}, {3000.0f, true, 2362}, {500.0f, false, 500}};
    for (const auto& each : courses) {
        auto course = MakeCourse(each.width, 6000.0f, each.metric);
        EXPECT_EQ(each.wrap, GetDefaultWrapWidth(course.get())) << each.width;
    }
    auto course = MakeCourse(1200.0f, 6000.0f);
    CText* text = AddText(*course, 600.0f, 600.0f, L"Start");
    ASSERT_NE(nullptr, text);
    EXPECT_EQ(600, text->GetDocument().GetWrapWidth());
    EXPECT_EQ(240, text->GetDocument().GetFontSize());
    CSettings::SetInt(L"BrisklaneMode", 1);
    text->SetText(L"Start");
    EXPECT_EQ(280, text->GetDocument().GetFontSize());
}

TEST_F(Text, ANewTextIsCentredWithoutItsBoxAndResavesByteIdentically)
{
    auto course = MakeCourse();
    CText* text = AddText(*course, 4000.0f, 3000.0f, L"Judge's briefing\r\nat 8:00");
    ASSERT_NE(nullptr, text);
    EXPECT_EQ(L"Judge's briefing\r\nat 8:00\r\n", PlainText(*text));
    EXPECT_FALSE(text->GetShowBox());
    EXPECT_EQ(kAlignCentre, text->GetDocument().GetAlignment());
    EXPECT_EQ(text->GetDocument().Serialize(0, text->GetDocument().GetLength()), text->GetRecord());
    // A text placed from the toolbar holds the kind's name until it is given
    // one; a dialog without a text leaves it.
    CText* placed = PlaceWithTool(*course, 8000.0f, 3000.0f);
    ASSERT_NE(nullptr, placed);
    EXPECT_EQ(L"Text\r\n", PlainText(*placed));

    const std::string block = BlockOf(*course);
    auto read = ReadBlock(block);
    ASSERT_EQ(2u, TextsOf(*read).size());
    CText* back = TextsOf(*read).front();
    EXPECT_EQ(text->GetRecord(), back->GetRecord());
    EXPECT_EQ(text->GetBoxSize().width, back->GetBoxSize().width);
    EXPECT_EQ(block, BlockOf(*read));
}

TEST_F(Text, OlderFilesStandShortTextsUpright)
{
    auto course = MakeCourse();
    AddText(*course, 3000.0f, 3000.0f, L"123456789012345");
    AddText(*course, 3000.0f, 6000.0f, L"1234567890123456");
    auto read = ReadBlock(BlockOf(*course, true));
    const std::vector<CText*> texts = TextsOf(*read);
    ASSERT_EQ(2u, texts.size());
    EXPECT_TRUE(texts[0]->IsUpright());
    EXPECT_FALSE(texts[1]->IsUpright());
    // Upright, the text is a label standing on the ground facing the eye.
    CRecordingContext model;
    model.DrawDrawable(texts[0]->GetShape3D(), 0, 0);
    EXPECT_NE(std::string::npos, model.Log().find("D2,0")) << model.Log();
}

TEST_F(Text, DamagedRecordsLoadDrawAndSaveWithoutAReport)
{
    auto course = MakeCourse(3000.0f, 3000.0f);
    CFormattedText huge(240.0f, 360);
    huge.InsertText(std::wstring(20000, L'w') + L"\r\n" + std::wstring(20000, L'x'));
    const std::string hugeBytes = huge.Serialize(0, huge.GetLength());
    const struct {
        std::string record;
        int32_t wrap;
    } cases[] = {
        {MakeRecord(hugeBytes, 0), 2400},      {MakeRecord("", -5), 2400},
        {MakeRecord("\x01\x10\x41", 900), 900}, {"\x1D", 2400},
        {MakeRecord(std::string("\0\x10@\x05", 4), 32767), 32767},
    };
    const int reports = ReportCount();
    for (const auto& each : cases) {
        std::unique_ptr<CCourseObject> object = ReadText(*course, each.record);
        ASSERT_NE(nullptr, object);
        CText& text = static_cast<CText&>(*object);
        EXPECT_EQ(each.wrap, text.GetDocument().GetWrapWidth());
        CCountingContext plan;
        object->RefreshExtents();
        plan.DrawTop(object->GetShape2D());
        CCountingContext model;
        model.DrawTop(object->GetShape3D());
        EXPECT_EQ(0, plan.notFinite + model.notFinite);
        EXPECT_GT(text.GetBoxSize().height, 0.0f);
        // What was read is written and read again the same.
        CFieldWriter writer;
        writer.m_versionMajor = 4;
        object->Serialize(writer);
        std::unique_ptr<CCourseObject> again = ReadText(*course, writer.m_bytes);
        EXPECT_EQ(text.GetRecord(), static_cast<CText&>(*again).GetRecord());
    }
    EXPECT_EQ(reports, ReportCount());
}

TEST_F(Text, LegacyListingTextsTakeTheirLinesOptionsAndMargins)
{
    auto course = ReadBlock("Begin Fendrel\nVersion 2000\nDimensions 100 80\n"
                            "Text 50 40 0 1 \"Caf\\351 \\\"Bar\\\"\" x \"line\\\\two\" | C\n"
                            "Text 10 5 0 0 \"Title\" |H\n"
                            "Text 10 5 0 1 \"Footer\" | zCF\n"
                            "Text 20 20 0 0 \"open\n"
                            "End Fendrel\n");
    const std::vector<CText*> texts = TextsOf(*course);
    ASSERT_EQ(4u, texts.size());
    EXPECT_EQ(L"Caf\u00e9 \"Bar\"\r\nline\\two\r\n", PlainText(*texts[0]));
    EXPECT_TRUE(texts[0]->GetShowBox());
    EXPECT_EQ(kAlignCentre, texts[0]->GetDocument().GetAlignment());
    EXPECT_EQ(L"open\r\n", PlainText(*texts[3]));
    EXPECT_EQ(kAlignLeft, texts[3]->GetDocument().GetAlignment());

    // The header and the footer fill margins of their depth, left-aligned
    // at the ring's edge and centred on it.
    const CTextBoxSize title = texts[1]->GetBoxSize();
    const CTextBoxSize footer = texts[2]->GetBoxSize();
    EXPECT_EQ(title.height, course->GetMargin(CCourse::kMarginLowY));
    EXPECT_EQ(footer.height, course->GetMargin(CCourse::kMarginHighY));
    EXPECT_EQ(CPoint2(title.width / 2.0f, -title.height / 2.0f), texts[1]->GetPosition());
    EXPECT_EQ(CPoint2(6000.0f, 9600.0f + footer.height / 2.0f), texts[2]->GetPosition());
    EXPECT_FALSE(texts[2]->GetShowBox());
    EXPECT_EQ(kAlignCentre, texts[2]->GetDocument().GetAlignment());
}

TEST_F(Text, ATextInAMarginIsOfferedItAndMovesAlongIt)
{
    auto course = MakeCourse();
    CText* text = AddText(*course, 5000.0f, 5000.0f, L"Course time 40 s");
    ASSERT_NE(nullptr, text);
    const CTextBoxSize box = text->GetBoxSize();
    course->SetLengthValue(CCourse::kMarginLowY, box.height);
    text->PlaceInMargin(CText::EMargin::kAbove);
    EXPECT_EQ(CPoint2(5000.0f, -box.height / 2.0f), text->GetPosition());
    text->SetSelected(true);
    std::unique_ptr<CEditSession> session = course->MakeSelectionSession();
    ASSERT_NE(nullptr, session);
    EXPECT_EQ(1, static_cast<CTextPropertiesDlg&>(*session).GetKind());
    ASSERT_TRUE(RunModalDriven([&] { EXPECT_TRUE(session->DoModal()); },
                               [](HWND window) { PressDialogButton(window, IDOK); }));
    EXPECT_EQ(CText::EMargin::kAbove, text->GetMarginSide());

    // The pointer's offset holds while it moves in the margin; outside it
    // the text follows the pointer.
    text->StartMove(6000.0f, -100.0f);
    EXPECT_EQ(CPoint2(5000.0f, -box.height / 2.0f), text->GetPosition());
    text->Move(7000.0f, -150.0f);
    EXPECT_EQ(CPoint2(6000.0f, -box.height / 2.0f - 50.0f), text->GetPosition());
    text->Move(7000.0f, 3000.0f);
    EXPECT_EQ(CPoint2(7000.0f, 3000.0f), text->GetPosition());
    text->EndMove();
}

TEST_F(Text, WithoutItsBoxATextOutsideTheRingDrawsItsBackgroundBehindTheTextAlone)
{
    auto course = MakeCourse();
    CText* inside = AddText(*course, 5000.0f, 5000.0f, L"Inside");
    CText* outside = AddText(*course, 5000.0f, -400.0f, L"Outside");
    ASSERT_TRUE(inside && outside);
    for (CText* text : {inside, outside}) {
        CRecordingContext plan;
        text->GetShape2D().Draw(plan);
        // The background's path comes first: filled, not outlined.
        size_t path = 0;
        while (path + 1 < plan.calls.size() && plan.calls[path].op != 'B')
            ++path;
        ASSERT_EQ('M', plan.calls[path + 1].op);
        EXPECT_EQ(0.0f, plan.calls[path].v[0]);
        EXPECT_EQ(1.0f, plan.calls[path].v[1]);
        const CTextBoxSize box = text->GetBoxSize();
        const float shrink = text == outside ? 1.0f : 0.0f;
        EXPECT_EQ(-(box.width - 280.0f * shrink) / 2.0f, plan.calls[path + 1].v[0]);
        EXPECT_EQ(-(box.height - 192.0f * shrink) / 2.0f, plan.calls[path + 1].v[1]);
        EXPECT_FALSE(plan.texts.empty());
    }
}

TEST_F(Text, TextsSnapToEachOthersEdgesAndStopAtTheStoredRange)
{
    auto course = MakeCourse(24000.0f, 24000.0f);
    CText* standing = AddText(*course, 6130.0f, 7130.0f, L"Standing");
    CText* moving = AddText(*course, 15130.0f, 7130.0f, L"Moving text");
    ASSERT_TRUE(standing && moving);
    const float abutting = standing->GetBoxSize().width / 2.0f + moving->GetBoxSize().width / 2.0f;
    moving->SetSelected(true);
    course->BeginSingleObjectEdit();
    course->MoveSelectionBy(6130.0f + abutting + 50.0f - 15130.0f, 30.0f);
    EXPECT_EQ(CPoint2(6130.0f + abutting, 7130.0f), moving->GetPosition());
    course->EndSingleObjectEdit();
    course->SetMotion(0);

    // Past what the archive stores, a placement, a drag or a margin stops
    // at its edge.
    CText* distant = AddText(*course, 40000.0f, -40000.0f, L"Far");
    EXPECT_EQ(CPoint2(32767.0f, -32768.0f), distant->GetPosition());
    course->MoveSelectionBy(-90000.0f, 0.0f);
    EXPECT_EQ(-32768.0f, moving->GetPosition().x);
    std::wstring tall;
    for (int line = 0; line < 200; ++line)
        tall += L"line\r\n";
    moving->SetText(tall);
    moving->PlaceInMargin(CText::EMargin::kBelow);
    EXPECT_EQ(32767.0f, moving->GetPosition().y);
}

TEST_F(Text, HidableTextsHideWithTheCoursesTexts)
{
    auto course = MakeCourse();
    CFormattedText document(240.0f, 360);
    document.InsertText(L"Hidden");
    std::unique_ptr<CCourseObject> text =
        ReadText(*course, MakeRecord(document.Serialize(0, document.GetLength()), 1200, true));
    EXPECT_TRUE(text->IsHidable());
    EXPECT_TRUE(text->IsShown());
    const std::string shown = text->GetShape2D().GetKey();
    course->SetShowTexts(false);
    EXPECT_FALSE(text->IsShown());
    text->Invalidate();
    EXPECT_NE(shown, text->GetShape2D().GetKey());
}

TEST_F(Text, EditingSeveralTextsKeepsEachItsOwnText)
{
    auto course = MakeCourse();
    CText* first = AddText(*course, 3000.0f, 3000.0f, L"First");
    CText* second = AddText(*course, 6000.0f, 3000.0f, L"Second");
    CText* third = AddText(*course, 9000.0f, 3000.0f, L"First");
    const std::string records[] = {first->GetRecord(), second->GetRecord()};
    course->SelectAll();
    std::unique_ptr<CEditSession> session = course->MakeSelectionSession();
    ASSERT_NE(nullptr, session);
    ASSERT_TRUE(RunModalDriven([&] { EXPECT_TRUE(session->DoModal()); },
                               [](HWND window) { PressDialogButton(window, IDOK); }));
    EXPECT_EQ(records[0], first->GetRecord());
    EXPECT_EQ(records[1], second->GetRecord());
    EXPECT_EQ(records[0], third->GetRecord());
}

// All a text shows and writes: its box, a corner, its plan and its record.
static std::string Appearance(CText& text)
{
    CRecordingContext plan;
    text.GetShape2D().Draw(plan);
    CPoint2 corner;
    text.GetEnd(corner, 3);
    CFieldWriter record;
    record.m_versionMajor = 4;
    text.Serialize(record);
    std::ostringstream out;
    out << text.GetBoxSize().width << ' ' << text.GetBoxSize().height << ' ' << corner.x << ',' << corner.y << ' '
        << plan.Log() << ' ' << record.m_bytes;
    return out.str();
}

// Laid out when first drawn, measured, written or after the font and units change: as on reading.
TEST_F(Text, ATextReadIsLaidOutWhenFirstNeededAsIfOnReading)
{
    auto course = MakeCourse();
    CText* note = AddText(*course, 3000.0f, 3000.0f, L"Walk the course before the briefing\r\nthen warm up");
    ASSERT_NE(nullptr, note);
    // Wrap widths read and laid out (0 takes the default).
    const int32_t wraps[][2] = {{1200, 1200}, {600, 600}, {0, GetDefaultWrapWidth(course.get())}, {32767, 32767}};
    const std::function<void(CText&)> firstUses[] = {
        [](CText&) {},
        [](CText& text) { CPoint2 corner; text.GetEnd(corner, 0); },
        [](CText& text) { CFieldWriter written; text.Serialize(written); },
        [&course](CText&) { CSettings::SetInt(L"BrisklaneMode", 1); course->SetMetric(true); },
    };
    const int reports = ReportCount();
    for (const auto& wrap : wraps) {
        const std::string record = MakeRecord(note->GetRecord(), wrap[0]);
        CFormattedText document(240.0f, 360);
        document.SelectAll();
        document.InsertSerialized(note->GetRecord());
        document.SetWrapWidth(wrap[1]);
        std::unique_ptr<CCourseObject> laidOut = ReadText(*course, record);
        EXPECT_EQ(ComputeTextBoxSize(document).width, static_cast<CText&>(*laidOut).GetBoxSize().width);
        EXPECT_EQ(ComputeTextBoxSize(document).height, static_cast<CText&>(*laidOut).GetBoxSize().height);
        const std::string expected = Appearance(static_cast<CText&>(*laidOut));
        for (const auto& firstUse : firstUses) {
            std::unique_ptr<CCourseObject> read = ReadText(*course, record);
            firstUse(static_cast<CText&>(*read));
            EXPECT_EQ(expected, Appearance(static_cast<CText&>(*read)));
            CSettings::SetInt(L"BrisklaneMode", 0);
            course->SetMetric(false);
        }
    }
    EXPECT_EQ(reports, ReportCount());
    // Undo and redo read the texts they change back as they were.
    course->CommitUndoStep(L"Place");
    const std::string placed = Appearance(*note);
    note->SetText(L"Changed");
    course->CommitUndoStep(L"Edit");
    const std::string changed = Appearance(*TextsOf(*course).front());
    ASSERT_TRUE(course->Undo());
    EXPECT_EQ(placed, Appearance(*TextsOf(*course).front()));
    ASSERT_TRUE(course->Redo());
    EXPECT_EQ(changed, Appearance(*TextsOf(*course).front()));
}
