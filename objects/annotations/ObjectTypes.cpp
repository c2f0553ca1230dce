#include "objects/annotations/ObjectTypes.h"

#include "course/CourseMark.h"
#include "objects/annotations/CoordinateMark.h"
#include "objects/annotations/DogPath.h"
#include "objects/annotations/DogShape.h"
#include "objects/annotations/EndLine.h"
#include "objects/annotations/HumanPath.h"
#include "objects/annotations/HumanShape.h"
#include "objects/annotations/ObsNum.h"
#include "objects/annotations/ObsNumSequence.h"
#include "objects/annotations/StraightLine.h"
#include "objects/annotations/Text.h"
#include "objects/annotations/UnusableArea.h"
#include "objects/equipment/AFrame.h"
#include "objects/equipment/BarJumpType.h"
#include "objects/equipment/Barrel.h"
#include "objects/equipment/BarrelJumpType.h"
#include "objects/equipment/CollapsedTunnel.h"
#include "objects/equipment/CrawlTunnel.h"
#include "objects/equipment/Crossover.h"
#include "objects/equipment/DogWalk.h"
#include "objects/equipment/Gate.h"
#include "objects/equipment/HoopJumpType.h"
#include "objects/equipment/HoopTunnel.h"
#include "objects/equipment/LongJumpType.h"
#include "objects/equipment/PauseSquare.h"
#include "objects/equipment/PlatformJump.h"
#include "objects/equipment/SeeSaw.h"
#include "objects/equipment/SolidJumpType.h"
#include "objects/equipment/SwayBridge.h"
#include "objects/equipment/SwingPlank.h"
#include "objects/equipment/TireJumpType.h"
#include "objects/equipment/Tunnel.h"
#include "objects/equipment/WallJumpType.h"
#include "objects/equipment/WaterJumpType.h"
#include "objects/equipment/WeavePoles.h"
#include "objects/equipment/WindowJumpType.h"
#include "objects/equipment/WishingWellJumpType.h"

void RegisterObjectTypes()
{
    static bool registered = false;
    if (registered)
        return;
    registered = true;
    SetCourseMarkMaker(&CCoordinateMark::Make);
    SetCourseNumberingMaker(&CObsNumSequence::Make);
    // In type id order, each kind after the kinds it refers to.
    CBarJumpType::GetDoubleJumpType();
    CAFrame::GetAFrameType();
    CBarJumpType::GetSpreadJumpType();
    CBarrel::GetBarrelType();
    CBarrelJumpType::GetType();
    CBrushJumpType::GetType();
    CCollapsedTunnel::GetCollapsedTunnelType();
    CCrawlTunnel::GetCrawlTunnelType();
    CCrossover::GetCrossoverType();
    CDogShape::GetDogShapeType();
    CDogPath::GetDogPathType();
    CDogWalk::GetDogWalkType();
    CEndLine::GetEndLineType();
    CGate::GetGateType();
    CHoopJumpType::GetType();
    CHoopTunnel::GetHoopTunnelType();
    CHumanShape::GetHumanShapeType();
    CHumanPath::GetHumanPathType();
    CBarJumpType::GetTripleJumpType();
    CLogJumpType::GetType();
    CLongJumpType::GetType();
    CObsNum::GetObsNumType();
    CBarJumpType::GetOneBarJumpType();
    CPanelJumpType::GetType();
    CPauseBox::GetPauseBoxType();
    CPicketFenceJumpType::GetType();
    CPlatformJump::GetPlatformJumpType();
    CSeeSaw::GetSeeSawType();
    CBarJumpType::GetSingleJumpType();
    CStraightLine::GetStraightLineType();
    CSwayBridge::GetSwayBridgeType();
    CSwingPlank::GetSwingPlankType();
    CTable::GetTableType();
    CText::GetTextType();
    CTireJumpType::GetType();
    CBarJumpType::GetExtendedSpreadJumpType();
    CTunnel::GetTunnelType();
    CUnusableArea::GetUnusableType();
    CWallJumpType::GetWallType();
    CWallJumpType::GetViaductType();
    CWaterJumpType::GetType();
    CWeavePoles::GetWeavePolesType();
    CWindowJumpType::GetType();
    CWishingWellJumpType::GetType();
}
