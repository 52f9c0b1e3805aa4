#pragma once

// The game's key codes: an ordinary key is its byte, an extended key (an arrow, an editing or a
// function key) is a prefix followed by the key's own code. The platform's decoders produce
// them from what the terminal or the console sends, and the key handler acts on them.
namespace brickstorm {

// The codes that start a two-code extended key.
inline constexpr int kFunctionKeyPrefix = 0;
inline constexpr int kNavigationKeyPrefix = 224;

// The arrows' own codes after their prefix; the same codes as the letters "K" and "M".
inline constexpr int kLeftArrowCode = 75;
inline constexpr int kRightArrowCode = 77;

// Not a key: the program was asked to end (a deferred Ctrl+C, SIGTERM or SIGHUP) while it
// waited for one. Outside the codes a key can have, so no key is ever taken for it.
inline constexpr int kEndingRequestKey = 256;

}  // namespace brickstorm
