// Streams a ~1 MB formatted RTF text and a 5,000-line plain text in and out of
// TMvRichEdit and, in the same run, of a bare RichEdit20A window driven with
// EM_STREAMIN / EM_STREAMOUT directly.
#include "bench/richedit/RichEditBenchData.h"

#include "base/Streams.h"
#include "gui/Forms.h"
#include "richedit/MvRichEdit.h"
#include "richedit/MvRichEditStrings.h"

#include <benchmark/benchmark.h>

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

DWORD CALLBACK BareIn(DWORD_PTR Cookie, LPBYTE Buffer, LONG Count, LONG* Done) {
    auto* C = reinterpret_cast<TInCookie*>(Cookie);
    const std::size_t N = std::min<std::size_t>(static_cast<std::size_t>(Count), C->Data->size() - C->Pos);
    std::memcpy(Buffer, C->Data->data() + C->Pos, N);
    C->Pos += N;
    *Done = static_cast<LONG>(N);
    return 0;
}

DWORD CALLBACK BareOut(DWORD_PTR Cookie, LPBYTE Buffer, LONG Count, LONG* Done) {
    reinterpret_cast<std::string*>(Cookie)->append(reinterpret_cast<const char*>(Buffer),
                                                   static_cast<std::size_t>(Count));
    *Done = Count;
    return 0;
}

class TBenchWindows {
public:
    TBenchWindows() {
        Application->Initialize();
        FForm = std::make_unique<TForm>(nullptr);
        FForm->SetBounds(0, 0, 800, 600);
        FForm->Show();
        FEdit = new TMvRichEdit(FForm.get());
        FEdit->SetParent(FForm.get());
        FEdit->SetBounds(0, 0, 390, 500);
        FEdit->HandleNeeded();
        // The same window styles as the control, so that only the wrapper differs.
        const DWORD Style = static_cast<DWORD>(GetWindowLongA(FEdit->Handle(), GWL_STYLE));
        const DWORD ExStyle = static_cast<DWORD>(GetWindowLongA(FEdit->Handle(), GWL_EXSTYLE));
        FBare = CreateWindowExA(ExStyle, "RichEdit20A", "", Style | WS_VISIBLE, 400, 0, 390, 500,
                                FForm->Handle(), nullptr, GetModuleHandleA(nullptr), nullptr);
        SendMessageA(FBare, EM_EXLIMITTEXT, 0, 0xFFFFFF);
    }
    ~TBenchWindows() {
        DestroyWindow(FBare);
        FForm.reset();
    }
    TMvRichEdit& Edit() { return *FEdit; }
    HWND Bare() const { return FBare; }

    void BareIn(const std::string& Data, DWORD Format) {
        TInCookie C{&Data, 0};
        EDITSTREAM ES{reinterpret_cast<DWORD_PTR>(&C), 0, ::BareIn};
        SendMessageA(FBare, EM_STREAMIN, Format, reinterpret_cast<LPARAM>(&ES));
    }
    std::string BareOut(DWORD Format) {
        std::string Out;
        EDITSTREAM ES{reinterpret_cast<DWORD_PTR>(&Out), 0, ::BareOut};
        SendMessageA(FBare, EM_STREAMOUT, Format, reinterpret_cast<LPARAM>(&ES));
        return Out;
    }

private:
    std::unique_ptr<TForm> FForm;
    TMvRichEdit* FEdit = nullptr;
    HWND FBare = nullptr;
};

TBenchWindows& Windows() {
    static TBenchWindows W;
    return W;
}

void MvLoad(const std::string& Data) {
    TStringStream S(Data);
    Windows().Edit().Lines().LoadFromStream(S);
}

std::size_t MvSave() {
    TStringStream S;
    Windows().Edit().Lines().SaveToStream(S);
    return S.DataString().size();
}

// Emptying a window that holds a large text is slow in some rich edits; it is
// done untimed before each load so that only the stream-in is measured.
void EmptyBothNow() {
    SendMessageA(Windows().Bare(), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(""));
    Windows().Edit().Clear();
}

void EmptyBoth(benchmark::State& State) {
    State.PauseTiming();
    EmptyBothNow();
    State.ResumeTiming();
}

void BM_RtfIn_Bare(benchmark::State& State) {
    for (auto _ : State) {
        EmptyBoth(State);
        Windows().BareIn(Rtf(), SF_RTF);
    }
    State.SetBytesProcessed(static_cast<int64_t>(State.iterations() * Rtf().size()));
}
void BM_RtfIn_MvRichEdit(benchmark::State& State) {
    for (auto _ : State) {
        EmptyBoth(State);
        MvLoad(Rtf());
    }
    State.SetBytesProcessed(static_cast<int64_t>(State.iterations() * Rtf().size()));
}
void BM_RtfOut_Bare(benchmark::State& State) {
    EmptyBothNow();
    Windows().BareIn(Rtf(), SF_RTF);
    for (auto _ : State)
        benchmark::DoNotOptimize(Windows().BareOut(SF_RTF).size());
}
void BM_RtfOut_MvRichEdit(benchmark::State& State) {
    EmptyBothNow();
    MvLoad(Rtf());
    for (auto _ : State)
        benchmark::DoNotOptimize(MvSave());
}
void BM_TextIn_Bare(benchmark::State& State) {
    for (auto _ : State) {
        EmptyBoth(State);
        Windows().BareIn(Plain(), SF_TEXT);
    }
    State.SetBytesProcessed(static_cast<int64_t>(State.iterations() * Plain().size()));
}
void BM_TextIn_MvRichEdit(benchmark::State& State) {
    for (auto _ : State) {
        EmptyBoth(State);
        MvLoad(Plain());
    }
    State.SetBytesProcessed(static_cast<int64_t>(State.iterations() * Plain().size()));
}
void BM_TextOut_Bare(benchmark::State& State) {
    EmptyBothNow();
    Windows().BareIn(Plain(), SF_TEXT);
    for (auto _ : State)
        benchmark::DoNotOptimize(Windows().BareOut(SF_RTF).size());
}
void BM_TextOut_MvRichEdit(benchmark::State& State) {
    EmptyBothNow();
    MvLoad(Plain());
    for (auto _ : State)
        benchmark::DoNotOptimize(MvSave());
}

} // namespace

BENCHMARK(BM_RtfIn_Bare)->Unit(benchmark::kMillisecond)->Iterations(3)->Repetitions(2);
BENCHMARK(BM_RtfIn_MvRichEdit)->Unit(benchmark::kMillisecond)->Iterations(3)->Repetitions(2);
BENCHMARK(BM_RtfOut_Bare)->Unit(benchmark::kMillisecond)->Iterations(20)->Repetitions(2);
BENCHMARK(BM_RtfOut_MvRichEdit)->Unit(benchmark::kMillisecond)->Iterations(20)->Repetitions(2);
BENCHMARK(BM_TextIn_Bare)->Unit(benchmark::kMillisecond)->Iterations(3)->Repetitions(2);
BENCHMARK(BM_TextIn_MvRichEdit)->Unit(benchmark::kMillisecond)->Iterations(3)->Repetitions(2);
BENCHMARK(BM_TextOut_Bare)->Unit(benchmark::kMillisecond)->Iterations(20)->Repetitions(2);
BENCHMARK(BM_TextOut_MvRichEdit)->Unit(benchmark::kMillisecond)->Iterations(20)->Repetitions(2);

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    Windows();
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
