// TTrayIcon: one icon in the notification area of the task bar. It keeps the
// icon there (also when the shell restarts), turns the shell's mouse
// notifications into events, shows a popup menu, can animate the icon from an
// image list and can minimize its owner form "to the tray". All tray icons of
// the process share one hidden notification window (TTrayIconHandler).
#pragma once

#include "gui/MvComponent.h"
#include "gui/Control.h"
#include "gui/GraphicImages.h"

#include <windows.h>
#include <shellapi.h>

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <string>

class TImageList;
class TLightTimer;
class TPopupMenu;
class TUtilityWindow;
class TWinControl;
class TTrayIcon;
struct TMessage;

// The callback message the shell sends for every tray icon (WM_USER + 0x400).
constexpr UINT TrayNotifyMessage = 0x800;
// The size of NOTIFYICONDATAA as sent: the form of shell version 5.
constexpr DWORD TrayIconDataSize = 488;
// The class of the shared hidden window, so that it can be found from outside.
constexpr const char* TrayIconWindowClass = "MvTrayIconWindow";

// Every Shell_NotifyIconA call goes through here; tests put a recorder in.
using TShellNotifyIconFunc = std::function<BOOL(DWORD Message, NOTIFYICONDATAA* Data)>;
// Replaces the function (an empty one restores the shell's); returns the old one.
TShellNotifyIconFunc SetShellNotifyIconFunc(TShellNotifyIconFunc Func);
// The "TaskbarCreated" message id, or 0 when the common controls are older than 4.71.
UINT TaskbarCreatedMessage();

using TCycleEvent = std::function<void(TObject* Sender, int NextIndex)>;
using TStartupEvent = std::function<void(TObject* Sender, bool& ShowMainForm)>;

// The shared hidden window. It finds the icon of a callback by the id the shell
// hands back, in a table; ids of icons that are gone are ignored.
class TTrayIconHandler {
public:
    static TTrayIconHandler* Current();
    int32_t RefCount() const { return FRefCount; }
    HWND Handle() const;

private:
    friend class TTrayIcon;
    friend struct TTrayIconUnitShutdown;
    TTrayIconHandler();
    ~TTrayIconHandler();
    TTrayIconHandler(const TTrayIconHandler&) = delete;
    TTrayIconHandler& operator=(const TTrayIconHandler&) = delete;

    static TTrayIconHandler& Acquire(TTrayIcon& Icon);
    static void Release(TTrayIcon& Icon);
    void HandleTrayMessage(TMessage& Message);

    int32_t FRefCount = 0;
    std::unique_ptr<TUtilityWindow> FWindow;
    std::map<UINT, TTrayIcon*> FIcons;
};

class TTrayIcon : public TMvComponent {
public:
    explicit TTrayIcon(TComponent* AOwner);
    ~TTrayIcon() override;

    // While false, mouse notifications are ignored (balloon ones are not).
    bool Enabled() const { return FEnabled; }
    void SetEnabled(bool Value) { FEnabled = Value; }
    // The icon shown; a change to it is sent to the shell at once.
    TIcon& Icon() { return FIcon; }
    void SetIcon(const TIcon& Value);
    bool IconVisible() const { return FIconVisible; }
    void SetIconVisible(bool Value);
    const std::string& Hint() const { return FHint; }
    void SetHint(const std::string& Value);
    bool ShowHint() const { return FShowHint; }
    void SetShowHint(bool Value);
    TPopupMenu* PopupMenu() const { return FPopupMenu; }
    void SetPopupMenu(TPopupMenu* Value);
    bool LeftPopup = false;
    bool MinimizeToTray = false;
    bool WantEnterExitEvents() const { return FWantEnterExitEvents; }
    void SetWantEnterExitEvents(bool Value);
    int32_t IconIndex() const { return FIconIndex; }
    // Kept within the image list (0 without one); loads that image as the icon.
    void SetIconIndex(int32_t Value);
    TImageList* IconList() const { return FIconList; }
    void SetIconList(TImageList* Value);
    bool CycleIcons() const { return FCycleIcons; }
    void SetCycleIcons(bool Value);
    uint32_t CycleInterval() const { return FCycleInterval; }
    void SetCycleInterval(uint32_t Value);
    // Only the form designer previews the icon; at run time this is a plain flag.
    bool DesignPreview() const { return FDesignPreview; }
    void SetDesignPreview(bool Value) { FDesignPreview = Value; }
    // 0: classic notifications; 1: the shell's version-3 notifications.
    uint8_t Behavior() const { return FBehavior; }
    void SetBehavior(uint8_t Mode);

    TNotifyEvent OnClick;
    TNotifyEvent OnDblClick;
    TCycleEvent OnCycle;
    TStartupEvent OnStartup;
    TMouseEvent OnMouseDown;
    TMouseEvent OnMouseUp;
    TMouseMoveEvent OnMouseMove;
    TNotifyEvent OnMouseEnter;
    TNotifyEvent OnMouseExit;
    TNotifyEvent OnMinimizeToTray;
    TNotifyEvent OnBalloonHintShow;
    TNotifyEvent OnBalloonHintHide;
    TNotifyEvent OnBalloonHintTimeout;
    TNotifyEvent OnBalloonHintClick;

    // The shell operations; each returns whether the shell accepted it.
    virtual bool ShowIcon();
    virtual bool HideIcon();
    virtual bool ModifyIcon();
    virtual bool WantsDefaultIcon() { return true; }

    // The id the shell knows this icon by, and the record last sent.
    UINT IconId() const { return FIconData.uID; }
    const NOTIFYICONDATAA& IconData() const { return FIconData; }
    // Handles one callback from the shell (what the shared window does with
    // TrayNotifyMessage); Event is the shell's LParam.
    void HandleNotification(LPARAM Event);
    // The timers, for tests.
    TLightTimer& ClickTimer() { return *FClickTimer; }
    TLightTimer& CycleTimer() { return *FCycleTimer; }

protected:
    void Loaded() override;
    void Notification(TComponent* AComponent, TOperation Operation) override;

    virtual void Click();
    virtual void DblClick();
    virtual void CycleIcon();
    virtual void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y);
    virtual void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y);
    virtual void MouseMove(TShiftState Shift, int X, int Y);
    virtual void MouseEnter();
    virtual void MouseExit();
    virtual void DoMinimizeToTray();

private:
    friend class TTrayIconHandler;
    bool FillIconData();
    bool Notify(DWORD Message);
    void ShowTrayPopup();
    void HideMainForm();
    void HideApplicationWindow();
    bool HookAppProc(TMessage& Message);
    // The owner's messages come through its own message hook (one path for
    // every message of a form); OwnerMessage returns true for those it took.
    void HookOwnerForm();
    void UnhookOwnerForm();
    bool OwnerMessage(TMessage& Message);
    bool MinimizeOwnerToTray(LRESULT& Result);
    void OnClickTimer();
    void OnCycleTimer();
    void OnExitTimer();
    void ClickDefaultMenuItem();

    bool FEnabled = true;
    TIcon FIcon;
    bool FIconVisible = false;
    std::string FHint;
    bool FShowHint = true;
    TPopupMenu* FPopupMenu = nullptr;
    bool FClickStart = false;
    bool FClickPending = false;
    std::unique_ptr<TLightTimer> FCycleTimer;
    std::unique_ptr<TLightTimer> FClickTimer;
    std::unique_ptr<TLightTimer> FExitTimer;
    POINT FLastCursor{0, 0};
    bool FExited = true;
    bool FWantEnterExitEvents = false;
    uint8_t FBehavior = 0;
    bool FDoubleClicked = false;
    int32_t FIconIndex = 0;
    bool FDesignPreview = false;
    bool FFirstPositionChange = true;
    TImageList* FIconList = nullptr;
    bool FCycleIcons = false;
    uint32_t FCycleInterval = 0;
    int FAppHook = 0;
    TWinControl* FHookedOwner = nullptr; // not owned: our owner
    int FOwnerHook = 0;
    // Cleared by the destructor: an event handler may free the icon, and the
    // code that called it must then stop.
    std::shared_ptr<bool> FAlive = std::make_shared<bool>(true);
    NOTIFYICONDATAA FIconData{};
};
