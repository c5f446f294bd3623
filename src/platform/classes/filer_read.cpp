// Component streaming in the binary form ("TPF0"): reading.
//   TReader: values       the read buffer, tags, numbers, strings, skipping a value
//   TReader: properties   defined properties, collections, published properties by path
//   TReader: components   classes, names and a whole tree; references and Loaded at the end
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

QM_CLASS_ABSTRACT(TReader, TFiler)
QM_CLASS_ABSTRACT(TBinaryDataStream, TStream)

using namespace filer_detail;

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

TComponent* ReadComponentFromStream(TStream* Stream, TComponent* Instance) {
    TReader reader(Stream);
    return reader.ReadRootComponent(Instance);
}
