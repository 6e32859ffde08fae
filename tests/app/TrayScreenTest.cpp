// The real Miravelund.exe's icon in Wine's notification area: found by its
// picture in a screenshot of the tray, which goes to screens/tray.png.
#include "tests/app/ProgramProcess.h"
#include "tests/app/Screens.h"

#include <gtest/gtest.h>

#include <cstdlib>

using namespace mv::app::test;

namespace {

// Wine's own notification area when no desktop shell offers one.
HWND WaitForTray(DWORD Milliseconds) {
    const DWORD Start = GetTickCount();
    for (;;) {
        HWND Tray = FindWindowA(nullptr, "Wine System Tray");
        if (Tray && IsWindowVisible(Tray)) return Tray;
        if (GetTickCount() - Start > Milliseconds) return nullptr;
        Sleep(100);
    }
}

// The program's icon as the tray draws it: small, over Background; Opaque
// marks the pixels the mask leaves to the picture.
TPicture ProgramIcon(uint32_t Background, std::vector<bool>& Opaque) {
    const int Size = GetSystemMetrics(SM_CXSMICON);
    HMODULE Program = LoadLibraryExA(ProgramPath().c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    HICON Icon =
        Program ? static_cast<HICON>(LoadImageA(Program, "MAINICON", IMAGE_ICON, Size, Size, 0)) : nullptr;
    TPicture Picture, Other;
    if (Icon) {
        Picture = DrawIcon(Icon, Size, Background);
        Other = DrawIcon(Icon, Size, Background ^ 0xFFFFFF);
        DestroyIcon(Icon);
    }
    if (Program) FreeLibrary(Program);
    Opaque.assign(Picture.Pixels.size(), false);
    for (size_t I = 0; I < Picture.Pixels.size(); ++I)
        Opaque[I] = Picture.Pixels[I] == Other.Pixels[I];
    return Picture;
}

bool Near(uint32_t A, uint32_t B) {
    for (int Shift = 0; Shift < 24; Shift += 8)
        if (std::abs(int((A >> Shift) & 0xFF) - int((B >> Shift) & 0xFF)) > 24) return false;
    return true;
}

// Whether Icon's opaque pixels appear somewhere in Screen (nearly all of them).
bool Shows(const TPicture& Screen, const TPicture& Icon, const std::vector<bool>& Opaque) {
    int OpaqueCount = 0;
    for (bool O : Opaque)
        OpaqueCount += O;
    if (OpaqueCount == 0) return false;
    for (int Y = 0; Y + Icon.Height <= Screen.Height; ++Y)
        for (int X = 0; X + Icon.Width <= Screen.Width; ++X) {
            int Matched = 0;
            for (int V = 0; V < Icon.Height; ++V)
                for (int U = 0; U < Icon.Width; ++U)
                    if (Opaque[size_t(V) * Icon.Width + U] && Near(Screen.At(X + U, Y + V), Icon.At(U, V)))
                        ++Matched;
            if (Matched * 10 >= OpaqueCount * 9) return true;
        }
    return false;
}

} // namespace

TEST(ProgramProcess, TheTrayShowsTheProgramsIcon) {
    TProgramFolder Folder("tray");
    TChildProcess Program(Folder.File("Miravelund.exe"), "", Folder.Path());
    ASSERT_NE(WaitForWindow(Program.Id(), ":Home", 60000, "TfrmNote"), nullptr);
    HWND Tray = WaitForTray(10000);
    ASSERT_NE(Tray, nullptr) << "Wine's notification area did not appear";
    // Out from under the note window, into a free corner of the screen.
    RECT Window{};
    GetWindowRect(Tray, &Window);
    const int W = Window.right - Window.left, H = Window.bottom - Window.top;
    const int X = GetSystemMetrics(SM_CXSCREEN) - W - 8, Y = GetSystemMetrics(SM_CYSCREEN) - H - 8;
    SetWindowPos(Tray, HWND_TOPMOST, X, Y, 0, 0, SWP_NOSIZE | SWP_NOACTIVATE);
    RedrawWindow(Tray, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN);

    // Another process paints the tray: capture it until the icon shows there.
    std::vector<bool> Opaque;
    TPicture Icon, Icons;
    bool Shown = false;
    for (const DWORD Start = GetTickCount(); !Shown && GetTickCount() - Start < 10000; Sleep(50)) {
        RECT Client{};
        GetClientRect(Tray, &Client);
        POINT Origin{0, 0};
        ClientToScreen(Tray, &Origin);
        Icons = CaptureScreen(RECT{Origin.x, Origin.y, Origin.x + Client.right, Origin.y + Client.bottom});
        ASSERT_GT(Icons.Width, 0);
        // The tray's own background: its first pixel.
        Icon = ProgramIcon(Icons.At(0, 0), Opaque);
        ASSERT_GT(Icon.Width, 0) << "no MAINICON in the program";
        Shown = Shows(Icons, Icon, Opaque);
    }
    GetWindowRect(Tray, &Window);
    EXPECT_TRUE(SaveScreen(CaptureScreen(Window), "tray"));
    // Enough of it stands out from the tray's background that a blank slot
    // cannot pass for it.
    int Standing = 0;
    for (size_t I = 0; I < Icon.Pixels.size(); ++I)
        Standing += Opaque[I] && !Near(Icon.Pixels[I], Icons.At(0, 0));
    ASSERT_GT(Standing, Icon.Width * Icon.Height / 4);
    EXPECT_TRUE(Shown) << "the program's icon is not in the tray (see screens/tray.png)";
    // An orderly end; the icon can show before the hidden main window exists.
    HWND Main = WaitForMainWindow(Program.Id(), 30000);
    ASSERT_NE(Main, nullptr);
    DWORD_PTR Reply = 0;
    ASSERT_NE(SendMessageTimeoutA(Main, WM_ENDSESSION, TRUE, 0, SMTO_NORMAL, 30000, &Reply), 0);
    EXPECT_TRUE(Program.WaitForExit(30000));
}
