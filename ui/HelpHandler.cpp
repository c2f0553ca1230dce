#include "ui/HelpHandler.h"

#include "foundation/WebAccess.h"

namespace {

HelpDelegate& Handler()
{
    static HelpDelegate handler;
    return handler;
}

}  // namespace

void SetHelpHandler(const HelpDelegate& handler) { Handler() = handler; }

const HelpDelegate& GetHelpHandler() { return Handler(); }

bool IsHelpAvailable() { return GetWebAccess().IsUsable(); }
