#pragma once
// Whether this is an AddressSanitizer or ThreadSanitizer build: such a build
// reserves terabytes of shadow memory that must never be locked, and replaces
// malloc and free itself. GCC names it with a macro, clang with __has_feature.
#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__)
#define ZEM_SANITIZER_BUILD 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer) || __has_feature(thread_sanitizer)
#define ZEM_SANITIZER_BUILD 1
#endif
#endif
#ifndef ZEM_SANITIZER_BUILD
#define ZEM_SANITIZER_BUILD 0
#endif
