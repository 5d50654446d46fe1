#include "tone/gm_programs.h"

#include <array>
#include <cstdio>

namespace merlop {

namespace {

constexpr const char* kNames[kGmProgramCount] = {
    "Acou.Piano",
    "Bright Piano",
    "Electric Piano",
    "Honky Tong",
    "Rhodes Piano",
    "Chorused Piano",
    "Harpischord",
    "Clavinet",
    "Celestra",
    "Glockenspiel",
    "Music Box",
    "Vibrophone",
    "Marimba",
    "Xylophone",
    "Tabular Bells",
    "Dulcimer",
    "Hammond Organ",
    "Percus.Organ",
    "Rock Organ",
    "Church Organ",
    "Reed",
    "Accordion",
    "Harmonica",
    "Bandneon",
    "Nylon Guitar",
    "Acous.Guitar",
    "Jazz Guitar",
    "El.Guitar",
    "El.Guitar muted",
    "Overdr.Guitar",
    "Dist. Guitar",
    "Harmonics",
    "Acou.Base",
    "Finger Bass",
    "Picked Bass",
    "Fretless Bass",
    "Slap Bass1",
    "Slap Bass 2",
    "Syn Bass 1",
    "Syn Bass 2",
    "Violin",
    "Viola",
    "Cello",
    "Contra Bass",
    "Tremolo Str.",
    "Pizzicato Str",
    "Harp",
    "Timpani",
    "Strings",
    "Slow Strings",
    "Syn String 1",
    "Syn String 2",
    "Choir Aahs",
    "Voice Oohs",
    "Syn Voice",
    "Orch Hit",
    "Trumpet",
    "Trombone",
    "Tuba",
    "Mute Trump",
    "French Horn",
    "Brass Sect",
    "Syn Brass 1",
    "Syn Brass 2",
    "Soprano Sax",
    "Alto Sax",
    "Tenor Sax",
    "Baritone Sax",
    "Oboe",
    "English Horn",
    "Bassoon",
    "Clarinet",
    "Piccolo",
    "Flute",
    "Recorder",
    "Pan Flute",
    "Blow Bottle",
    "Shakuhachi",
    "Whistle",
    "Ocarina",
    "Square Wave",
    "Saw Wave",
    "Calliope",
    "Chiff Lead",
    "Charang",
    "Voice Lead",
    "Fifth Lead",
    "Bass/Lead",
    "Pad 1",
    "Pad 2",
    "Pad 3",
    "Pad 4",
    "Pad 5",
    "Pad 6",
    "Pad 7",
    "Pad 8",
    "FX 1",
    "FX 2",
    "FX 3",
    "FX 4",
    "FX 5",
    "FX 6",
    "FX 7",
    "FX 8",
    "Sitar",
    "Banjo",
    "Shamisen",
    "Koto",
    "Kalimba",
    "Bagpipe",
    "Fiddle",
    "Shanai",
    "Tinkle Bell",
    "Agogo",
    "Steel Drums",
    "Wood Block",
    "Taiko Drum",
    "Melodic Tom",
    "Synth Drum",
    "Reverse Cymbal",
    "Fret Noise",
    "Breath Noise",
    "Sea Shore",
    "Bird Tweet",
    "Telephone",
    "Helicopter",
    "Applause",
    "Gun Shot",
};

using Table = std::array<std::array<char, kGmEntryChars>, kGmProgramCount>;

Table buildTable() {
    Table table{};
    for (int i = 0; i < kGmProgramCount; ++i) {
        std::snprintf(table[i].data(), kGmEntryChars, "%d %-15s", i + 1, kNames[i]);
    }
    return table;
}

}  // namespace

const char* gmProgramEntry(int program) {
    static const Table table = buildTable();
    if (program < 0 || program >= kGmProgramCount) return "";
    return table[program].data();
}

}  // namespace merlop
