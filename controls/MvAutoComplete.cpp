// TMvAutoComplete and the string enumerator it hands to the shell's object.
#include "controls/MvAutoComplete.h"

#include <objbase.h>
#include <shldisp.h>

#include <atomic>

namespace {

// {00BB2763-6A77-11D0-A535-00C04FD7D062}: the shell's auto-complete object.
const CLSID kAutoCompleteClass = {
    0x00BB2763, 0x6A77, 0x11D0, {0xA5, 0x35, 0x00, 0xC0, 0x4F, 0xD7, 0xD0, 0x62}};

std::wstring Widened(const std::string& Text) {
    if (Text.empty()) return std::wstring();
    const int Length = MultiByteToWideChar(CP_ACP, 0, Text.data(), static_cast<int>(Text.size()), nullptr, 0);
    std::wstring Wide(static_cast<size_t>(Length > 0 ? Length : 0), L'\0');
    if (Length > 0)
        MultiByteToWideChar(CP_ACP, 0, Text.data(), static_cast<int>(Text.size()), Wide.data(), Length);
    return Wide;
}

// Walks the edit's list as it is when the object asks (the list is shared, so it
// stays alive for an object that outlives the edit); each string handed out is a
// wide copy in task memory that the object frees.
class TStringEnumerator final : public IEnumString {
public:
    explicit TStringEnumerator(std::shared_ptr<const TStrings> Strings, ULONG At = 0)
        : FStrings(std::move(Strings)), FAt(At) {}

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID Riid, void** Object) override {
        if (!Object) return E_POINTER;
        if (IsEqualIID(Riid, IID_IUnknown) || IsEqualIID(Riid, IID_IEnumString)) {
            *Object = static_cast<IEnumString*>(this);
            AddRef();
            return S_OK;
        }
        *Object = nullptr;
        return E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return ++FCount; }
    ULONG STDMETHODCALLTYPE Release() override {
        const ULONG Left = --FCount;
        if (Left == 0) delete this;
        return Left;
    }

    HRESULT STDMETHODCALLTYPE Next(ULONG Wanted, LPOLESTR* Out, ULONG* Fetched) override {
        if (!Out || (Wanted > 1 && !Fetched)) return E_POINTER;
        ULONG Given = 0;
        while (Given < Wanted && FAt < Size()) {
            const std::wstring S = Widened(FStrings->Get(static_cast<int>(FAt)));
            auto* Copy = static_cast<LPOLESTR>(CoTaskMemAlloc((S.size() + 1) * sizeof(wchar_t)));
            if (!Copy) break;
            S.copy(Copy, S.size());
            Copy[S.size()] = L'\0';
            Out[Given++] = Copy;
            ++FAt;
        }
        if (Fetched) *Fetched = Given;
        return Given == Wanted ? S_OK : S_FALSE;
    }
    HRESULT STDMETHODCALLTYPE Skip(ULONG Count) override {
        const ULONG Left = FAt < Size() ? Size() - FAt : 0;
        FAt += Count < Left ? Count : Left;
        return Count <= Left ? S_OK : S_FALSE;
    }
    HRESULT STDMETHODCALLTYPE Reset() override {
        FAt = 0;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE Clone(IEnumString** Out) override {
        if (!Out) return E_POINTER;
        *Out = new TStringEnumerator(FStrings, FAt);
        return S_OK;
    }

private:
    ~TStringEnumerator() = default;
    ULONG Size() const { return static_cast<ULONG>(FStrings->Count()); }
    std::shared_ptr<const TStrings> FStrings;
    ULONG FAt;
    std::atomic<ULONG> FCount{1};
};

} // namespace

DWORD MvAutoCompleteFlags(TMvAutoCompleteOptions Options) {
    DWORD Flags = 0;
    if (Options & acoAutoSuggest) Flags |= ACO_AUTOSUGGEST;
    if (Options & acoAutoAppend) Flags |= ACO_AUTOAPPEND;
    if (Options & acoSearch) Flags |= ACO_SEARCH;
    if (Options & acoFilterPrefixes) Flags |= ACO_FILTERPREFIXES;
    if (Options & acoUseTab) Flags |= ACO_USETAB;
    if (Options & acoUpDownKeyDropsList) Flags |= ACO_UPDOWNKEYDROPSLIST;
    if (Options & acoRtlReading) Flags |= ACO_RTLREADING;
    return Flags;
}

TMvAutoComplete::~TMvAutoComplete() {
    Release();
}

bool TMvAutoComplete::Bind(HWND Edit, std::shared_ptr<const TStrings> Source,
                           TMvAutoCompleteOptions Options) {
    Release();
    if (!Edit || !Source || !(Options & acoAutoComplete)) return false;
    IAutoComplete* Object = nullptr;
    if (FAILED(CoCreateInstance(kAutoCompleteClass, nullptr, CLSCTX_INPROC_SERVER, __uuidof(IAutoComplete),
                                reinterpret_cast<void**>(&Object))) ||
        !Object)
        return false;
    auto* Enumerator = new TStringEnumerator(std::move(Source));
    const HRESULT Bound = Object->Init(Edit, Enumerator, nullptr, nullptr);
    Enumerator->Release(); // the object keeps its own reference
    if (FAILED(Bound)) {
        Object->Release();
        return false;
    }
    FObject = Object;
    SetOptions(Options);
    return true;
}

void TMvAutoComplete::SetOptions(TMvAutoCompleteOptions Options) {
    if (!FObject) return;
    const DWORD Flags = MvAutoCompleteFlags(Options);
    if (!Flags) return;
    IAutoComplete2* Second = nullptr;
    if (SUCCEEDED(FObject->QueryInterface(__uuidof(IAutoComplete2), reinterpret_cast<void**>(&Second))) &&
        Second) {
        Second->SetOptions(Flags);
        Second->Release();
    }
}

void TMvAutoComplete::Release() {
    if (!FObject) return;
    FObject->Enable(FALSE);
    FObject->Release();
    FObject = nullptr;
}
