#include "app/SelectDlg.h"

#include "course/Course.h"
#include "course/ObjectType.h"
#include "foundation/CrashLog.h"
#include "foundation/Strings.h"

namespace {

constexpr int kTitleText = 2457;
constexpr int kRootText = 2458;
// Entries with more objects win the better access keys.
constexpr int kKeyPriorityBase = 1000;

}  // namespace

CSelectDlg::CEntry::CEntry(CEntry* parentEntry, const std::wstring& entryName)
    : parent(parentEntry), name(entryName), box(entryName)
{
    box.SetOnChange(CMemberDelegate<CCheckBox*, CEntry>::Make(this, &CEntry::OnBoxClicked));
}

CSelectDlg::CEntry* CSelectDlg::CEntry::AddObject(const std::wstring& childName, const CObjectType* type)
{
    if (!types.empty()) {
        // A kind's entry holds objects, not further entries.
        ReportFailure();
        return nullptr;
    }
    std::unique_ptr<CEntry>& child = children[childName];
    if (!child)
        child = std::make_unique<CEntry>(this, childName);
    if (!child->children.empty()) {
        ReportFailure();
    } else if (type != nullptr) {
        bool known = false;
        for (const CObjectType* kind : child->types)
            known = known || kind == type;
        if (!known)
            child->types.push_back(type);
    }
    ++child->count;
    ++count;
    return child.get();
}

void CSelectDlg::CEntry::BuildLayout()
{
    box.caption.SetText(count == 1 ? name : name + L" (" + std::to_wstring(count) + L" )");
    box.caption.priority = count - kKeyPriorityBase;
    column.Add(&box);
    if (children.empty())
        return;
    childGrid = std::make_unique<CGridLayout>(2, int(children.size()) * 2);
    childGrid->SetCell(0, 0, CSpacer::GapH7to14());
    int row = 0;
    for (auto& [childName, child] : children) {
        child->BuildLayout();
        childGrid->SetCell(0, row + 1, CSpacer::NullCell());
        if (row > 0)
            childGrid->SetCell(0, row, CSpacer::NullCell());
        childGrid->SetCell(1, row, CSpacer::GapV0to4());
        childGrid->SetCell(1, row + 1, &child->column);
        row += 2;
    }
    column.Add(childGrid.get());
}

void CSelectDlg::CEntry::SetCheckedBelow(bool checked)
{
    for (auto& [childName, child] : children) {
        child->box.SetIndeterminate(false);
        child->box.SetChecked(checked);
        child->SetCheckedBelow(checked);
    }
}

void CSelectDlg::CEntry::UpdateFromChildren()
{
    bool mixed = false;
    bool first = true;
    bool checked = false;
    for (auto& [childName, child] : children) {
        if (child->box.indeterminate || (!first && child->box.checked != checked))
            mixed = true;
        checked = child->box.checked;
        first = false;
    }
    box.SetIndeterminate(mixed);
    box.SetChecked(mixed || checked);
}

void CSelectDlg::CEntry::OnChanged(bool byUser)
{
    if (!box.indeterminate)
        SetCheckedBelow(box.checked);
    if (!byUser)
        return;
    for (CEntry* ancestor = parent; ancestor != nullptr; ancestor = ancestor->parent)
        ancestor->UpdateFromChildren();
}

void CSelectDlg::CEntry::SelectChecked(CCourse& course) const
{
    if (box.checked)
        for (const CObjectType* type : types)
            course.SelectByType(type);
    for (const auto& [childName, child] : children)
        child->SelectChecked(course);
}

CSelectDlg::CSelectDlg(CCourse* courseValue)
    : CDialog(GetString(kTitleText)), course(courseValue), root(std::make_unique<CEntry>(nullptr, GetString(kRootText)))
{
    TRACE_POINT();
    helpTopic = L"Select";
    if (!course) {
        ReportFailure();
    } else {
        std::vector<const CObjectType*> types;
        course->CollectTypes(types);
        for (const CObjectType* type : types)
            if (type != nullptr)
                root->AddObject(type->GetDisplayName(*course), type);
    }
    root->BuildLayout();
    SetContent(&root->column);
}

void CSelectDlg::OnOk()
{
    TRACE_POINT();
    if (course) {
        course->DeselectAll(false);
        root->SelectChecked(*course);
        course->OnCourseChanged();
    }
    CDialog::OnOk();
}
