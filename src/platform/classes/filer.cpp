// Component streaming in the binary form ("TPF0").
//   Extended floats       the 10-byte format to and from doubles
//   TWriter               buffered output, values, properties, components
//   TReader: values       the read buffer, tags, numbers, strings, skipping a value
//   TReader: properties   defined properties, collections, published properties by path
//   TReader: components   classes, names and a whole tree; references and Loaded at the end
#include "platform/classes/filer.h"
#include "platform/classes/collections.h"
#include "platform/classes/streams.h"
#include "platform/classes/stringlist.h"
#include "platform/classes/textcodec.h"
#include "platform/rtl/exceptions.h"
#include "platform/rtl/sysutils.h"
#include <algorithm>
#include <bit>
#include <climits>
#include <cstring>
#include <memory>

static_assert(std::endian::native == std::endian::little, "the stream format is little-endian");

QM_CLASS_ABSTRACT(TFiler, TObject)
QM_CLASS_ABSTRACT(TWriter, TFiler)
QM_CLASS_ABSTRACT(TReader, TFiler)
QM_CLASS_ABSTRACT(TBinaryDataStream, TStream)

namespace {

constexpr char kSignature[4] = {'T', 'P', 'F', '0'};
// Deep enough for any real tree, shallow enough for the stack.
constexpr int kMaxDepth = 200;
const char* const kInvalidValue = "Invalid property value";

// Damage inside a class's own data block, kept apart from a plain value that
// cannot be read; it still reports as a read error.
class EReadDataError : public EReadError {
public:
    using EReadError::EReadError;
};

template <typename T> T Load(const uint8_t* p) {
    T v;
    std::memcpy(&v, p, sizeof v);
    return v;
}

// Stream transfers take int counts; big blocks go in pieces.
void StreamRead(TStream* s, uint8_t* p, int64_t n) {
    while (n > 0) {
        const int part = static_cast<int>(std::min<int64_t>(n, 1 << 30));
        s->ReadBuffer(p, part);
        p += part;
        n -= part;
    }
}

void StreamWrite(TStream* s, const uint8_t* p, int64_t n) {
    while (n > 0) {
        const int part = static_cast<int>(std::min<int64_t>(n, 1 << 30));
        s->WriteBuffer(p, part);
        p += part;
        n -= part;
    }
}

// Property paths are short: a plain loop costs less than a library call.
size_t FindDot(std::string_view s, size_t From) {
    for (size_t i = From; i < s.size(); ++i)
        if (s[i] == '.') return i;
    return std::string_view::npos;
}

template <typename F> struct TScopeExit {
    F Fn;
    ~TScopeExit() { Fn(); }
};
template <typename F> TScopeExit(F) -> TScopeExit<F>;

} // namespace

// ---------------------------------------------------------------------------
// Extended floats

void DoubleToExtended(double Value, uint8_t Out[10]) {
    const uint64_t bits = std::bit_cast<uint64_t>(Value);
    const uint16_t sign = static_cast<uint16_t>((bits >> 63) << 15);
    const int exp = static_cast<int>((bits >> 52) & 0x7FF);
    const uint64_t frac = bits & ((uint64_t(1) << 52) - 1);
    uint64_t mant = 0;
    uint16_t e = 0;
    if (exp == 0x7FF) {
        e = 0x7FFF;
        mant = (uint64_t(1) << 63) | (frac << 11);
    } else if (exp != 0) {
        e = static_cast<uint16_t>(exp - 1023 + 16383);
        mant = (uint64_t(1) << 63) | (frac << 11);
    } else if (frac != 0) {
        const int top = 63 - std::countl_zero(frac); // value = frac * 2^-1074
        mant = frac << (63 - top);
        e = static_cast<uint16_t>(top - 1074 + 16383);
    }
    const uint16_t se = sign | e;
    std::memcpy(Out, &mant, 8);
    std::memcpy(Out + 8, &se, 2);
}

double ExtendedToDouble(const uint8_t In[10]) {
    uint64_t mant = Load<uint64_t>(In);
    const uint16_t se = Load<uint16_t>(In + 8);
    const uint64_t sign = uint64_t(se >> 15) << 63;
    const int e = se & 0x7FFF;
    if (e == 0x7FFF) {
        if ((mant << 1) == 0) return std::bit_cast<double>(sign | (uint64_t(0x7FF) << 52));
        uint64_t frac = (mant >> 11) & ((uint64_t(1) << 52) - 1);
        if (frac == 0) frac = uint64_t(1) << 51;
        return std::bit_cast<double>(sign | (uint64_t(0x7FF) << 52) | frac);
    }
    if (mant == 0) return std::bit_cast<double>(sign);
    // value = mant * 2^e2, with mant normalised to [2^63, 2^64)
    int e2 = (e == 0 ? 1 : e) - 16383 - 63;
    const int lead = std::countl_zero(mant);
    mant <<= lead;
    e2 -= lead;
    const int unbiased = e2 + 63;
    if (unbiased > 1023) return std::bit_cast<double>(sign | (uint64_t(0x7FF) << 52));
    // Bits below the 53 kept (more for subnormal results).
    const int shift = unbiased >= -1022 ? 11 : 11 + (-1022 - unbiased);
    if (shift > 64) return std::bit_cast<double>(sign); // below half the smallest subnormal
    using u128 = unsigned __int128;
    const u128 wide = static_cast<u128>(mant);
    uint64_t kept = static_cast<uint64_t>(wide >> shift);
    const u128 rest = wide & ((u128(1) << shift) - 1);
    const u128 half = u128(1) << (shift - 1);
    if (rest > half || (rest == half && (kept & 1))) ++kept;
    if (unbiased < -1022) return std::bit_cast<double>(sign | kept); // carries into the exponent
    int biased = unbiased + 1023;
    if (kept == (uint64_t(1) << 53)) {
        kept >>= 1;
        ++biased;
        if (biased >= 0x7FF) return std::bit_cast<double>(sign | (uint64_t(0x7FF) << 52));
    }
    return std::bit_cast<double>(sign | (uint64_t(biased) << 52) |
                                 (kept & ((uint64_t(1) << 52) - 1)));
}

// ---------------------------------------------------------------------------
// TFiler

TFiler::TFiler(TStream* Stream, int BufSize) : FStream(Stream), FBufSize(std::max(BufSize, 16)) {}

// ---------------------------------------------------------------------------
// TWriter

TWriter::TWriter(TStream* Stream, int BufSize) : TFiler(Stream, BufSize) {
    FStreamPos = Stream->Position();
    FBuffer.reserve(static_cast<size_t>(FBufSize));
}

TWriter::~TWriter() {
    try {
        FlushBuffer();
    } catch (...) {
        // A destructor cannot report it; writers that care flush first.
    }
}

void TWriter::FlushBuffer() {
    if (FBuffer.empty()) return;
    StreamWrite(FStream, FBuffer.data(), static_cast<int64_t>(FBuffer.size()));
    FStreamPos += static_cast<int64_t>(FBuffer.size());
    FBuffer.clear();
}

void TWriter::WriteBytes(const void* Data, size_t Count) {
    if (FBuffer.size() + Count > static_cast<size_t>(FBufSize)) {
        FlushBuffer();
        if (Count >= static_cast<size_t>(FBufSize)) {
            StreamWrite(FStream, static_cast<const uint8_t*>(Data), static_cast<int64_t>(Count));
            FStreamPos += static_cast<int64_t>(Count);
            return;
        }
    }
    const auto* p = static_cast<const uint8_t*>(Data);
    FBuffer.insert(FBuffer.end(), p, p + Count);
}

void TWriter::Write(const void* Buffer, int64_t Count) {
    if (Count > 0) WriteBytes(Buffer, static_cast<size_t>(Count));
}

void TWriter::WriteValue(TValueType Value) {
    const uint8_t b = Value;
    WriteBytes(&b, 1);
}

void TWriter::WriteSignature() {
    WriteBytes(kSignature, 4);
}

void TWriter::WritePrefix(TFilerFlags Flags, int ChildPos) {
    if (Flags.Empty()) return;
    const uint8_t b = static_cast<uint8_t>(0xF0 | (Flags.Bits() & 0x07));
    WriteBytes(&b, 1);
    if (Flags.Contains(ffChildPos)) WriteInteger(ChildPos);
}

void TWriter::WriteStr(const AnsiString& Value) {
    if (Value.Length() > 255)
        throw EWriteError("Name too long for the stream (" + IntToStr(Value.Length()) +
                          " characters): " + Value.SubString(1, 40) + "...");
    const uint8_t len = static_cast<uint8_t>(Value.Length());
    WriteBytes(&len, 1);
    WriteBytes(Value.data(), len);
}

void TWriter::WriteInteger(int64_t Value) {
    if (Value >= INT8_MIN && Value <= INT8_MAX) {
        const int8_t v = static_cast<int8_t>(Value);
        WriteValue(vaInt8);
        WriteBytes(&v, 1);
    } else if (Value >= INT16_MIN && Value <= INT16_MAX) {
        const int16_t v = static_cast<int16_t>(Value);
        WriteValue(vaInt16);
        WriteBytes(&v, 2);
    } else if (Value >= INT32_MIN && Value <= INT32_MAX) {
        const int32_t v = static_cast<int32_t>(Value);
        WriteValue(vaInt32);
        WriteBytes(&v, 4);
    } else {
        WriteValue(vaInt64);
        WriteBytes(&Value, 8);
    }
}

void TWriter::WriteFloat(double Value) {
    uint8_t ext[10];
    DoubleToExtended(Value, ext);
    WriteValue(vaExtended);
    WriteBytes(ext, 10);
}

void TWriter::WriteExtended(const uint8_t Value[10]) {
    WriteValue(vaExtended);
    WriteBytes(Value, 10);
}

void TWriter::WriteSingle(float Value) {
    WriteValue(vaSingle);
    WriteBytes(&Value, 4);
}

void TWriter::WriteCurrency(int64_t Scaled) {
    WriteValue(vaCurrency);
    WriteBytes(&Scaled, 8);
}

void TWriter::WriteDate(double Value) {
    WriteValue(vaDate);
    WriteBytes(&Value, 8);
}

void TWriter::WriteString(const AnsiString& Value) {
    const size_t len = Value.str().size();
    if (len <= 255) {
        WriteValue(vaString);
        const uint8_t b = static_cast<uint8_t>(len);
        WriteBytes(&b, 1);
    } else {
        if (len > INT32_MAX) throw EWriteError("String too long for the stream");
        WriteValue(vaLString);
        const int32_t n = static_cast<int32_t>(len);
        WriteBytes(&n, 4);
    }
    WriteBytes(Value.data(), len);
}

void TWriter::WriteWideString(const std::u16string& Value) {
    if (Value.size() > INT32_MAX / 2) throw EWriteError("String too long for the stream");
    WriteValue(vaWString);
    const int32_t n = static_cast<int32_t>(Value.size());
    WriteBytes(&n, 4);
    WriteBytes(Value.data(), Value.size() * 2);
}

void TWriter::WriteIdent(const AnsiString& Ident) {
    if (SameText(Ident, "False"))
        WriteValue(vaFalse);
    else if (SameText(Ident, "True"))
        WriteValue(vaTrue);
    else if (SameText(Ident, "Null"))
        WriteValue(vaNull);
    else if (SameText(Ident, "nil"))
        WriteValue(vaNil);
    else {
        WriteValue(vaIdent);
        WriteStr(Ident);
    }
}

void TWriter::WritePropName(const AnsiString& Name) {
    WriteStr(FPropPath + Name);
}

void TWriter::DefineProperty(const AnsiString& Name, const TReaderProc&,
                             const TWriterProc& WriteData, bool HasData) {
    if (!HasData || !WriteData) return;
    WritePropName(Name);
    WriteData(this);
}

void TWriter::DefineBinaryProperty(const AnsiString& Name, const TStreamProc&,
                                   const TStreamProc& WriteData, bool HasData) {
    if (!HasData || !WriteData) return;
    TMemoryStream data;
    WriteData(&data);
    if (data.Size() > INT32_MAX) throw EWriteError("Binary property " + Name + " too large");
    const int32_t n = static_cast<int32_t>(data.Size());
    WritePropName(Name);
    WriteValue(vaBinary);
    WriteBytes(&n, 4);
    WriteBytes(data.Memory(), static_cast<size_t>(n));
}

void TWriter::WriteStrings(TStrings* Value) {
    WriteListBegin();
    for (int i = 0; i < Value->Count(); ++i)
        WriteString(Value->Strings(i));
    WriteListEnd();
}

void TWriter::WriteCollection(TCollection* Value) {
    WriteValue(vaCollection);
    const AnsiString saved = FPropPath;
    TScopeExit restore{[&] { FPropPath = saved; }};
    for (int i = 0; i < Value->Count(); ++i) {
        WriteListBegin();
        FPropPath = AnsiString();
        WriteProperties(Value->Items(i));
        WriteListEnd();
    }
    WriteListEnd();
}

void TWriter::WriteProperties(TPersistent* Instance) {
    WriteProperties(Instance, nullptr);
}

namespace {
// Whether a property holds what the constructor gave the same property of a
// fresh instance. Sub-objects and references are compared by their own rules.
bool SameAsConstructed(const TPropInfo* Prop, TObject* Instance, TObject* Constructed) {
    switch (Prop->Kind) {
    case TPropKind::Integer:
    case TPropKind::Boolean:
    case TPropKind::Enumeration:
    case TPropKind::Set:
        return Prop->GetOrd(Instance) == Prop->GetOrd(Constructed);
    case TPropKind::Float:
        return Prop->GetFloat(Instance) == Prop->GetFloat(Constructed);
    case TPropKind::String:
        return Prop->GetStr(Instance) == Prop->GetStr(Constructed);
    case TPropKind::Object:
        return false;
    case TPropKind::Component:
    case TPropKind::Method:
        return Prop->IsDefault(Instance);
    }
    return false;
}
} // namespace

std::unique_ptr<TObject> TWriter::Construct(TClass Class) const {
    if (!FAgainstConstructed || !Class->Factory) return nullptr;
    std::unique_ptr<TObject> made(Class->Factory(nullptr));
    // Setters behave as while reading (no range checks against other values).
    if (auto* c = dynamic_cast<TComponent*>(made.get())) c->BeginLoading();
    return made;
}

namespace {
// The constructed instance takes the value written, as the reader's would.
void Replay(const TPropInfo* Prop, TObject* Instance, TObject* Constructed) {
    try {
        switch (Prop->Kind) {
        case TPropKind::Integer:
        case TPropKind::Boolean:
        case TPropKind::Enumeration:
        case TPropKind::Set:
            if (Prop->SetOrd) Prop->SetOrd(Constructed, Prop->GetOrd(Instance));
            break;
        case TPropKind::Float:
            if (Prop->SetFloat) Prop->SetFloat(Constructed, Prop->GetFloat(Instance));
            break;
        case TPropKind::String:
            if (Prop->SetStr) Prop->SetStr(Constructed, Prop->GetStr(Instance));
            break;
        case TPropKind::Object:
        case TPropKind::Component:
        case TPropKind::Method:
            break;
        }
    } catch (const std::exception&) {
        // A value the fresh instance refuses leaves it as it was; what follows
        // is then compared with that, which only ever writes more.
    }
}
} // namespace

void TWriter::WriteProperties(TPersistent* Instance, TObject* Constructed) {
    if (FPropPath.Length() > 255) throw EWriteError("Properties nested too deep");
    if (Constructed && Constructed->ClassType() != Instance->ClassType()) Constructed = nullptr;
    for (const TPropInfo* prop : GetPropList(Instance->ClassType())) {
        if (!prop->IsStored(Instance)) continue;
        if (Constructed ? SameAsConstructed(prop, Instance, Constructed)
                        : prop->IsDefault(Instance))
            continue;
        WriteProperty(Instance, prop, Constructed);
        if (Constructed) Replay(prop, Instance, Constructed);
    }
    Instance->DefineProperties(this);
}

void TWriter::WriteProperty(TPersistent* Instance, const TPropInfo* Prop) {
    WriteProperty(Instance, Prop, nullptr);
}

// A property that a later one changed as a side effect is written once more,
// after it, so the reader ends where the writer was.
void TWriter::WriteChangedAfterwards(TPersistent* Instance, TObject* Constructed) {
    if (Constructed->ClassType() != Instance->ClassType()) return;
    for (const TPropInfo* prop : GetPropList(Instance->ClassType())) {
        if (prop->Kind == TPropKind::Object) {
            TObject* sub = prop->GetObj(Instance);
            auto* persistent = dynamic_cast<TPersistent*>(sub);
            TObject* constructedSub = prop->GetObj(Constructed);
            if (!persistent || !constructedSub || dynamic_cast<TCollection*>(sub) ||
                dynamic_cast<TStrings*>(sub))
                continue;
            const AnsiString saved = FPropPath;
            TScopeExit restore{[&] { FPropPath = saved; }};
            FPropPath += prop->Name + ".";
            WriteChangedAfterwards(persistent, constructedSub);
            continue;
        }
        if (prop->Kind == TPropKind::Component || prop->Kind == TPropKind::Method ||
            !prop->IsStored(Instance) || SameAsConstructed(prop, Instance, Constructed))
            continue;
        WriteProperty(Instance, prop, Constructed);
        Replay(prop, Instance, Constructed);
    }
}

void TWriter::WriteProperty(TPersistent* Instance, const TPropInfo* Prop, TObject* Constructed) {
    switch (Prop->Kind) {
    case TPropKind::Integer: {
        const int64_t v = Prop->GetOrd(Instance);
        AnsiString ident;
        WritePropName(Prop->Name);
        if (!Prop->IdentType.IsEmpty() && IntegerToIdent(Prop->IdentType, v, ident))
            WriteIdent(ident);
        else
            WriteInteger(v);
        break;
    }
    case TPropKind::Boolean:
        WritePropName(Prop->Name);
        WriteBoolean(Prop->GetOrd(Instance) != 0);
        break;
    case TPropKind::Enumeration: {
        const int64_t v = Prop->GetOrd(Instance);
        const AnsiString* name = Prop->Enum->NameOf(v);
        if (!name) throw EWriteError("Invalid value " + IntToStr(v) + " of " + Prop->Name);
        WritePropName(Prop->Name);
        WriteIdent(*name);
        break;
    }
    case TPropKind::Set: {
        const uint64_t bits = static_cast<uint64_t>(Prop->GetOrd(Instance));
        WritePropName(Prop->Name);
        WriteValue(vaSet);
        for (int i = 0; i < 64; ++i) {
            if (!(bits & (uint64_t(1) << i))) continue;
            const AnsiString* name = Prop->Enum->NameOf(i);
            if (!name) throw EWriteError("Invalid element " + IntToStr(i) + " in " + Prop->Name);
            WriteStr(*name);
        }
        WriteStr(AnsiString());
        break;
    }
    case TPropKind::Float:
        WritePropName(Prop->Name);
        WriteFloat(Prop->GetFloat(Instance));
        break;
    case TPropKind::String:
        WritePropName(Prop->Name);
        WriteString(Prop->GetStr(Instance));
        break;
    case TPropKind::Object: {
        TObject* sub = Prop->GetObj(Instance);
        if (auto* collection = dynamic_cast<TCollection*>(sub)) {
            if (collection->Count() == 0) break;
            WritePropName(Prop->Name);
            WriteCollection(collection);
        } else if (auto* strings = dynamic_cast<TStrings*>(sub)) {
            if (strings->Count() == 0) break;
            WritePropName(Prop->Name + ".Strings");
            WriteStrings(strings);
        } else if (auto* persistent = dynamic_cast<TPersistent*>(sub)) {
            const AnsiString saved = FPropPath;
            TScopeExit restore{[&] { FPropPath = saved; }};
            FPropPath += Prop->Name + ".";
            WriteProperties(persistent, Constructed ? Prop->GetObj(Constructed) : nullptr);
        }
        break;
    }
    case TPropKind::Component: {
        auto* component = dynamic_cast<TComponent*>(Prop->GetObj(Instance));
        if (!component) break;
        const AnsiString ref = ComponentReference(component);
        if (ref.IsEmpty()) break;
        WritePropName(Prop->Name);
        WriteIdent(ref);
        break;
    }
    case TPropKind::Method: {
        // Only a method of the root has a name a reader can find again.
        const TMethod method = Prop->GetMethod(Instance);
        if (!method || method.Data != FRoot) break;
        WritePropName(Prop->Name);
        WriteValue(vaIdent);
        WriteStr(method.Name());
        break;
    }
    }
}

AnsiString TWriter::ComponentReference(TComponent* Component) const {
    if (Component->Owner() == FLookupRoot) return Component->Name();
    if (Component == FLookupRoot) return "Owner";
    if (Component->Owner() && !Component->Owner()->Name().IsEmpty() && !Component->Name().IsEmpty())
        return Component->Owner()->Name() + "." + Component->Name();
    if (!Component->Name().IsEmpty()) return Component->Name() + ".Owner";
    return AnsiString();
}

void TWriter::WriteComponent(TComponent* Component) {
    if (FWriteLevel >= kMaxDepth) throw EWriteError("Components nested too deep");
    ++FWriteLevel;
    TScopeExit leave{[&] { --FWriteLevel; }};
    // A longer name's length byte would read as component flags.
    if (Component->ClassName().Length() >= 0xF0) throw EWriteError("Class name too long");
    WritePrefix(TFilerFlags(), 0);
    WriteStr(Component->ClassName());
    WriteStr(Component->Name());
    const AnsiString saved = FPropPath;
    FPropPath = AnsiString();
    const std::unique_ptr<TObject> constructed = Construct(Component->ClassType());
    WriteProperties(Component, constructed.get());
    if (constructed) WriteChangedAfterwards(Component, constructed.get());
    FPropPath = saved;
    WriteListEnd();
    Component->GetChildren([this](TComponent* child) { WriteComponent(child); }, FRoot);
    WriteListEnd();
    if (FWriteLevel == 1) FlushBuffer();
}

void TWriter::WriteRootComponent(TComponent* Root) {
    SetRoot(Root);
    WriteSignature();
    WriteComponent(Root);
}

// ---------------------------------------------------------------------------
// TReader: values

class TReader::TDepthGuard {
public:
    explicit TDepthGuard(TReader& R) : FReader(R) {
        if (FReader.FDepth >= kMaxDepth) FReader.Invalid("nested too deep");
        ++FReader.FDepth;
    }
    ~TDepthGuard() { --FReader.FDepth; }
    TDepthGuard(const TDepthGuard&) = delete;
    TDepthGuard& operator=(const TDepthGuard&) = delete;

private:
    TReader& FReader;
};

TReader::TReader(TStream* Stream, int BufSize) : TFiler(Stream, BufSize) {
    FBufStart = Stream->Position();
    FStreamSize = std::max(Stream->Size(), FBufStart);
    FBuffer.resize(static_cast<size_t>(FBufSize));
}

TReader::~TReader() {
    try {
        FStream->SetPosition(Position());
    } catch (...) {
        // Only a broken stream refuses to seek; nothing is left to do.
    }
}

void TReader::Invalid(const AnsiString& What) const {
    throw EReadError("Invalid stream format: " + What);
}

bool TReader::Error(const AnsiString& Message) {
    return OnError ? OnError(Message) : false;
}

void TReader::Fill(int64_t Need) {
    if (FBufEnd - FBufPos >= Need) return;
    if (Need > Remaining()) throw EReadError("Stream read error");
    const int64_t keep = FBufEnd - FBufPos;
    if (Need > static_cast<int64_t>(FBuffer.size())) FBuffer.resize(static_cast<size_t>(Need));
    std::memmove(FBuffer.data(), FBuffer.data() + FBufPos, static_cast<size_t>(keep));
    FBufStart += FBufPos;
    FBufPos = 0;
    FBufEnd = keep;
    // The stream stands at FBufStart + FBufEnd.
    const int64_t want = std::min<int64_t>(static_cast<int64_t>(FBuffer.size()) - FBufEnd,
                                           FStreamSize - FBufStart - FBufEnd);
    int64_t got = 0;
    while (got < want) {
        const int n = FStream->Read(FBuffer.data() + FBufEnd + got, static_cast<int>(want - got));
        if (n <= 0) break;
        got += n;
    }
    FBufEnd += got;
    if (FBufEnd < Need) throw EReadError("Stream read error");
}

uint8_t TReader::ReadByte() {
    if (FBufPos >= FBufEnd) Fill(1);
    return FBuffer[static_cast<size_t>(FBufPos++)];
}

void TReader::ReadBuffered(void* Buffer, int64_t Count) {
    if (Count <= 0) return;
    if (Count > Remaining()) throw EReadError("Stream read error");
    auto* out = static_cast<uint8_t*>(Buffer);
    const int64_t have = FBufEnd - FBufPos;
    if (have >= Count) {
        std::memcpy(out, FBuffer.data() + FBufPos, static_cast<size_t>(Count));
        FBufPos += Count;
        return;
    }
    std::memcpy(out, FBuffer.data() + FBufPos, static_cast<size_t>(have));
    const int64_t rest = Count - have;
    FBufStart += FBufEnd;
    FBufPos = FBufEnd = 0;
    if (rest >= static_cast<int64_t>(FBuffer.size())) {
        StreamRead(FStream, out + have, rest);
        FBufStart += rest;
        return;
    }
    Fill(rest);
    std::memcpy(out + have, FBuffer.data(), static_cast<size_t>(rest));
    FBufPos = rest;
}

void TReader::SetPosition(int64_t Value) {
    if (Value < 0 || Value > FStreamSize) throw EReadError("Stream read error");
    if (Value >= FBufStart && Value <= FBufStart + FBufEnd) {
        FBufPos = Value - FBufStart;
        return;
    }
    FStream->SetPosition(Value);
    FBufStart = Value;
    FBufPos = FBufEnd = 0;
}

int64_t TReader::ReadLengthChecked(int Size, int UnitSize) {
    int64_t n = 0;
    if (Size == 1) {
        n = ReadByte();
    } else {
        int32_t v;
        Read(&v, 4);
        n = v;
    }
    if (n < 0) Invalid("negative length " + IntToStr(n));
    if (n * UnitSize > Remaining())
        Invalid("length " + IntToStr(n) + " exceeds the " + IntToStr(Remaining()) + " bytes left");
    return n;
}

void TReader::ReadSignature() {
    char sig[4];
    Read(sig, 4);
    if (std::memcmp(sig, kSignature, 4) != 0) throw EReadError("Invalid stream format");
}

void TReader::ReadPrefix(TFilerFlags& Flags, int& ChildPos) {
    Flags = TFilerFlags();
    if (FBufPos >= FBufEnd) Fill(1);
    const uint8_t b = FBuffer[static_cast<size_t>(FBufPos)];
    if ((b & 0xF0) != 0xF0) return;
    ++FBufPos;
    if (b & 0x08) Invalid("unknown component flags");
    Flags = TFilerFlags::FromBits(b & 0x07);
    if (Flags.Contains(ffChildPos)) {
        const TValueType t = NextValue();
        if (t != vaInt8 && t != vaInt16 && t != vaInt32) Invalid("child position expected");
        ChildPos = ReadInteger();
    }
}

AnsiString TReader::ReadStr() {
    return ReadChars(ReadLength(1, 1));
}

std::string_view TReader::ReadStrTo(char (&Buffer)[256]) {
    const int64_t n = ReadLength(1, 1);
    Read(Buffer, n);
    return std::string_view(Buffer, static_cast<size_t>(n));
}

// Count bytes already checked against what is left; short ones straight from the buffer.
AnsiString TReader::ReadChars(int64_t Count) {
    if (Count > static_cast<int64_t>(FBuffer.size())) {
        AnsiString s;
        s.str().resize(static_cast<size_t>(Count));
        Read(s.str().data(), Count);
        return s;
    }
    if (FBufEnd - FBufPos < Count) Fill(Count);
    AnsiString s(std::string_view(reinterpret_cast<const char*>(FBuffer.data() + FBufPos),
                                  static_cast<size_t>(Count)));
    FBufPos += Count;
    return s;
}

TValueType TReader::ReadValue() {
    const uint8_t b = ReadByte();
    if (b > vaUTF8String) Invalid("unknown value type " + IntToStr(b));
    return static_cast<TValueType>(b);
}

TValueType TReader::NextValue() {
    if (FBufPos >= FBufEnd) Fill(1);
    const uint8_t b = FBuffer[static_cast<size_t>(FBufPos)];
    if (b > vaUTF8String) Invalid("unknown value type " + IntToStr(b));
    return static_cast<TValueType>(b);
}

// A raw look: the byte may also be a name's length or a component's flags.
bool TReader::EndOfList() {
    if (FBufPos >= FBufEnd) Fill(1);
    return FBuffer[static_cast<size_t>(FBufPos)] == vaNull;
}

void TReader::CheckValue(TValueType Value) {
    if (ReadValue() != Value) throw EReadError(kInvalidValue);
}

int TReader::ReadInteger() {
    switch (ReadValue()) {
    case vaInt8: {
        int8_t v;
        Read(&v, 1);
        return v;
    }
    case vaInt16: {
        int16_t v;
        Read(&v, 2);
        return v;
    }
    case vaInt32: {
        int32_t v;
        Read(&v, 4);
        return v;
    }
    default:
        throw EReadError(kInvalidValue);
    }
}

int64_t TReader::ReadInt64() {
    if (NextValue() == vaInt64) {
        ReadValue();
        int64_t v;
        Read(&v, 8);
        return v;
    }
    return ReadInteger();
}

bool TReader::ReadBoolean() {
    switch (ReadValue()) {
    case vaTrue:
        return true;
    case vaFalse:
        return false;
    default:
        throw EReadError(kInvalidValue);
    }
}

double TReader::ReadExtendedBody() {
    uint8_t ext[10];
    Read(ext, 10);
    return ExtendedToDouble(ext);
}

double TReader::ReadFloat() {
    switch (NextValue()) {
    case vaExtended:
        ReadValue();
        return ReadExtendedBody();
    case vaSingle: {
        ReadValue();
        float v;
        Read(&v, 4);
        return v;
    }
    case vaCurrency: {
        ReadValue();
        int64_t v;
        Read(&v, 8);
        return static_cast<double>(v) / 10000.0;
    }
    case vaDate: {
        ReadValue();
        double v;
        Read(&v, 8);
        return v;
    }
    case vaInt8:
    case vaInt16:
    case vaInt32:
    case vaInt64:
        return static_cast<double>(ReadInt64());
    default:
        ReadValue();
        throw EReadError(kInvalidValue);
    }
}

std::u16string TReader::ReadWideUnits() {
    const int64_t n = ReadLength(4, 2);
    std::u16string s(static_cast<size_t>(n), u'\0');
    Read(s.data(), n * 2);
    return s;
}

std::u16string TReader::ReadUTF8Units() {
    const int64_t n = ReadLength(4, 1);
    std::string bytes(static_cast<size_t>(n), '\0');
    Read(bytes.data(), n);
    std::u16string units;
    if (!Utf8ToUtf16(bytes, units)) Invalid("malformed UTF-8 text");
    return units;
}

AnsiString TReader::ReadString() {
    const TValueType t = ReadValue();
    switch (t) {
    case vaString:
    case vaLString: {
        return ReadChars(t == vaString ? ReadLength(1, 1) : ReadLength(4, 1));
    }
    case vaWString:
        return Utf16ToAnsi(ReadWideUnits());
    case vaUTF8String:
        return Utf16ToAnsi(ReadUTF8Units());
    default:
        throw EReadError(kInvalidValue);
    }
}

AnsiString TReader::ReadIdent() {
    switch (ReadValue()) {
    case vaIdent:
        return ReadStr();
    case vaFalse:
        return "False";
    case vaTrue:
        return "True";
    case vaNil:
        return "nil";
    case vaNull:
        return "Null";
    default:
        throw EReadError(kInvalidValue);
    }
}

void TReader::SkipValue() {
    SkipValueBody(ReadValue());
}

void TReader::SkipValueBody(TValueType Value) {
    auto skip = [this](int64_t n) {
        if (n > Remaining()) throw EReadError("Stream read error");
        SetPosition(Position() + n);
    };
    switch (Value) {
    case vaNull:
    case vaFalse:
    case vaTrue:
    case vaNil:
        break;
    case vaList: {
        TDepthGuard guard(*this);
        while (!EndOfList())
            SkipValue();
        ReadByte();
        break;
    }
    case vaInt8:
        skip(1);
        break;
    case vaInt16:
        skip(2);
        break;
    case vaInt32:
    case vaSingle:
        skip(4);
        break;
    case vaInt64:
    case vaCurrency:
    case vaDate:
        skip(8);
        break;
    case vaExtended:
        skip(10);
        break;
    case vaString:
    case vaIdent:
        skip(ReadLength(1, 1));
        break;
    case vaLString:
    case vaUTF8String:
    case vaBinary:
        skip(ReadLength(4, 1));
        break;
    case vaWString:
        skip(ReadLength(4, 2) * 2);
        break;
    case vaSet:
        for (int64_t n = ReadLength(1, 1); n != 0; n = ReadLength(1, 1))
            skip(n);
        break;
    case vaCollection: {
        TDepthGuard guard(*this);
        while (!EndOfList()) {
            const TValueType t = NextValue();
            if (t == vaInt8 || t == vaInt16 || t == vaInt32) SkipValue();
            if (ReadValue() != vaList) Invalid("collection item expected");
            while (!EndOfList()) {
                ReadStr();
                SkipValue();
            }
            ReadByte();
        }
        ReadByte();
        break;
    }
    }
}

// ---------------------------------------------------------------------------
// TReader: properties

void TReader::DefineProperty(const AnsiString& Name, const TReaderProc& ReadData,
                             const TWriterProc&, bool) {
    if (FPropFound || !ReadData || !SameText(Name, FPropName)) return;
    FPropFound = true;
    const int64_t start = Position();
    try {
        ReadData(this);
    } catch (const EReadDataError&) {
        throw;
    } catch (const Exception& e) {
        throw EReadDataError(e.Message);
    }
    // The class must read exactly its own value, or the next property would be misread.
    const int64_t after = Position();
    SetPosition(start);
    SkipValue();
    if (Position() != after) throw EReadDataError("Property " + Name + " was not read as stored");
}

void TReader::DefineBinaryProperty(const AnsiString& Name, const TStreamProc& ReadData,
                                   const TStreamProc&, bool) {
    if (FPropFound || !ReadData || !SameText(Name, FPropName)) return;
    FPropFound = true;
    if (ReadValue() != vaBinary) throw EReadError(kInvalidValue);
    const int64_t n = ReadLength(4, 1);
    const int64_t at = Position();
    std::unique_ptr<TStream> data;
    if (auto* memory = dynamic_cast<TMemoryStream*>(FStream); memory && at + n <= memory->Size()) {
        data = std::make_unique<TBinaryDataStream>(
            static_cast<const uint8_t*>(memory->Memory()) + at, n);
        SetPosition(at + n);
    } else {
        auto copy = std::make_unique<TMemoryStream>();
        Read(copy->Room(n), n);
        data = std::move(copy);
    }
    try {
        ReadData(data.get());
    } catch (const EReadDataError&) {
        throw;
    } catch (const Exception& e) {
        throw EReadDataError(e.Message);
    }
}

int TBinaryDataStream::Read(void* Buffer, int Count) {
    if (Count <= 0 || FPosition >= FSize) return 0;
    const int n = static_cast<int>(std::min<int64_t>(Count, FSize - FPosition));
    std::memcpy(Buffer, FBytes + FPosition, static_cast<size_t>(n));
    FPosition += n;
    return n;
}

int64_t TBinaryDataStream::Seek(int64_t Offset, TSeekOrigin Origin) {
    const int64_t base = Origin == soFromBeginning ? 0
                         : Origin == soFromCurrent ? FPosition
                                                   : FSize;
    FPosition = Offset > FSize - base ? FSize : std::max<int64_t>(0, base + Offset);
    return FPosition;
}

void TReader::ReadStrings(TStrings* Value) {
    ReadListBegin();
    Value->BeginUpdate();
    TScopeExit end{[&] { Value->EndUpdate(); }};
    Value->Clear();
    while (!EndOfList())
        Value->Add(ReadString());
    ReadListEnd();
}

void TReader::ReadCollection(TCollection* Collection) {
    TDepthGuard guard(*this);
    Collection->BeginUpdate();
    TScopeExit end{[&] { Collection->EndUpdate(); }};
    if (!EndOfList()) {
        // Items filled earlier in this read may have references waiting on them.
        if (std::find(FFilledCollections.begin(), FFilledCollections.end(), Collection) !=
            FFilledCollections.end())
            throw EReadError("Collection read twice");
        FFilledCollections.push_back(Collection);
        Collection->Clear();
    }
    while (!EndOfList()) {
        const TValueType t = NextValue();
        if (t == vaInt8 || t == vaInt16 || t == vaInt32) ReadInteger();
        if (ReadValue() != vaList) Invalid("collection item expected");
        TCollectionItem* item = Collection->Add();
        while (!EndOfList())
            ReadProperty(item);
        ReadByte();
    }
    ReadByte();
}

void TReader::ReadPropValue(TPersistent* Instance, const TPropInfo* Prop) {
    switch (Prop->Kind) {
    case TPropKind::Integer: {
        int64_t v = 0;
        if (NextValue() == vaIdent) {
            const AnsiString ident = ReadIdent();
            if (Prop->IdentType.IsEmpty() || !IdentToInteger(Prop->IdentType, ident, v))
                throw EReadError(kInvalidValue);
        } else {
            v = ReadInt64();
        }
        if (v < Prop->MinValue || v > Prop->MaxValue) throw EReadError(kInvalidValue);
        Prop->SetOrd(Instance, BoundInteger(Instance, Prop, v));
        break;
    }
    case TPropKind::Boolean: {
        const AnsiString ident = ReadIdent();
        if (SameText(ident, "True"))
            Prop->SetOrd(Instance, 1);
        else if (SameText(ident, "False"))
            Prop->SetOrd(Instance, 0);
        else
            throw EReadError(kInvalidValue);
        break;
    }
    case TPropKind::Enumeration: {
        int64_t v = 0;
        if (!Prop->Enum->ValueOf(ReadIdent(), v)) throw EReadError(kInvalidValue);
        Prop->SetOrd(Instance, v);
        break;
    }
    case TPropKind::Set: {
        CheckValue(vaSet);
        uint64_t bits = 0;
        for (AnsiString name = ReadStr(); !name.IsEmpty(); name = ReadStr()) {
            int64_t v = 0;
            if (!Prop->Enum->ValueOf(name, v) || v < 0 || v > 63) throw EReadError(kInvalidValue);
            bits |= uint64_t(1) << v;
        }
        Prop->SetOrd(Instance, static_cast<int64_t>(bits));
        break;
    }
    case TPropKind::Float:
        Prop->SetFloat(Instance, ReadFloat());
        break;
    case TPropKind::String:
        Prop->SetStr(Instance, ReadString());
        break;
    case TPropKind::Object: {
        const TValueType t = ReadValue();
        if (t == vaCollection) {
            auto* collection = dynamic_cast<TCollection*>(Prop->GetObj(Instance));
            if (!collection) throw EReadError(kInvalidValue);
            ReadCollection(collection);
        } else {
            // Owned sub-objects are never replaced from a stream (nor by nil).
            throw EReadError(kInvalidValue);
        }
        break;
    }
    case TPropKind::Component: {
        if (!Prop->SetObj) throw EReadError(kInvalidValue);
        const TValueType t = NextValue();
        if (t == vaNil) {
            ReadValue();
            Prop->SetObj(Instance, nullptr);
        } else if (t == vaIdent) {
            FFixups.push_back({Instance, Prop, ReadIdent(), Where()});
        } else {
            throw EReadError(kInvalidValue);
        }
        break;
    }
    case TPropKind::Method: {
        if (NextValue() == vaNil) {
            ReadValue();
            Prop->SetMethod(Instance, TMethod{});
            break;
        }
        if (NextValue() != vaIdent) throw EReadError(kInvalidValue);
        const AnsiString name = ReadIdent();
        const TMethod method = MethodOf(MethodRoot(), name);
        if (!method) throw EReadError("Method " + name + " not found");
        if (!method.Code->Signature || *method.Code->Signature != *Prop->MethodType)
            throw EReadError("Method " + name + " does not fit the event " + Prop->Name);
        if (FBindMethods) Prop->SetMethod(Instance, method);
        break;
    }
    }
}

// Properties of one class come in the same names again and again; a small
// table keyed by class and exact name answers most without a lookup. Only
// names found are kept, so a name found there has no dot in it.
TReader::TPropCacheEntry* TReader::PropCacheSlot(TClass Class, std::string_view Name) {
    if (Name.empty() || Name.size() > sizeof(TPropCacheEntry::Name)) return nullptr;
    const size_t slot =
        ((reinterpret_cast<uintptr_t>(Class) >> 4) * 31 + Name.size() * 7 +
         static_cast<unsigned char>(Name.front()) + static_cast<unsigned char>(Name.back()) * 3) %
        kPropCacheSize;
    return &FPropCache[slot];
}

const TPropInfo* TReader::FindProp(TClass Class, std::string_view Name) {
    TPropCacheEntry* e = PropCacheSlot(Class, Name);
    if (e && e->Class == Class && std::string_view(e->Name, e->Length) == Name) return e->Prop;
    const TPropInfo* prop = GetPropInfo(Class, Name);
    if (prop && e) {
        e->Class = Class;
        e->Length = static_cast<uint8_t>(Name.size());
        std::memcpy(e->Name, Name.data(), Name.size());
        e->Prop = prop;
    }
    return prop;
}

bool TReader::ReadPropPath(TPersistent* Instance, std::string_view Path) {
    const TClass cls = Instance->ClassType();
    if (const TPropCacheEntry* e = PropCacheSlot(cls, Path);
        e && e->Class == cls && std::string_view(e->Name, e->Length) == Path) {
        ReadPropValue(Instance, e->Prop);
        return true;
    }
    TPersistent* target = Instance;
    const std::string_view s = Path;
    size_t begin = 0;
    for (size_t dot = FindDot(s, 0); dot != std::string_view::npos; dot = FindDot(s, begin)) {
        const std::string_view part = s.substr(begin, dot - begin);
        begin = dot + 1;
        const TPropInfo* prop = FindProp(target->ClassType(), part);
        if (!prop || prop->Kind != TPropKind::Object) return false;
        auto* sub = dynamic_cast<TPersistent*>(prop->GetObj(target));
        if (!sub) throw EReadError(kInvalidValue);
        if (auto* strings = dynamic_cast<TStrings*>(sub)) {
            if (!SameText(AnsiString(s.substr(begin)), "Strings")) return false;
            ReadStrings(strings);
            return true;
        }
        target = sub;
    }
    const std::string_view name = s.substr(begin);
    if (name.empty()) return false;
    if (const TPropInfo* prop = FindProp(target->ClassType(), name)) {
        ReadPropValue(target, prop);
        return true;
    }
    const AnsiString savedName = FPropName;
    const bool savedFound = FPropFound;
    TScopeExit restore{[&] {
        FPropName = savedName;
        FPropFound = savedFound;
    }};
    FPropName = AnsiString(name);
    FPropFound = false;
    target->DefineProperties(this);
    return FPropFound;
}

// "Component.Property" of the property being read, for messages.
AnsiString TReader::Where() const {
    if (!FWhereInstance) return AnsiString();
    AnsiString owner = FWhereInstance->GetNamePath();
    if (owner.IsEmpty()) owner = FWhereInstance->ClassName();
    return owner + "." + AnsiString(*FWherePath);
}

void TReader::ReadProperty(TPersistent* Instance) {
    char pathBuffer[256];
    const std::string_view path = ReadStrTo(pathBuffer);
    const int64_t start = Position();
    TPersistent* const savedInstance = FWhereInstance;
    const std::string_view* const savedPath = FWherePath;
    FWhereInstance = Instance;
    FWherePath = &path;
    TScopeExit restore{[&] {
        FWhereInstance = savedInstance;
        FWherePath = savedPath;
    }};
    bool found = true;
    bool failed = false;
    bool dataFault = false;
    AnsiString reason;
    try {
        found = ReadPropPath(Instance, path);
    } catch (const Exception& e) {
        // Back in step behind the value; if its structure is damaged this raises.
        SetPosition(start);
        SkipValue();
        failed = true;
        dataFault = dynamic_cast<const EReadDataError*>(&e) != nullptr;
        reason = e.Message;
    }
    if (!found) {
        SetPosition(start);
        SkipValue();
        const AnsiString msg =
            "Error reading " + Where() + ": Property " + AnsiString(path) + " does not exist";
        if (!Error(msg) && OnError) throw EReadError(msg);
    } else if (failed) {
        const AnsiString msg = "Error reading " + Where() + ": " + reason;
        if (dataFault) {
            if (!DataError(msg)) throw EReadDataError(msg);
        } else if (!Error(msg)) {
            throw EReadError(msg);
        }
    }
}

// ---------------------------------------------------------------------------
// TReader: components

static void SetComponentName(TComponent* Component, const AnsiString& Name) {
    if (Component->Name() == Name) return;
    try {
        Component->SetName(Name);
    } catch (const EComponentError& e) {
        throw EReadError(e.Message);
    }
}

// Components of one class usually follow each other: the last class found is
// tried first, by its exact name.
TClass TReader::StoredClass(std::string_view ClassName, AnsiString& Reason) {
    if (FLastClass && ClassName == FLastClass->Name) return FLastClass;
    TClass cls = GetClass(ClassName);
    if (!cls) {
        Reason = "Class " + AnsiString(ClassName) + " not found";
        return nullptr;
    }
    if (!cls->InheritsFrom(&TComponent::ClassInfo) || !cls->Factory) {
        Reason = "Class " + AnsiString(ClassName) + " cannot be read from a stream";
        return nullptr;
    }
    FLastClass = cls;
    return cls;
}

TClass TReader::FindStoredClass(std::string_view ClassName) {
    AnsiString reason;
    const TClass cls = StoredClass(ClassName, reason);
    if (!cls) throw EReadError(reason);
    return cls;
}

void TReader::SkipComponentBody() {
    TDepthGuard guard(*this);
    char buffer[256];
    while (!EndOfList()) {
        ReadStrTo(buffer);
        SkipValue();
    }
    ReadByte();
    while (!EndOfList()) {
        TFilerFlags flags;
        int childPos = 0;
        ReadPrefix(flags, childPos);
        ReadStrTo(buffer);
        ReadStrTo(buffer);
        SkipComponentBody();
    }
    ReadByte();
}

static std::unique_ptr<TComponent> CreateStoredComponent(TClass Class, TComponent* Owner) {
    std::unique_ptr<TObject> object(Class->Factory(Owner));
    auto* component = qm_detail::ClassCast<TComponent>(object.get());
    if (!component)
        throw EReadError("Class " + AnsiString(Class->Name) + " cannot be read from a stream");
    object.release();
    component->AfterConstruction();
    return std::unique_ptr<TComponent>(component);
}

void TReader::ReadData(TComponent* Instance) {
    while (!EndOfList())
        ReadProperty(Instance);
    ReadByte();
    TComponent* savedOwner = FOwner;
    TComponent* savedParent = FParent;
    TScopeExit restore{[&] {
        FOwner = savedOwner;
        FParent = savedParent;
    }};
    FParent = Instance->GetChildParent();
    FOwner = Instance->GetChildOwner();
    if (!FOwner) FOwner = FRoot;
    while (!EndOfList())
        ReadComponent(nullptr);
    ReadByte();
}

TComponent* TReader::ReadComponent(TComponent* Component) {
    TDepthGuard guard(*this);
    const bool top = FReadLevel == 0;
    ++FReadLevel;
    TScopeExit leave{[&] { --FReadLevel; }};
    try {
        TFilerFlags flags;
        int childPos = 0;
        ReadPrefix(flags, childPos);
        char classBuffer[256];
        const std::string_view className = ReadStrTo(classBuffer);
        const AnsiString name = ReadStr();
        TComponent* result = Component;
        std::unique_ptr<TComponent> created;
        if (!result) {
            if (flags.Contains(ffInherited)) {
                result = FOwner ? FOwner->FindComponent(name) : nullptr;
                if (!result) throw EReadError("Ancestor for '" + name + "' not found");
            } else {
                AnsiString reason;
                const TClass cls = StoredClass(className, reason);
                if (!cls) {
                    if (!ClassError("Error reading " +
                                    (name.IsEmpty() ? AnsiString(className) : name) + ": " +
                                    reason))
                        throw EReadError(reason);
                    SkipComponentBody();
                    if (top) EndRead(true);
                    return nullptr;
                }
                created = CreateStoredComponent(cls, FOwner);
                result = created.get();
            }
        }
        result->BeginLoading();
        const size_t loadedIndex = FLoaded.size();
        FLoaded.push_back(result);
        try {
            if (!flags.Contains(ffInherited)) SetComponentName(result, name);
            if (FParent && FParent != result) result->SetParentComponent(FParent);
            ReadData(result);
            result->EndReading();
        } catch (...) {
            if (created) {
                // It goes, and children it owns with it: none may stay listed.
                for (size_t i = loadedIndex; i < FLoaded.size(); ++i)
                    FLoaded[i]->CancelLoading();
                FLoaded.resize(loadedIndex);
                FFixups.clear();
            }
            throw;
        }
        created.release();
        if (top) EndRead(true);
        return result;
    } catch (...) {
        if (top) EndRead(false);
        throw;
    }
}

TComponent* TReader::ReadRootComponent(TComponent* Root) {
    TDepthGuard guard(*this);
    ++FReadLevel;
    TScopeExit leave{[&] { --FReadLevel; }};
    std::unique_ptr<TComponent> created;
    try {
        ReadSignature();
        TFilerFlags flags;
        int childPos = 0;
        ReadPrefix(flags, childPos);
        char classBuffer[256];
        const std::string_view className = ReadStrTo(classBuffer);
        const AnsiString name = ReadStr();
        if (!Root) {
            created = CreateStoredComponent(FindStoredClass(className), nullptr);
            Root = created.get();
        }
        SetRoot(Root);
        FOwner = Root;
        FParent = nullptr;
        Root->BeginLoading();
        FLoaded.push_back(Root);
        SetComponentName(Root, name);
        ReadData(Root);
        Root->EndReading();
        EndRead(true);
    } catch (...) {
        EndRead(false);
        throw;
    }
    return created ? created.release() : Root;
}

TComponent* TReader::FindReference(const AnsiString& Name) const {
    if (!FRoot) return nullptr;
    const std::string& s = Name.str();
    TComponent* c = nullptr;
    size_t begin = 0;
    bool first = true;
    while (true) {
        const size_t dot = s.find('.', begin);
        const AnsiString part(
            s.substr(begin, dot == std::string::npos ? std::string::npos : dot - begin));
        if (first) {
            if (SameText(part, "Owner"))
                c = FRoot;
            else
                c = FRoot->FindComponent(part);
            if (!c && !part.IsEmpty() && SameText(part, FRoot->Name())) c = FRoot;
            first = false;
        } else {
            c = SameText(part, "Owner") ? c->Owner() : c->FindComponent(part);
        }
        if (!c || dot == std::string::npos) return c;
        begin = dot + 1;
    }
}

void TReader::FixupReferences() {
    std::vector<TFixup> fixups;
    fixups.swap(FFixups);
    for (const TFixup& f : fixups) {
        TComponent* target = FindReference(f.Reference);
        AnsiString reason;
        if (!target) {
            reason = "Component " + f.Reference + " not found";
        } else if (f.Prop->PropClass && !target->InheritsFrom(f.Prop->PropClass)) {
            reason = kInvalidValue;
        } else {
            try {
                f.Prop->SetObj(f.Instance, target);
                continue;
            } catch (const Exception& e) {
                reason = e.Message;
            }
        }
        const AnsiString msg = "Error reading " + f.Where + ": " + reason;
        if (!Error(msg)) throw EReadError(msg);
    }
}

void TReader::EndRead(bool Success) {
    std::vector<TComponent*> loaded;
    loaded.swap(FLoaded);
    FFilledCollections.clear();
    if (!Success) {
        FFixups.clear();
        for (TComponent* c : loaded)
            c->CancelLoading();
        return;
    }
    size_t next = 0;
    try {
        FixupReferences();
        for (; next < loaded.size(); ++next)
            loaded[next]->Loaded();
    } catch (...) {
        FFixups.clear();
        for (; next < loaded.size(); ++next)
            loaded[next]->CancelLoading();
        throw;
    }
}

// ---------------------------------------------------------------------------

void WriteComponentToStream(TStream* Stream, TComponent* Instance) {
    TWriter writer(Stream);
    writer.WriteRootComponent(Instance);
    writer.FlushBuffer();
}

TComponent* ReadComponentFromStream(TStream* Stream, TComponent* Instance) {
    TReader reader(Stream);
    return reader.ReadRootComponent(Instance);
}
