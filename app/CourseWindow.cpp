#include "app/CourseWindow.h"

#include "app/Application.h"
#include "app/CommandTable.h"
#include "course/Course.h"
#include "foundation/CrashLog.h"
#include "foundation/GuardedCall.h"
#include "foundation/RecentFiles.h"
#include "foundation/Strings.h"
#include "ui/TimerPump.h"

namespace {

constexpr int kMaxRecentFiles = 16;

// Cleared by the first course window, which loads the recent-file list.
bool g_firstWindow = true;

// The window's client area until the course view takes its place: an
// empty white child that fills the frame. Like the view's panels it runs
// the timer pump after its own mouse moves, which the message loop leaves
// out (a deferred close would otherwise wait for the next other message).
class CCourseViewArea : public CWindow
{
public:
    CCourseViewArea()
    {
        minWidth = 200;
        minHeight = 150;
        preferredWidth = 800;
        preferredHeight = 560;
        widthStretch = 1;
        heightStretch = 1;
    }

    void Measure() override {}

    void CreateNativeWindow(CNativeWindow& owner) override
    {
        SetHandle(owner.CreateChildWindow(RegisterViewAreaClass(), WS_CHILD | WS_VISIBLE, bounds, this,
                                          std::wstring(), WS_EX_CLIENTEDGE));
    }

private:
    static const wchar_t* RegisterViewAreaClass()
    {
        static const wchar_t* const name = [] {
            WNDCLASSW windowClass = {};
            windowClass.lpfnWndProc = &ViewAreaProc;
            windowClass.hInstance = GetModuleHandleW(nullptr);
            windowClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
            windowClass.hbrBackground = HBRUSH(GetStockObject(WHITE_BRUSH));
            windowClass.lpszClassName = L"FendrelCourseViewArea";
            if (!RegisterClassW(&windowClass)) {
                TRACE_VALUE(int32_t, int32_t(GetLastError()));
                ReportFailure(kFailSystemCall);
            }
            return windowClass.lpszClassName;
        }();
        return name;
    }

    static LRESULT CALLBACK ViewAreaProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
    {
        CWatchedSection watched;
        LRESULT result = 0;
        if (!CallGuarded([&] {
                result = DefWindowProcW(window, message, wParam, lParam);
                if (message == WM_MOUSEMOVE)
                    PumpTimers();
            }))
            result = 0;
        return result;
    }
};

}  // namespace

CRecentFiles& GetRecentFiles()
{
    static CRecentFiles recentFiles;
    return recentFiles;
}

bool CanShowAnother3DView() { return false; }

CCourseWindow::CCourseWindow(CCourse* course)
    : CFrameWindow(std::wstring(), true), m_course(course), m_view(new CCourseViewArea)
{
    TRACE_POINT();
    if (!m_course) {
        ReportFailure();
        m_course = new CCourse(std::wstring(), std::wstring());
    }
    UpdateTitle();
    if (g_firstWindow) {
        g_firstWindow = false;
        GetRecentFiles().SetMaximum(kMaxRecentFiles);
        GetRecentFiles().Load();
    }
    if (!m_course->GetPath().empty())
        GetRecentFiles().Add(m_course->GetPath());
    m_course->AddListener(this);
    BuildCommandTable(*this, menuBar, &toolbar, nullptr);
    Create(m_view.get(), false);
}

CCourseWindow::~CCourseWindow()
{
    if (m_course) {
        m_course->RemoveListener(this);
        delete m_course;
        m_course = nullptr;
    }
}

std::wstring CCourseWindow::BuildTitle() const
{
    std::wstring text = m_course ? m_course->GetTitle() : std::wstring();
    if (m_course && m_course->IsReadFromVersion3())
        text += L" (3)";
    return text + L" - " + GetString(2001);
}

void CCourseWindow::UpdateTitle()
{
    const std::wstring text = BuildTitle();
    if (text != title)
        SetTitle(text);
}

void CCourseWindow::DestroyWindowAndCourse(bool deleteCourse)
{
    TRACE_VALUE(bool, deleteCourse);
    if (m_course) {
        m_course->RemoveListener(this);
        if (deleteCourse)
            delete m_course;
        m_course = nullptr;
    }
    // Deletes this object.
    Destroy();
}

void CCourseWindow::Close() { DestroyWindowAndCourse(true); }

void CCourseWindow::OnDestroyed()
{
    TRACE_POINT();
    if (m_course) {
        TRACE_VALUE(std::wstring, m_course->GetTitle());
        ReportFailure();
    }
    // This window is still in the frame list until the object goes.
    if (CFrameWindowList::GetFrames().size() <= 1) {
        GetRecentFiles().Save();
        PostQuit();
    }
}

CFrameWindow& CCourseWindow::GetCommandFrame() { return *this; }

std::wstring CCourseWindow::GetListTitle() { return m_course ? m_course->GetTitle() : title; }

void CCourseWindow::GetIcons(HICON& smallIcon, HICON& bigIcon)
{
    const HICON icon = LoadProgramIcon();
    smallIcon = icon;
    bigIcon = icon;
}

void CCourseWindow::OnMapLayerChanged(int layer) {}

void CCourseWindow::On3DLayerChanged(int layer) {}

void CCourseWindow::OnCourseSettingsChanged() {}

void CCourseWindow::OnCourseChanged() { UpdateTitle(); }

std::vector<CCourseWindow*> CCourseWindow::GetCourseWindows()
{
    std::vector<CCourseWindow*> windows;
    for (CFrameListEntry* frame : CFrameWindowList::GetFrames()) {
        if (CCourseWindow* window = dynamic_cast<CCourseWindow*>(frame))
            windows.push_back(window);
    }
    return windows;
}
