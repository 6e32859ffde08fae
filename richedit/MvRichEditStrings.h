// TMvRichEditStrings: the Lines of the rich-edit control. Single lines are read
// and written through edit messages; the whole text moves in and out of the
// window as RTF or plain text through the stream conversions.
#pragma once

#include "base/StringList.h"
#include "richedit/MvConversions.h"

#include <string>

class TMvCustomRichEdit;

class TMvRichEditStrings : public TStrings {
public:
    explicit TMvRichEditStrings(TMvCustomRichEdit& RichEdit);

    int Count() const override;
    std::string Get(int Index) const override;
    void Put(int Index, const std::string& S) override;
    void Insert(int Index, const std::string& S) override;
    void Delete(int Index) override;
    void Clear() override;
    void SetText(const std::string& Text) override;
    // The inherited operation with the control's OnSelectionChange off meanwhile.
    void AddStrings(const TStrings& Source);

    // The whole text: RTF when the stream starts with "{\rtf" (any ASCII case),
    // else plain text with uniform line breaks. A save always goes through the
    // RTF conversion and raises "Failed to Save Stream" rather than store less
    // than the whole text.
    void LoadFromStream(TStream& Stream) override;
    void SaveToStream(TStream& Stream) const override;
    // The conversion is chosen by the file's extension (".rtf", ".txt").
    void LoadFromFile(const std::string& FileName);
    void SaveToFile(const std::string& FileName) const;

    TRichStreamFormat StreamFormat() const { return FStreamFormat; }
    void SetStreamFormat(TRichStreamFormat Value) { FStreamFormat = Value; }
    TRichStreamModes StreamMode() const { return FStreamMode; }
    void SetStreamMode(TRichStreamModes Value) { FStreamMode = Value; }

protected:
    void SetUpdateState(bool Updating) override;

private:
    void Load(TMvConversion& Conversion, bool FromFile, TStream* Stream, const std::string& FileName);
    void Save(TMvConversion& Conversion, bool FromFile, TStream* Stream, const std::string& FileName) const;
    void StreamIn(TMvConversion& Conversion, TRichStreamFormat Format);
    void StreamOut(TMvConversion& Conversion, TRichStreamFormat Format) const;
    // The format a load or save runs with, from StreamFormat, PlainText and the conversion.
    TRichStreamFormat EffectiveFormat(TMvConversion& Conversion) const;
    std::uintptr_t ConversionParent() const;

    TMvCustomRichEdit& FRichEdit;
    TRichStreamFormat FStreamFormat = sfDefault;
    TRichStreamModes FStreamMode;
};
