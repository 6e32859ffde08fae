// The shared edit context menu (Undo, Cut, Copy, Paste, Delete, Select All) for
// edit controls that have no menu of their own: one per process, bound to
// whichever edit asks for it.
#pragma once

#include "gui/Menus.h"
#include "gui/WinControl.h"
#include "richedit/MvEditMenuRules.h"

// The shared menu bound to Edit; with Update, its items are enabled for the
// edit's current state first.
TPopupMenu* GetFixedEditPopup(TWinControl* Edit, bool Update);

// The state the menu would show for Edit (what Update applies).
mv::richedit::TEditMenuState FixedEditPopupState(TWinControl* Edit);

// Frees the shared object (done at shut-down; tests use it to start afresh).
void FreeFixedEditPopup();

// Item indexes of the shared menu.
enum TFixedEditItem { feUndo = 0, feCut = 2, feCopy = 3, fePaste = 4, feDelete = 5, feSelectAll = 7 };
