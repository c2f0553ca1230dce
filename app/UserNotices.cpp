#include "app/UserNotices.h"

#include "dialogs/HintDlg.h"
#include "foundation/Strings.h"
#include "ui/MessageBox.h"

void CUserNoticeSink::Notify(const CNotice& notice)
{
    if (notice.style == ENoticeStyle::kHint)
        ShowHint(notice.textId, notice.helpTopic, notice.threshold);
    else
        CMessageBox::Show(notice.text.empty() ? GetString(notice.textId) : notice.text, int(notice.style));
}

void InstallUserNoticeSink()
{
    static CUserNoticeSink sink;
    SetNoticeSink(&sink);
}
