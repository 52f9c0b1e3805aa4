#pragma once

#include "core/key_codes.h"

// The keys of the editor, as the game's key codes: an ordinary key is its byte, an extended key
// its prefix and then its own code.
namespace brickstorm::editor {

// Ordinary keys.
inline constexpr int kKeyToggle = ' ';
inline constexpr int kKeyMark = 'v';
inline constexpr int kKeyUndo = 'u';
inline constexpr int kKeyRedo = 'r';
inline constexpr int kKeyTurnViewLeft = '[';
inline constexpr int kKeyTurnViewRight = ']';
inline constexpr int kKeySwitchView = '\t';
inline constexpr int kKeyGrow = 'g';
inline constexpr int kKeyShrink = 's';
inline constexpr int kKeyPlayTest = 't';
inline constexpr int kKeyPlayTestHere = 'T';  // from the cursor's cell, facing the editor's way
inline constexpr int kKeyHelp = '?';
inline constexpr int kKeyQuit = 'q';
inline constexpr int kKeyLayerUp = '+';
inline constexpr int kKeyLayerUpUnshifted = '=';  // the same key without Shift on many keyboards
inline constexpr int kKeyLayerDown = '-';
inline constexpr int kKeyEscape = 27;
inline constexpr int kKeySave = 19;      // Ctrl+S
inline constexpr int kKeySaveAs = 23;    // Ctrl+W
inline constexpr int kKeyInterrupt = 3;  // Ctrl+C, where it arrives as a key rather than a signal
inline constexpr int kKeyYes = 'y';
inline constexpr int kKeyNo = 'n';

// The own codes of extended keys, after kNavigationKeyPrefix.
inline constexpr int kUpArrowCode = 72;
inline constexpr int kDownArrowCode = 80;
inline constexpr int kPageUpCode = 73;
inline constexpr int kPageDownCode = 81;

}  // namespace brickstorm::editor
