#include "platform/classes/streams.h"
#include "platform/classes/filenames.h"
#include "platform/rtl/exceptions.h"
#include <algorithm>
#include <atomic>
#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <dirent.h>
#include <exception>
#include <cstdio>
#include <fcntl.h>
#include <signal.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

QM_CLASS_ABSTRACT(TStream, TObject)
QM_CLASS_PLAIN(TMemoryStream, TStream)
QM_CLASS_PLAIN(TStringStream, TStream)
QM_CLASS_ABSTRACT(TFileStream, TStream)

namespace {
const char* const InUseReason = "The file is in use by another process.";

AnsiString Quoted(const AnsiString& FileName) {
    return "\"" + FileName + "\". ";
}

[[noreturn]] void CreateError(const AnsiString& FileName, const AnsiString& Reason) {
    throw EFCreateError("Cannot create file " + Quoted(FileName) + Reason);
}

[[noreturn]] void OpenError(const AnsiString& FileName, const AnsiString& Reason) {
    throw EFOpenError("Cannot open file " + Quoted(FileName) + Reason);
}

int64_t ClampPosition(int64_t Offset, TSeekOrigin Origin, int64_t Current, int64_t Size) {
    int64_t base = Origin == soFromBeginning ? 0 : Origin == soFromCurrent ? Current : Size;
    if (Offset > 0 && base > INT64_MAX - Offset) return INT64_MAX;
    return std::max<int64_t>(0, base + Offset);
}

// Bytes a transfer may move from Position in a buffer of Size bytes.
int Available(int64_t Position, int64_t Size, int Count) {
    if (Count <= 0 || Position >= Size) return 0;
    return static_cast<int>(std::min<int64_t>(Count, Size - Position));
}

// A stream that cannot grow says so as the platform does, instead of letting
// an allocation failure or an overflowing end position escape.
[[noreturn]] void GrowError() {
    throw EStreamError("Out of memory while expanding memory stream");
}

template <typename Buffer> void Resize(Buffer& Data, int64_t NewSize) {
    if (NewSize < 0) NewSize = 0;
    if (static_cast<uint64_t>(NewSize) > Data.max_size()) GrowError();
    try {
        Data.resize(static_cast<size_t>(NewSize));
    } catch (const std::exception&) {
        GrowError();
    }
}

// End of a write of Count bytes at Position.
int64_t WriteEnd(int64_t Position, int Count) {
    if (Position > INT64_MAX - Count) GrowError();
    return Position + Count;
}

bool WriteAllAt(int Fd, const char* Data, int64_t Size, int64_t Offset) {
    while (Size > 0) {
        const ssize_t n = ::pwrite(Fd, Data, static_cast<size_t>(std::min<int64_t>(Size, 1 << 30)),
                                   static_cast<off_t>(Offset));
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) {
            if (n == 0) errno = EIO;
            return false;
        }
        Data += n;
        Offset += n;
        Size -= n;
    }
    return true;
}

// Rewrites a file in place (its folder refuses new files). The room for the
// new size is taken before the first old byte is overwritten, so a full disk
// or a size limit fails with the old content intact.
AnsiString RewriteInPlace(const std::string& Target, const void* Data, int64_t Size) {
    int fd = ::open(Target.c_str(), O_RDWR | O_CLOEXEC);
    if (fd < 0) fd = ::open(Target.c_str(), O_WRONLY | O_CLOEXEC);
    if (fd < 0) return std::strerror(errno);
    AnsiString failure;
    const auto fail = [&] {
        if (failure.IsEmpty()) failure = std::strerror(errno);
    };
    struct stat st {};
    const char* bytes = static_cast<const char*>(Data);
    if (::fstat(fd, &st) != 0) {
        fail();
    } else {
        const int64_t old = st.st_size;
        if (Size > old) {
            const int reserved = ::posix_fallocate(fd, 0, static_cast<off_t>(Size));
            if (reserved == ENOSPC || reserved == EFBIG || reserved == EDQUOT) {
                errno = reserved;
                fail();
            } else if (!WriteAllAt(fd, bytes + old, Size - old, old)) {
                // Where nothing could be reserved the part past the old end
                // goes first: it fails the same way, still before any old byte.
                fail();
            }
            if (!failure.IsEmpty()) {
                // Gives back what was taken; the old bytes were never touched.
                [[maybe_unused]] const int undone = ::ftruncate(fd, static_cast<off_t>(old));
            }
        }
        if (failure.IsEmpty() &&
            (!WriteAllAt(fd, bytes, std::min(old, Size), 0) ||
             ::ftruncate(fd, static_cast<off_t>(Size)) != 0 || ::fsync(fd) != 0))
            fail();
    }
    if (::close(fd) != 0) fail();
    return failure;
}

// The part of a file's name its temporaries carry: at most the first 32
// bytes, whole characters, so a temporary's name stays short for any name
// the folder accepts and a leftover still says whose it was.
std::string TemporaryStem(const std::string& Base) {
    constexpr size_t Longest = 32;
    if (Base.size() <= Longest) return Base;
    size_t n = Longest;
    while (n > 0 && (static_cast<unsigned char>(Base[n]) & 0xC0) == 0x80)
        --n;
    return Base.substr(0, n);
}

// Removes the temporary files a killed save of this file left beside it:
// ".stem.tmp<pid>_<n>" whose process is gone.
void RemoveStaleTemporaries(const std::string& Dir, const std::string& Base) {
    DIR* d = ::opendir(Dir.empty() ? "." : Dir.c_str());
    if (!d) return;
    const std::string prefix = "." + TemporaryStem(Base) + ".tmp";
    while (const dirent* e = ::readdir(d)) {
        const std::string name = e->d_name;
        if (name.compare(0, prefix.size(), prefix) != 0) continue;
        const std::string rest = name.substr(prefix.size());
        const size_t sep = rest.find('_');
        const auto digits = [](const std::string& t) {
            return !t.empty() && t.size() < 11 &&
                   t.find_first_not_of("0123456789") == std::string::npos;
        };
        if (sep == std::string::npos || !digits(rest.substr(0, sep)) ||
            !digits(rest.substr(sep + 1)))
            continue;
        const long pid = std::strtol(rest.c_str(), nullptr, 10);
        if (pid <= 0 || pid > INT_MAX || pid == ::getpid()) continue;
        if (::kill(static_cast<pid_t>(pid), 0) != 0 && errno == ESRCH)
            ::unlink((Dir + name).c_str());
    }
    ::closedir(d);
}

bool WriteAll(int Fd, const void* Data, int64_t Size) {
    const char* p = static_cast<const char*>(Data);
    while (Size > 0) {
        const ssize_t n = ::write(Fd, p, static_cast<size_t>(std::min<int64_t>(Size, 1 << 30)));
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) {
            if (n == 0) errno = EIO;
            return false;
        }
        p += n;
        Size -= n;
    }
    return true;
}
// A new name beside Target for a save's temporary file; stale ones of Target go first.
std::string TemporaryBeside(const std::string& Target) {
    static std::atomic<unsigned> counter{0};
    const size_t slash = Target.rfind('/');
    const std::string dir =
        slash == std::string::npos ? std::string() : Target.substr(0, slash + 1);
    const std::string base = slash == std::string::npos ? Target : Target.substr(slash + 1);
    RemoveStaleTemporaries(dir, base);
    return dir + "." + TemporaryStem(base) + ".tmp" + std::to_string(::getpid()) + "_" +
           std::to_string(counter++);
}

// Writes the bytes into the open file Fd (named Temp), on the disk and closed,
// and checks that the file holds them all; the failure's reason, or empty.
AnsiString WriteWhole(int Fd, const std::string& Temp, const void* Data, int64_t Size) {
    AnsiString failure;
    if (!WriteAll(Fd, Data, Size) || ::fsync(Fd) != 0) failure = std::strerror(errno);
    if (::close(Fd) != 0 && failure.IsEmpty()) failure = std::strerror(errno);
    struct stat st {};
    if (failure.IsEmpty() && (::stat(Temp.c_str(), &st) != 0 || st.st_size != Size))
        failure = std::strerror(EIO);
    return failure;
}
} // namespace

// ---- TStream

void TStream::ReadBuffer(void* Buffer, int Count) {
    if (Count != 0 && Read(Buffer, Count) != Count) throw EReadError("Stream read error");
}

void TStream::WriteBuffer(const void* Buffer, int Count) {
    if (Count != 0 && Write(Buffer, Count) != Count) throw EWriteError("Stream write error");
}

int64_t TStream::Size() {
    const int64_t pos = Seek(0, soFromCurrent);
    const int64_t size = Seek(0, soFromEnd);
    Seek(pos, soFromBeginning);
    return size;
}

void TStream::SetSize(int64_t) {}

int64_t TStream::CopyFrom(TStream* Source, int64_t Count) {
    if (Count == 0) {
        Source->SetPosition(0);
        Count = Source->Size();
    }
    const int64_t result = Count;
    // From or into memory the bytes move once, without a buffer between.
    if (auto* from = dynamic_cast<TMemoryStream*>(Source);
        from && from != this && Count > 0 && Count <= INT_MAX) {
        const int64_t at = from->Position();
        if (from->Size() - at < Count) throw EReadError("Stream read error");
        WriteBuffer(static_cast<const uint8_t*>(from->Memory()) + at, static_cast<int>(Count));
        from->Seek(Count, soFromCurrent);
        return result;
    }
    if (auto* to = dynamic_cast<TMemoryStream*>(this);
        to && Source != this && Count > 0 && Count <= INT_MAX) {
        const int64_t at = to->Position();
        Source->ReadBuffer(to->Room(Count), static_cast<int>(Count));
        to->Seek(at + Count, soFromBeginning);
        return result;
    }
    std::vector<char> buffer(
        static_cast<size_t>(std::min<int64_t>(std::max<int64_t>(Count, 0), 0xF000)));
    while (Count > 0) {
        const int n =
            static_cast<int>(std::min<int64_t>(Count, static_cast<int64_t>(buffer.size())));
        Source->ReadBuffer(buffer.data(), n);
        WriteBuffer(buffer.data(), n);
        Count -= n;
    }
    return result;
}

// ---- TMemoryStream

int TMemoryStream::Read(void* Buffer, int Count) {
    const int n = Available(FPosition, Size(), Count);
    if (n > 0) std::memcpy(Buffer, FData.data() + FPosition, static_cast<size_t>(n));
    FPosition += n;
    return n;
}

int TMemoryStream::Write(const void* Buffer, int Count) {
    if (Count <= 0) return 0;
    const int64_t end = WriteEnd(FPosition, Count);
    const int64_t size = Size();
    if (end > size) {
        Resize(FData, end);
        if (FPosition > size)
            std::memset(FData.data() + size, 0, static_cast<size_t>(FPosition - size));
    }
    std::memcpy(FData.data() + FPosition, Buffer, static_cast<size_t>(Count));
    FPosition = end;
    return Count;
}

void* TMemoryStream::Room(int64_t Count) {
    if (Count < 0 || FPosition > INT64_MAX - Count) GrowError();
    const int64_t end = FPosition + Count;
    const int64_t size = Size();
    if (end > size) {
        Resize(FData, end);
        if (FPosition > size)
            std::memset(FData.data() + size, 0, static_cast<size_t>(FPosition - size));
    }
    return FData.data() + FPosition;
}

int64_t TMemoryStream::Seek(int64_t Offset, TSeekOrigin Origin) {
    FPosition = ClampPosition(Offset, Origin, FPosition, Size());
    return FPosition;
}

void TMemoryStream::SetSize(int64_t NewSize) {
    const int64_t size = Size();
    Resize(FData, NewSize);
    if (Size() > size) std::memset(FData.data() + size, 0, static_cast<size_t>(Size() - size));
    FPosition = std::min(FPosition, Size());
}

void TMemoryStream::Clear() {
    FData.clear();
    FData.shrink_to_fit();
    FPosition = 0;
}

void TMemoryStream::LoadFromStream(TStream* Stream) {
    Stream->SetPosition(0);
    const int64_t count = Stream->Size();
    if (count > INT_MAX) throw EReadError("Stream read error");
    Resize(FData, count);
    Stream->ReadBuffer(FData.data(), static_cast<int>(count));
    FPosition = 0;
}

void TMemoryStream::LoadFromFile(const AnsiString& FileName) {
    TFileStream file(FileName, fmOpenRead | fmShareDenyWrite);
    LoadFromStream(&file);
}

void TMemoryStream::SaveToStream(TStream* Stream) {
    const char* p = reinterpret_cast<const char*>(FData.data());
    int64_t left = Size();
    while (left > 0) {
        const int n = static_cast<int>(std::min<int64_t>(left, 1 << 30));
        Stream->WriteBuffer(p, n);
        p += n;
        left -= n;
    }
}

void TMemoryStream::SaveToFile(const AnsiString& FileName) {
    SaveFileReplacing(FileName, FData.data(), Size());
}

// ---- TStringStream

int TStringStream::Read(void* Buffer, int Count) {
    const int n = Available(FPosition, Size(), Count);
    if (n > 0) std::memcpy(Buffer, FDataString.data() + FPosition, static_cast<size_t>(n));
    FPosition += n;
    return n;
}

int TStringStream::Write(const void* Buffer, int Count) {
    if (Count <= 0) return 0;
    const int64_t end = WriteEnd(FPosition, Count);
    if (end > Size()) Resize(FDataString, end);
    std::memcpy(FDataString.data() + FPosition, Buffer, static_cast<size_t>(Count));
    FPosition = end;
    return Count;
}

int64_t TStringStream::Seek(int64_t Offset, TSeekOrigin Origin) {
    FPosition = ClampPosition(Offset, Origin, FPosition, Size());
    return FPosition;
}

void TStringStream::SetSize(int64_t NewSize) {
    Resize(FDataString, NewSize);
    FPosition = std::min(FPosition, Size());
}

AnsiString TStringStream::ReadString(int Count) {
    const int n = Available(FPosition, Size(), Count);
    AnsiString result(FDataString.data() + std::min(FPosition, Size()), n);
    FPosition += n;
    return result;
}

void TStringStream::WriteString(const AnsiString& AString) {
    Write(AString.data(), AString.Length());
}

// ---- TFileStream

TFileStream::TFileStream(const AnsiString& FileName, unsigned Mode) : FFileName(FileName) {
    const bool create = (Mode & fmCreate) == fmCreate;
    const unsigned access = create ? fmOpenReadWrite : (Mode & 0x3);
    const unsigned share = Mode & 0xF0;
    const bool writes = access != fmOpenRead;
    const bool exclusive = share == fmShareExclusive || share == fmShareDenyRead ||
                           (writes && share != fmShareDenyNone);

    const int flags = (access == fmOpenRead    ? O_RDONLY
                       : access == fmOpenWrite ? O_WRONLY
                                               : O_RDWR) |
                      O_CLOEXEC | (create ? O_CREAT : 0);
    FHandle = ::open(SystemFileName(FileName).c_str(), flags, 0666);
    if (FHandle < 0) {
        const AnsiString reason = std::strerror(errno);
        if (create) CreateError(FileName, reason);
        OpenError(FileName, reason);
    }
    struct stat st {};
    AnsiString failure;
    if (::fstat(FHandle, &st) == 0 && S_ISDIR(st.st_mode))
        failure = std::strerror(EISDIR);
    else if (::flock(FHandle, (exclusive ? LOCK_EX : LOCK_SH) | LOCK_NB) != 0)
        failure = errno == EWOULDBLOCK ? InUseReason : std::strerror(errno);
    // Truncating only once the lock is ours keeps a file someone else holds intact.
    else if (create && ::ftruncate(FHandle, 0) != 0)
        failure = std::strerror(errno);
    if (!failure.IsEmpty()) {
        ::close(FHandle);
        FHandle = -1;
        if (create) CreateError(FileName, failure);
        OpenError(FileName, failure);
    }
}

TFileStream::~TFileStream() {
    if (FHandle >= 0) ::close(FHandle);
}

int TFileStream::Read(void* Buffer, int Count) {
    int done = 0;
    char* p = static_cast<char*>(Buffer);
    while (done < Count) {
        const ssize_t n = ::read(FHandle, p + done, static_cast<size_t>(Count - done));
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) break;
        done += static_cast<int>(n);
    }
    return done;
}

int TFileStream::Write(const void* Buffer, int Count) {
    int done = 0;
    const char* p = static_cast<const char*>(Buffer);
    while (done < Count) {
        const ssize_t n = ::write(FHandle, p + done, static_cast<size_t>(Count - done));
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) break;
        done += static_cast<int>(n);
    }
    return done;
}

int64_t TFileStream::Seek(int64_t Offset, TSeekOrigin Origin) {
    const int whence = Origin == soFromBeginning ? SEEK_SET
                       : Origin == soFromCurrent ? SEEK_CUR
                                                 : SEEK_END;
    const off_t pos = ::lseek(FHandle, static_cast<off_t>(Offset), whence);
    return pos < 0 ? ::lseek(FHandle, 0, SEEK_CUR) : static_cast<int64_t>(pos);
}

int64_t TFileStream::Size() {
    struct stat st {};
    return ::fstat(FHandle, &st) == 0 ? static_cast<int64_t>(st.st_size) : 0;
}

void TFileStream::SetSize(int64_t NewSize) {
    if (::ftruncate(FHandle, static_cast<off_t>(std::max<int64_t>(NewSize, 0))) != 0)
        throw EWriteError("Stream write error");
    if (Position() > NewSize) Seek(0, soFromEnd);
}

// ---- Whole-file replacement

void SaveFileReplacing(const AnsiString& FileName, const void* Data, int64_t Size) {
    std::string target = SystemFileName(FileName);
    // Replace what a link points at, not the link itself.
    if (char* real = ::realpath(target.c_str(), nullptr)) {
        struct stat lst {};
        if (::lstat(target.c_str(), &lst) == 0 && S_ISLNK(lst.st_mode)) target = real;
        std::free(real);
    }

    struct stat st {};
    const bool exists = ::stat(target.c_str(), &st) == 0;
    int guard = -1;
    if (exists) {
        if (S_ISDIR(st.st_mode)) CreateError(FileName, std::strerror(EISDIR));
        if (::access(target.c_str(), W_OK) != 0) CreateError(FileName, std::strerror(errno));
        // Held while replacing, so no other opener of ours sees a half state.
        guard = ::open(target.c_str(), O_RDONLY | O_CLOEXEC);
        if (guard >= 0 && ::flock(guard, LOCK_EX | LOCK_NB) != 0) {
            ::close(guard);
            CreateError(FileName, InUseReason);
        }
    }

    const std::string temp = TemporaryBeside(target);
    AnsiString failure;
    const int fd = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd < 0 && exists && (errno == EACCES || errno == EPERM)) {
        // A writable file in a folder we may not add to.
        failure = RewriteInPlace(target, Data, Size);
    } else if (fd < 0) {
        failure = std::strerror(errno);
    } else {
        if (exists) ::fchmod(fd, st.st_mode & 07777);
        failure = WriteWhole(fd, temp, Data, Size);
        if (failure.IsEmpty() && ::rename(temp.c_str(), target.c_str()) != 0)
            failure = std::strerror(errno);
        if (!failure.IsEmpty()) ::unlink(temp.c_str());
    }
    if (guard >= 0) ::close(guard);
    if (!failure.IsEmpty()) CreateError(FileName, failure);
}

void CheckFolderOf(const AnsiString& FileName) {
    const std::string target = SystemFileName(FileName);
    const size_t slash = target.rfind('/');
    if (slash == std::string::npos) return;
    const std::string dir = slash == 0 ? std::string("/") : target.substr(0, slash);
    struct stat st {};
    if (::stat(dir.c_str(), &st) != 0) CreateError(FileName, std::strerror(errno));
    if (!S_ISDIR(st.st_mode)) CreateError(FileName, std::strerror(ENOTDIR));
}

bool SaveFileNew(const AnsiString& FileName, const void* Data, int64_t Size) {
    const std::string target = SystemFileName(FileName);
    struct stat st {};
    if (::lstat(target.c_str(), &st) == 0) return false;
    const std::string temp = TemporaryBeside(target);
    const int fd = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd < 0) CreateError(FileName, std::strerror(errno));
    AnsiString failure = WriteWhole(fd, temp, Data, Size);
    bool placed = false;
    if (failure.IsEmpty()) {
        // The move takes the name only while it is free.
        int done = ::renameat2(AT_FDCWD, temp.c_str(), AT_FDCWD, target.c_str(), RENAME_NOREPLACE);
        if (done != 0 && (errno == EINVAL || errno == ENOSYS)) {
            // A file system without that move: a hard link, else look first.
            done = ::link(temp.c_str(), target.c_str());
            if (done != 0 && errno == EPERM)
                done = ::access(target.c_str(), F_OK) == 0 ? (errno = EEXIST, -1)
                                                           : ::rename(temp.c_str(), target.c_str());
        }
        if (done == 0)
            placed = true;
        else if (errno != EEXIST)
            failure = std::strerror(errno);
    }
    ::unlink(temp.c_str());
    if (!failure.IsEmpty()) CreateError(FileName, failure);
    return placed;
}
