#pragma once

#include <string>

namespace merlop {

constexpr int kGmProgramCount = 128;
// Room for "128 " and a name padded to 15 characters, plus the terminator.
constexpr int kGmEntryChars = 20;

// The list entry of a General MIDI program 0..127, e.g. "1 Acou.Piano     " for 0 (the name is
// padded with blanks to 15 characters); an empty string outside that range. A list showing the
// entries in order has the program number as its index.
const char* gmProgramEntry(int program);
// The program's name alone in the player's language (entries stay English); empty outside
// 0..127.
std::string gmProgramName(int program);

}  // namespace merlop
