// Windows-1252 and UTF-8 both ways: the code page's own characters, the five bytes it leaves
// undefined, characters it cannot hold and bytes that are no UTF-8.
#include "settings/cp1252.h"

#include <gtest/gtest.h>

#include <string>

namespace merlop {
namespace {

TEST(Cp1252, WesternLettersAndTheHighRowBothWays) {
    EXPECT_EQ(cp1252ToUtf8("Guitar "), "Guitar ");
    EXPECT_EQ(cp1252ToUtf8("R\xE9"), "R\xC3\xA9");                            // é
    EXPECT_EQ(cp1252ToUtf8("\x80\x9F\xFF"), "\xE2\x82\xAC\xC5\xB8\xC3\xBF");  // € Ÿ ÿ
    EXPECT_EQ(utf8ToCp1252("Ré"), "R\xE9");
    EXPECT_EQ(utf8ToCp1252("\xE2\x80\x9C"
                           "Fl\xC3\xBBte"
                           "\xE2\x80\x9D"),
              "\x93"
              "Fl\xFBte\x94");
    EXPECT_EQ(utf8ToCp1252(""), "");
}

TEST(Cp1252, EveryByteReadsAndWritesBackUnchanged) {
    // The undefined bytes included: a name read from any file is saved as it was.
    std::string all;
    for (int b = 1; b < 256; ++b) all += static_cast<char>(b);
    EXPECT_EQ(utf8ToCp1252(cp1252ToUtf8(all)), all);
    for (const char b : std::string("\x81\x8D\x8F\x90\x9D")) {
        const std::string c1 = cp1252ToUtf8(std::string(1, b));
        EXPECT_EQ(c1, std::string("\xC2") + b);  // U+0081 .. U+009D
    }
}

TEST(Cp1252, CharactersWithoutAByteAreNamed) {
    // A C1 control whose byte means another character, a Latin letter past the code page, Greek,
    // a CJK character and an emoji.
    for (const char* c : {"\xC2\x80", "\xC4\x81", "\xCE\xA9", "\xE6\x97\xA5", "\xF0\x9F\x8E\xB8"}) {
        EXPECT_EQ(utf8ToCp1252(std::string("ab") + c), std::nullopt) << c;
        const Cp1252Text t = toCp1252(std::string("ab") + c + "d");
        EXPECT_EQ(t.bytes, "ab?d");
        EXPECT_EQ(t.firstUnmappable, c);
    }
    EXPECT_EQ(toCp1252("\xCE\xA9\xC4\x81").firstUnmappable, "\xCE\xA9");
}

TEST(Cp1252, TextThatIsNoUtf8IsRefusedByteByByte) {
    // Cut short, a stray continuation byte, overlong forms, a surrogate, past U+10FFFF, and
    // bytes that never start a sequence.
    for (const char* bad : {"\xC3", "\xE2\x82", "\x80", "\xC0\xAF", "\xE0\x80\xAF", "\xED\xA0\x80",
                            "\xF4\x90\x80\x80", "\xF8\x88\x80\x80\x80", "\xFF"}) {
        const std::string text = std::string("x") + bad + "y";
        EXPECT_EQ(utf8ToCp1252(text), std::nullopt) << text;
        const Cp1252Text t = toCp1252(text);
        EXPECT_EQ(t.firstUnmappable, std::string(1, bad[0]));
        EXPECT_EQ(t.bytes.front(), 'x');
        EXPECT_EQ(t.bytes.back(), 'y');
        EXPECT_EQ(t.bytes.substr(1, t.bytes.size() - 2), std::string(t.bytes.size() - 2, '?'));
    }
    // A lead byte whose continuation is missing does not swallow the next character.
    EXPECT_EQ(toCp1252("\xC3"
                       "A")
                  .bytes,
              "?A");
}

}  // namespace
}  // namespace merlop
