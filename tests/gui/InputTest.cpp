// Keyboard handling in the message loop (dialog keys, Tab, shortcuts) and context menus.
#include "GuiTestSupport.h"

#include "gui/ActnList.h"
#include "gui/Menus.h"
#include "gui/StdCtrls.h"

#include <memory>

namespace {

// Holds modifier keys down in this thread's keyboard state for the life of the scope.
class HeldKeys {
public:
    explicit HeldKeys(std::initializer_list<int> keys) {
        GetKeyboardState(saved_);
        BYTE state[256];
        memcpy(state, saved_, sizeof(state));
        for (int k : keys)
            state[k] = 0x80;
        SetKeyboardState(state);
    }
    ~HeldKeys() { SetKeyboardState(saved_); }

private:
    BYTE saved_[256];
};

class InputTest : public GuiTest {
protected:
    void SetUp() override {
        GuiTest::SetUp();
        form = std::make_unique<TForm>(nullptr);
        form->SetBounds(60, 60, 300, 200);
        first = new TEdit(form.get());
        first->SetParent(form.get());
        second = new TEdit(form.get());
        second->SetParent(form.get());
        second->SetTop(30);
        form->Show();
        SetForegroundWindow(form->Handle());
        first->SetFocus();
        Application->ProcessMessages();
    }
    void TearDown() override { form.reset(); }
    void Key(HWND target, WPARAM vk) {
        PostMessageA(target, WM_KEYDOWN, vk, 1);
        PostMessageA(target, WM_KEYUP, vk, 0xC0000001);
        Application->ProcessMessages();
    }
    std::unique_ptr<TForm> form;
    TEdit* first = nullptr;
    TEdit* second = nullptr;
};

TEST_F(InputTest, TabAndShiftTabMoveBetweenTabStops) {
    ASSERT_TRUE(first->Focused());
    Key(first->Handle(), VK_TAB);
    EXPECT_TRUE(second->Focused());
    {
        HeldKeys shift{VK_SHIFT};
        Key(second->Handle(), VK_TAB);
    }
    EXPECT_TRUE(first->Focused());
}

TEST_F(InputTest, EnterAndEscapeReachTheDefaultAndCancelButtons) {
    auto* ok = new TButton(form.get());
    ok->SetParent(form.get());
    ok->SetDefault(true);
    auto* cancel = new TButton(form.get());
    cancel->SetParent(form.get());
    cancel->SetCancel(true);
    int oks = 0, cancels = 0;
    ok->OnClick = [&](TObject*) { ++oks; };
    cancel->OnClick = [&](TObject*) { ++cancels; };
    Key(first->Handle(), VK_RETURN);
    Key(first->Handle(), VK_ESCAPE);
    EXPECT_EQ(oks, 1);
    EXPECT_EQ(cancels, 1);
}

TEST_F(InputTest, MemoKeepsEnterButNotTabUnlessItWantsTabs) {
    auto* memo = new TMemo(form.get());
    memo->SetParent(form.get());
    memo->SetTop(60);
    auto* ok = new TButton(form.get());
    ok->SetParent(form.get());
    ok->SetDefault(true);
    int oks = 0;
    ok->OnClick = [&](TObject*) { ++oks; };
    memo->SetFocus();
    Application->ProcessMessages();
    Key(memo->Handle(), VK_RETURN);
    EXPECT_EQ(oks, 0);
    Key(memo->Handle(), VK_TAB);
    EXPECT_FALSE(memo->Focused());
}

TEST_F(InputTest, ShortcutKeyRunsTheFormsActionAndIsNotTyped) {
    auto* list = new TActionList(form.get());
    auto* save = new TAction(form.get());
    save->SetActionList(list);
    save->SetShortCut(ShortCut('S', ssCtrl));
    int saves = 0;
    save->OnExecute = [&](TObject*) { ++saves; };
    int keyDowns = 0;
    first->OnKeyDown = [&](TObject*, WORD&, TShiftState) { ++keyDowns; };
    {
        HeldKeys ctrl{VK_CONTROL};
        Key(first->Handle(), 'S');
    }
    EXPECT_EQ(saves, 1);
    EXPECT_EQ(keyDowns, 0); // the shortcut took the key before the control saw it
    Key(first->Handle(), 'S');
    EXPECT_EQ(saves, 1);
    EXPECT_EQ(keyDowns, 1);
}

TEST_F(InputTest, OnKeyDownCanSwallowAKeyAndOnKeyPressCanChangeIt) {
    first->OnKeyPress = [](TObject*, char& key) {
        if (key == 'a') key = 'b';
        if (key == 'x') key = 0;
    };
    SendMessageA(first->Handle(), WM_CHAR, 'a', 0);
    SendMessageA(first->Handle(), WM_CHAR, 'x', 0);
    SendMessageA(first->Handle(), WM_CHAR, 'c', 0);
    EXPECT_EQ(first->Text(), "bc");
}

TEST_F(InputTest, ContextMenuShowsTheControlsPopupMenuAtTheClick) {
    TPopupMenu menu(form.get());
    auto* item = new TMenuItem(&menu);
    item->SetCaption("Item");
    menu.Items().Add(item);
    auto* label = new TLabel(form.get());
    label->SetParent(form.get());
    label->SetBounds(10, 100, 80, 20);
    TPopupMenu labelMenu(form.get());
    form->SetPopupMenu(&menu);
    label->SetPopupMenu(&labelMenu);
    std::vector<std::pair<TPopupMenu*, TComponent*>> shown;
    TDialogResponder responder;
    responder.Popup = [&](TPopupMenu& m, int, int) { shown.emplace_back(&m, m.PopupComponent()); };
    TDialogResponderScope scope(responder);
    POINT onForm = form->ClientToScreen(POINT{200, 150});
    SendMessageA(form->Handle(), WM_CONTEXTMENU, reinterpret_cast<WPARAM>(form->Handle()),
                 MAKELPARAM(onForm.x, onForm.y));
    POINT onLabel = form->ClientToScreen(POINT{20, 105});
    SendMessageA(form->Handle(), WM_CONTEXTMENU, reinterpret_cast<WPARAM>(form->Handle()),
                 MAKELPARAM(onLabel.x, onLabel.y));
    // A custom control without a menu of its own passes the request up to its form.
    auto* inner = new TCustomControl(form.get());
    inner->SetParent(form.get());
    inner->SetBounds(150, 100, 100, 60);
    POINT onInner = inner->ClientToScreen(POINT{5, 5});
    SendMessageA(inner->Handle(), WM_CONTEXTMENU, reinterpret_cast<WPARAM>(inner->Handle()),
                 MAKELPARAM(onInner.x, onInner.y));
    ASSERT_EQ(shown.size(), 3u);
    EXPECT_EQ(shown[0], std::make_pair(&menu, static_cast<TComponent*>(form.get())));
    EXPECT_EQ(shown[1], std::make_pair(&labelMenu, static_cast<TComponent*>(label)));
    EXPECT_EQ(shown[2].first, &menu);
}

TEST_F(InputTest, FreedPopupMenuIsForgottenByItsControl) {
    auto* menu = new TPopupMenu(nullptr);
    first->SetPopupMenu(menu);
    delete menu;
    EXPECT_EQ(first->PopupMenu(), nullptr);
}

TEST_F(InputTest, AltLetterReachesTheControlWhoseCaptionMarksIt) {
    auto* panel = new TCustomControl(form.get());
    panel->SetParent(form.get());
    panel->SetBounds(0, 100, 300, 60);
    auto* go = new TButton(form.get());
    go->SetParent(panel); // nested: the search goes down the whole tree
    go->SetCaption("&Go");
    int clicks = 0;
    go->OnClick = [&](TObject*) { ++clicks; };
    auto* label = new TLabel(form.get());
    label->SetParent(form.get());
    label->SetCaption("&Second:");
    label->SetFocusControl(second);
    auto* ampersand = new TButton(form.get());
    ampersand->SetParent(form.get());
    ampersand->SetCaption("A && B");
    int ampersands = 0;
    ampersand->OnClick = [&](TObject*) { ++ampersands; };
    PostMessageA(first->Handle(), WM_SYSCHAR, 'g', 0x20000000);
    Application->ProcessMessages();
    EXPECT_EQ(clicks, 1);
    first->SetFocus();
    PostMessageA(first->Handle(), WM_SYSCHAR, 'S', 0x20000000);
    Application->ProcessMessages();
    EXPECT_TRUE(second->Focused());
    PostMessageA(second->Handle(), WM_SYSCHAR, 'b', 0x20000000);
    Application->ProcessMessages();
    EXPECT_EQ(ampersands, 0);
    EXPECT_TRUE(IsAccel('w', "A new &window"));
    EXPECT_FALSE(IsAccel('b', "A && B"));
    EXPECT_FALSE(IsAccel('x', "No accelerator"));
}

} // namespace
