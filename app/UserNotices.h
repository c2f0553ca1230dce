#pragma once

#include "foundation/NoticeSink.h"

// The program's notice sink: messages go to the message box, hints to the
// hint dialog. Start-up installs it before anything else runs.
class CUserNoticeSink : public CNoticeSink
{
public:
    void Notify(const CNotice& notice) override;
};

// Installs the one sink of the program.
void InstallUserNoticeSink();
