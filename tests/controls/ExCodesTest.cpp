// Dialog-code and clipboard-command mappings of the base-class layer.
#include "controls/MvExCodes.h"

#include <gtest/gtest.h>

using namespace mv::controls;

TEST(DialogCodes, MapBothWaysAndDropUnmappedFlags) {
    constexpr std::uint32_t Static = 0x0100, DefPushButton = 0x0010, RadioButton = 0x0040;
    const TDialogCodeSet Codes = DlgcToDialogCodes(dlgc::WantArrows | Static);
    EXPECT_EQ(Codes, (TDialogCodeSet{dgWantArrows}));
    EXPECT_EQ(DialogCodesToDlgc(Codes), dlgc::WantArrows);
    EXPECT_TRUE(DlgcToDialogCodes(DefPushButton | RadioButton).Empty());

    const std::uint32_t All = dlgc::WantAllKeys | dlgc::WantArrows | dlgc::WantChars | dlgc::Button |
                              dlgc::HasSetSel | dlgc::WantTab;
    EXPECT_EQ(DialogCodesToDlgc(DlgcToDialogCodes(All)), All);
    EXPECT_EQ(DialogCodesToDlgc(TDialogCodeSet{dgNative}), 0u);
    EXPECT_EQ(DialogCodesToDlgc(TDialogCodeSet{dgWantTab, dgWantChars}), 0x0082u);
}

TEST(ClipboardCommands, GateTheirMessagesOnly) {
    struct Case {
        std::uint32_t Msg;
        TMvClipboardCommand Cmd;
    } Cases[] = {{0x300, caCut},   {0x301, caCopy}, {0x302, caPaste},
                 {0x303, caClear}, {0x304, caUndo}, {0xC7, caUndo}};
    for (const Case& C : Cases) {
        TMvClipboardCommand Got{};
        ASSERT_TRUE(ClipboardCommandForMessage(C.Msg, Got)) << C.Msg;
        EXPECT_EQ(Got, C.Cmd) << C.Msg;
    }
    TMvClipboardCommand Unused{};
    EXPECT_FALSE(ClipboardCommandForMessage(0x0305, Unused)); // WM_RENDERFORMAT
    EXPECT_FALSE(ClipboardCommandForMessage(0x00C2, Unused)); // EM_REPLACESEL

    EXPECT_EQ(kAllClipboardCommands.Bits(), 31u);
    EXPECT_EQ(kPlainEditClipboardCommands.Bits(), 23u);
}

TEST(KeyData, ShiftKeysSetTheirBits) {
    EXPECT_EQ(KeyDataFromShiftFlags(false, false, false), 0u);
    EXPECT_EQ(KeyDataFromShiftFlags(true, true, true), 0x38000000u);
    EXPECT_EQ(KeyDataFromShiftFlags(false, false, true), 0x10000000u);
}
