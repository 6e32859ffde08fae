// The special-character picker.
#include "app/InsertChar.h"

#include "gui/Application.h"
#include "gui/Grids.h"

namespace {

TfrmInsertChar* Picker = nullptr;

} // namespace

TfrmInsertChar::TfrmInsertChar(TComponent* AOwner) : TForm(AOwner) {
    SetCaption("Insert Character");
    SetBorderStyle(TFormBorderStyle::bsToolWindow);
    SetPosition(TPosition::poScreenCenter);

    chars = new TStringGrid(this);
    chars->SetParent(this);
    chars->SetColCount(kColumns);
    chars->SetRowCount(kRows);
    chars->SetDefaultColWidth(20);
    chars->SetDefaultRowHeight(30);
    chars->Font().SetSize(12);
    chars->SetParentFont(false);
    chars->OnDblClick = [this](TObject* Sender) { charsDblClick(Sender); };
    // The picker has no Cancel button: Escape closes it, choosing nothing.
    chars->OnKeyDown = [this](TObject*, WORD& Key, TShiftState) {
        if (Key != VK_ESCAPE) return;
        Key = 0;
        SetModalResult(mrCancel);
    };
    // The grid shows every cell: 32 columns of 20 pixels and 7 rows of 30, with
    // the one-pixel lines between them.
    const int Line = chars->GridLineWidth();
    SetClientSize(kColumns * (20 + Line), kRows * (30 + Line));
    chars->SetAlign(TAlign::alClient);
    FormCreate(this);
}

TfrmInsertChar::~TfrmInsertChar() {
    if (Picker == this) Picker = nullptr;
}

void TfrmInsertChar::FormCreate(TObject*) {
    for (int Code = kFirstCode; Code < 256; ++Code) {
        const int Index = Code - kFirstCode;
        chars->SetCells(Index % kColumns, Index / kColumns, std::string(1, static_cast<char>(Code)));
    }
}

void TfrmInsertChar::charsDblClick(TObject*) {
    // Only a double click on a cell that holds a character chooses it.
    int Col = 0, Row = 0;
    if (!chars->PressedCell(Col, Row)) return;
    const std::string& Text = chars->Cells(Col, Row);
    if (Text.empty()) return;
    SelectedChar = Text[0];
    SetModalResult(mrOk);
}

bool PickSpecialCharacter(char& Chosen) {
    if (!Picker) {
        Picker = new TfrmInsertChar(Application);
    }
    if (Picker->ShowModal() != mrOk) return false;
    Chosen = Picker->SelectedChar;
    return true;
}
