#include "course/EditSession.h"

#include <map>

#include "course/ObjectType.h"

namespace {

struct CMakers
{
    std::map<int, CEditSessionMaker> byTypeId;
    CEditSessionMaker fallback = nullptr;
};

CMakers& GetMakers()
{
    static CMakers makers;
    return makers;
}

}  // namespace

void RegisterEditSessionMaker(int typeId, CEditSessionMaker maker)
{
    if (maker)
        GetMakers().byTypeId[typeId] = maker;
    else
        GetMakers().byTypeId.erase(typeId);
}

void SetDefaultEditSessionMaker(CEditSessionMaker maker) { GetMakers().fallback = maker; }

std::unique_ptr<CEditSession> MakeEditSession(CCourse* course, const CObjectType& type, int nameTextId)
{
    const CMakers& makers = GetMakers();
    const auto found = makers.byTypeId.find(type.GetTypeId());
    const CEditSessionMaker maker = found != makers.byTypeId.end() ? found->second : makers.fallback;
    return maker ? maker(course, type, nameTextId) : nullptr;
}
