#include "app/ShapeToolbar.h"

#include <iterator>

#include "course/SpecList.h"
#include "foundation/CrashLog.h"

namespace {

struct CShapeButton
{
    int id;  // 0: a separator
    const wchar_t* icon;
};

const CShapeButton kShapeButtons[] = {
    {2596, L"ShpText.png"},
    {2574, L"ShpObsNum.png"},
    {0, nullptr},
    {2542, L"ShpDogPath.png"},
    {2554, L"ShpHumanPath.png"},
    {2586, L"ShpStartFinish.png"},
    {2588, L"ShpStraightLine.png"},
    {0, nullptr},
    {2552, L"ShpHuman.png"},
    {2540, L"ShpDog.png"},
    {0, nullptr},
    {2602, L"ShpUnusable.png"},
    {0, nullptr},
    {2584, L"ShpSeeSaw.png"},
    {2526, L"ShpAFrame.png"},
    {2544, L"ShpDogWalk.png"},
    {2538, L"ShpCrossover.png"},
    {2590, L"ShpSwayBridge.png"},
    {2592, L"ShpSwingPlank.png"},
    {0, nullptr},
    {2610, L"ShpWeavePoles.png"},
    {0, nullptr},
    {2594, L"ShpTable.png"},
    {2578, L"ShpPauseBox.png"},
    {0, nullptr},
    {2600, L"ShpTunnel.png"},
    {2534, L"ShpCollapsedTunnel.png"},
    {2536, L"ShpCrawlTunnel.png"},
    {2550, L"ShpHoopTunnel.png"},
    {0, nullptr},
    {2598, L"ShpTireJump.png"},
    {2558, L"ShpLongJump.png"},
    {2576, L"ShpPanelJump.png"},
    {2606, L"ShpWallJump.png"},
    {2604, L"ShpViaduct.png"},
    {2532, L"ShpBrushJump.png"},
    {2608, L"ShpWaterJump.png"},
    {2612, L"ShpWindowJump.png"},
    {2624, L"ShpWishingWell.png"},
    {2530, L"ShpBarrelJump.png"},
    {2580, L"ShpPicketFenceJump.png"},
    {2556, L"ShpLogJump.png"},
    {2582, L"ShpPlatformJump.png"},
    {2548, L"ShpHoop.png"},
    {2546, L"ShpGate.png"},
    {2528, L"ShpBarrel.png"},
    {0, nullptr},
    {2562, L"ShpNonwingedOneJump.png"},
    {2564, L"ShpNonwingedSingleJump.png"},
    {2566, L"ShpNonwingedLevelDoubleJump.png"},
    {2568, L"ShpNonwingedAscDoubleJump.png"},
    {2570, L"ShpNonwingedTripleJump.png"},
    {0, nullptr},
    {2614, L"ShpWingedOneJump.png"},
    {2616, L"ShpWingedSingleJump.png"},
    {2618, L"ShpWingedLevelDoubleJump.png"},
    {2620, L"ShpWingedAscDoubleJump.png"},
    {2622, L"ShpWingedTripleJump.png"},
};

}  // namespace

const int CShapeToolbar::kShapeIds[] = {
    2596, 2574, 2542, 2554, 2586, 2588, 2552, 2540, 2602, 2584, 2526, 2544, 2538, 2590, 2592, 2610, 2594, 2578,
    2600, 2534, 2536, 2550, 2598, 2558, 2576, 2606, 2604, 2532, 2608, 2612, 2624, 2530, 2580, 2556, 2582, 2548,
    2546, 2528, 2562, 2564, 2566, 2568, 2570, 2614, 2616, 2618, 2620, 2622,
};
const int CShapeToolbar::kShapeCount = int(std::size(CShapeToolbar::kShapeIds));

CShapeToolbar::CShapeToolbar() : m_specList(&::GetSpecList(0))
{
    TRACE_POINT();
    m_lockButton = new CToolbarItem(kLockId, kLockId + 1, L"ShpMultiple.png", 0, 0);
    m_lockButton->onExecute = CMemberDelegate<int, CShapeToolbar>::Make(this, &CShapeToolbar::OnLockButton);
    AddItem(m_lockButton);
    AddSeparator();
    const CDelegate<int> onButton = CMemberDelegate<int, CShapeToolbar>::Make(this, &CShapeToolbar::OnButton);
    const CDelegate<CCommand*> onUpdate =
        CMemberDelegate<CCommand*, CShapeToolbar>::Make(this, &CShapeToolbar::UpdateButton);
    for (const CShapeButton& button : kShapeButtons) {
        if (button.id == 0) {
            AddSeparator();
            continue;
        }
        CToolbarItem* item = new CToolbarItem(button.id, button.id + 1, button.icon, 0, 0);
        item->onExecute = onButton;
        item->onUpdateState = onUpdate;
        AddItem(item);
    }
    SetLayoutParams(5, 0, true, true);
    UpdateItems();
}

void CShapeToolbar::OnButton(int id)
{
    TRACE_VALUE(int32_t, id);
    if (id == m_currentTool) {
        SelectNone();
    } else {
        if (m_currentTool != kNoTool)
            SelectNone();
        if (CToolbarItem* item = FindItem(id)) {
            m_currentTool = id;
            item->SetChecked(true);
        }
    }
    onToolChanged(this);
}

void CShapeToolbar::SelectNone()
{
    m_lockButton->SetChecked(false);
    if (m_currentTool != kNoTool) {
        if (CToolbarItem* item = FindItem(m_currentTool))
            item->SetChecked(false);
    }
    m_currentTool = kNoTool;
}

void CShapeToolbar::OnLockButton(int id)
{
    TRACE_VALUE(int32_t, id);
    if (m_lockButton->checked) {
        SelectNone();
        onToolChanged(this);
    } else {
        m_lockButton->SetChecked(true);
    }
}

bool CShapeToolbar::IsLocked() const { return m_lockButton->checked; }

void CShapeToolbar::SetSpecList(const CSpecList& specList)
{
    SelectNone();
    m_specList = &specList;
    UpdateItems();
}

void CShapeToolbar::UpdateButton(CCommand* command)
{
    if (m_specList->IsTypeNameAllowed(command->id)) {
        command->SetVisible(true);
        command->SetText(m_specList->GetTerm(command->id));
    } else {
        command->SetVisible(false);
    }
}
