#pragma once

#include <string>
#include <vector>

// Byte sequences as terminals send them for key presses, and the key codes the game must get.
// Each case ends with a pause (no further byte), so a trailing lone ESC counts as the Escape key.
namespace brickstorm::testing {

struct KeySequenceCase {
    const char* name;
    std::string bytes;
    std::vector<int> codes;
};

inline std::string esc(const std::string& rest) { return "\x1b" + rest; }

inline const std::vector<KeySequenceCase>& keySequenceCases() {
    static const std::vector<KeySequenceCase> cases{
        // Ordinary bytes pass as they are, whatever their value.
        {"letter", "w", {119}},
        {"capital", "K", {75}},
        {"space", " ", {32}},
        {"enter", "\r", {13}},
        {"backspace", "\x7f", {127}},
        {"control byte", "\x03", {3}},
        {"nul", std::string(1, '\0'), {0}},
        {"high byte", "\xe9", {233}},
        {"several keys", "wasd", {119, 97, 115, 100}},
        // Arrows, in both the normal and the application form.
        {"up", esc("[A"), {224, 72}},
        {"down", esc("[B"), {224, 80}},
        {"right", esc("[C"), {224, 77}},
        {"left", esc("[D"), {224, 75}},
        {"up application", esc("OA"), {224, 72}},
        {"down application", esc("OB"), {224, 80}},
        {"right application", esc("OC"), {224, 77}},
        {"left application", esc("OD"), {224, 75}},
        // The editing block in its several spellings.
        {"home letter", esc("[H"), {224, 71}},
        {"end letter", esc("[F"), {224, 79}},
        {"home application", esc("OH"), {224, 71}},
        {"end application", esc("OF"), {224, 79}},
        {"home 1", esc("[1~"), {224, 71}},
        {"home 7", esc("[7~"), {224, 71}},
        {"end 4", esc("[4~"), {224, 79}},
        {"end 8", esc("[8~"), {224, 79}},
        {"insert", esc("[2~"), {224, 82}},
        {"delete", esc("[3~"), {224, 83}},
        {"page up", esc("[5~"), {224, 73}},
        {"page down", esc("[6~"), {224, 81}},
        // Modifiers: Ctrl gives the console's Ctrl codes, Shift changes nothing on these keys.
        {"ctrl left", esc("[1;5D"), {224, 115}},
        {"ctrl right", esc("[1;5C"), {224, 116}},
        {"ctrl home", esc("[1;5H"), {224, 119}},
        {"ctrl end", esc("[1;5F"), {224, 117}},
        {"ctrl up", esc("[1;5A"), {224, 141}},
        {"ctrl down", esc("[1;5B"), {224, 145}},
        {"ctrl page up", esc("[5;5~"), {224, 132}},
        {"ctrl page down", esc("[6;5~"), {224, 118}},
        {"ctrl home tilde", esc("[1;5~"), {224, 119}},
        {"ctrl left modifier only", esc("[5D"), {224, 115}},
        {"ctrl left caret form", esc("Od"), {224, 115}},
        {"ctrl right caret form", esc("Oc"), {224, 116}},
        {"ctrl home caret form", esc("[7^"), {224, 119}},
        {"shift left", esc("[1;2D"), {224, 75}},
        {"shift insert dollar form", esc("[2$"), {224, 82}},
        // Function keys: prefix 0, then 59 to 68.
        {"f1 application", esc("OP"), {0, 59}},
        {"f2 application", esc("OQ"), {0, 60}},
        {"f3 application", esc("OR"), {0, 61}},
        {"f4 application", esc("OS"), {0, 62}},
        {"f1 tilde", esc("[11~"), {0, 59}},
        {"f4 tilde", esc("[14~"), {0, 62}},
        {"f5", esc("[15~"), {0, 63}},
        {"f6", esc("[17~"), {0, 64}},
        {"f7", esc("[18~"), {0, 65}},
        {"f8", esc("[19~"), {0, 66}},
        {"f9", esc("[20~"), {0, 67}},
        {"f10", esc("[21~"), {0, 68}},
        {"f1 text console", esc("[[A"), {0, 59}},
        {"f5 text console", esc("[[E"), {0, 63}},
        {"f11", esc("[23~"), {224, 133}},
        {"f12", esc("[24~"), {224, 134}},
        {"shift f1", esc("[1;2P"), {0, 84}},
        {"ctrl f5", esc("[15;5~"), {0, 98}},
        {"shift tab", esc("[Z"), {0, 15}},
        // Keys in a row, with the sequences between ordinary bytes.
        {"arrow then letter", esc("[A") + "w", {224, 72, 119}},
        {"letter then arrow", "w" + esc("[D"), {119, 224, 75}},
        {"two arrows", esc("[C") + esc("OD"), {224, 77, 224, 75}},
        // Escape on its own: before a pause, before a byte that starts no sequence, twice.
        {"lone escape", esc(""), {27}},
        {"escape then letter", esc("w"), {27, 119}},
        {"escape twice", esc("") + esc(""), {27, 27}},
        {"escape then arrow", esc("") + esc("[A"), {27, 224, 72}},
        {"letter then lone escape", "q" + esc(""), {113, 27}},
        // Unknown or cut-off sequences are dropped whole, and what follows still counts.
        {"unknown tilde number", esc("[99~") + "w", {119}},
        {"alt left", esc("[1;3D") + "w", {119}},
        {"mouse report of the right button", esc("[<2;12;7M") + "w", {119}},
        {"private query reply", esc("[?1;2c") + "w", {119}},
        {"too many parameters", esc("[1;5;7D") + "w", {119}},
        {"huge number", esc("[99999999999999999999~") + "w", {119}},
        {"keypad application key", esc("Ox") + "w", {119}},
        {"unknown text console key", esc("[[Z") + "w", {119}},
        {"cut off before a pause", esc("[1;5"), {}},
        {"open bracket before a pause", esc("["), {}},
        {"runaway sequence", esc("[") + std::string(200, '1') + "~w", {119}},
        // A byte that cannot be part of a sequence breaks it off and counts as itself.
        {"broken by a control byte", esc("[1") + "\x03", {3}},
        {"broken by escape", esc("[1") + esc("[B"), {224, 80}},
        {"broken by a high byte", esc("[1") + "\xe0", {224}},
    };
    return cases;
}

}  // namespace brickstorm::testing
