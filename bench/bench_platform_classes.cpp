// Component streaming speed: one 16 MB binary property and a tree of 10,000
// small components, written and read in the binary and the text form. The
// counter `ratio` is the throughput over its aim (binary 200 MB/s, text 20 MB/s).
#include "platform/classes/filer.h"
#include "platform/classes/objtext.h"
#include "platform/classes/streams.h"
#include "platform/rtl/sysutils.h"
#include <benchmark/benchmark.h>
#include <chrono>
#include <memory>
#include <string>
#include <vector>

// A small component: a few published properties, a binary one, children.
class TBenchPanel : public TComponent {
    QM_CLASS(TBenchPanel)
public:
    explicit TBenchPanel(TComponent* AOwner) : TComponent(AOwner) {}
    int Width() const { return FWidth; }
    void SetWidth(int V) { FWidth = V; }
    double Ratio() const { return FRatio; }
    void SetRatio(double V) { FRatio = V; }
    AnsiString Caption() const { return FCaption; }
    void SetCaption(const AnsiString& V) { FCaption = V; }
    std::string Data;
    void DefineProperties(TFiler* Filer) override {
        Filer->DefineBinaryProperty(
            "Data",
            [this](TStream* s) {
                Data.resize(static_cast<size_t>(s->Size()));
                s->ReadBuffer(Data.data(), static_cast<int>(Data.size()));
            },
            [this](TStream* s) { s->WriteBuffer(Data.data(), static_cast<int>(Data.size())); },
            !Data.empty());
    }
    void GetChildren(const TGetChildProc& Proc, TComponent*) override {
        for (int i = 0; i < ComponentCount(); ++i)
            Proc(Components(i));
    }
    TComponent* GetChildOwner() override { return this; }

private:
    int FWidth = 0;
    double FRatio = 0;
    AnsiString FCaption;
};
QM_PUBLISHED(TBenchPanel, Prop("Width", &Self::Width, &Self::SetWidth).Default(0),
             Prop("Ratio", &Self::Ratio, &Self::SetRatio),
             Prop("Caption", &Self::Caption, &Self::SetCaption));
QM_CLASS_OWNED(TBenchPanel, TComponent, TComponent)

namespace {

using TFxPanel = TBenchPanel;
const bool registered = (RegisterClass(&TBenchPanel::ClassInfo), true);

std::string SaveBinary(TComponent* C) {
    TMemoryStream s;
    WriteComponentToStream(&s, C);
    return std::string(static_cast<const char*>(s.Memory()), static_cast<size_t>(s.Size()));
}

std::string SaveText(TComponent* C) {
    TStringStream in(SaveBinary(C)), out;
    ObjectBinaryToText(&in, &out);
    return out.DataString().str();
}

constexpr double kBinaryAim = 200e6;
constexpr double kTextAim = 20e6;

std::unique_ptr<TFxPanel> BigData() {
    auto p = std::make_unique<TFxPanel>(nullptr);
    p->SetName("Big");
    p->Data.resize(16u << 20);
    for (size_t i = 0; i < p->Data.size(); ++i)
        p->Data[i] = static_cast<char>(i * 2654435761u >> 24);
    return p;
}

// 100 groups of 100 panels: each panel owns the children stored inside it.
std::unique_ptr<TFxPanel> Tree() {
    auto root = std::make_unique<TFxPanel>(nullptr);
    root->SetName("Root");
    for (int g = 0; g < 100; ++g) {
        auto* group = new TFxPanel(root.get());
        group->SetName("Group" + IntToStr(g));
        for (int i = 0; i < 99; ++i) {
            auto* c = new TFxPanel(group);
            c->SetName("Panel" + IntToStr(i));
            c->SetWidth(i);
            c->SetRatio(i * 0.25);
            c->SetCaption("Item " + IntToStr(g * 100 + i));
        }
    }
    return root;
}

// Bytes per second of the stream form, and that over the aim as `ratio`.
void Report(benchmark::State& State, size_t Bytes, double Aim, double Seconds) {
    const double total = static_cast<double>(Bytes) * static_cast<double>(State.iterations());
    State.SetBytesProcessed(static_cast<int64_t>(total));
    State.counters["ratio"] = Seconds > 0 ? total / Seconds / Aim : 0;
}

double Since(std::chrono::steady_clock::time_point Start) {
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - Start).count();
}

template <std::unique_ptr<TFxPanel> (*Make)()> void WriteBinary(benchmark::State& State) {
    auto c = Make();
    size_t bytes = 0;
    const auto start = std::chrono::steady_clock::now();
    for (auto _ : State) {
        TMemoryStream s;
        WriteComponentToStream(&s, c.get());
        bytes = static_cast<size_t>(s.Size());
    }
    Report(State, bytes, kBinaryAim, Since(start));
}

template <std::unique_ptr<TFxPanel> (*Make)()> void ReadBinary(benchmark::State& State) {
    const std::string binary = SaveBinary(Make().get());
    const auto start = std::chrono::steady_clock::now();
    for (auto _ : State) {
        TStringStream s(binary);
        TFxPanel root(nullptr);
        ReadComponentFromStream(&s, &root);
    }
    Report(State, binary.size(), kBinaryAim, Since(start));
}

template <std::unique_ptr<TFxPanel> (*Make)()> void WriteText(benchmark::State& State) {
    auto c = Make();
    size_t bytes = 0;
    const auto start = std::chrono::steady_clock::now();
    for (auto _ : State) {
        TMemoryStream binary, text;
        WriteComponentToStream(&binary, c.get());
        binary.SetPosition(0);
        ObjectBinaryToText(&binary, &text);
        bytes = static_cast<size_t>(text.Size());
    }
    Report(State, bytes, kTextAim, Since(start));
}

template <std::unique_ptr<TFxPanel> (*Make)()> void ReadText(benchmark::State& State) {
    const std::string text = SaveText(Make().get());
    const auto start = std::chrono::steady_clock::now();
    for (auto _ : State) {
        TStringStream in(text);
        TMemoryStream binary;
        ObjectTextToBinary(&in, &binary);
        binary.SetPosition(0);
        TFxPanel root(nullptr);
        ReadComponentFromStream(&binary, &root);
    }
    Report(State, text.size(), kTextAim, Since(start));
}

} // namespace

BENCHMARK(WriteBinary<BigData>)->Name("Data16MB/WriteBinary")->Unit(benchmark::kMillisecond);
BENCHMARK(ReadBinary<BigData>)->Name("Data16MB/ReadBinary")->Unit(benchmark::kMillisecond);
BENCHMARK(WriteText<BigData>)->Name("Data16MB/WriteText")->Unit(benchmark::kMillisecond);
BENCHMARK(ReadText<BigData>)->Name("Data16MB/ReadText")->Unit(benchmark::kMillisecond);
BENCHMARK(WriteBinary<Tree>)->Name("Tree10000/WriteBinary")->Unit(benchmark::kMillisecond);
BENCHMARK(ReadBinary<Tree>)->Name("Tree10000/ReadBinary")->Unit(benchmark::kMillisecond);
BENCHMARK(WriteText<Tree>)->Name("Tree10000/WriteText")->Unit(benchmark::kMillisecond);
BENCHMARK(ReadText<Tree>)->Name("Tree10000/ReadText")->Unit(benchmark::kMillisecond);

// The same tree built in code: what creating, naming and freeing the
// components costs without any stream, for comparison with ReadBinary.
void BuildOnly(benchmark::State& State) {
    for (auto _ : State)
        benchmark::DoNotOptimize(Tree().get());
}
BENCHMARK(BuildOnly)->Name("Tree10000/BuildWithoutStream")->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();
