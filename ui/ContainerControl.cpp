#include "ui/ContainerControl.h"

#include "foundation/CrashLog.h"

CContainerControl::CContainerControl(bool measureAllPages_) : measureAllPages(measureAllPages_) {}

void CContainerControl::AddChild(CWindow* page)
{
    if (!page || created) {
        ReportFailure();
        return;
    }
    page->SetVisible(false);
    pages.push_back(page);
}

void CContainerControl::SetCurrent(CWindow* page)
{
    TRACE_VALUE(const void*, page);
    if (!page) {
        ReportFailure();
        return;
    }
    if (page == current)
        return;
    if (current)
        current->SetVisible(false);
    current = page;
    if (!measureAllPages)
        return;
    if (bounds.left < bounds.right && bounds.top < bounds.bottom)
        page->SetBounds(bounds);
    if (visible)
        page->SetVisible(true);
}

void CContainerControl::MeasureWithin(float width, float height)
{
    CAxisLimits across;
    CAxisLimits down;
    for (CWindow* page : pages) {
        if (page != current && !measureAllPages)
            continue;
        page->MeasureWithin(width, height);
        across.Merge(page->minWidth, page->preferredWidth, page->maxWidth, page->widthStretch, false);
        down.Merge(page->minHeight, page->preferredHeight, page->maxHeight, page->heightStretch, false);
    }
    SetLimits(across, down);
}

void CContainerControl::Measure() { MeasureWithin(0.0f, 0.0f); }

void CContainerControl::SetBounds(const CRectF& rect)
{
    CWindow::SetBounds(rect);
    for (CWindow* page : pages)
        if (page == current || (measureAllPages && !page->HasNativeWindow()))
            page->SetBounds(bounds);
    if (current && !measureAllPages && visible)
        current->SetVisible(true);
}

void CContainerControl::SetVisible(bool newVisible)
{
    if (current)
        current->SetVisible(newVisible);
    CWindow::SetVisible(newVisible);
}

void CContainerControl::CollectCaptions(CNativeWindow& owner)
{
    for (CWindow* page : pages)
        page->CollectCaptions(owner);
}

void CContainerControl::CreateNativeWindow(CNativeWindow& owner)
{
    for (CWindow* page : pages)
        page->CreateNativeWindow(owner);
    created = true;
    closed = false;
}

bool CContainerControl::HasNativeWindow() const { return created; }

void CContainerControl::SetDirty()
{
    for (CWindow* page : pages)
        if (!page->closed)
            page->SetDirty();
    closed = true;
}
