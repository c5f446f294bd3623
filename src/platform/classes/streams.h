#pragma once
// Byte streams: TStream (the abstract base with buffer reads, seeking and
// copying), TMemoryStream, TStringStream and TFileStream (a POSIX file with the
// platform's share modes done as flock locks).
#include "platform/classes/classinfo.h"
#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <new>
#include <vector>

enum TSeekOrigin {
    soFromBeginning = 0,
    soFromCurrent = 1,
    soFromEnd = 2,
    soBeginning = soFromBeginning,
    soCurrent = soFromCurrent,
    soEnd = soFromEnd
};

class TStream : public TObject {
    QM_CLASS(TStream)
public:
    TStream() = default;
    TStream(const TStream&) = delete;
    TStream& operator=(const TStream&) = delete;

    // Transfer up to Count bytes; the result is the number actually moved.
    virtual int Read(void* Buffer, int Count) = 0;
    virtual int Write(const void* Buffer, int Count) = 0;
    // New position from the origin; returns the resulting position.
    virtual int64_t Seek(int64_t Offset, TSeekOrigin Origin) = 0;

    // Raise EReadError "Stream read error" / EWriteError "Stream write error"
    // when fewer than Count bytes move.
    void ReadBuffer(void* Buffer, int Count);
    void WriteBuffer(const void* Buffer, int Count);

    int64_t Position() { return Seek(0, soFromCurrent); }
    void SetPosition(int64_t Pos) { Seek(Pos, soFromBeginning); }
    virtual int64_t Size();
    virtual void SetSize(int64_t NewSize);

    // Copies Count bytes from Source's position; Count 0 copies all of Source
    // from its start. Returns the number of bytes copied.
    int64_t CopyFrom(TStream* Source, int64_t Count);
};

// The bytes of a memory stream: grows by half again (in place where the
// allocator can) and leaves new bytes as they are, so the stream zeroes only
// the ones no write is about to fill.
class TStreamBuffer {
public:
    TStreamBuffer() = default;
    TStreamBuffer(const TStreamBuffer&) = delete;
    TStreamBuffer& operator=(const TStreamBuffer&) = delete;
    ~TStreamBuffer() { std::free(FData); }
    uint8_t* data() { return FData; }
    const uint8_t* data() const { return FData; }
    size_t size() const { return FSize; }
    size_t max_size() const { return PTRDIFF_MAX; }
    void resize(size_t Count) {
        if (Count > FCapacity) Grow(Count);
        FSize = Count;
    }
    void clear() { FSize = 0; }
    void shrink_to_fit() {
        if (FSize) return;
        std::free(FData);
        FData = nullptr;
        FCapacity = 0;
    }

private:
    void Grow(size_t Count) {
        const size_t capacity = std::max(Count, FCapacity + FCapacity / 2);
        void* p = std::realloc(FData, capacity);
        if (!p) throw std::bad_alloc();
        FData = static_cast<uint8_t*>(p);
        FCapacity = capacity;
    }
    uint8_t* FData = nullptr;
    size_t FSize = 0;
    size_t FCapacity = 0;
};

class TMemoryStream : public TStream {
    QM_CLASS(TMemoryStream)
public:
    int Read(void* Buffer, int Count) override;
    int Write(const void* Buffer, int Count) override;
    // A position before the start is held at 0; past the end is allowed and a
    // write there fills the gap with zeros. Growing beyond what memory holds
    // raises EStreamError "Out of memory while expanding memory stream".
    int64_t Seek(int64_t Offset, TSeekOrigin Origin) override;
    int64_t Size() override { return static_cast<int64_t>(FData.size()); }
    void SetSize(int64_t NewSize) override;

    void* Memory() { return FData.data(); }
    const void* Memory() const { return FData.data(); }
    void Clear();

    void LoadFromStream(TStream* Stream);
    void LoadFromFile(const AnsiString& FileName);
    void SaveToStream(TStream* Stream);
    // Replaces the file as a whole (see SaveFileReplacing).
    void SaveToFile(const AnsiString& FileName);

    // The Count bytes from the position on, the stream grown to hold them and
    // left for the caller to fill (the position stays).
    void* Room(int64_t Count);

private:
    TStreamBuffer FData;
    int64_t FPosition = 0;
};

class TStringStream : public TStream {
    QM_CLASS(TStringStream)
public:
    TStringStream() = default;
    explicit TStringStream(const AnsiString& AString) : FDataString(AString.str()) {}

    int Read(void* Buffer, int Count) override;
    int Write(const void* Buffer, int Count) override;
    int64_t Seek(int64_t Offset, TSeekOrigin Origin) override;
    int64_t Size() override { return static_cast<int64_t>(FDataString.size()); }
    void SetSize(int64_t NewSize) override;

    AnsiString DataString() const { return AnsiString(FDataString); }
    // Up to Count bytes from the position.
    AnsiString ReadString(int Count);
    void WriteString(const AnsiString& AString);

private:
    std::string FDataString;
    int64_t FPosition = 0;
};

// Open modes: one access mode, or fmCreate, combined with one share mode.
enum : unsigned {
    fmOpenRead = 0x0000,
    fmOpenWrite = 0x0001,
    fmOpenReadWrite = 0x0002,
    fmShareCompat = 0x0000,
    fmShareExclusive = 0x0010,
    fmShareDenyWrite = 0x0020,
    fmShareDenyRead = 0x0030,
    fmShareDenyNone = 0x0040,
    fmCreate = 0xFF00
};

// A file on disk. Sharing between openers (in this or another process) is an
// flock on the file: exclusive and deny-read opens and writers that deny
// others take an exclusive lock, every other open a shared one, so a file open
// exclusively refuses every second open and a reader that denies writing
// refuses writers. Failures raise EFCreateError / EFOpenError with the reason.
class TFileStream : public TStream {
    QM_CLASS(TFileStream)
public:
    TFileStream(const AnsiString& FileName, unsigned Mode);
    ~TFileStream() override;

    int Read(void* Buffer, int Count) override;
    int Write(const void* Buffer, int Count) override;
    int64_t Seek(int64_t Offset, TSeekOrigin Origin) override;
    int64_t Size() override;
    void SetSize(int64_t NewSize) override;

    const AnsiString& FileName() const { return FFileName; }
    int Handle() const { return FHandle; }

private:
    AnsiString FFileName;
    int FHandle = -1;
};

// Writes Size bytes as the new content of FileName without ever leaving it
// half-written: the bytes go to a temporary file beside it, which then replaces
// the file. An existing file another opener holds locked is refused
// (EFCreateError), as an open for writing would be. Permissions are kept. Only
// when the folder refuses new files is a writable file rewritten in place, and
// then only once the room for its new size is taken, so a full disk leaves the
// old content. Temporary files that killed saves of the file left (their
// process is gone) are removed. Failures raise EFCreateError naming the file.
void SaveFileReplacing(const AnsiString& FileName, const void* Data, int64_t Size);
// The same whole-file write for a file that must not replace another: false,
// with nothing written, when FileName exists or takes its name meanwhile.
bool SaveFileNew(const AnsiString& FileName, const void* Data, int64_t Size);
// Raises the EFCreateError a save of FileName would when its folder does not
// exist (no writer makes one), before a writer builds what it would save.
void CheckFolderOf(const AnsiString& FileName);
