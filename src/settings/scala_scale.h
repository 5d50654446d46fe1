#pragma once

// Scala scale files (.scl) and keyboard mappings (.kbm), read from their bytes and written back.
//
// Choices where the format leaves room:
// - The text is UTF-8 when it is valid UTF-8 (a leading byte order mark is dropped), else
//   Windows-1252, converted to UTF-8; control characters other than tab, CR and LF make the file
//   no text at all.
// - Blank lines after the description are skipped; lines after the last pitch are ignored.
// - A pitch is cents when its number has a period, else a ratio n/d or a whole number n; what
//   follows the number on its line is kept as the pitch's label (a leading '!' dropped).
// - A .kbm mapping may stop short of its size (the keys left are unmapped, as the format
//   allows); more entries than the size is an error.
// - Nothing a failed read might have half filled is handed out: the result is all or nothing.

#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace merlop {

// What went wrong, and where: line 0 when the file as a whole is at fault.
struct ScalaError {
    std::string file;
    int line = 0;
    std::string message;

    bool failed() const { return !message.empty(); }
    // "FILE: line N: message", or "FILE: message" for line 0.
    std::string text() const;
};

struct ScalaPitch {
    double cents = 0.0;  // above the unison
    std::string label;   // the rest of the line, trimmed; may be empty
};

struct ScalaScale {
    // The most pitches a scale may list: well above any in the Scala archive, and a bound on
    // what a hostile file can make the reader hold.
    static constexpr int kMaxPitches = 4096;

    std::string description;  // UTF-8
    // Degrees 1..n; the unison is implicit and the last pitch is the period.
    std::vector<ScalaPitch> pitches;

    int size() const { return static_cast<int>(pitches.size()); }
    double periodCents() const { return pitches.empty() ? 0.0 : pitches.back().cents; }
    // Cents of any degree, the unison being degree 0 and each period adding its cents.
    double degreeCents(long long degree) const;
};

struct ScalaKeyboardMap {
    static constexpr int kUnmapped = -1;

    int size = 0;  // 0: every key is the next degree (a linear mapping)
    int firstNote = 0;
    int lastNote = 127;
    int middleNote = 60;  // the key of degree 0
    int referenceNote = 69;
    double referenceFrequency = 440.0;
    int octaveDegree = 0;  // the degree one repetition of the mapping moves by; 0: the scale's size
    std::vector<int> mapping;  // degrees; kUnmapped for an 'x'

    // The degree key k plays for a scale of scaleSize notes; false when the key is unmapped.
    bool degreeOfKey(int key, int scaleSize, long long* degree) const;
};

// Both read the bytes as a file of that name (the name only goes into errors).
ScalaError readScalaScale(std::string_view bytes, const std::string& file, ScalaScale* out);
ScalaError readScalaKeyboardMap(std::string_view bytes, const std::string& file,
                                ScalaKeyboardMap* out);
// The same from a file on disk; a missing, unreadable or oversized file is an error.
ScalaError loadScalaScale(const std::filesystem::path& path, ScalaScale* out);
ScalaError loadScalaKeyboardMap(const std::filesystem::path& path, ScalaKeyboardMap* out);
// The whole file, at most maxBytes; empty on success, else why not.
std::string readSmallFile(const std::filesystem::path& path, std::size_t maxBytes,
                          std::string* bytes);

// A .scl image: a comment naming the file, the description, the count and each pitch in cents
// with six decimals, except a period of exactly 1200 cents, written 2/1. Labels follow as
// comments. Text is written as UTF-8; line breaks in the description become blanks.
std::string writeScalaScale(const ScalaScale& scale, const std::string& fileName);

}  // namespace merlop
