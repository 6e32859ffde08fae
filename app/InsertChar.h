// TfrmInsertChar: the special-character picker of the note window. Every
// character from code 32 to 255 has a cell of its own, 32 to a row; a double
// click on a cell chooses its character and ends the dialog with OK.
#pragma once

#include "gui/Forms.h"

class TStringGrid;

class TfrmInsertChar : public TForm {
public:
    static constexpr int kFirstCode = 32;
    static constexpr int kColumns = 32;
    static constexpr int kRows = 7; // (256 - 32) / 32

    explicit TfrmInsertChar(TComponent* AOwner);
    ~TfrmInsertChar() override;

    TStringGrid* chars = nullptr;
    // The character chosen by a double click, read when the dialog ends with OK.
    char SelectedChar = 0;

    void FormCreate(TObject* Sender);
    void charsDblClick(TObject* Sender);
};

// Creates the picker on first use (the application owns it for the rest of the
// run), shows it modally and, when it ends with OK, gives the chosen
// Windows-1252 character in Chosen and returns true. Any other result returns
// false and leaves Chosen alone.
bool PickSpecialCharacter(char& Chosen);
