#include "dialogs/CrossoverWnd.h"

#include "course/Course.h"
#include "foundation/CrashLog.h"
#include "foundation/Settings.h"
#include "foundation/Strings.h"

namespace {

// Four planks, three, two in line, two at a right angle.
const int kPlankTexts[CCrossoverWnd::kPlankChoices] = {2325, 2326, 2327, 2328};

// A column of radio buttons and whatever follows them, with a small gap
// between the items.
void AddWithGaps(CGridLayout& column, std::initializer_list<CObject*> items)
{
    for (CObject* item : items) {
        if (!column.cells.empty())
            column.Add(CSpacer::GapV4());
        column.Add(item);
    }
}

// An indented row holding a column.
void Indent(CGridLayout& row, CGridLayout& column)
{
    row.Add(CSpacer::GapH7to14());
    row.Add(&column);
}

}  // namespace

CCrossoverWnd::CCrossoverWnd(CCrossoverDlg& dialog, CSessionColors& colors)
    : CPropertiesWnd(dialog, colors),
      mainColumn(true),
      plankRow(false),
      rampRow(false),
      platformRow(false),
      plankColumn(true),
      rampColumn(true),
      platformColumn(true),
      customRampGrid(5, 3),
      customPlatformRow(false),
      planksHeading(GetString(2324)),
      rampHeading(GetString(2329)),
      standardRampRadio(&rampColumn, std::wstring()),
      customRampRadio(&rampColumn, GetString(2331)),
      plankLengthLabel(GetString(2332)),
      plankLengthEdit(72, 168, 12, 10, IsMetric()),
      heightLabel(GetString(2333)),
      heightEdit(24, 60, 2, 5, IsMetric()),
      platformHeading(GetString(2334)),
      standardPlatformRadio(&platformColumn, std::wstring()),
      customPlatformRadio(&platformColumn, GetString(2336)),
      platformWidthEdit(18, 48, 2, 5, IsMetric()),
      m_dialog(dialog)
{
    const EUnitKind unit = GetSizeUnitKind(IsMetric());
    standardRampRadio.caption.SetText(
        GetStringWith2Args(2330, FormatLength(CCrossoverDlg::kStandardPlankLength, unit, true),
                           FormatLength(CCrossoverDlg::kStandardHeight, unit, true)));
    standardPlatformRadio.caption.SetText(
        GetStringWithArg(2335, FormatLength(CCrossoverDlg::kStandardPlatformWidth, unit, true)));
    for (CStaticText* heading : {&planksHeading, &rampHeading, &platformHeading})
        heading->caption.SetAutoMnemonic(false);

    for (int i = 0; i < kPlankChoices; ++i) {
        plankRadios[i] = std::make_unique<CRadioButton>(&plankColumn, GetString(kPlankTexts[i]));
        AddWithGaps(plankColumn, {plankRadios[i].get()});
    }

    const auto onRamp = CMemberDelegate<CRadioButton*, CCrossoverWnd>::Make(this, &CCrossoverWnd::OnRampChoice);
    standardRampRadio.SetOnClick(onRamp);
    customRampRadio.SetOnClick(onRamp);
    LayOutSizeGrid(customRampGrid, plankLengthLabel, plankLengthEdit, heightLabel, heightEdit);
    AddWithGaps(rampColumn, {&standardRampRadio, &customRampRadio, &customRampGrid});
    plankLengthEdit.SetValue(dialog.GetShownPlankLength());
    heightEdit.SetValue(dialog.GetShownHeight());

    const auto onPlatform =
        CMemberDelegate<CRadioButton*, CCrossoverWnd>::Make(this, &CCrossoverWnd::OnPlatformChoice);
    standardPlatformRadio.SetOnClick(onPlatform);
    customPlatformRadio.SetOnClick(onPlatform);
    customPlatformRow.Add(&customPlatformRadio);
    customPlatformRow.Add(CSpacer::GapH4());
    customPlatformRow.Add(&platformWidthEdit);
    // The entry follows its radio; the rest of the row stays empty.
    customPlatformRow.AddEmpty();
    AddWithGaps(platformColumn, {&standardPlatformRadio, &customPlatformRow});
    platformWidthEdit.SetValue(dialog.GetShownPlatformWidth());

    Indent(plankRow, plankColumn);
    Indent(rampRow, rampColumn);
    Indent(platformRow, platformColumn);
    mainColumn.Add(&planksHeading);
    mainColumn.Add(CSpacer::GapV4());
    mainColumn.Add(&plankRow);
    mainColumn.Add(CSpacer::GapV7());
    mainColumn.Add(&rampHeading);
    mainColumn.Add(CSpacer::GapV4());
    mainColumn.Add(&rampRow);
    mainColumn.Add(CSpacer::GapV7());
    mainColumn.Add(&platformHeading);
    mainColumn.Add(CSpacer::GapV4());
    mainColumn.Add(&platformRow);
    SetContent(&mainColumn, 1);
}

void CCrossoverWnd::InitControls()
{
    const int planks = m_dialog.GetMergedWhichPlanks();
    if (planks >= 0 && planks < kPlankChoices) {
        plankRadios[planks]->Select();
    } else if (m_dialog.HasWhichPlanks()) {
        TRACE_VALUE(int32_t, planks);
        ReportFailure();
    }

    const float plankLength = m_dialog.GetMergedPlankLength();
    const float height = m_dialog.GetMergedHeight();
    bool customRamp = false;
    if (plankLength > 0.0f && height > 0.0f) {
        customRamp =
            plankLength != CCrossoverDlg::kStandardPlankLength || height != CCrossoverDlg::kStandardHeight;
        (customRamp ? customRampRadio : standardRampRadio).Select();
    }
    plankLengthEdit.SetEnabled(customRamp);
    heightEdit.SetEnabled(customRamp);

    const float width = m_dialog.GetMergedPlatformWidth();
    bool customPlatform = false;
    if (width > 0.0f) {
        customPlatform = width != CCrossoverDlg::kStandardPlatformWidth;
        (customPlatform ? customPlatformRadio : standardPlatformRadio).Select();
    }
    platformWidthEdit.SetEnabled(customPlatform);
    CPropertiesWnd::InitControls();
}

void CCrossoverWnd::OnRampChoice(CRadioButton* radio)
{
    plankLengthEdit.SetEnabled(radio == &customRampRadio);
    heightEdit.SetEnabled(radio == &customRampRadio);
}

void CCrossoverWnd::OnPlatformChoice(CRadioButton* radio)
{
    platformWidthEdit.SetEnabled(radio == &customPlatformRadio);
}

void CCrossoverWnd::OnOk()
{
    TRACE_POINT();
    int planks = CCrossoverDlg::kMixed;
    for (int i = 0; i < kPlankChoices; ++i) {
        if (plankRadios[i]->checked)
            planks = i;
    }
    float plankLength = m_dialog.GetMergedPlankLength();
    float height = m_dialog.GetMergedHeight();
    float width = m_dialog.GetMergedPlatformWidth();
    if (customRampRadio.checked) {
        if (!plankLengthEdit.GetValue(&plankLength, true) || !heightEdit.GetValue(&height, true))
            return;
    } else if (standardRampRadio.checked) {
        plankLength = CCrossoverDlg::kStandardPlankLength;
        height = CCrossoverDlg::kStandardHeight;
    }
    if (customPlatformRadio.checked) {
        if (!platformWidthEdit.GetValue(&width, true))
            return;
    } else if (standardPlatformRadio.checked) {
        width = CCrossoverDlg::kStandardPlatformWidth;
    }

    m_dialog.SetWhichPlanks(planks);
    m_dialog.SetRamp(plankLength, height);
    m_dialog.SetPlatformWidth(width);
    if (planks != CCrossoverDlg::kMixed)
        CSettings::SetInt(m_dialog.GetValueName(L"WhichPlanks", false), planks);
    const struct
    {
        const wchar_t* key;
        float value;
    } lengths[] = {{L"PlankLen", plankLength}, {L"Height", height}, {L"PlatformWidth", width}};
    for (const auto& length : lengths) {
        if (length.value > 0.0f)
            CSettings::SetInt(m_dialog.GetValueName(length.key), int(length.value));
    }
    CPropertiesWnd::OnOk();
}
