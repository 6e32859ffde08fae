// bare_window: the smallest Win32 program with a visible window, the yardstick
// for Miravelund's start-up time.
#include <windows.h>

namespace {
LRESULT CALLBACK WindowProc(HWND Window, UINT Msg, WPARAM WParam, LPARAM LParam) {
    if (Msg == WM_DESTROY) {
        PostQuitMessage(0);
        return 0;
    }
    return DefWindowProcA(Window, Msg, WParam, LParam);
}
} // namespace

int WINAPI WinMain(HINSTANCE Instance, HINSTANCE, LPSTR, int) {
    WNDCLASSA Class{};
    Class.lpfnWndProc = WindowProc;
    Class.hInstance = Instance;
    Class.lpszClassName = "BareWindow";
    Class.hCursor = LoadCursor(nullptr, IDC_ARROW);
    RegisterClassA(&Class);
    HWND Window = CreateWindowA("BareWindow", "Bare window", WS_OVERLAPPEDWINDOW, CW_USEDEFAULT,
                                CW_USEDEFAULT, 400, 300, nullptr, nullptr, Instance, nullptr);
    ShowWindow(Window, SW_SHOW);
    MSG Msg;
    while (GetMessageA(&Msg, nullptr, 0, 0) > 0) {
        TranslateMessage(&Msg);
        DispatchMessageA(&Msg);
    }
    return 0;
}
