#pragma once

// Which sanitizer the tests were built with, for the few cases that a sanitizer's own runtime
// cannot take (each says why where it asks).
namespace brickstorm::testing {

#if defined(__SANITIZE_THREAD__)
inline constexpr bool kUnderThreadSanitizer = true;
#elif defined(__has_feature)
#if __has_feature(thread_sanitizer)
inline constexpr bool kUnderThreadSanitizer = true;
#else
inline constexpr bool kUnderThreadSanitizer = false;
#endif
#else
inline constexpr bool kUnderThreadSanitizer = false;
#endif

}  // namespace brickstorm::testing
