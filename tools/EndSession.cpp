// Sends a running Miravelund the message Windows sends when the session ends
// (WM_ENDSESSION with a non-zero flag), so that scripts can shut it down the way
// Windows would: it saves its notes, runs its checkpoint and quits.
// Exit status 0 when the main window was found and answered, 1 otherwise.
#include <windows.h>

#include <cstring>

namespace {

BOOL CALLBACK FindMainWindow(HWND Window, LPARAM Param) {
    char ClassName[64] = {};
    GetClassNameA(Window, ClassName, sizeof ClassName);
    if (std::strcmp(ClassName, "TfrmMain") == 0) {
        *reinterpret_cast<HWND*>(Param) = Window;
        return FALSE;
    }
    return TRUE;
}

} // namespace

int main() {
    HWND Main = nullptr;
    EnumWindows(FindMainWindow, reinterpret_cast<LPARAM>(&Main));
    if (Main == nullptr) return 1;
    DWORD_PTR Reply = 0;
    const LRESULT Sent = SendMessageTimeoutA(Main, WM_ENDSESSION, TRUE, 0, SMTO_NORMAL, 30000, &Reply);
    return Sent != 0 ? 0 : 1;
}
