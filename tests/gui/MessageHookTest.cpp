// Message hooks: a component hears a control's messages before the control,
// on the same path, and may take them.
#include "GuiTestSupport.h"

#include <string>
#include <vector>

namespace {

class MessageHookTest : public GuiTest {};

constexpr UINT Probe = WM_USER + 71;

TEST_F(MessageHookTest, HooksRunFirstInOrderAndOneThatTakesAMessageEndsIt) {
    TForm Form(nullptr);
    std::vector<std::string> Seen;
    const int A = Form.AddMessageHook([&](TMessage& M) {
        if (M.Msg == Probe) Seen.push_back("a");
        return false;
    });
    const int B = Form.AddMessageHook([&](TMessage& M) {
        if (M.Msg != Probe) return false;
        Seen.push_back("b");
        M.Result = 42;
        return true;
    });
    Form.AddMessageHook([&](TMessage& M) {
        if (M.Msg == Probe) Seen.push_back("c");
        return false;
    });
    EXPECT_EQ(SendMessageA(Form.Handle(), Probe, 0, 0), 42);
    EXPECT_EQ(Seen, (std::vector<std::string>{"a", "b"}));

    Form.RemoveMessageHook(B);
    Seen.clear();
    EXPECT_EQ(SendMessageA(Form.Handle(), Probe, 0, 0), 0);
    EXPECT_EQ(Seen, (std::vector<std::string>{"a", "c"}));
    Form.RemoveMessageHook(A);
    Form.RemoveMessageHook(A); // gone already: nothing happens
    Form.RemoveMessageHook(0);
    EXPECT_TRUE(Form.HasMessageHooks());
}

TEST_F(MessageHookTest, AHookMayRemoveItselfOrALaterOneWhileItRuns) {
    TForm Form(nullptr);
    std::vector<std::string> Seen;
    int Later = 0;
    int First = 0;
    First = Form.AddMessageHook([&](TMessage& M) {
        if (M.Msg != Probe) return false;
        Seen.push_back("first");
        Form.RemoveMessageHook(First);
        Form.RemoveMessageHook(Later);
        return false;
    });
    Later = Form.AddMessageHook([&](TMessage& M) {
        if (M.Msg == Probe) Seen.push_back("later");
        return false;
    });
    SendMessageA(Form.Handle(), Probe, 0, 0);
    SendMessageA(Form.Handle(), Probe, 0, 0);
    EXPECT_EQ(Seen, std::vector<std::string>{"first"});
    EXPECT_FALSE(Form.HasMessageHooks());
}

} // namespace
