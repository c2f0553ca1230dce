#include "dialogs/PropertiesDialogs.h"

#include <memory>

#include "course/EditSession.h"
#include "course/ObjectType.h"
#include "dialogs/AFrameDlg.h"
#include "dialogs/AFrameWnd.h"
#include "dialogs/CollapsedTunnelDlg.h"
#include "dialogs/CollapsedTunnelWnd.h"
#include "dialogs/CrossoverDlg.h"
#include "dialogs/CrossoverWnd.h"
#include "dialogs/DogPathDlg.h"
#include "dialogs/DogPathWnd.h"
#include "dialogs/DogShapeDlg.h"
#include "dialogs/DogShapeWnd.h"
#include "dialogs/EndLineDlg.h"
#include "dialogs/EndLineWnd.h"
#include "dialogs/HumanPathDlg.h"
#include "dialogs/HumanPathWnd.h"
#include "dialogs/HumanShapeDlg.h"
#include "dialogs/HumanShapeWnd.h"
#include "dialogs/JumpPropertiesDlg.h"
#include "dialogs/JumpPropertiesWnd.h"
#include "dialogs/ObsNumPropertiesDlg.h"
#include "dialogs/ObsNumPropertiesWnd.h"
#include "dialogs/PropertiesSession.h"
#include "dialogs/SeeSawPropertiesDlg.h"
#include "dialogs/SeeSawPropertiesWnd.h"
#include "dialogs/StraightLinePropertiesDlg.h"
#include "dialogs/StraightLinePropertiesWnd.h"
#include "dialogs/TextPropertiesDlg.h"
#include "dialogs/TextPropertiesWnd.h"
#include "dialogs/TunnelPropertiesDlg.h"
#include "dialogs/TunnelPropertiesWnd.h"
#include "dialogs/UnusableAreaPropertiesDlg.h"
#include "dialogs/UnusableAreaPropertiesWnd.h"
#include "dialogs/WeavePolesPropertiesDlg.h"
#include "dialogs/WeavePolesPropertiesWnd.h"
#include "objects/annotations/PathConnection.h"
#include "objects/equipment/JumpType.h"

namespace {

std::unique_ptr<CEditSession> MakePlainDialog(CCourse* course, const CObjectType& type, int)
{
    return std::make_unique<CObjectPropertiesDlg>(course, type.GetGroupTextId());
}

template <class TDialog>
std::unique_ptr<CEditSession> MakeKindDialog(CCourse* course, const CObjectType&, int)
{
    return std::make_unique<TDialog>(course);
}

// A kind whose dialog has a window: its half, shown in that window.
template <class THalf, class TWindow>
std::unique_ptr<CEditSession> MakeWindowedDialog(CCourse* course, const CObjectType&, int)
{
    return std::make_unique<CPropertiesSession<THalf, TWindow>>(course);
}

// The jump dialog shows the jump's type unless the name id is kUnnamed; a
// winged kind chosen by its wingless or winged name starts with the wings
// option that name says.
std::unique_ptr<CEditSession> MakeJumpDialog(CCourse* course, const CObjectType& type, int nameTextId)
{
    const bool named = nameTextId != CObjectType::kUnnamed;
    auto dialog = std::make_unique<CPropertiesSession<CJumpPropertiesDlg, CJumpPropertiesWnd>>(
        course, named ? static_cast<const CJumpType*>(&type) : nullptr);
    if (const auto* winged = dynamic_cast<const CWingedJumpType*>(&type); winged != nullptr && named) {
        const int wingless = winged->IsWinglessNameId(nameTextId);
        if (wingless == 0 || wingless == 1)
            dialog->SetWinged(wingless == 0);
    }
    return dialog;
}

}  // namespace

void RegisterPropertiesDialogs()
{
    SetDefaultEditSessionMaker(&MakePlainDialog);
    CDogPathDlg::SetRouteTest(&CanAutoRoute);
    const struct
    {
        int typeId;
        CEditSessionMaker maker;
    } kinds[] = {
        {10, &MakeWindowedDialog<CAFrameDlg, CAFrameWnd>},
        {50, &MakeWindowedDialog<CCollapsedTunnelDlg, CCollapsedTunnelWnd>},
        {70, &MakeWindowedDialog<CCrossoverDlg, CCrossoverWnd>},
        {80, &MakeWindowedDialog<CDogShapeDlg, CDogShapeWnd>},
        {90, &MakeWindowedDialog<CDogPathDlg, CDogPathWnd>},
        {100, &MakeWindowedDialog<CDogWalkDlg, CDogWalkWnd>},
        {110, &MakeWindowedDialog<CEndLineDlg, CEndLineWnd>},
        {130, &MakeWindowedDialog<CHumanShapeDlg, CHumanShapeWnd>},
        {140, &MakeWindowedDialog<CHumanPathDlg, CHumanPathWnd>},
        {190, &MakeWindowedDialog<CObsNumPropertiesDlg, CObsNumPropertiesWnd>},
        {250, &MakeWindowedDialog<CSeeSawPropertiesDlg, CSeeSawPropertiesWnd>},
        {270, &MakeWindowedDialog<CStraightLinePropertiesDlg, CStraightLinePropertiesWnd>},
        {310, &MakeWindowedDialog<CTextPropertiesDlg, CTextPropertiesWnd>},
        {340, &MakeWindowedDialog<CTunnelPropertiesDlg, CTunnelPropertiesWnd>},
        {350, &MakeWindowedDialog<CUnusableAreaPropertiesDlg, CUnusableAreaPropertiesWnd>},
        {370, &MakeWindowedDialog<CWeavePolesPropertiesDlg, CWeavePolesPropertiesWnd>},
    };
    for (const auto& kind : kinds)
        RegisterEditSessionMaker(kind.typeId, kind.maker);
    for (const CObjectType* type : GetObjectTypes()) {
        if (dynamic_cast<const CJumpType*>(type) != nullptr)
            RegisterEditSessionMaker(type->GetTypeId(), &MakeJumpDialog);
    }
}
