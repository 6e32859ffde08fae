// Window-free vocabulary of the control base-class layer: the keyboard
// dialog-code set with its window-manager flags, the clipboard-command set of
// the edit members, and the key-data bits of the shift keys.
#pragma once

#include <cstdint>
#include <initializer_list>

namespace mv::controls {

// A set of a small enumeration, one bit per element.
template <typename E> class TMvSet {
public:
    constexpr TMvSet() = default;
    constexpr TMvSet(std::initializer_list<E> Elements) {
        for (E El : Elements)
            FBits |= Bit(El);
    }
    static constexpr TMvSet FromBits(std::uint32_t Bits) {
        TMvSet S;
        S.FBits = Bits;
        return S;
    }
    constexpr std::uint32_t Bits() const { return FBits; }
    constexpr bool Contains(E El) const { return (FBits & Bit(El)) != 0; }
    constexpr bool Empty() const { return FBits == 0; }
    constexpr void Include(E El) { FBits |= Bit(El); }
    constexpr void Exclude(E El) { FBits &= ~Bit(El); }
    friend constexpr bool operator==(TMvSet, TMvSet) = default;

private:
    static constexpr std::uint32_t Bit(E El) { return 1u << static_cast<unsigned>(El); }
    std::uint32_t FBits = 0;
};

enum TDialogCode : std::uint8_t {
    dgWantAllKeys,
    dgWantArrows,
    dgWantChars,
    dgButton,
    dgHasSetSel,
    dgWantTab,
    dgNative, // keep the library's own reply
};
using TDialogCodeSet = TMvSet<TDialogCode>;

// Flags of the WM_GETDLGCODE reply, as the window manager defines them.
namespace dlgc {
constexpr std::uint32_t WantArrows = 0x0001;
constexpr std::uint32_t WantTab = 0x0002;
constexpr std::uint32_t WantAllKeys = 0x0004;
constexpr std::uint32_t HasSetSel = 0x0008;
constexpr std::uint32_t WantChars = 0x0080;
constexpr std::uint32_t Button = 0x2000;
} // namespace dlgc

TDialogCodeSet DlgcToDialogCodes(std::uint32_t Flags);
std::uint32_t DialogCodesToDlgc(TDialogCodeSet Codes);

enum TMvClipboardCommand : std::uint8_t { caCopy, caCut, caPaste, caClear, caUndo };
using TMvClipboardCommands = TMvSet<TMvClipboardCommand>;

constexpr TMvClipboardCommands kAllClipboardCommands{caCopy, caCut, caPaste, caClear, caUndo}; // 31
// What an edit without a ClipboardCommands property allows.
constexpr TMvClipboardCommands kPlainEditClipboardCommands{caCopy, caCut, caPaste, caUndo}; // 23

// The command that gates a clipboard or undo message (WM_CUT, WM_COPY,
// WM_PASTE, WM_CLEAR, WM_UNDO, EM_UNDO); false for any other message.
bool ClipboardCommandForMessage(std::uint32_t Msg, TMvClipboardCommand& Command);

// Key-data bits of the shift keys in a CM_DIALOGCHAR / WM_CHAR key data word.
namespace keydata {
constexpr std::uint32_t Alt = 0x20000000;
constexpr std::uint32_t Ctrl = 0x10000000;
constexpr std::uint32_t Shift = 0x08000000;
} // namespace keydata
std::uint32_t KeyDataFromShiftFlags(bool Shift, bool Alt, bool Ctrl);

} // namespace mv::controls
