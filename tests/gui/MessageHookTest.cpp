// Message hooks: a component hears a control's messages before the control,
// on the same path, and may take them. The application's hidden window and the
// utility windows take that path too.
#include "GuiTestSupport.h"

#include "gui/Application.h"
#include "gui/Timers.h"
#include "gui/WndProcThunk.h"

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

// The application window's hooks live with the application, not with its
// window: one added before the window exists hears it, and still hears the
// window made again after Finalize. A throwing hook is handled like any
// window's handler, and the session end runs once for each message.
TEST_F(MessageHookTest, ApplicationWindowHooksOutliveItsWindowAndShareTheOnePath) {
    TApplication App;
    std::vector<UINT> Heard;
    const int Hook = App.HookMainWindow([&](TMessage& M) {
        if (M.Msg == Probe) {
            Heard.push_back(M.Msg);
            if (M.WParam == 1) throw Exception("hook failed");
            M.Result = 7;
            return true;
        }
        return false;
    });
    EXPECT_FALSE(App.HandleAllocated());
    HWND First = App.Handle();
    EXPECT_EQ(SendMessageA(First, Probe, 0, 0), 7);

    std::vector<std::string> Errors;
    Application->OnException = [&](TObject*, const std::exception& E) { Errors.push_back(E.what()); };
    EXPECT_EQ(SendMessageA(First, Probe, 1, 0), 0);
    EXPECT_EQ(Errors, std::vector<std::string>{"hook failed"});

    int Calls = 0;
    TApplication* Saved = Application;
    Application = &App; // the session end goes to the application of the window
    App.OnEndSession = [&](HWND W, bool Ending) {
        EXPECT_EQ(W, First);
        EXPECT_FALSE(Ending);
        ++Calls;
    };
    SendMessageA(First, WM_ENDSESSION, FALSE, 0);
    Application = Saved;
    EXPECT_EQ(Calls, 1);

    App.Finalize();
    EXPECT_FALSE(App.HandleAllocated());
    EXPECT_FALSE(IsWindow(First));
    EXPECT_EQ(SendMessageA(App.Handle(), Probe, 0, 0), 7);
    EXPECT_EQ(Heard.size(), 3u);
    App.UnhookMainWindow(Hook);
    EXPECT_EQ(SendMessageA(App.Handle(), Probe, 0, 0), 0);
    App.Finalize();
}

// A utility window's handler hears the window's messages once it exists and
// nothing of its making or going; its exceptions are handled like any window's.
TEST_F(MessageHookTest, UtilityWindowHandlerHearsItsMessagesOnTheOnePath) {
    std::vector<UINT> Heard;
    auto Window = std::make_unique<TUtilityWindow>(
        [&](TMessage& M) {
            Heard.push_back(M.Msg);
            if (M.Msg == Probe && M.WParam == 1) throw Exception("handler failed");
            if (M.Msg == Probe) M.Result = 9;
        },
        "MvUtilityWindowTest");
    HWND Wnd = Window->Handle();
    ASSERT_TRUE(IsWindow(Wnd));
    EXPECT_TRUE(Heard.empty());
    char ClassName[64] = {};
    GetClassNameA(Wnd, ClassName, sizeof ClassName);
    EXPECT_STREQ(ClassName, "MvUtilityWindowTest");
    EXPECT_FALSE(IsWindowVisible(Wnd));

    EXPECT_EQ(SendMessageA(Wnd, Probe, 0, 0), 9);
    std::vector<std::string> Errors;
    Application->OnException = [&](TObject*, const std::exception& E) { Errors.push_back(E.what()); };
    EXPECT_EQ(SendMessageA(Wnd, Probe, 1, 0), 0);
    EXPECT_EQ(Errors, std::vector<std::string>{"handler failed"});

    Window.reset();
    EXPECT_FALSE(IsWindow(Wnd));
    EXPECT_EQ(Heard, (std::vector<UINT>{Probe, Probe}));
}

} // namespace
