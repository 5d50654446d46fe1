#include "pitch/temperament_table.h"

#include <algorithm>

#include "common/translation.h"

namespace merlop {

namespace {

struct Row {
    const char* name;
    std::array<float, 12> cents;
};

// Offsets in cents from equal temperament for the notes 0..11 semitones above the key.
const Row kCatalogue[TemperamentTable::kRows] = {
    {MERLOP_TR_NOOP("Temperaments", "Equal temperament"), {0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}},
    {MERLOP_TR_NOOP("Temperaments", "Agricola Pythag Monochord"),
     {0, 10, 4, 14, 8, -2, 8, 2, 12, 6, 16, 10}},
    {MERLOP_TR_NOOP("Temperaments", "Agricola Monochord"),
     {0, -8, 4, -4, 8, -2, -10, 2, -6, 6, -4, 10}},
    {MERLOP_TR_NOOP("Temperaments", "Artusi Monochord"),
     {0, -3, -7, -10, -14, 3, 0, -3, -6, -10, -13, -17}},
    {MERLOP_TR_NOOP("Temperaments", "Barnes V&Y variation"),
     {0, -6, -4, -22, -8, -25, -12, -4, -10, -6, -25, -10}},
    {MERLOP_TR_NOOP("Temperaments", "Bendeler  1/3rd Comma"),
     {0, -10, -12, -6, -8, -2, -12, -6, -8, -10, -4, -6}},
    {MERLOP_TR_NOOP("Temperaments", "Benderler 1/4 Comma"),
     {0, -4, -8, -6, -4, -2, -6, -4, -2, -6, -4, -8}},
    {MERLOP_TR_NOOP("Temperaments", "Colonna's Irregular Just"),
     {0, -30, -18, -13, -14, -2, -32, 2, 32, -16, -11, -12}},
    {MERLOP_TR_NOOP("Temperaments", "De Caus Monochord"),
     {0, -30, -18, -26, -14, -2, -32, 2, -28, -16, -4, -12}},
    {MERLOP_TR_NOOP("Temperaments", "Dechales 1/5th Comma"),
     {0, -15, -6, 12, -5, 2, -13, -4, 8, -7, 9, -10}},
    {MERLOP_TR_NOOP("Temperaments", "Dowland Lute Tuning"),
     {0, 8, 4, -16, -12, -2, -3, 2, 10, 6, -14, -10}},
    {MERLOP_TR_NOOP("Temperaments", "Erlangen Monochord"),
     {0, -10, 2, -6, -14, -2, -12, 2, -8, 4, -4, -12}},
    {MERLOP_TR_NOOP("Temperaments", "Euler Monochord"),
     {0, -30, 4, -26, -14, -2, -10, 2, -28, -16, -24, -12}},
    {MERLOP_TR_NOOP("Temperaments", "Fogliano Monochord"),
     {0, -30, -18, 16, -14, -2, -14, 2, -28, -16, -4, -12}},
    {MERLOP_TR_NOOP("Temperaments", "Galilei Approximation"),
     {0, 3, -2, 1, -4, -5, -6, -7, -8, -9, -10, -11}},
    {MERLOP_TR_NOOP("Temperaments", "Gallimard Modified Mean"),
     {0, -16, -7, -3, -14, 4, -18, -4, -11, -10, 7, -17}},
    {MERLOP_TR_NOOP("Temperaments", "Ganassi Monochord"),
     {0, -12, -18, -32, -14, -2, -3, 2, -10, -16, -17, -12}},
    {MERLOP_TR_NOOP("Temperaments", "Harmonic"), {0, 5, 4, -2, -14, -29, -49, 2, 40, 6, -31, -12}},
    {MERLOP_TR_NOOP("Temperaments", "Harrison 3/10 Comma"),
     {0, -31, -9, 14, -18, 4, -27, -4, -36, -13, 9, -15}},
    {MERLOP_TR_NOOP("Temperaments", "Hawke 1/5th Comma"),
     {0, -17, -5, 3, -10, 2, -14, -2, -15, -7, 5, -12}},
    {MERLOP_TR_NOOP("Temperaments", "Keplar Monochord"),
     {0, -8, 4, 16, -14, -2, -10, 2, -6, 6, 18, -12}},
    {MERLOP_TR_NOOP("Temperaments", "Kirnberger 1/2 Comma"),
     {0, -10, 4, -6, -14, -2, -10, 2, -8, -5, -4, -12}},
    {MERLOP_TR_NOOP("Temperaments", "Leven Monochord"),
     {0, 12, 31, 16, 4, -2, -3, 2, 14, 33, -4, 29}},
    {MERLOP_TR_NOOP("Temperaments", "Ling Lun"), {0, 14, 4, 18, 8, 22, 12, 2, 16, 6, 20, 10}},
    {MERLOP_TR_NOOP("Temperaments", "Malcom Monochord"),
     {0, 12, 4, 16, -14, -2, -10, 2, 14, -16, -4, -12}},
    {MERLOP_TR_NOOP("Temperaments", "Marpurg 1/3rd Comma"), {0, 6, 4, 2, 0, 6, 4, 2, 0, 6, 4, -4}},
    {MERLOP_TR_NOOP("Temperaments", "Marpurg Monochord"),
     {0, -30, 4, 16, -14, -2, -10, 2, -28, -16, 18, -12}},
    {MERLOP_TR_NOOP("Temperaments", "Salinas Meantone"),
     {0, -14, -8, 12, -16, 4, -22, -4, -29, -12, 8, -18}},
    {MERLOP_TR_NOOP("Temperaments", "Meantone 2 sharp 5ths"),
     {0, -24, -7, 10, -14, 3, -21, -3, -7, -10, 7, -17}},
    {MERLOP_TR_NOOP("Temperaments", "Mean tone 1/4"),
     {0, -23.95f, -6.84f, 10.26f, -13.69f, 3.42f, -20.53f, -3.42f, -27.37f, -10.26f, 6.84f,
      -17.11f}},
    {MERLOP_TR_NOOP("Temperaments", "Mean tone 1/5"),
     {0, -16.43f, -4.69f, 7.04f, -9.38f, 2.35f, -14.08f, -2.35f, -18.77f, -7.04f, 4.69f, -11.73f}},
    {MERLOP_TR_NOOP("Temperaments", "Mean tone 1/6"),
     {0, -11.41f, -3.26f, 4.89f, -6.52f, 1.63f, -9.78f, -1.63f, -13.04f, -4.89f, 3.26f, -8.15f}},
    {MERLOP_TR_NOOP("Temperaments", "Mercadier 1/12-1/6 Comma"),
     {0, -6, -3, -4, -6, 0, -6, -2, -6, -5, -2, -6}},
    {MERLOP_TR_NOOP("Temperaments", "Mersenne Meantone 1"),
     {0, -24, -7, -1, -14, 3, -21, -3, -27, -10, 1, -17}},
    {MERLOP_TR_NOOP("Temperaments", "Mersenne Meantone 2"),
     {0, -24, -7, -12, -14, 3, -21, -3, -27, -10, -4, -17}},
    {MERLOP_TR_NOOP("Temperaments", "Mersenne Approximation"),
     {0, 2, 3, 5, 7, 8, 10, 12, 14, 10, 7, 3}},
    {MERLOP_TR_NOOP("Temperaments", "Mersenne Lute Tuning"),
     {0, 12, -18, 16, -14, -2, 10, 2, 14, -16, 18, -12}},
    {MERLOP_TR_NOOP("Temperaments", "Mersenne Spinet Tuning 1"),
     {0, 12, -18, 16, -14, -2, 10, 2, 14, -16, -4, -12}},
    {MERLOP_TR_NOOP("Temperaments", "Mersenne Spinet Tuning 2"),
     {0, -30, 4, -26, -14, -2, -32, 2, -28, -16, -4, -12}},
    {MERLOP_TR_NOOP("Temperaments", "Montvallon  Monochord"),
     {0, -8, 4, 16, -14, -2, -10, 2, -6, -16, -4, -12}},
    {MERLOP_TR_NOOP("Temperaments", "Nassarre Equal Semitones"),
     {0, 3, 4, 3, 8, 7, 12, 11, 16, 15, 20, 7}},
    {MERLOP_TR_NOOP("Temperaments", "Neidhardt 5th Circle 1/4"),
     {0, -4, -2, 0, -4, -2, 0, -4, -2, 0, -4, -2}},
    {MERLOP_TR_NOOP("Temperaments", "Neidhardt 5th Circle 1/6"),
     {0, 2, 4, -2, 0, 2, 4, -2, 0, 2, 4, -2}},
    {MERLOP_TR_NOOP("Temperaments", "Neidhardt 3rd Circle"),
     {0, -4, -4, -4, -4, -2, -4, -2, -4, -6, 0, -6}},
    {MERLOP_TR_NOOP("Temperaments", "Neidhardt Circular"),
     {0, -6, -4, -4, -8, -2, -8, -2, -4, -6, -4, -8}},
    {MERLOP_TR_NOOP("Temperaments", "Pure Major"),
     {0, 12, 4, 16, -16, -2, -10, 2, 14, -16, -4, -12}},
    {MERLOP_TR_NOOP("Temperaments", "Pure Minor"),
     {0, -29, -16, 16, -16, -2, -10, 2, 14, -16, -4, -12}},
    {MERLOP_TR_NOOP("Temperaments", "Pythagoras Mean Semitones"),
     {0, 2, 4, 6, 8, -2, 0, 2, 4, 6, 8, 10}},
    {MERLOP_TR_NOOP("Temperaments", "Pythagorean"), {0, 17, 4, 1, 8, -2, 12, 2, 14, 6, -2, 10}},
    {MERLOP_TR_NOOP("Temperaments", "Rameau Modified Meantone"),
     {0, -13, -7, -2, -14, 3, -15, -3, -11, -10, 7, -17}},
    {MERLOP_TR_NOOP("Temperaments", "Ramis Monochord"),
     {0, -8, -18, -6, -14, -2, -10, 2, -8, -16, -4, -12}},
    {MERLOP_TR_NOOP("Temperaments", "Regularily Varied 5ths"),
     {0, -8, -3, -3, -8, 0, -9, -1, -6, -6, -1, -9}},
    {MERLOP_TR_NOOP("Temperaments", "Romieu 1/7th Comma"),
     {0, -8, -2, 3, -4, 1, -7, -1, -9, -3, 2, -5}},
    {MERLOP_TR_NOOP("Temperaments", "Romieu 1/8th Comma"),
     {0, -5, -1, 2, -3, 1, -4, -1, -8, -2, 1, -3}},
    {MERLOP_TR_NOOP("Temperaments", "Romieu 1/9th Comma"),
     {0, -3, -1, 1, -2, 0, -2, 0, -3, -1, 1, -2}},
    {MERLOP_TR_NOOP("Temperaments", "Romieu 1/10th Comma"),
     {0, -1, 0, 1, -1, 0, -1, 0, -2, -1, 0, -3}},
    {MERLOP_TR_NOOP("Temperaments", "Romieu Monochord"),
     {0, -30, 4, 16, -14, -2, -10, 2, -28, -16, -4, -12}},
    {MERLOP_TR_NOOP("Temperaments", "Rossi  2/9th Comma"),
     {0, -21, -6, 8, -11, 3, -18, -3, -22, -8, 6, 15}},
    {MERLOP_TR_NOOP("Temperaments", "Rousseau Monochord"),
     {0, -30, 4, 16, -14, -2, -32, 2, 14, -16, -46, -12}},
    {MERLOP_TR_NOOP("Temperaments", "Salinas 1/3rd Comma"),
     {0, -36, -10, 16, -26, 5, -31, -5, -42, -16, 10, -26}},
    {MERLOP_TR_NOOP("Temperaments", "Scheengaas Variation"),
     {0, -21, -6, 9, -11, 4, -15, -2, 12, -8, 5, -15}},
    {MERLOP_TR_NOOP("Temperaments", "Schlick Theoretical"),
     {0, -10, -4, 2, -8, 2, -10, -2, -4, -6, 2, -10}},
    {MERLOP_TR_NOOP("Temperaments", "Smith 5/18th Comma"),
     {0, -28, -8, 12, -16, 4, -24, -4, -32, -12, 8, -13}},
    {MERLOP_TR_NOOP("Temperaments", "Stanhope 1/3rd Comma"),
     {0, -9, -3, -5, -14, -2, -11, 2, -7, -8, -4, -12}},
    {MERLOP_TR_NOOP("Temperaments", "Strahle Geometrical"),
     {0, 11, 19, 25, 28, 29, 29, 27, 24, 19, 14, 8}},
    {MERLOP_TR_NOOP("Temperaments", "Valotti & Young"),
     {0, -6, -4, -22, -8, -25, -12, -4, -10, -6, -25, -10}},
    {MERLOP_TR_NOOP("Temperaments", "Von Wiesse 1/2 Comma"),
     {0, 2, 4, 6, 8, -2, 0, 2, 4, 6, -4, 10}},
    {MERLOP_TR_NOOP("Temperaments", "Werckmeister 1 1/4 Comma"),
     {0, -10, -8, -8, -10, -2, -12, -4, -8, -12, -4, -8}},
    {MERLOP_TR_NOOP("Temperaments", "Werckmeister 4 1/4 Comma"),
     {0, -4, 4, 0, -4, 4, 0, 2, -8, 0, 2, -2}},
    {MERLOP_TR_NOOP("Temperaments", "Werckmeister 2 1/3 Comma"),
     {0, -18, -4, -6, -8, -2, -12, -6, -14, -10, 4, -14}},
    {MERLOP_TR_NOOP("Temperaments", "Werckmeister 1/7th Comma"),
     {0, -9, -14, -2, -5, -2, -5, -2, -7, -7, 0, -3}},
    {MERLOP_TR_NOOP("Temperaments", "Werckmeister 3"),
     {0, -6, -8, -22, -10, -25, -12, -4, -10, -12, -25, -8}},
    {MERLOP_TR_NOOP("Temperaments", "Young 1/6th Comma"),
     {0, -10, -4, -6, -8, -2, -12, -2, -8, -6, -4, -10}},
    {MERLOP_TR_NOOP("Temperaments", "Zarlino 2/7th Comma"),
     {0, -30, -9, 13, -14, 4, -26, -4, 17, -13, 8, -22}},
    {MERLOP_TR_NOOP("Temperaments", "Zazal"), {0, 50, 0, 0, -50, 0, 0, 0, -50, 0, 0, -50}},
};

}  // namespace

const std::array<float, 12>& TemperamentTable::row(int index) {
    return kCatalogue[std::clamp(index, 0, kRows - 1)].cents;
}

std::string TemperamentTable::name(int index) {
    std::string s = kCatalogue[std::clamp(index, 0, kRows - 1)].name;
    s.resize(kNameLength, ' ');
    return s;
}

std::string TemperamentTable::shownName(int index) {
    return translate("Temperaments", kCatalogue[std::clamp(index, 0, kRows - 1)].name);
}

std::vector<std::string> TemperamentTable::names() {
    std::vector<std::string> all;
    all.reserve(kRows);
    for (int i = 0; i < kRows; ++i) all.push_back(name(i));
    return all;
}

std::string temperamentName(int index) {
    return TemperamentTable::name(index);
}

}  // namespace merlop
