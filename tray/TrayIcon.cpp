// The system-tray icon and its shared notification window.
#include "tray/TrayIcon.h"

#include "base/Checked.h"
#include "tray/LightTimer.h"
#include "gui/Application.h"
#include "gui/ImgList.h"
#include "gui/Menus.h"
#include "gui/Timers.h"
#include "gui/WinControl.h"
#include "gui/WndProcThunk.h"

#include <commctrl.h>
#include <shlwapi.h>

#include <cstring>

namespace {

TTrayIconHandler* GTrayIconHandler = nullptr;
// Icon ids are handed out once per run, so a late callback for an icon that
// is gone never reaches another one.
UINT GNextIconId = 1;

TShellNotifyIconFunc& ShellNotifyIconFunc() {
    static TShellNotifyIconFunc Func;
    return Func;
}

BOOL CallShellNotifyIcon(DWORD Message, NOTIFYICONDATAA* Data) {
    if (ShellNotifyIconFunc()) return ShellNotifyIconFunc()(Message, Data);
    return Shell_NotifyIconA(Message, Data);
}

DWORD CommonControlsVersion() {
    HMODULE Module = GetModuleHandleA("comctl32.dll");
    if (!Module) Module = LoadLibraryA("comctl32.dll");
    if (!Module) return 0;
    auto GetVersion =
        reinterpret_cast<DLLGETVERSIONPROC>(reinterpret_cast<void*>(GetProcAddress(Module, "DllGetVersion")));
    if (!GetVersion) return 0;
    DLLVERSIONINFO Info{};
    Info.cbSize = sizeof Info;
    if (FAILED(GetVersion(&Info))) return 0;
    return (Info.dwMajorVersion << 16) | (Info.dwMinorVersion & 0xFFFF);
}

TShiftState GetShiftState() {
    TShiftState Shift = 0;
    if (GetAsyncKeyState(VK_SHIFT) < 0) Shift |= ssShift;
    if (GetAsyncKeyState(VK_CONTROL) < 0) Shift |= ssCtrl;
    if (GetAsyncKeyState(VK_MENU) < 0) Shift |= ssAlt;
    return Shift;
}

TWinControl* WindowedOwner(TComponent* Owner) {
    return dynamic_cast<TWinControl*>(Owner);
}

static_assert(sizeof(NOTIFYICONDATAA) >= TrayIconDataSize,
              "NOTIFYICONDATAA is smaller than its version-5 form");

} // namespace

TShellNotifyIconFunc SetShellNotifyIconFunc(TShellNotifyIconFunc Func) {
    TShellNotifyIconFunc Previous = std::move(ShellNotifyIconFunc());
    ShellNotifyIconFunc() = std::move(Func);
    return Previous;
}

UINT TaskbarCreatedMessage() {
    static const UINT Message =
        CommonControlsVersion() >= ((4u << 16) | 71u) ? RegisterWindowMessageA("TaskbarCreated") : 0;
    return Message;
}

// ---- TTrayIconHandler

TTrayIconHandler::TTrayIconHandler()
    : FWindow(std::make_unique<TUtilityWindow>([this](TMessage& Message) { HandleTrayMessage(Message); },
                                               TrayIconWindowClass)) {}

TTrayIconHandler::~TTrayIconHandler() = default;

TTrayIconHandler* TTrayIconHandler::Current() {
    return GTrayIconHandler;
}

HWND TTrayIconHandler::Handle() const {
    return FWindow->Handle();
}

TTrayIconHandler& TTrayIconHandler::Acquire(TTrayIcon& Icon) {
    if (!GTrayIconHandler) GTrayIconHandler = new TTrayIconHandler();
    TTrayIconHandler& Handler = *GTrayIconHandler;
    CheckedInc(Handler.FRefCount);
    UINT Id = GNextIconId++;
    Handler.FIcons[Id] = &Icon;
    Icon.FIconData.uID = Id;
    return Handler;
}

void TTrayIconHandler::Release(TTrayIcon& Icon) {
    TTrayIconHandler* Handler = GTrayIconHandler;
    if (!Handler) return;
    Handler->FIcons.erase(Icon.FIconData.uID);
    if (Handler->FRefCount > 0) --Handler->FRefCount;
    if (Handler->FRefCount == 0) {
        GTrayIconHandler = nullptr;
        delete Handler;
    }
}

void TTrayIconHandler::HandleTrayMessage(TMessage& Message) {
    switch (Message.Msg) {
    case TrayNotifyMessage: {
        auto Found = FIcons.find(static_cast<UINT>(Message.WParam));
        // The icon may free this handler: nothing of it is touched afterwards.
        if (Found != FIcons.end()) Found->second->HandleNotification(Message.LParam);
        return;
    }
    case WM_DESTROY:
    case WM_CLOSE:
    case WM_QUERYENDSESSION:
    case WM_QUIT:
    case WM_ENDSESSION:
    case WM_NCDESTROY:
        Message.Result = 1;
        return;
    default:
        FWindow->Default(Message);
    }
}

// A handler still there at the end of the run goes with the module.
struct TTrayIconUnitShutdown {
    ~TTrayIconUnitShutdown() {
        delete GTrayIconHandler;
        GTrayIconHandler = nullptr;
    }
};
static TTrayIconUnitShutdown GTrayIconUnitShutdown;

// ---- TTrayIcon

TTrayIcon::TTrayIcon(TComponent* AOwner) : TMvComponent(AOwner) {
    TTrayIconHandler& Handler = TTrayIconHandler::Acquire(*this);
    try {
        FIcon.OnChange = [this](TObject*) { ModifyIcon(); };
        UINT Id = FIconData.uID;
        std::memset(&FIconData, 0, sizeof FIconData);
        FIconData.cbSize = TrayIconDataSize;
        FIconData.hWnd = Handler.Handle();
        FIconData.uID = Id;
        FIconData.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
        FIconData.uCallbackMessage = TrayNotifyMessage;

        FCycleTimer = std::make_unique<TLightTimer>(1000, [this](TObject*) { OnCycleTimer(); });
        FClickTimer = std::make_unique<TLightTimer>(1000, [this](TObject*) { OnClickTimer(); });
        FExitTimer = std::make_unique<TLightTimer>(20, [this](TObject*) { OnExitTimer(); });

        if (!HasState(csDesigning)) {
            if (Application)
                FAppHook =
                    Application->HookMainWindow([this](TMessage& Message) { return HookAppProc(Message); });
            HookOwnerForm();
        }
    } catch (...) {
        if (FAppHook && Application) Application->UnhookMainWindow(FAppHook);
        TTrayIconHandler::Release(*this);
        throw;
    }
}

TTrayIcon::~TTrayIcon() {
    *FAlive = false;
    try {
        SetIconVisible(false);
    } catch (...) {
    }
    FCycleTimer.reset();
    FClickTimer.reset();
    FExitTimer.reset();
    FIcon.OnChange = nullptr;
    if (FAppHook && Application) Application->UnhookMainWindow(FAppHook);
    UnhookOwnerForm();
    TTrayIconHandler::Release(*this);
}

// ---- shell operations

bool TTrayIcon::FillIconData() {
    FIconData.hIcon = FIcon.Handle();
    std::memset(FIconData.szTip, 0, sizeof FIconData.szTip);
    if (!FHint.empty() && FShowHint)
        std::memcpy(FIconData.szTip, FHint.data(), std::min(FHint.size(), sizeof FIconData.szTip - 1));
    return true;
}

bool TTrayIcon::Notify(DWORD Message) {
    FillIconData();
    return CallShellNotifyIcon(Message, &FIconData) != 0;
}

bool TTrayIcon::ShowIcon() {
    FIconVisible = true;
    return Notify(NIM_ADD);
}

bool TTrayIcon::HideIcon() {
    FIconVisible = false;
    return Notify(NIM_DELETE);
}

bool TTrayIcon::ModifyIcon() {
    return Notify(NIM_MODIFY);
}

void TTrayIcon::SetBehavior(uint8_t Mode) {
    FBehavior = Mode == 1 ? 1 : 0;
    FIconData.uVersion = FBehavior == 1 ? NOTIFYICON_VERSION : 0;
    Notify(NIM_SETVERSION);
}

// ---- properties

void TTrayIcon::SetIcon(const TIcon& Value) {
    TNotifyEvent Changed = std::move(FIcon.OnChange);
    FIcon.OnChange = nullptr;
    FIcon.Assign(Value);
    FIcon.OnChange = std::move(Changed);
    ModifyIcon();
}

void TTrayIcon::SetIconVisible(bool Value) {
    if (Value)
        ShowIcon();
    else
        HideIcon();
}

void TTrayIcon::SetHint(const std::string& Value) {
    FHint = Value;
    ModifyIcon();
}

void TTrayIcon::SetShowHint(bool Value) {
    FShowHint = Value;
    ModifyIcon();
}

void TTrayIcon::SetPopupMenu(TPopupMenu* Value) {
    if (FPopupMenu) RemoveFreeNotification(FPopupMenu);
    FPopupMenu = Value;
    if (FPopupMenu) FreeNotification(FPopupMenu);
}

void TTrayIcon::SetIconList(TImageList* Value) {
    if (FIconList && FIconList != Value) RemoveFreeNotification(FIconList);
    FIconList = Value;
    if (FIconList) FreeNotification(FIconList);
    SetIconIndex(0);
}

void TTrayIcon::SetIconIndex(int32_t Value) {
    int32_t Count = FIconList ? FIconList->Count() : 0;
    if (Count <= 0) {
        // No pictures to choose from: the icon stays as it is.
        FIconIndex = 0;
    } else {
        FIconIndex = Value < 0 ? 0 : (Value >= Count ? Count - 1 : Value);
        TNotifyEvent Changed = std::move(FIcon.OnChange);
        FIcon.OnChange = nullptr;
        FIconList->GetIcon(FIconIndex, FIcon);
        FIcon.OnChange = std::move(Changed);
    }
    ModifyIcon();
}

void TTrayIcon::SetCycleIcons(bool Value) {
    FCycleIcons = Value;
    if (Value) {
        SetIconIndex(0);
        FCycleTimer->SetInterval(FCycleInterval);
        FCycleTimer->Start();
    } else {
        FCycleTimer->Stop(true);
    }
}

void TTrayIcon::SetCycleInterval(uint32_t Value) {
    FCycleInterval = Value;
    SetCycleIcons(FCycleIcons);
}

void TTrayIcon::SetWantEnterExitEvents(bool Value) {
    FWantEnterExitEvents = Value;
    if (Value)
        FExitTimer->Start();
    else
        FExitTimer->Stop(true);
}

// ---- life cycle

void TTrayIcon::Loaded() {
    TMvComponent::Loaded();
    if (WindowedOwner(Owner()) && !HasState(csDesigning)) {
        bool ShowMainForm = true;
        if (OnStartup) OnStartup(this, ShowMainForm);
        if (!ShowMainForm) {
            if (Application) Application->SetShowMainForm(false);
            HideMainForm();
        }
    }
    ModifyIcon();
    SetIconVisible(FIconVisible);
    SetCycleIcons(FCycleIcons);
    SetWantEnterExitEvents(FWantEnterExitEvents);
    SetBehavior(FBehavior);
}

void TTrayIcon::Notification(TComponent* AComponent, TOperation Operation) {
    TMvComponent::Notification(AComponent, Operation);
    if (Operation != TOperation::opRemove) return;
    if (AComponent == FIconList) {
        FIconList = nullptr;
        SetIconIndex(0);
    }
    if (AComponent == FPopupMenu) FPopupMenu = nullptr;
}

// ---- events

void TTrayIcon::Click() {
    if (OnClick) OnClick(this);
}

void TTrayIcon::DblClick() {
    if (OnDblClick) OnDblClick(this);
}

void TTrayIcon::CycleIcon() {
    if (!OnCycle) return;
    int32_t Next = FIconList ? CheckedAdd(FIconIndex, 1) : 0;
    if (!FIconList || Next >= FIconList->Count()) Next = 0;
    OnCycle(this, Next);
}

void TTrayIcon::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) {
    if (OnMouseDown) OnMouseDown(this, Button, Shift, X, Y);
}

void TTrayIcon::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) {
    if (OnMouseUp) OnMouseUp(this, Button, Shift, X, Y);
}

void TTrayIcon::MouseMove(TShiftState Shift, int X, int Y) {
    if (OnMouseMove) OnMouseMove(this, Shift, X, Y);
}

void TTrayIcon::MouseEnter() {
    if (OnMouseEnter) OnMouseEnter(this);
}

void TTrayIcon::MouseExit() {
    if (OnMouseExit) OnMouseExit(this);
}

void TTrayIcon::DoMinimizeToTray() {
    HideMainForm();
    SetIconVisible(true);
}

// ---- the shell's notifications

void TTrayIcon::HandleNotification(LPARAM Event) {
    POINT Cursor{0, 0};
    GetCursorPos(&Cursor);
    TShiftState Shift = GetShiftState();
    const int X = Cursor.x, Y = Cursor.y;
    const std::shared_ptr<bool> Alive = FAlive;
    auto Gone = [&Alive] { return !*Alive; };
    switch (static_cast<UINT>(Event)) {
    case WM_MOUSEMOVE:
        if (!FEnabled) break;
        if (FWantEnterExitEvents && FExited) {
            FExited = false;
            MouseEnter();
            if (Gone()) break;
        }
        FLastCursor = Cursor;
        MouseMove(Shift, X, Y);
        break;
    case WM_LBUTTONDOWN:
        if (!FEnabled) break;
        // A double click whose timer never ran (no OnDblClick then) must not
        // swallow the next single click.
        if (!FClickTimer->Enabled()) FDoubleClicked = false;
        if (OnDblClick) {
            FClickTimer->SetInterval(GetDoubleClickTime());
            FClickTimer->Start();
        }
        MouseDown(TMouseButton::mbLeft, Shift | ssLeft, X, Y);
        FClickStart = true;
        if (LeftPopup) ShowTrayPopup();
        break;
    case WM_LBUTTONUP:
        if (!FEnabled) break;
        Shift |= ssLeft;
        if (FClickStart) FClickPending = true;
        if (FClickStart && !FClickTimer->Enabled()) {
            FClickStart = false;
            FClickPending = false;
            Click();
            if (Gone()) break;
        }
        FClickStart = false;
        MouseUp(TMouseButton::mbLeft, Shift, X, Y);
        break;
    case WM_LBUTTONDBLCLK:
        if (!FEnabled) break;
        FClickPending = false;
        FDoubleClicked = true;
        DblClick();
        if (!Gone() && FPopupMenu && FPopupMenu->AutoPopup() && !LeftPopup) ClickDefaultMenuItem();
        break;
    case WM_RBUTTONDOWN:
        if (!FEnabled) break;
        MouseDown(TMouseButton::mbRight, Shift | ssRight, X, Y);
        if (!Gone()) ShowTrayPopup();
        break;
    case WM_RBUTTONUP:
        if (FEnabled && FBehavior == 0) MouseUp(TMouseButton::mbRight, Shift | ssRight, X, Y);
        break;
    case WM_CONTEXTMENU:
    case NIN_SELECT:
    case NIN_KEYSELECT:
        if (FEnabled && FBehavior == 1) MouseUp(TMouseButton::mbRight, Shift | ssRight, X, Y);
        break;
    case WM_MBUTTONDOWN:
        if (FEnabled) MouseDown(TMouseButton::mbMiddle, Shift | ssMiddle, X, Y);
        break;
    case WM_MBUTTONUP:
        if (FEnabled) MouseUp(TMouseButton::mbMiddle, Shift | ssMiddle, X, Y);
        break;
    case NIN_BALLOONSHOW:
        if (OnBalloonHintShow) OnBalloonHintShow(this);
        break;
    case NIN_BALLOONHIDE:
        if (OnBalloonHintHide) OnBalloonHintHide(this);
        break;
    case NIN_BALLOONTIMEOUT:
        if (OnBalloonHintTimeout) OnBalloonHintTimeout(this);
        break;
    case NIN_BALLOONUSERCLICK:
        if (OnBalloonHintClick) OnBalloonHintClick(this);
        break;
    default:
        break;
    }
}

void TTrayIcon::ClickDefaultMenuItem() {
    TMenuItem& Items = FPopupMenu->Items();
    TMenuItem* Chosen = nullptr;
    for (int I = Items.Count() - 1; I >= 0; --I)
        if (Items.Items(I)->Default()) Chosen = Items.Items(I);
    if (Chosen) Chosen->Click();
}

void TTrayIcon::ShowTrayPopup() {
    POINT Cursor;
    if (!FPopupMenu || !FPopupMenu->AutoPopup() || !GetCursorPos(&Cursor)) return;
    if (Application) {
        SetForegroundWindow(Application->Handle());
        Application->ProcessMessages();
    }
    // The menu may have gone while messages ran.
    if (!FPopupMenu) return;
    FPopupMenu->SetPopupComponent(this);
    FPopupMenu->Popup(Cursor.x, Cursor.y);
    if (TWinControl* Owner = WindowedOwner(this->Owner())) PostMessageA(Owner->Handle(), WM_NULL, 0, 0);
}

void TTrayIcon::HideMainForm() {
    if (WindowedOwner(Owner()) && Application && Application->MainForm()) {
        Application->MainForm()->SetVisible(false);
        HideApplicationWindow();
    }
}

void TTrayIcon::HideApplicationWindow() {
    if (Application && IsWindowVisible(Application->Handle())) ShowWindow(Application->Handle(), SW_HIDE);
}

// ---- timers

void TTrayIcon::OnClickTimer() {
    FClickTimer->Stop(true);
    bool FireClick = !FDoubleClicked && FClickPending;
    if (FireClick) FClickPending = false;
    FDoubleClicked = false;
    if (FireClick) Click();
}

void TTrayIcon::OnCycleTimer() {
    if (!FIconList) return;
    int32_t Count = FIconList->Count();
    if (Count > 0 && FIconIndex < Count) {
        FIconList->GetIcon(FIconIndex, FIcon);
        ModifyIcon();
    }
    const std::shared_ptr<bool> Alive = FAlive;
    CycleIcon();
    if (*Alive) SetIconIndex(FIconIndex >= Count - 1 ? 0 : CheckedAdd(FIconIndex, 1));
}

void TTrayIcon::OnExitTimer() {
    if (FExited) return;
    POINT Cursor;
    if (!GetCursorPos(&Cursor)) return;
    if (Cursor.x != FLastCursor.x || Cursor.y != FLastCursor.y) {
        FExited = true;
        MouseExit();
    }
}

// ---- the application window and the owner form

bool TTrayIcon::HookAppProc(TMessage& Message) {
    switch (Message.Msg) {
    case WM_SIZE:
        if (Message.WParam == SIZE_MINIMIZED && MinimizeToTray) DoMinimizeToTray();
        break;
    case WM_WINDOWPOSCHANGED:
        // The library has no MDI forms, so the start-up question never arises;
        // the first change is only noted.
        if (FFirstPositionChange && Application && Application->MainForm()) FFirstPositionChange = false;
        break;
    case WM_SYSCOMMAND:
        if (Message.WParam == SC_RESTORE && Application && Application->MainForm())
            Application->MainForm()->SetVisible(true);
        break;
    default:
        break;
    }
    UINT Recreated = TaskbarCreatedMessage();
    if (Recreated != 0 && Message.Msg == Recreated && FIconVisible) ShowIcon();
    return false;
}

void TTrayIcon::HookOwnerForm() {
    TWinControl* Owner = WindowedOwner(this->Owner());
    if (!Owner) return;
    FHookedOwner = Owner;
    FOwnerHook = Owner->AddMessageHook([this](TMessage& Message) { return OwnerMessage(Message); });
}

void TTrayIcon::UnhookOwnerForm() {
    // An owner that is being destroyed takes its hooks with it (and frees us
    // after its own parts are gone).
    if (FHookedOwner && !FHookedOwner->HasState(csDestroying)) FHookedOwner->RemoveMessageHook(FOwnerHook);
    FHookedOwner = nullptr;
    FOwnerHook = 0;
}

bool TTrayIcon::MinimizeOwnerToTray(LRESULT& Result) {
    if (!MinimizeToTray || !OnMinimizeToTray) return false;
    OnMinimizeToTray(this);
    DoMinimizeToTray();
    Result = 1;
    return true;
}

bool TTrayIcon::OwnerMessage(TMessage& Message) {
    switch (Message.Msg) {
    case WM_SHOWWINDOW:
        if (Message.WParam == 1 && Message.LParam == 0) {
            if (Application) SetForegroundWindow(Application->Handle());
            if (FHookedOwner && FHookedOwner->HandleAllocated()) SetForegroundWindow(FHookedOwner->Handle());
        } else if (Message.WParam == 0 && Message.LParam == SW_PARENTCLOSING &&
                   !(Application && Application->Terminated())) {
            return MinimizeOwnerToTray(Message.Result);
        }
        return false;
    case WM_SYSCOMMAND:
        return Message.WParam == SC_MINIMIZE && MinimizeOwnerToTray(Message.Result);
    default:
        return false;
    }
}
