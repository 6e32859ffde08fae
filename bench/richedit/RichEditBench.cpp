// Streams a ~1 MB formatted RTF text and a 5,000-line plain text in and out of
// TMvRichEdit and, in the same run, of a bare RichEdit20A window driven with
// EM_STREAMIN / EM_STREAMOUT directly. Loads go into fresh windows (emptying a
// window that holds a large text is itself slow in some rich edits, and is not
// what is measured here).
#include "bench/richedit/RichEditBenchData.h"
#include "bench/support/MedianReporter.h"

#include "base/Streams.h"
#include "gui/Forms.h"
#include "richedit/MvRichEdit.h"
#include "richedit/MvRichEditStrings.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstring>
#include <memory>
#include <string>

namespace {

const std::string& Rtf() {
    static const std::string S = MakeFormattedRtf(1024 * 1024);
    return S;
}
const std::string& Plain() {
    static const std::string S = MakePlainLines(5000);
    return S;
}

struct TInCookie {
    const std::string* Data;
    std::size_t Pos;
};

DWORD CALLBACK BareInCallback(DWORD_PTR Cookie, LPBYTE Buffer, LONG Count, LONG* Done) {
    auto* C = reinterpret_cast<TInCookie*>(Cookie);
    const std::size_t N = std::min<std::size_t>(static_cast<std::size_t>(Count), C->Data->size() - C->Pos);
    std::memcpy(Buffer, C->Data->data() + C->Pos, N);
    C->Pos += N;
    *Done = static_cast<LONG>(N);
    return 0;
}

DWORD CALLBACK BareOutCallback(DWORD_PTR Cookie, LPBYTE Buffer, LONG Count, LONG* Done) {
    reinterpret_cast<std::string*>(Cookie)->append(reinterpret_cast<const char*>(Buffer),
                                                   static_cast<std::size_t>(Count));
    *Done = Count;
    return 0;
}

// Hands out the window styles the control asks for when it creates its window.
// These, not what GetWindowLong reports afterwards, are what a bare window must
// be created with: a rich edit clears WS_VSCROLL from its style while its text
// fits, and a bare window created without it never shows a scroll bar, so it
// never wraps its text a second time at the narrower width that a long text in
// the control's window is wrapped at once the bar appears.
class TStyleTemplate : public TMvRichEdit {
public:
    using TMvRichEdit::TMvRichEdit;
    TCreateParams RequestedParams() {
        TCreateParams P;
        CreateParams(P);
        return P;
    }
};

// The form both kinds of window live on, and a template control whose window
// styles and font the bare windows copy, so that only the wrapper differs. The
// template sits on the left; the windows measured all take the same place on
// the right, one at a time, overlapping nothing.
class TBenchHost {
public:
    TBenchHost() {
        Application->Initialize();
        FForm = std::make_unique<TForm>(nullptr);
        FForm->SetBounds(0, 0, 800, 600);
        FForm->Show();
        FTemplate = std::make_unique<TStyleTemplate>(nullptr);
        FTemplate->SetParent(FForm.get());
        FTemplate->SetBounds(0, 0, 390, 500);
        FTemplate->HandleNeeded();
        const TCreateParams P = FTemplate->RequestedParams();
        FStyle = P.Style;
        FExStyle = P.ExStyle;
    }
    std::unique_ptr<TMvRichEdit> NewEdit() {
        auto E = std::make_unique<TMvRichEdit>(nullptr);
        E->SetParent(FForm.get());
        E->SetBounds(400, 0, 390, 500);
        E->HandleNeeded();
        return E;
    }
    HWND NewBare() {
        HWND W = CreateWindowExA(FExStyle, "RichEdit20A", "", FStyle | WS_VISIBLE, 400, 0, 390, 500,
                                 FForm->Handle(), nullptr, GetModuleHandleA(nullptr), nullptr);
        SendMessageA(W, EM_EXLIMITTEXT, 0, 0xFFFFFF);
        SendMessageA(W, WM_SETFONT, reinterpret_cast<WPARAM>(FTemplate->Font().Handle()), 0);
        return W;
    }

private:
    std::unique_ptr<TForm> FForm;
    std::unique_ptr<TStyleTemplate> FTemplate;
    DWORD FStyle = 0, FExStyle = 0;
};

TBenchHost& Host() {
    static TBenchHost H;
    return H;
}

// A load as an editor does it: stream in, then put the caret at the start and
// scroll it into view.
void BareIn(HWND W, const std::string& Data, DWORD Format) {
    TInCookie C{&Data, 0};
    EDITSTREAM ES{reinterpret_cast<DWORD_PTR>(&C), 0, BareInCallback};
    SendMessageA(W, EM_STREAMIN, Format, reinterpret_cast<LPARAM>(&ES));
    CHARRANGE Start{0, 0};
    SendMessageA(W, EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&Start));
    SendMessageA(W, EM_SCROLLCARET, 0, 0);
}

std::size_t BareOut(HWND W, DWORD Format) {
    std::string Out;
    EDITSTREAM ES{reinterpret_cast<DWORD_PTR>(&Out), 0, BareOutCallback};
    SendMessageA(W, EM_STREAMOUT, Format, reinterpret_cast<LPARAM>(&ES));
    return Out.size();
}

void MvLoad(TMvRichEdit& E, const std::string& Data) {
    TStringStream S(Data);
    E.Lines().LoadFromStream(S);
}

std::size_t MvSave(TMvRichEdit& E) {
    TStringStream S;
    E.Lines().SaveToStream(S);
    return S.DataString().size();
}

void LoadBare(benchmark::State& State, const std::string& Data, DWORD Format) {
    for (auto _ : State) {
        State.PauseTiming();
        HWND W = Host().NewBare();
        State.ResumeTiming();
        BareIn(W, Data, Format);
        State.PauseTiming();
        DestroyWindow(W);
        State.ResumeTiming();
    }
    State.SetBytesProcessed(static_cast<int64_t>(State.iterations() * Data.size()));
}

void LoadMv(benchmark::State& State, const std::string& Data) {
    for (auto _ : State) {
        State.PauseTiming();
        auto E = Host().NewEdit();
        State.ResumeTiming();
        MvLoad(*E, Data);
        State.PauseTiming();
        E.reset();
        State.ResumeTiming();
    }
    State.SetBytesProcessed(static_cast<int64_t>(State.iterations() * Data.size()));
}

// Bare EM_STREAMIN into the control's own window: what the window costs
// without any of the control's streaming code.
void LoadMvWindowRaw(benchmark::State& State, const std::string& Data, DWORD Format) {
    for (auto _ : State) {
        State.PauseTiming();
        auto E = Host().NewEdit();
        State.ResumeTiming();
        BareIn(E->Handle(), Data, Format);
        State.PauseTiming();
        E.reset();
        State.ResumeTiming();
    }
}

void SaveBare(benchmark::State& State, const std::string& Data, DWORD Format) {
    HWND W = Host().NewBare();
    BareIn(W, Data, Format);
    for (auto _ : State)
        benchmark::DoNotOptimize(BareOut(W, SF_RTF));
    DestroyWindow(W);
}

void SaveMv(benchmark::State& State, const std::string& Data) {
    auto E = Host().NewEdit();
    MvLoad(*E, Data);
    for (auto _ : State)
        benchmark::DoNotOptimize(MvSave(*E));
}

void BM_RtfIn_Bare(benchmark::State& S) {
    LoadBare(S, Rtf(), SF_RTF);
}
void BM_RtfIn_MvRichEdit(benchmark::State& S) {
    LoadMv(S, Rtf());
}
void BM_RtfIn_MvWindowRaw(benchmark::State& S) {
    LoadMvWindowRaw(S, Rtf(), SF_RTF);
}
void BM_TextIn_MvWindowRaw(benchmark::State& S) {
    LoadMvWindowRaw(S, Plain(), SF_TEXT);
}
void BM_RtfOut_Bare(benchmark::State& S) {
    SaveBare(S, Rtf(), SF_RTF);
}
void BM_RtfOut_MvRichEdit(benchmark::State& S) {
    SaveMv(S, Rtf());
}
void BM_TextIn_Bare(benchmark::State& S) {
    LoadBare(S, Plain(), SF_TEXT);
}
void BM_TextIn_MvRichEdit(benchmark::State& S) {
    LoadMv(S, Plain());
}
void BM_TextOut_Bare(benchmark::State& S) {
    SaveBare(S, Plain(), SF_TEXT);
}
void BM_TextOut_MvRichEdit(benchmark::State& S) {
    SaveMv(S, Plain());
}

} // namespace

BENCHMARK(BM_RtfIn_Bare)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_RtfIn_MvRichEdit)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_RtfIn_MvWindowRaw)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_RtfOut_Bare)->Unit(benchmark::kMillisecond)->Iterations(10);
BENCHMARK(BM_RtfOut_MvRichEdit)->Unit(benchmark::kMillisecond)->Iterations(10);
BENCHMARK(BM_TextIn_Bare)->Unit(benchmark::kMillisecond)->Iterations(5);
BENCHMARK(BM_TextIn_MvRichEdit)->Unit(benchmark::kMillisecond)->Iterations(5);
BENCHMARK(BM_TextIn_MvWindowRaw)->Unit(benchmark::kMillisecond)->Iterations(5);
BENCHMARK(BM_TextOut_Bare)->Unit(benchmark::kMillisecond)->Iterations(10);
BENCHMARK(BM_TextOut_MvRichEdit)->Unit(benchmark::kMillisecond)->Iterations(10);

int main(int argc, char** argv) {
    Host();
    TMedianReporter Reporter;
    RunBenchmarks(argc, argv, Reporter);
    std::printf("\nmedians of the rounds, the lowest and the highest in brackets:\n");
    for (const char* Step : {"RtfIn", "RtfOut", "TextIn", "TextOut"})
        PrintComparison(
            std::string(Step) + ": TMvRichEdit / bare RichEdit20A",
            Reporter.Ratio(std::string("BM_") + Step + "_MvRichEdit", std::string("BM_") + Step + "_Bare"),
            "ms");
    benchmark::Shutdown();
    return 0;
}
