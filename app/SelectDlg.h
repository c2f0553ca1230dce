#pragma once

#include <map>
#include <memory>
#include <string>
#include <vector>

#include "ui/Button.h"
#include "ui/Dialog.h"
#include "ui/GridLayout.h"

class CCourse;
class CObjectType;

// Select (2126): the kinds of objects on the course as a tree of check boxes
// with their counts under one root; OK selects every object of the checked
// kinds and nothing else.
class CSelectDlg : public CDialog
{
public:
    // One node of the tree: the root, or one kind named as the rule set
    // names it. Kinds that share a name share an entry.
    class CEntry
    {
    public:
        CEntry(CEntry* parent, const std::wstring& name);
        CEntry(const CEntry&) = delete;
        CEntry& operator=(const CEntry&) = delete;

        // The child of that name, made on first use; it takes the type and
        // counts one object more, as does this entry.
        CEntry* AddObject(const std::wstring& childName, const CObjectType* type);
        // The check box's caption and the grids, for this entry and below.
        void BuildLayout();
        // A change of the box: the children follow it and, when the user
        // made it, the ancestors follow their children.
        void OnChanged(bool byUser);
        // Selects the objects of every checked entry's kinds.
        void SelectChecked(CCourse& course) const;

        CEntry* parent;
        std::wstring name;
        // Empty for an entry that groups others.
        std::vector<const CObjectType*> types;
        std::map<std::wstring, std::unique_ptr<CEntry>> children;
        int count = 0;
        CCheckBox box;
        CGridLayout column{true};
        std::unique_ptr<CGridLayout> childGrid;

    private:
        void OnBoxClicked(CCheckBox*) { OnChanged(true); }
        void SetCheckedBelow(bool checked);
        void UpdateFromChildren();
    };

    explicit CSelectDlg(CCourse* course);

    void OnOk() override;

    CCourse* course;
    std::unique_ptr<CEntry> root;
};
