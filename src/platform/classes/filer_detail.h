#pragma once
// What the stream writer and reader share inside the platform's filer.
#include "platform/classes/streams.h"
#include "platform/rtl/exceptions.h"
#include <algorithm>
#include <cstdint>
#include <cstring>
#include <string_view>

namespace filer_detail {

inline constexpr char kSignature[4] = {'T', 'P', 'F', '0'};
// Deep enough for any real tree, shallow enough for the stack.
inline constexpr int kMaxDepth = 200;
inline const char* const kInvalidValue = "Invalid property value";

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
inline void StreamRead(TStream* s, uint8_t* p, int64_t n) {
    while (n > 0) {
        const int part = static_cast<int>(std::min<int64_t>(n, 1 << 30));
        s->ReadBuffer(p, part);
        p += part;
        n -= part;
    }
}

inline void StreamWrite(TStream* s, const uint8_t* p, int64_t n) {
    while (n > 0) {
        const int part = static_cast<int>(std::min<int64_t>(n, 1 << 30));
        s->WriteBuffer(p, part);
        p += part;
        n -= part;
    }
}

// Property paths are short: a plain loop costs less than a library call.
inline size_t FindDot(std::string_view s, size_t From) {
    for (size_t i = From; i < s.size(); ++i)
        if (s[i] == '.') return i;
    return std::string_view::npos;
}

template <typename F> struct TScopeExit {
    F Fn;
    ~TScopeExit() { Fn(); }
};
template <typename F> TScopeExit(F) -> TScopeExit<F>;

} // namespace filer_detail
