#pragma once

#include <string>

#include "foundation/Delegate.h"

// The application's help handler: called with a help topic (a dialog's Help
// button). The shell sets it at start-up; while it is unset, asking for help
// does nothing.
using HelpDelegate = CDelegate<const std::wstring&>;

void SetHelpHandler(const HelpDelegate& handler);
const HelpDelegate& GetHelpHandler();
// Whether Help buttons are offered: help pages open in the browser, so only
// when web access is usable.
bool IsHelpAvailable();
