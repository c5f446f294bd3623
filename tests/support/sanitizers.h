#pragma once
// A test that asks for more memory than any machine has, to see the request
// refused, cannot run under AddressSanitizer: its allocator ends the process on
// such a request instead of failing it. Such a test skips itself there with
// QM_SKIP_UNDER_ASAN(); `make test` still runs it.
#include <gtest/gtest.h>

#if defined(__SANITIZE_ADDRESS__)
#define QM_UNDER_ASAN 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define QM_UNDER_ASAN 1
#endif
#endif
#ifndef QM_UNDER_ASAN
#define QM_UNDER_ASAN 0
#endif

#define QM_SKIP_UNDER_ASAN()                                                                       \
    do {                                                                                           \
        if (QM_UNDER_ASAN) GTEST_SKIP() << "allocates beyond memory: not under AddressSanitizer";  \
    } while (0)
