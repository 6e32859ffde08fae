// Stream conversions of the rich-edit line list: the conversion objects that
// move bytes between a stream and the rich-edit window, the process-wide list
// that holds them, and the pump that feeds the window's stream-in buffers.
// Nothing here touches a window, so the rules run in native tests too.
#pragma once

#include "base/Object.h"
#include "controls/MvExCodes.h"
#include "richedit/MvRichEditText.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

class TStream;

enum TRichStreamFormat : std::uint8_t { sfDefault, sfRichText, sfPlainText };
enum TRichStreamMode : std::uint8_t { smSelection, smPlainRtf, smNoObjects, smUnicode };
using TRichStreamModes = mv::controls::TMvSet<TRichStreamMode>;

// Kinds 1 and 3 are rich text, 0 and 2 plain text.
TRichStreamFormat StreamFormatOfKind(std::uint8_t Kind);

class TMvConversion : public TObject {
public:
    using TProgressEvent = std::function<void(TMvConversion*)>;

    TMvConversion() = default;
    TMvConversion(const TMvConversion&) = delete;
    TMvConversion& operator=(const TMvConversion&) = delete;

    virtual bool CanHandleExtension(const std::string& Ext, bool ForSave);
    virtual bool CanHandle(bool ForSave);
    virtual std::string GetFilter();
    virtual std::uint8_t TextKind();
    virtual bool IsFormatCorrectFile(const std::string& FileName);
    virtual bool IsFormatCorrectStream(TStream& Stream);
    virtual bool OpenFile(const std::string& FileName, bool ForSave);
    virtual bool OpenStream(TStream& Stream, bool ForSave);
    virtual void Init(std::uintptr_t ParentWindow);
    virtual void Done();
    virtual bool Retry();
    // Bytes moved, or -1 on failure.
    virtual int ConvertRead(char* Buffer, int Count);
    virtual int ConvertWrite(const char* Buffer, int Count);
    virtual bool Completed();
    virtual bool HasErrorMessage();
    virtual std::string GetErrorMessage();

    std::uintptr_t ParentWindow() const { return FParentWindow; }
    int PercentDone() const { return FPercentDone; }
    TProgressEvent OnProgress;

protected:
    // Clamps to 0..100 and fires OnProgress only on a change.
    void SetPercentDone(int Value);

private:
    std::uintptr_t FParentWindow = 0;
    int FPercentDone = 0;
};

// A conversion over a TStream, owned or borrowed.
class TMvStreamConversion : public TMvConversion {
public:
    bool OpenFile(const std::string& FileName, bool ForSave) override;
    bool OpenStream(TStream& Stream, bool ForSave) override;
    void Done() override;
    bool Retry() override;
    int ConvertRead(char* Buffer, int Count) override;
    int ConvertWrite(const char* Buffer, int Count) override;

    TStream* Stream() const { return FStream; }
    std::int64_t BytesMoved() const { return FCount; }
    // Whether the bytes written since the last open end with a closing brace.
    bool WrittenRtfComplete() const { return FTail.IsComplete(); }

private:
    void AddProgress(int Moved);

    TStream* FStream = nullptr;            // borrowed unless FOwnedStream holds it
    std::unique_ptr<TStream> FOwnedStream; // a file this conversion opened
    std::int64_t FStart = 0;
    std::int64_t FSize = 0;
    std::int64_t FCount = 0;
    mv::richedit::TRtfTailTracker FTail;
};

class TMvRTFConversion : public TMvStreamConversion {
public:
    bool CanHandleExtension(const std::string& Ext, bool ForSave) override;
    std::string GetFilter() override;
    std::uint8_t TextKind() override;
    bool IsFormatCorrectFile(const std::string& FileName) override;
    bool IsFormatCorrectStream(TStream& Stream) override;
};

class TMvTextConversion : public TMvStreamConversion {
public:
    bool CanHandleExtension(const std::string& Ext, bool ForSave) override;
    std::string GetFilter() override;
    std::uint8_t TextKind() override;
};

// The process-wide list of conversions: the RTF conversion first (the default),
// then the plain-text one. Created on first use, freed at shut-down.
class TConversionFormatList {
public:
    TConversionFormatList();
    static TConversionFormatList& Instance();

    int Count() const { return static_cast<int>(FItems.size()); }
    TMvConversion& Item(int Index) { return *FItems.at(static_cast<std::size_t>(Index)); }
    TMvConversion& Rtf() { return Item(FRtfIndex); }
    TMvConversion& Text() { return Item(FTextIndex); }

    // The conversion for a stream: RTF when saving, or when loading a stream
    // that carries the RTF signature; plain text otherwise. Returned Init'ed.
    TMvConversion& ForStream(TStream& Stream, bool ForSave, std::uintptr_t ParentWindow);
    // The conversion for a file name by its extension; the RTF one when none fits.
    TMvConversion& ForFile(const std::string& FileName, bool ForSave, std::uintptr_t ParentWindow);

private:
    std::vector<std::unique_ptr<TMvConversion>> FItems;
    int FRtfIndex = 0;
    int FTextIndex = 1;
};

// Feeds the window's stream-in buffers from a conversion. Plain 8-bit text has
// its line breaks made uniform on the way (a CR at a chunk end waits for the
// next chunk instead of being lost); other data passes through unchanged.
class TStreamInPump {
public:
    TStreamInPump(TMvConversion& Conversion, bool NormalizeBreaks);
    // Places up to Count bytes into Buffer; 0 at the end of the data, -1 when
    // the conversion failed.
    int Fill(char* Buffer, int Count);

private:
    TMvConversion& FConversion;
    bool FNormalize;
    bool FEnd = false;
    mv::richedit::TLineBreakNormalizer FNormalizer;
    std::string FOut;
    std::size_t FOutPos = 0;
    std::string FScratch;
};
