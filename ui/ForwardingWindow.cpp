#include "ui/ForwardingWindow.h"

CForwardingWindow::CForwardingWindow(CWindow* inner_) : inner(*inner_) {}

void CForwardingWindow::TakeInnerLimits() { CopyLimits(inner); }

void CForwardingWindow::MeasureWithin(float width, float height)
{
    inner.MeasureWithin(width, height);
    TakeInnerLimits();
}

void CForwardingWindow::Measure()
{
    inner.Measure();
    TakeInnerLimits();
}

bool CForwardingWindow::DependsOnAvailableSize() const { return inner.DependsOnAvailableSize(); }

void CForwardingWindow::SetBounds(const CRectF& rect)
{
    CWindow::SetBounds(rect);
    inner.SetBounds(bounds);
}

void CForwardingWindow::SetVisible(bool newVisible)
{
    CWindow::SetVisible(newVisible);
    inner.SetVisible(newVisible);
}

void CForwardingWindow::CollectCaptions(CNativeWindow& owner) { inner.CollectCaptions(owner); }

void CForwardingWindow::CreateNativeWindow(CNativeWindow& owner) { inner.CreateNativeWindow(owner); }

bool CForwardingWindow::HasNativeWindow() const { return inner.HasNativeWindow(); }

void CForwardingWindow::SetDirty()
{
    inner.SetDirty();
    CWindow::SetDirty();
}
