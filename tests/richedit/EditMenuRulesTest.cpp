// Enabling rules of the shared edit popup menu.
#include "richedit/MvEditMenuRules.h"

#include <gtest/gtest.h>

using namespace mv::richedit;
using namespace mv::controls;

TEST(EditMenuRules, ReadOnlyWithSelectionEnablesOnlyCopyAndSelectAll) {
    TEditMenuInput In;
    In.Commands = kAllClipboardCommands;
    In.ReadOnly = true;
    In.SelLength = 3;
    In.TextLength = 10;
    In.CanUndo = false;
    const TEditMenuState S = ComputeEditMenuState(In);
    EXPECT_EQ(
        S,
        (TEditMenuState{
            .Undo = false, .Cut = false, .Copy = true, .Paste = false, .Delete = false, .SelectAll = true}));
}

TEST(EditMenuRules, EditWithoutCommandsPropertyStillDeletes) {
    TEditMenuInput In; // plain edit: Copy, Cut, Paste, Undo
    In.SelLength = 2;
    In.TextLength = 5;
    In.CanUndo = true;
    const TEditMenuState S = ComputeEditMenuState(In);
    EXPECT_TRUE(S.Undo);
    EXPECT_TRUE(S.Cut);
    EXPECT_TRUE(S.Copy);
    EXPECT_TRUE(S.Paste);
    EXPECT_TRUE(S.Delete);

    In.Commands = TMvClipboardCommands{};
    const TEditMenuState None = ComputeEditMenuState(In);
    EXPECT_FALSE(None.Undo || None.Cut || None.Copy || None.Paste);
    EXPECT_TRUE(None.Delete); // Delete depends on selection and read-only only
}

TEST(EditMenuRules, SelectAllNeedsTextNotAllSelected) {
    TEditMenuInput In;
    In.TextLength = 5;
    In.SelLength = 5;
    EXPECT_FALSE(ComputeEditMenuState(In).SelectAll);
    In.SelLength = 6; // the rich edit's final paragraph mark selected too
    EXPECT_FALSE(ComputeEditMenuState(In).SelectAll);
    In.SelLength = 4;
    EXPECT_TRUE(ComputeEditMenuState(In).SelectAll);
    In.TextLength = 0;
    In.SelLength = 0;
    EXPECT_FALSE(ComputeEditMenuState(In).SelectAll);
    EXPECT_FALSE(ComputeEditMenuState(In).Cut);
}
