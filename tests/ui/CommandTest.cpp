#include <gtest/gtest.h>

#include <vector>

#include "foundation/ShortcutText.h"
#include "foundation/Strings.h"
#include "ui/Command.h"

namespace {

// A command whose native face only records the changes pushed to it.
class CRecordingCommand : public CCommand
{
public:
    CRecordingCommand(Id id, int shortcutKind = 0, int shortcutKey = 0)
        : CCommand(id, id + 1, shortcutKind, shortcutKey)
    {
    }

    void OnTextChanged() override { changes.push_back('T'); }
    void OnCheckedChanged() override { changes.push_back('C'); }
    void OnEnabledChanged() override { changes.push_back('E'); }
    void OnVisibleChanged() override { changes.push_back('V'); }

    std::vector<char> changes;
};

struct CCommandTarget
{
    std::vector<int> executed;
    std::vector<CCommand*> updated;
    bool enable = true;

    void OnExecute(int id) { executed.push_back(id); }
    void OnUpdate(CCommand* command)
    {
        updated.push_back(command);
        command->SetEnabled(enable);
    }
};

}  // namespace

TEST(Command, NewCommandIsEnabledVisibleUncheckedWithEmptyDelegates)
{
    CRecordingCommand command(2073, 1, 'S');
    EXPECT_EQ(2073, command.id);
    EXPECT_EQ(2074, command.helpTextId);
    EXPECT_TRUE(command.enabled);
    EXPECT_TRUE(command.visible);
    EXPECT_FALSE(command.checked);
    EXPECT_TRUE(command.onExecute.IsEmpty());
    EXPECT_TRUE(command.onUpdateState.IsEmpty());
    EXPECT_EQ(nullptr, command.customText);
    // Running or refreshing without delegates does nothing.
    command.Execute();
    command.UpdateState();
    EXPECT_TRUE(command.changes.empty());
}

TEST(Command, SettingTheCurrentValueCallsNoChangeOperation)
{
    CRecordingCommand command(2073);
    command.SetEnabled(true);
    command.SetVisible(true);
    command.SetChecked(false);
    EXPECT_TRUE(command.changes.empty());

    command.SetEnabled(false);
    command.SetEnabled(false);
    command.SetChecked(true);
    command.SetChecked(true);
    command.SetVisible(false);
    command.SetVisible(false);
    EXPECT_EQ((std::vector<char>{'E', 'C', 'V'}), command.changes);
    EXPECT_FALSE(command.enabled);
    EXPECT_TRUE(command.checked);
    EXPECT_FALSE(command.visible);
}

TEST(Command, SetTextWithTheShownCaptionDoesNothing)
{
    CRecordingCommand command(2104);
    EXPECT_EQ(GetString(2104), command.GetText());
    command.SetText(GetString(2104));
    EXPECT_TRUE(command.changes.empty());
    EXPECT_EQ(nullptr, command.customText);

    const std::wstring undoCut = GetStringWithArg(2105, L"Cut");
    command.SetText(undoCut);
    ASSERT_NE(nullptr, command.customText);
    EXPECT_EQ(undoCut, command.GetText());
    command.SetText(undoCut);
    EXPECT_EQ(std::vector<char>{'T'}, command.changes);

    // Back to the identifier's own text: a change, kept as custom text.
    command.SetText(GetString(2104));
    EXPECT_EQ(GetString(2104), command.GetText());
    EXPECT_EQ((std::vector<char>{'T', 'T'}), command.changes);
}

TEST(Command, ExecuteRecordsTheCaptionAndPassesTheIdentifier)
{
    CCommandTarget target;
    CRecordingCommand command(2073);
    command.onExecute = CMemberDelegate<int, CCommandTarget>::Make(&target, &CCommandTarget::OnExecute);
    SetLastCommandCaption(L"");
    command.Execute();
    EXPECT_EQ(std::vector<int>{2073}, target.executed);
    EXPECT_EQ(GetString(2073), GetLastCommandCaption());
}

TEST(Command, UpdateStateAsksTheStateDelegate)
{
    CCommandTarget target;
    CRecordingCommand command(2110);
    command.onUpdateState = CMemberDelegate<CCommand*, CCommandTarget>::Make(&target, &CCommandTarget::OnUpdate);
    target.enable = false;
    command.UpdateState();
    command.UpdateState();
    EXPECT_EQ((std::vector<CCommand*>{&command, &command}), target.updated);
    EXPECT_FALSE(command.enabled);
    // Pulled twice with the same answer: one change reaches the face.
    EXPECT_EQ(std::vector<char>{'E'}, command.changes);
}

TEST(Command, ShortcutTextFollowsKindAndKey)
{
    EXPECT_EQ(L"", CRecordingCommand(2073).GetShortcutText());
    EXPECT_EQ(GetShortcutText(1, 'S'), CRecordingCommand(2073, 1, 'S').GetShortcutText());
    EXPECT_EQ(GetStringWithArg(2044, L"S"), CRecordingCommand(2073, 1, 'S').GetShortcutText());
    EXPECT_EQ(GetShortcutText(3, 8), CRecordingCommand(2122, 3, 8).GetShortcutText());
}

TEST(Command, FindByIdAnswersOnlyItsOwnIdentifier)
{
    CRecordingCommand command(2112);
    EXPECT_EQ(&command, command.FindById(2112));
    EXPECT_EQ(nullptr, command.FindById(2113));
}

TEST(Command, DelegatesAreReleasedWithTheCommand)
{
    CCommandTarget target;
    CDelegate<int> execute = CMemberDelegate<int, CCommandTarget>::Make(&target, &CCommandTarget::OnExecute);
    {
        CRecordingCommand command(2073);
        command.onExecute = execute;
        EXPECT_EQ(2, execute.GetReferenceCount());
    }
    EXPECT_EQ(1, execute.GetReferenceCount());
}
