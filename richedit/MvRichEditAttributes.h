// Character and paragraph attribute objects of the rich-edit control. They keep
// no format of their own: each read asks the window, each write sends a format
// whose mask names exactly the fields that change.
#pragma once

#include "base/Object.h"
#include "gui/GraphicsObjects.h"

#include <windows.h>
#include <richedit.h>

#include <cstdint>
#include <string>

class TMvCustomRichEdit;

enum class TAttributeType : std::uint8_t { atDefaultText = 0, atSelected = 1, atWord = 2 };

class TMvTextAttributes : public TObject {
public:
    TMvTextAttributes(TMvCustomRichEdit& RichEdit, TAttributeType Kind);

    // The primitive transfers. GetCharFormat starts from a zeroed record sized for
    // the library version (CHARFORMAT2 or CHARFORMAT); without a window the zeroed
    // record is the answer and a set is dropped.
    void GetCharFormat(CHARFORMAT2A& Format) const;
    void SetCharFormat(CHARFORMAT2A& Format);

    TColor Color() const;
    void SetColor(TColor Value);
    std::string Name() const;
    void SetName(const std::string& Value);
    BYTE Charset() const;
    void SetCharset(BYTE Value);
    TFontPitch Pitch() const;
    void SetPitch(TFontPitch Value);
    int Size() const; // points
    void SetSize(int Value);
    TFontStyles Style() const;
    void SetStyle(TFontStyles Value);
    // Underline colour index 0..15 (library version 3 and later).
    int UnderlineColor() const;
    // Underline type; 0 removes the underline (library version 2 and later).
    void SetUnderlineType(BYTE Value);

    bool HasEffect(DWORD Mask) const;
    void SetEffect(DWORD Mask, bool Value);

    void Assign(const TMvTextAttributes& Source);
    void Assign(const TFont& Source);
    void AssignTo(TFont& Dest) const;

    TAttributeType Kind() const { return FKind; }

private:
    WPARAM FormatScope() const;
    void InitFormat(CHARFORMAT2A& Format) const;

    TMvCustomRichEdit& FRichEdit;
    TAttributeType FKind;
};

enum class TMvParaAlignment : std::uint8_t {
    paLeftJustify = 0,
    paRightJustify = 1,
    paCenter = 2,
    paJustify = 3
};

class TMvParaAttributes : public TObject {
public:
    explicit TMvParaAttributes(TMvCustomRichEdit& RichEdit);

    void GetParaFormat(PARAFORMAT2& Format) const;
    // Creates the window when needed.
    void SetParaFormat(PARAFORMAT2& Format);

    TMvParaAlignment Alignment() const;
    void SetAlignment(TMvParaAlignment Value);
    int FirstIndent() const; // points
    void SetFirstIndent(int Value);
    int LeftIndent() const;
    void SetLeftIndent(int Value);
    int RightIndent() const;
    void SetRightIndent(int Value);
    // 0 none, 1 bullets, 2 and above numbered.
    int Numbering() const;
    void SetNumbering(int Value);
    void SetNumberingStart(int Value);
    // 0 "1)", 1 "1.", 2 "(1)", 3 "1".
    void SetNumberingStyle(int Value);
    int TabCount() const;
    // Tab stop in points; Index 0..31 reads, 0..30 writes.
    int Tab(int Index) const;
    void SetTab(int Index, int Value);

    void Assign(const TMvParaAttributes& Source);

private:
    void InitFormat(PARAFORMAT2& Format) const;

    TMvCustomRichEdit& FRichEdit;
};
