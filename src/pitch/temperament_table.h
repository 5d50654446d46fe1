#pragma once

#include <array>
#include <string>
#include <vector>

namespace merlop {

// The fixed catalogue of historical temperaments: 12 cent offsets per row, column j being the
// note j semitones above the temperament's key, relative to equal temperament.
class TemperamentTable {
  public:
    static constexpr int kRows = 75;
    static constexpr int kNameLength = 25;

    // Offsets of one row in cents (row 0..74).
    static const std::array<float, 12>& row(int index);
    // The row's name padded with blanks to exactly 25 characters.
    static std::string name(int index);
    // The row's name in the player's language, unpadded, for lists the player reads; name()
    // stays English, as files take it.
    static std::string shownName(int index);
    // Every row's name, in row order.
    static std::vector<std::string> names();
};

// Same as TemperamentTable::name; kept as a free function for callers that list the rows.
std::string temperamentName(int index);

}  // namespace merlop
