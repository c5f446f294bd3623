#pragma once
// Component streaming in the platform's binary form ("TPF0").
//   TValueType, TFilerFlags   the value tags and the component prefix flags
//   TFiler                    what DefineProperties sees: defined and binary properties
//   TWriter                   components, properties and values to a stream
//   TReader                   the same back; references are fixed and Loaded called at the end
//   ExtendedToDouble and the stream helpers for whole components close the file.
#include "platform/classes/component.h"
#include "platform/classes/props.h"
#include "platform/classes/streams.h"
#include <cstdint>
#include <cstring>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

class TStream;
class TCollection;
class TStrings;
class TReader;
class TWriter;

enum TValueType : uint8_t {
    vaNull,
    vaList,
    vaInt8,
    vaInt16,
    vaInt32,
    vaExtended,
    vaString,
    vaIdent,
    vaFalse,
    vaTrue,
    vaBinary,
    vaSet,
    vaLString,
    vaNil,
    vaCollection,
    vaSingle,
    vaCurrency,
    vaDate,
    vaWString,
    vaInt64,
    vaUTF8String
};

enum TFilerFlag { ffInherited, ffChildPos, ffInline };
using TFilerFlags = TSet<TFilerFlag>;

using TReaderProc = std::function<void(TReader* Reader)>;
using TWriterProc = std::function<void(TWriter* Writer)>;
using TStreamProc = std::function<void(TStream* Stream)>;

class TFiler : public TObject {
    QM_CLASS(TFiler)
public:
    TFiler(TStream* Stream, int BufSize);
    TFiler(const TFiler&) = delete;
    TFiler& operator=(const TFiler&) = delete;

    // A property kept by the class itself. The writer stores it when HasData;
    // the reader calls ReadData when the stream holds it. Either proc may be empty
    // (an old name that is read but never written has no WriteData).
    virtual void DefineProperty(const AnsiString& Name, const TReaderProc& ReadData,
                                const TWriterProc& WriteData, bool HasData) = 0;
    // The same for a block of bytes, handed over as a stream.
    virtual void DefineBinaryProperty(const AnsiString& Name, const TStreamProc& ReadData,
                                      const TStreamProc& WriteData, bool HasData) = 0;

    TStream* Stream() const { return FStream; }
    TComponent* Root() const { return FRoot; }
    virtual void SetRoot(TComponent* Value) { FRoot = FLookupRoot = Value; }
    // The component whose owned components references are named relative to.
    TComponent* LookupRoot() const { return FLookupRoot; }

protected:
    TStream* FStream;
    int FBufSize;
    TComponent* FRoot = nullptr;
    TComponent* FLookupRoot = nullptr;
};

// A binary property's bytes as the reader hands them to the class that stores
// them: read only, in place where the reader's stream holds all its bytes in
// memory, so a block of a million points is not copied on its way in.
class TBinaryDataStream : public TStream {
    QM_CLASS(TBinaryDataStream)
public:
    TBinaryDataStream(const void* Bytes, int64_t Size)
        : FBytes(static_cast<const uint8_t*>(Bytes)), FSize(Size) {}
    int Read(void* Buffer, int Count) override;
    int Write(const void*, int) override { return 0; }
    int64_t Seek(int64_t Offset, TSeekOrigin Origin) override;
    int64_t Size() override { return FSize; }
    const void* Memory() const { return FBytes; }

private:
    const uint8_t* FBytes;
    int64_t FSize;
    int64_t FPosition = 0;
};

class TWriter : public TFiler {
    QM_CLASS(TWriter)
public:
    explicit TWriter(TStream* Stream, int BufSize = 4096);
    // Flushes what is buffered; call FlushBuffer first to see a failed write.
    ~TWriter() override;

    void DefineProperty(const AnsiString& Name, const TReaderProc& ReadData,
                        const TWriterProc& WriteData, bool HasData) override;
    void DefineBinaryProperty(const AnsiString& Name, const TStreamProc& ReadData,
                              const TStreamProc& WriteData, bool HasData) override;

    void FlushBuffer();
    int64_t Position() const { return FStreamPos + static_cast<int64_t>(FBuffer.size()); }
    void Write(const void* Buffer, int64_t Count);

    void WriteSignature();
    void WritePrefix(TFilerFlags Flags, int ChildPos);
    // A short string: one length byte, then the bytes (EWriteError above 255).
    void WriteStr(const AnsiString& Value);
    void WriteValue(TValueType Value);
    void WriteListBegin() { WriteValue(vaList); }
    void WriteListEnd() { WriteValue(vaNull); }
    // The smallest of int8, int16, int32, int64 that holds Value.
    void WriteInteger(int64_t Value);
    void WriteBoolean(bool Value) { WriteValue(Value ? vaTrue : vaFalse); }
    // As a 10-byte extended, converted exactly.
    void WriteFloat(double Value);
    // Ten bytes of an extended as they are, whatever they encode.
    void WriteExtended(const uint8_t Value[10]);
    void WriteSingle(float Value);
    // Currency: the value times 10000 as a 64-bit integer.
    void WriteCurrency(int64_t Scaled);
    void WriteDate(double Value);
    // A short string up to 255 bytes, else a long one.
    void WriteString(const AnsiString& Value);
    // UTF-16 code units.
    void WriteWideString(const std::u16string& Value);
    // "False", "True", "nil" and "Null" (any case) become their own tags.
    void WriteIdent(const AnsiString& Ident);

    void WriteCollection(TCollection* Value);
    void WriteProperties(TPersistent* Instance);
    void WriteProperty(TPersistent* Instance, const TPropInfo* Prop);
    // Each component is written against a freshly made instance of its class
    // that is given every value written, as a reader would give it: a property
    // is left out only when it equals what that instance holds at that point
    // (its sub-objects compared the same way), so whatever was set comes back,
    // side effects of one property on another included. Without it, against
    // the declared defaults.
    void SetAgainstConstructed(bool Value) { FAgainstConstructed = Value; }
    // A component written below the root whose own components a reader will
    // find by their names alone, as it finds the root's (a chart file is read
    // into the chart, whoever owns the chart when it is written).
    void SetLocalOwner(TComponent* Value) { FLocalOwner = Value; }
    // Prefix, class name, name, properties, then the children GetChildren lists.
    void WriteComponent(TComponent* Component);
    // Sets the root, writes the signature and the component.
    void WriteRootComponent(TComponent* Root);

private:
    void WritePropName(const AnsiString& Name);
    void WriteBytes(const void* Data, size_t Count);
    void WriteStrings(TStrings* Value);
    AnsiString ComponentReference(TComponent* Component) const;
    void WriteProperties(TPersistent* Instance, TObject* Constructed);
    void WriteChangedAfterwards(TPersistent* Instance, TObject* Constructed);
    void WriteProperty(TPersistent* Instance, const TPropInfo* Prop, TObject* Constructed);
    std::unique_ptr<TObject> Construct(TClass Class) const;

    bool FAgainstConstructed = false;
    TComponent* FLocalOwner = nullptr;
    std::vector<uint8_t> FBuffer;
    int64_t FStreamPos = 0;
    int FWriteLevel = 0;
    AnsiString FPropPath;
};

class TReader : public TFiler {
    QM_CLASS(TReader)
public:
    explicit TReader(TStream* Stream, int BufSize = 4096);
    // Leaves the stream just behind what was read.
    ~TReader() override;

    // Asked about every property that cannot be read (an unknown name, a value of
    // the wrong kind or one a setter refused, a reference not found) once the
    // stream is back in step behind it: true skips the property and goes on.
    // Without a handler unknown names are skipped and other faults raise EReadError.
    std::function<bool(const AnsiString& Message)> OnError;
    virtual bool Error(const AnsiString& Message);
    // Asked instead when a class's own data block (points, polygons) cannot be
    // read: damage inside a block a class writes itself, not a plain value.
    virtual bool DataError(const AnsiString& Message) { return Error(Message); }
    // A component whose class cannot be made: true skips it with all it holds.
    // Refused by default, whatever OnError would say.
    virtual bool ClassError(const AnsiString& Message) {
        (void)Message;
        return false;
    }
    // Each integer read for a published property passes here before its setter:
    // a reader for a kind of file may bound what that file's objects can use.
    virtual int64_t BoundInteger(TPersistent* Instance, const TPropInfo* Prop, int64_t Value) {
        (void)Instance, (void)Prop;
        return Value;
    }

    void DefineProperty(const AnsiString& Name, const TReaderProc& ReadData,
                        const TWriterProc& WriteData, bool HasData) override;
    void DefineBinaryProperty(const AnsiString& Name, const TStreamProc& ReadData,
                              const TStreamProc& WriteData, bool HasData) override;

    int64_t Position() const { return FBufStart + FBufPos; }
    void SetPosition(int64_t Value);
    // Bytes left in the stream; every length read is checked against it.
    int64_t Remaining() const { return FStreamSize - Position(); }
    // Raises EReadError "Stream read error" when fewer bytes are left.
    void Read(void* Buffer, int64_t Count) {
        // Most values are a few bytes already in the buffer.
        if (Count > 0 && FBufEnd - FBufPos >= Count) {
            std::memcpy(Buffer, FBuffer.data() + FBufPos, static_cast<size_t>(Count));
            FBufPos += Count;
            return;
        }
        ReadBuffered(Buffer, Count);
    }

    void ReadSignature();
    void ReadPrefix(TFilerFlags& Flags, int& ChildPos);
    AnsiString ReadStr();
    TValueType ReadValue();
    TValueType NextValue();
    bool EndOfList();
    void CheckValue(TValueType Value);
    void ReadListBegin() { CheckValue(vaList); }
    void ReadListEnd() { CheckValue(vaNull); }
    int ReadInteger();
    int64_t ReadInt64();
    bool ReadBoolean();
    // Any number: extended, single, currency, date or integer.
    double ReadFloat();
    // Short, long, wide and UTF-8 strings; wide text comes back in Windows-1252.
    AnsiString ReadString();
    // An identifier, or "False", "True", "nil", "Null" for their tags.
    AnsiString ReadIdent();
    // Steps over one value of any kind, checking its structure.
    void SkipValue();

    void ReadCollection(TCollection* Collection);
    void ReadProperty(TPersistent* Instance);
    // Reads one component: into Component when given, else a new one of the
    // stored class owned by Owner() and placed under Parent().
    TComponent* ReadComponent(TComponent* Component);
    // Reads the signature and a whole tree into Root (a new component of the
    // stored class, owned by nobody, when Root is nullptr), then fixes references
    // and calls Loaded. On failure a component it created is freed again.
    TComponent* ReadRootComponent(TComponent* Root);

    TComponent* Owner() const { return FOwner; }
    TComponent* Parent() const { return FParent; }
    // Whose published methods the events read name: the root unless set (a
    // stream written with another root, such as a chart's owner, names that
    // root's methods).
    TComponent* MethodRoot() const { return FMethodRoot ? FMethodRoot : FRoot; }
    void SetMethodRoot(TComponent* Value) { FMethodRoot = Value; }
    // Off: the names are checked (and their faults reported) but nothing is
    // bound, for a read whose objects are only a trial.
    void SetBindMethods(bool Value) { FBindMethods = Value; }

    // The raw parts of a wide and a UTF-8 string value (tag already read).
    std::u16string ReadWideUnits();
    std::u16string ReadUTF8Units();
    // A value's bytes after its tag, for the text converter.
    double ReadExtendedBody();

protected:
    // The component a stored reference names, from the root; nullptr when none.
    virtual TComponent* FindReference(const AnsiString& Name) const;

private:
    struct TFixup {
        TObject* Instance;
        const TPropInfo* Prop;
        AnsiString Reference;
        AnsiString Where;
    };
    class TDepthGuard;

    struct TPropCacheEntry {
        TClass Class = nullptr;
        uint8_t Length = 0;
        char Name[32];
        const TPropInfo* Prop = nullptr;
    };
    static constexpr size_t kPropCacheSize = 64;

    void Fill(int64_t Need);
    void ReadBuffered(void* Buffer, int64_t Count);
    // A short string into Buffer, as a view of it.
    std::string_view ReadStrTo(char (&Buffer)[256]);
    TClass FindStoredClass(std::string_view ClassName);
    // The class a component of the stream can be made from, or why none can.
    TClass StoredClass(std::string_view ClassName, AnsiString& Reason);
    // Steps over the rest of a component whose class cannot be made: its
    // properties and its children, checking their structure.
    void SkipComponentBody();
    TPropCacheEntry* PropCacheSlot(TClass Class, std::string_view Name);
    const TPropInfo* FindProp(TClass Class, std::string_view Name);
    uint8_t ReadByte();
    // A length of Size bytes, checked against what is left for that many units.
    int64_t ReadLength(int Size, int UnitSize) {
        // A short length whose bytes are buffered too is in the stream.
        if (Size == 1 && FBufPos < FBufEnd) {
            const int64_t n = FBuffer[static_cast<size_t>(FBufPos)];
            if (FBufEnd - FBufPos > n * UnitSize) {
                ++FBufPos;
                return n;
            }
        }
        return ReadLengthChecked(Size, UnitSize);
    }
    int64_t ReadLengthChecked(int Size, int UnitSize);
    AnsiString ReadChars(int64_t Count);
    void ReadData(TComponent* Instance);
    bool ReadPropPath(TPersistent* Instance, std::string_view Path);
    void ReadPropValue(TPersistent* Instance, const TPropInfo* Prop);
    void ReadStrings(TStrings* Value);
    void SkipValueBody(TValueType Value);
    void FixupReferences();
    void EndRead(bool Success);
    [[noreturn]] void Invalid(const AnsiString& What) const;
    AnsiString Where() const;

    std::vector<uint8_t> FBuffer;
    int64_t FBufPos = 0;   // read position inside FBuffer
    int64_t FBufEnd = 0;   // bytes valid in FBuffer
    int64_t FBufStart = 0; // stream position of FBuffer[0]
    int64_t FStreamSize = 0;
    int FDepth = 0;
    int FReadLevel = 0;
    TComponent* FOwner = nullptr;
    TComponent* FParent = nullptr;
    TComponent* FMethodRoot = nullptr;
    bool FBindMethods = true;
    AnsiString FPropName; // the defined property being looked for
    bool FPropFound = false;
    TPersistent* FWhereInstance = nullptr; // the property being read, for messages
    const std::string_view* FWherePath = nullptr;
    TClass FLastClass = nullptr;
    TPropCacheEntry FPropCache[kPropCacheSize];
    std::vector<TComponent*> FLoaded;
    std::vector<TFixup> FFixups;
    std::vector<TCollection*> FFilledCollections;
};

// The 10-byte extended format, converted exactly (doubles become extendeds
// without loss; extendeds round to the nearest double, ties to even).
void DoubleToExtended(double Value, uint8_t Out[10]);
double ExtendedToDouble(const uint8_t In[10]);

// Whole components through a stream: signature and tree.
void WriteComponentToStream(TStream* Stream, TComponent* Instance);
TComponent* ReadComponentFromStream(TStream* Stream, TComponent* Instance);
