// Menu items, popup menus, actions, action lists and shortcut dispatch.
#include "GuiTestSupport.h"

#include "gui/ActnList.h"
#include "gui/GraphicImages.h"
#include "gui/ImgList.h"
#include "gui/Menus.h"

#include <memory>

namespace {

class MenuTest : public GuiTest {};

TEST_F(MenuTest, DestroyedItemLeavesItsParent) {
    TPopupMenu menu(nullptr);
    auto* a = new TMenuItem(&menu);
    auto* b = new TMenuItem(&menu);
    auto* sub = new TMenuItem(&menu);
    menu.Items().Add(a);
    menu.Items().Add(b);
    b->Add(sub);
    EXPECT_EQ(menu.Items().Count(), 2);
    delete a;
    EXPECT_EQ(menu.Items().Count(), 1);
    EXPECT_EQ(menu.Items().Items(0), b);
    EXPECT_EQ(b->MenuIndex(), 0);
    // Deleting through the parent frees the item and its sub-items; the owner forgets them.
    int owned = menu.ComponentCount();
    menu.Items().Delete(0);
    EXPECT_EQ(menu.Items().Count(), 0);
    EXPECT_EQ(menu.ComponentCount(), owned - 2);
}

TEST_F(MenuTest, ItemCannotBeInsertedTwice) {
    TPopupMenu menu(nullptr);
    auto* a = new TMenuItem(&menu);
    menu.Items().Add(a);
    EXPECT_THROW(menu.Items().Add(a), EInvalidOperation);
}

TEST_F(MenuTest, ShortCutText) {
    struct Row {
        TShortCut sc;
        const char* text;
    } rows[] = {{ShortCut('S', ssCtrl), "Ctrl+S"},
                {ShortCut(VK_F1, 0), "F1"},
                {ShortCut(VK_DELETE, ssShift | ssCtrl), "Shift+Ctrl+Del"},
                {ShortCut(VK_OEM_3, 0), "`"},
                {0, ""}};
    for (const Row& r : rows) {
        EXPECT_EQ(ShortCutToText(r.sc), r.text);
        if (r.sc) {
            EXPECT_EQ(TextToShortCut(r.text), r.sc) << r.text;
        }
    }
    EXPECT_EQ(TextToShortCut("Ctrl+Nonsense"), 0);
}

TEST_F(MenuTest, PopupGoesThroughTheResponderAndRunsTheChosenItem) {
    TPopupMenu menu(nullptr);
    auto* item = new TMenuItem(&menu);
    item->SetCaption("&Go");
    menu.Items().Add(item);
    int popups = 0, clicks = 0;
    menu.OnPopup = [&](TObject*) { ++popups; };
    item->OnClick = [&](TObject* s) {
        EXPECT_EQ(s, item);
        ++clicks;
    };
    TDialogResponder responder;
    responder.Popup = [&](TPopupMenu& m, int x, int y) {
        EXPECT_EQ(x, 10);
        EXPECT_EQ(y, 20);
        m.Items().Find("Go")->Click();
    };
    TDialogResponderScope scope(responder);
    menu.Popup(10, 20);
    EXPECT_EQ(popups, 1);
    EXPECT_EQ(clicks, 1);
}

TEST_F(MenuTest, BuiltMenuFollowsItemAndActionState) {
    TForm form(nullptr);
    auto* list = new TActionList(&form);
    auto* action = new TAction(&form);
    action->SetActionList(list);
    action->SetCaption("&Hide");
    action->SetShortCut(ShortCut('H', ssCtrl));
    action->SetEnabled(false);
    TPopupMenu menu(&form);
    auto* item = new TMenuItem(&menu);
    item->SetAction(action);
    menu.Items().Add(item);
    auto* hidden = new TMenuItem(&menu);
    hidden->SetCaption("Hidden");
    hidden->SetVisible(false);
    menu.Items().Add(hidden);
    auto* line = new TMenuItem(&menu);
    line->SetCaption("-");
    menu.Items().Add(line);
    HMENU h = menu.Items().BuildPopupMenu();
    EXPECT_EQ(GetMenuItemCount(h), 2);
    char text[64] = {};
    GetMenuStringA(h, 0, text, sizeof(text), MF_BYPOSITION);
    EXPECT_STREQ(text, "&Hide\tCtrl+H");
    EXPECT_TRUE(GetMenuState(h, 0, MF_BYPOSITION) & MF_GRAYED);
    EXPECT_TRUE(GetMenuState(h, 1, MF_BYPOSITION) & MF_SEPARATOR);
    DestroyMenu(h);
    delete action; // the item lets go of it
    EXPECT_EQ(item->Action(), nullptr);
    EXPECT_EQ(list->ActionCount(), 0);
}

// The colour at the middle of a menu item's picture, or CLR_INVALID without one.
COLORREF PictureColour(HMENU menu, UINT position) {
    MENUITEMINFOA info{};
    info.cbSize = sizeof info;
    info.fMask = MIIM_BITMAP;
    if (!GetMenuItemInfoA(menu, position, TRUE, &info) || !info.hbmpItem) return CLR_INVALID;
    HDC memory = CreateCompatibleDC(nullptr);
    HGDIOBJ old = SelectObject(memory, info.hbmpItem);
    const COLORREF colour = GetPixel(memory, 8, 8);
    SelectObject(memory, old);
    DeleteDC(memory);
    return colour;
}

TEST_F(MenuTest, ItemsShowTheirPictureFromTheMenusImageList) {
    TForm form(nullptr);
    auto* images = new TImageList(&form);
    for (TColor colour : {TColor(RGB(255, 0, 0)), TColor(RGB(0, 128, 0))}) {
        TBitmap square;
        square.SetSize(16, 16);
        square.Canvas().Brush().SetColor(colour);
        square.Canvas().FillRect(RECT{0, 0, 16, 16});
        images->AddMasked(square, TColor(RGB(255, 0, 255)));
    }
    auto* list = new TActionList(&form);
    auto* action = new TAction(&form);
    action->SetActionList(list);
    action->SetCaption("&Find");
    action->SetImageIndex(1);
    TPopupMenu menu(&form);
    auto add = [&](TMenuItem* parent, const char* caption) {
        auto* item = new TMenuItem(&menu);
        item->SetCaption(caption);
        parent->Add(item);
        return item;
    };
    add(&menu.Items(), "")->SetAction(action);      // the action's picture
    add(&menu.Items(), "Own")->SetImageIndex(0);    // its own
    add(&menu.Items(), "None");                     // none
    add(&menu.Items(), "Beyond")->SetImageIndex(7); // no such image: none
    TMenuItem* sub = add(&menu.Items(), "More");
    add(sub, "Inner")->SetImageIndex(1);

    {
        // Without an image list no item has a picture.
        TMenuPictures none(menu.Images());
        HMENU h = menu.Items().BuildPopupMenu(&none);
        EXPECT_EQ(PictureColour(h, 0), CLR_INVALID);
        DestroyMenu(h);
    }
    menu.SetImages(images);
    TMenuPictures pictures(menu.Images());
    HMENU h = menu.Items().BuildPopupMenu(&pictures);
    EXPECT_EQ(PictureColour(h, 0), RGB(0, 128, 0));
    EXPECT_EQ(PictureColour(h, 1), RGB(255, 0, 0));
    EXPECT_EQ(PictureColour(h, 2), CLR_INVALID);
    EXPECT_EQ(PictureColour(h, 3), CLR_INVALID);
    EXPECT_EQ(PictureColour(GetSubMenu(h, 4), 0), RGB(0, 128, 0));
    action->SetImageIndex(0); // followed at the next showing
    HMENU again = menu.Items().BuildPopupMenu(&pictures);
    EXPECT_EQ(PictureColour(again, 0), RGB(255, 0, 0));
    DestroyMenu(again);
    DestroyMenu(h);

    delete images; // the menu forgets a freed list
    EXPECT_EQ(menu.Images(), nullptr);
}

TEST_F(MenuTest, ShortCutGoesToTheEnabledActionOfTheActiveOrMainForm) {
    TForm main(nullptr);
    Application->SetMainForm(&main);
    auto* list = new TActionList(&main);
    auto* hide = new TAction(&main);
    auto* unhide = new TAction(&main);
    hide->SetActionList(list);
    unhide->SetActionList(list);
    hide->SetShortCut(ShortCut('H', ssCtrl));
    unhide->SetShortCut(ShortCut('H', ssCtrl));
    unhide->SetEnabled(false);
    int hides = 0, unhides = 0;
    hide->OnExecute = [&](TObject*) {
        ++hides;
        hide->SetEnabled(false);
        unhide->SetEnabled(true);
    };
    unhide->OnExecute = [&](TObject*) {
        ++unhides;
        unhide->SetEnabled(false);
        hide->SetEnabled(true);
    };
    EXPECT_TRUE(Application->IsShortCut('H', ssCtrl));
    EXPECT_TRUE(Application->IsShortCut('H', ssCtrl));
    EXPECT_TRUE(Application->IsShortCut('H', ssCtrl));
    EXPECT_EQ(hides, 2);
    EXPECT_EQ(unhides, 1);
    EXPECT_FALSE(Application->IsShortCut('J', ssCtrl));
    Application->SetMainForm(nullptr);
}

TEST_F(MenuTest, ActionsUpdateAtIdleAndExecuteOnlyWhenEnabled) {
    TForm form(nullptr);
    auto* list = new TActionList(&form);
    auto* action = new TAction(&form);
    action->SetActionList(list);
    bool allow = false;
    int runs = 0;
    action->OnUpdate = [&](TObject*) { action->SetEnabled(allow); };
    action->OnExecute = [&](TObject*) { ++runs; };
    Application->DoIdle();
    EXPECT_FALSE(action->Enabled());
    EXPECT_FALSE(action->Execute());
    allow = true;
    Application->DoIdle();
    EXPECT_TRUE(action->Enabled());
    EXPECT_TRUE(action->Execute());
    EXPECT_EQ(runs, 1);
}

} // namespace
