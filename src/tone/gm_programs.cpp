#include "tone/gm_programs.h"

#include <array>
#include <cstdio>

#include "common/translation.h"

namespace merlop {

namespace {

constexpr const char* kNames[kGmProgramCount] = {
    MERLOP_TR_NOOP("GmPrograms", "Acou.Piano"),
    MERLOP_TR_NOOP("GmPrograms", "Bright Piano"),
    MERLOP_TR_NOOP("GmPrograms", "Electric Piano"),
    MERLOP_TR_NOOP("GmPrograms", "Honky Tong"),
    MERLOP_TR_NOOP("GmPrograms", "Rhodes Piano"),
    MERLOP_TR_NOOP("GmPrograms", "Chorused Piano"),
    MERLOP_TR_NOOP("GmPrograms", "Harpischord"),
    MERLOP_TR_NOOP("GmPrograms", "Clavinet"),
    MERLOP_TR_NOOP("GmPrograms", "Celestra"),
    MERLOP_TR_NOOP("GmPrograms", "Glockenspiel"),
    MERLOP_TR_NOOP("GmPrograms", "Music Box"),
    MERLOP_TR_NOOP("GmPrograms", "Vibrophone"),
    MERLOP_TR_NOOP("GmPrograms", "Marimba"),
    MERLOP_TR_NOOP("GmPrograms", "Xylophone"),
    MERLOP_TR_NOOP("GmPrograms", "Tabular Bells"),
    MERLOP_TR_NOOP("GmPrograms", "Dulcimer"),
    MERLOP_TR_NOOP("GmPrograms", "Hammond Organ"),
    MERLOP_TR_NOOP("GmPrograms", "Percus.Organ"),
    MERLOP_TR_NOOP("GmPrograms", "Rock Organ"),
    MERLOP_TR_NOOP("GmPrograms", "Church Organ"),
    MERLOP_TR_NOOP("GmPrograms", "Reed"),
    MERLOP_TR_NOOP("GmPrograms", "Accordion"),
    MERLOP_TR_NOOP("GmPrograms", "Harmonica"),
    MERLOP_TR_NOOP("GmPrograms", "Bandneon"),
    MERLOP_TR_NOOP("GmPrograms", "Nylon Guitar"),
    MERLOP_TR_NOOP("GmPrograms", "Acous.Guitar"),
    MERLOP_TR_NOOP("GmPrograms", "Jazz Guitar"),
    MERLOP_TR_NOOP("GmPrograms", "El.Guitar"),
    MERLOP_TR_NOOP("GmPrograms", "El.Guitar muted"),
    MERLOP_TR_NOOP("GmPrograms", "Overdr.Guitar"),
    MERLOP_TR_NOOP("GmPrograms", "Dist. Guitar"),
    MERLOP_TR_NOOP("GmPrograms", "Harmonics"),
    MERLOP_TR_NOOP("GmPrograms", "Acou.Base"),
    MERLOP_TR_NOOP("GmPrograms", "Finger Bass"),
    MERLOP_TR_NOOP("GmPrograms", "Picked Bass"),
    MERLOP_TR_NOOP("GmPrograms", "Fretless Bass"),
    MERLOP_TR_NOOP("GmPrograms", "Slap Bass1"),
    MERLOP_TR_NOOP("GmPrograms", "Slap Bass 2"),
    MERLOP_TR_NOOP("GmPrograms", "Syn Bass 1"),
    MERLOP_TR_NOOP("GmPrograms", "Syn Bass 2"),
    MERLOP_TR_NOOP("GmPrograms", "Violin"),
    MERLOP_TR_NOOP("GmPrograms", "Viola"),
    MERLOP_TR_NOOP("GmPrograms", "Cello"),
    MERLOP_TR_NOOP("GmPrograms", "Contra Bass"),
    MERLOP_TR_NOOP("GmPrograms", "Tremolo Str."),
    MERLOP_TR_NOOP("GmPrograms", "Pizzicato Str"),
    MERLOP_TR_NOOP("GmPrograms", "Harp"),
    MERLOP_TR_NOOP("GmPrograms", "Timpani"),
    MERLOP_TR_NOOP("GmPrograms", "Strings"),
    MERLOP_TR_NOOP("GmPrograms", "Slow Strings"),
    MERLOP_TR_NOOP("GmPrograms", "Syn String 1"),
    MERLOP_TR_NOOP("GmPrograms", "Syn String 2"),
    MERLOP_TR_NOOP("GmPrograms", "Choir Aahs"),
    MERLOP_TR_NOOP("GmPrograms", "Voice Oohs"),
    MERLOP_TR_NOOP("GmPrograms", "Syn Voice"),
    MERLOP_TR_NOOP("GmPrograms", "Orch Hit"),
    MERLOP_TR_NOOP("GmPrograms", "Trumpet"),
    MERLOP_TR_NOOP("GmPrograms", "Trombone"),
    MERLOP_TR_NOOP("GmPrograms", "Tuba"),
    MERLOP_TR_NOOP("GmPrograms", "Mute Trump"),
    MERLOP_TR_NOOP("GmPrograms", "French Horn"),
    MERLOP_TR_NOOP("GmPrograms", "Brass Sect"),
    MERLOP_TR_NOOP("GmPrograms", "Syn Brass 1"),
    MERLOP_TR_NOOP("GmPrograms", "Syn Brass 2"),
    MERLOP_TR_NOOP("GmPrograms", "Soprano Sax"),
    MERLOP_TR_NOOP("GmPrograms", "Alto Sax"),
    MERLOP_TR_NOOP("GmPrograms", "Tenor Sax"),
    MERLOP_TR_NOOP("GmPrograms", "Baritone Sax"),
    MERLOP_TR_NOOP("GmPrograms", "Oboe"),
    MERLOP_TR_NOOP("GmPrograms", "English Horn"),
    MERLOP_TR_NOOP("GmPrograms", "Bassoon"),
    MERLOP_TR_NOOP("GmPrograms", "Clarinet"),
    MERLOP_TR_NOOP("GmPrograms", "Piccolo"),
    MERLOP_TR_NOOP("GmPrograms", "Flute"),
    MERLOP_TR_NOOP("GmPrograms", "Recorder"),
    MERLOP_TR_NOOP("GmPrograms", "Pan Flute"),
    MERLOP_TR_NOOP("GmPrograms", "Blow Bottle"),
    MERLOP_TR_NOOP("GmPrograms", "Shakuhachi"),
    MERLOP_TR_NOOP("GmPrograms", "Whistle"),
    MERLOP_TR_NOOP("GmPrograms", "Ocarina"),
    MERLOP_TR_NOOP("GmPrograms", "Square Wave"),
    MERLOP_TR_NOOP("GmPrograms", "Saw Wave"),
    MERLOP_TR_NOOP("GmPrograms", "Calliope"),
    MERLOP_TR_NOOP("GmPrograms", "Chiff Lead"),
    MERLOP_TR_NOOP("GmPrograms", "Charang"),
    MERLOP_TR_NOOP("GmPrograms", "Voice Lead"),
    MERLOP_TR_NOOP("GmPrograms", "Fifth Lead"),
    MERLOP_TR_NOOP("GmPrograms", "Bass/Lead"),
    MERLOP_TR_NOOP("GmPrograms", "Pad 1"),
    MERLOP_TR_NOOP("GmPrograms", "Pad 2"),
    MERLOP_TR_NOOP("GmPrograms", "Pad 3"),
    MERLOP_TR_NOOP("GmPrograms", "Pad 4"),
    MERLOP_TR_NOOP("GmPrograms", "Pad 5"),
    MERLOP_TR_NOOP("GmPrograms", "Pad 6"),
    MERLOP_TR_NOOP("GmPrograms", "Pad 7"),
    MERLOP_TR_NOOP("GmPrograms", "Pad 8"),
    MERLOP_TR_NOOP("GmPrograms", "FX 1"),
    MERLOP_TR_NOOP("GmPrograms", "FX 2"),
    MERLOP_TR_NOOP("GmPrograms", "FX 3"),
    MERLOP_TR_NOOP("GmPrograms", "FX 4"),
    MERLOP_TR_NOOP("GmPrograms", "FX 5"),
    MERLOP_TR_NOOP("GmPrograms", "FX 6"),
    MERLOP_TR_NOOP("GmPrograms", "FX 7"),
    MERLOP_TR_NOOP("GmPrograms", "FX 8"),
    MERLOP_TR_NOOP("GmPrograms", "Sitar"),
    MERLOP_TR_NOOP("GmPrograms", "Banjo"),
    MERLOP_TR_NOOP("GmPrograms", "Shamisen"),
    MERLOP_TR_NOOP("GmPrograms", "Koto"),
    MERLOP_TR_NOOP("GmPrograms", "Kalimba"),
    MERLOP_TR_NOOP("GmPrograms", "Bagpipe"),
    MERLOP_TR_NOOP("GmPrograms", "Fiddle"),
    MERLOP_TR_NOOP("GmPrograms", "Shanai"),
    MERLOP_TR_NOOP("GmPrograms", "Tinkle Bell"),
    MERLOP_TR_NOOP("GmPrograms", "Agogo"),
    MERLOP_TR_NOOP("GmPrograms", "Steel Drums"),
    MERLOP_TR_NOOP("GmPrograms", "Wood Block"),
    MERLOP_TR_NOOP("GmPrograms", "Taiko Drum"),
    MERLOP_TR_NOOP("GmPrograms", "Melodic Tom"),
    MERLOP_TR_NOOP("GmPrograms", "Synth Drum"),
    MERLOP_TR_NOOP("GmPrograms", "Reverse Cymbal"),
    MERLOP_TR_NOOP("GmPrograms", "Fret Noise"),
    MERLOP_TR_NOOP("GmPrograms", "Breath Noise"),
    MERLOP_TR_NOOP("GmPrograms", "Sea Shore"),
    MERLOP_TR_NOOP("GmPrograms", "Bird Tweet"),
    MERLOP_TR_NOOP("GmPrograms", "Telephone"),
    MERLOP_TR_NOOP("GmPrograms", "Helicopter"),
    MERLOP_TR_NOOP("GmPrograms", "Applause"),
    MERLOP_TR_NOOP("GmPrograms", "Gun Shot"),
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

std::string gmProgramName(int program) {
    if (program < 0 || program >= kGmProgramCount) return {};
    return translate("GmPrograms", kNames[program]);
}

const char* gmProgramEntry(int program) {
    static const Table table = buildTable();
    if (program < 0 || program >= kGmProgramCount) return "";
    return table[program].data();
}

}  // namespace merlop
