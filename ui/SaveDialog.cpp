#include "ui/SaveDialog.h"

#include <windows.h>
#include <commdlg.h>

#include <cwchar>

#include "foundation/CrashLog.h"
#include "foundation/Files.h"
#include "foundation/Strings.h"
#include "foundation/SystemFunctions.h"
#include "ui/MessageBox.h"
#include "ui/ModalState.h"
#include "ui/Window.h"

namespace {

// Windows' own question before a save replaces a file ("Confirm Save As"),
// in its words; the program's text table has no room for it.
constexpr wchar_t kReplaceQuestion[] = L"%1 already exists.\nDo you want to replace it?";

// Whether a file may be written at the path: none is there, or the user
// agrees to replace it.
bool ConfirmReplace(const std::wstring& path)
{
    uint64_t size = 0;
    if (!IsDiskFile(path, size))
        return true;
    std::wstring question = kReplaceQuestion;
    const std::wstring name = GetPathPart(path, 1, 2);
    const std::wstring* const args[] = {&name, nullptr};
    FillPlaceholders(question, args);
    return CMessageBox::Ask(question, CMessageBox::kYesNo) == CMessageBox::Yes;
}

}  // namespace

CSaveDlg::CSaveDlg(CNativeWindow* owner, const std::wstring& suggestedPath)
    : ownerWindow(owner), path(suggestedPath)
{
}

CSaveDlg::~CSaveDlg() = default;

void CSaveDlg::OnFileChosen(const std::wstring& chosenPath, int format) {}

void CSaveDlg::OnCancelled() {}

void CSaveDlg::OnError() {}

int CSaveDlg::AddFormat(const std::wstring& extension, const std::wstring& description)
{
    extensions.push_back(extension);
    descriptions.push_back(description);
    return formatCount++;
}

std::wstring CSaveDlg::BuildFilter() const
{
    std::wstring filter;
    for (int i = 0; i < formatCount; ++i)
        filter += descriptions[i] + L"%*." + extensions[i] + L"%";
    for (wchar_t& c : filter) {
        if (c == L'%')
            c = L'\0';
    }
    return filter;
}

std::wstring CSaveDlg::GetInitialFileName() const
{
    std::wstring name = GetPathPart(path, 0, 1);
    if (name.size() > size_t(kFileBufferSize - 1))
        name.resize(kFileBufferSize - 1);
    return name;
}

std::wstring CSaveDlg::GetInitialFolder() const
{
    const std::wstring folder = GetPathPart(path, 0, 0);
    return folder.empty() ? std::wstring(L".") : folder;
}

int CSaveDlg::ResolveFormat(std::wstring& chosenPath, int filterIndex) const
{
    if (formatCount < 1) {
        ReportFailure();
        return 0;
    }
    const std::wstring extension = GetPathPart(chosenPath, 2, 2);
    const int filtered = filterIndex - 1;
    if (filtered >= 0 && filtered < formatCount && _wcsicmp(extension.c_str(), extensions[filtered].c_str()) == 0)
        return filtered;
    for (int i = 0; i < formatCount; ++i) {
        if (_wcsicmp(extension.c_str(), extensions[i].c_str()) == 0)
            return i;
    }
    // Windows' dialog adds the chosen filter's extension to a name whose
    // extension is of no registered type and returns a registered type's
    // (.agl where the program is registered) as typed; Wine's returns any
    // as typed.
    const int format = filtered >= 0 && filtered < formatCount ? filtered : 0;
    chosenPath += L"." + extensions[format];
    return format;
}

void CSaveDlg::Run()
{
    TRACE_VALUE(std::wstring, path);
    if (formatCount < 1) {
        // A dialog without formats has nothing to offer.
        ReportFailure();
        OnError();
        delete this;
        return;
    }
    const std::wstring filter = BuildFilter();
    const std::wstring folder = GetInitialFolder();
    std::vector<wchar_t> buffer(kFileBufferSize, L'\0');
    const std::wstring initial = GetInitialFileName();
    std::wmemcpy(buffer.data(), initial.c_str(), initial.size());

    OPENFILENAMEW dialog = {};
    dialog.lStructSize = sizeof dialog;
    dialog.hwndOwner = ownerWindow ? ownerWindow->hwnd : GetModalOwnerWindow();
    dialog.hInstance = GetModuleHandleW(nullptr);
    dialog.lpstrFilter = filter.c_str();
    dialog.nFilterIndex = 1;
    dialog.lpstrFile = buffer.data();
    dialog.nMaxFile = kFileBufferSize;
    dialog.lpstrInitialDir = folder.c_str();
    dialog.Flags = OFN_OVERWRITEPROMPT | OFN_HIDEREADONLY | OFN_PATHMUSTEXIST;
    dialog.lpstrDefExt = extensions[0].c_str();

    static const auto getSaveFileName =
        GetSystemFunction<decltype(GetSaveFileNameW)>(L"comdlg32.dll", "GetSaveFileNameW");
    static const auto extendedError =
        GetSystemFunction<decltype(CommDlgExtendedError)>(L"comdlg32.dll", "CommDlgExtendedError");
    BOOL chosen = FALSE;
    std::wstring chosenPath;
    int format = 0;
    EnableFrameWindows(dialog.hwndOwner, false);
    while (getSaveFileName) {
        {
            CModalScope modal;
            chosen = getSaveFileName(&dialog);
        }
        if (!chosen)
            break;
        buffer.back() = L'\0';
        const std::wstring returned = buffer.data();
        chosenPath = returned;
        format = ResolveFormat(chosenPath, int(dialog.nFilterIndex));
        TRACE_VALUE(std::wstring, chosenPath);
        // OFN_OVERWRITEPROMPT asked about the returned file only.
        if (IsSamePath(chosenPath, returned) || ConfirmReplace(chosenPath))
            break;
        // Asked again: the buffer holds the path as returned, whose folder
        // the dialog opens with the name in its field, and nFilterIndex the
        // type chosen.
    }
    EnableFrameWindows(dialog.hwndOwner, true);

    if (chosen) {
        OnFileChosen(chosenPath, format);
    } else {
        // Without the library no dialog could start.
        const DWORD error = getSaveFileName && extendedError ? extendedError() : DWORD(CDERR_INITIALIZATION);
        if (error == 0) {
            OnCancelled();
        } else {
            TRACE_VALUE(int32_t, int32_t(error));
            ReportFailure(kFailSystemCall);
            OnError();
        }
    }
    delete this;
}
