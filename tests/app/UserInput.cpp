// Keys as a user gives them, through SendInput.
#include "tests/app/UserInput.h"

#include "gui/Application.h"

#include <vector>

namespace mv::app::test {

namespace {

INPUT KeyInput(WORD Key, bool Up) {
    INPUT In{};
    In.type = INPUT_KEYBOARD;
    In.ki.wVk = Key;
    In.ki.wScan = static_cast<WORD>(MapVirtualKeyA(Key, 0));
    In.ki.dwFlags = Up ? KEYEVENTF_KEYUP : 0;
    return In;
}

} // namespace

void SettleInput(unsigned Milliseconds) {
    const DWORD End = GetTickCount() + Milliseconds;
    // Through the application's loop: shortcuts, dialog keys and hints as in the program.
    while (static_cast<int32_t>(End - GetTickCount()) > 0) {
        Application->ProcessMessages();
        Sleep(5);
    }
}

bool BringToFront(HWND Window) {
    SetForegroundWindow(Window);
    SetActiveWindow(Window);
    for (int Try = 0; Try < 40 && GetForegroundWindow() != Window; ++Try)
        SettleInput(25);
    SettleInput(50);
    return GetForegroundWindow() == Window;
}

void PressKey(WORD Key, bool Shift, bool Control, bool Alt) {
    std::vector<INPUT> Inputs;
    if (Shift) Inputs.push_back(KeyInput(VK_SHIFT, false));
    if (Control) Inputs.push_back(KeyInput(VK_CONTROL, false));
    if (Alt) Inputs.push_back(KeyInput(VK_MENU, false));
    Inputs.push_back(KeyInput(Key, false));
    Inputs.push_back(KeyInput(Key, true));
    if (Alt) Inputs.push_back(KeyInput(VK_MENU, true));
    if (Control) Inputs.push_back(KeyInput(VK_CONTROL, true));
    if (Shift) Inputs.push_back(KeyInput(VK_SHIFT, true));
    SendInput(static_cast<UINT>(Inputs.size()), Inputs.data(), sizeof(INPUT));
    SettleInput(40);
}

void KeyEvent(WORD Key, bool Up) {
    INPUT In = KeyInput(Key, Up);
    SendInput(1, &In, sizeof(INPUT));
}

void TypeText(const std::string& Text) {
    for (const char C : Text) {
        const SHORT Scan = VkKeyScanA(C);
        if (Scan == -1) continue;
        PressKey(static_cast<WORD>(LOBYTE(Scan)), (HIBYTE(Scan) & 1) != 0, (HIBYTE(Scan) & 2) != 0,
                 (HIBYTE(Scan) & 4) != 0);
    }
}

namespace {

// Moves the mouse to (X, Y) in Window's client area, then gives Clicks left clicks there at once.
void ClicksAt(HWND Window, int X, int Y, int Clicks) {
    POINT P{X, Y};
    ClientToScreen(Window, &P);
    const int W = GetSystemMetrics(SM_CXSCREEN), H = GetSystemMetrics(SM_CYSCREEN);
    std::vector<INPUT> In(1 + 2 * Clicks);
    for (INPUT& I : In) {
        I.type = INPUT_MOUSE;
        I.mi.dx = static_cast<LONG>((P.x * 65535LL + W / 2) / (W - 1));
        I.mi.dy = static_cast<LONG>((P.y * 65535LL + H / 2) / (H - 1));
        I.mi.dwFlags = MOUSEEVENTF_ABSOLUTE;
    }
    In[0].mi.dwFlags |= MOUSEEVENTF_MOVE;
    for (int C = 0; C < Clicks; ++C) {
        In[1 + 2 * C].mi.dwFlags |= MOUSEEVENTF_LEFTDOWN;
        In[2 + 2 * C].mi.dwFlags |= MOUSEEVENTF_LEFTUP;
    }
    SendInput(1, &In[0], sizeof(INPUT));
    SettleInput(30);
    SendInput(static_cast<UINT>(In.size() - 1), &In[1], sizeof(INPUT));
    SettleInput(60);
}

} // namespace

void ClickAt(HWND Window, int X, int Y) {
    ClicksAt(Window, X, Y, 1);
}

void DoubleClickAt(HWND Window, int X, int Y) {
    ClicksAt(Window, X, Y, 2);
}

std::string FocusClass() {
    const HWND Focus = GetFocus();
    if (!Focus) return "";
    char Name[128] = {};
    GetClassNameA(Focus, Name, sizeof Name);
    return Name;
}

} // namespace mv::app::test
