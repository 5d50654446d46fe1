#pragma once

// The player's language for every text the tuner shows. The core stays free of Qt: the desktop
// installs a translator at start, and without one (merlop-cli, the tests) each text is its
// English source. Texts the core composes are patterns with %1..%9, filled after translation so
// that a language may put the parts in another order.
//
// Settings files, tunings and exports never go through here: their texts are data, the same in
// every language.

#include <initializer_list>
#include <string>
#include <string_view>

// Marks a text for the catalogue where it is kept untranslated (a table, a constant) and
// translated where it is shown; the catalogue tool reads it as QT_TRANSLATE_NOOP.
#define MERLOP_TR_NOOP(context, text) text

namespace merlop {

using TranslateFunction = std::string (*)(const char* context, const char* source);

// Installed once, before the first window; nullptr goes back to the English sources.
void installTranslator(TranslateFunction translator);

// `source` in the player's language; the catalogue tool collects every call by this name whose
// arguments are literals.
std::string translate(const char* context, const char* source);

// %1..%9 of `pattern` replaced by args[0..8]; "%%" stays "%%", other text stays as it is. The
// arguments are not searched again, so a file name holding "%2" is shown as it is.
std::string fill(std::string_view pattern, std::initializer_list<std::string_view> args);

}  // namespace merlop
