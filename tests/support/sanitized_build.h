// Whether the test runs in a build under AddressSanitizer, whose shadow
// memory and slower accesses and process starts outweigh what some tests
// measure; those hold their limits for the ordinary builds.
#pragma once

namespace morv_test {

#if defined(__SANITIZE_ADDRESS__)
inline constexpr bool SANITIZED_BUILD = true;
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
inline constexpr bool SANITIZED_BUILD = true;
#else
inline constexpr bool SANITIZED_BUILD = false;
#endif
#else
inline constexpr bool SANITIZED_BUILD = false;
#endif

} // namespace morv_test
