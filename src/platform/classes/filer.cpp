// Component streaming in the binary form ("TPF0"); the reader is in filer_read.cpp.
//   Extended floats       the 10-byte format to and from doubles
//   TWriter               buffered output, values, properties, components
#include "platform/classes/filer.h"
#include "platform/classes/filer_detail.h"
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

using namespace filer_detail;

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
    if (FLocalOwner && Component->Owner() == FLocalOwner && !Component->Name().IsEmpty())
        return Component->Name();
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

void WriteComponentToStream(TStream* Stream, TComponent* Instance) {
    TWriter writer(Stream);
    writer.WriteRootComponent(Instance);
    writer.FlushBuffer();
}
