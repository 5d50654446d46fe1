#pragma once

// The text layer under the Scala readers: bytes to UTF-8 lines, whatever encoding the file has.

#include <string>
#include <string_view>
#include <vector>

#include "settings/scala_scale.h"

namespace merlop {

// Valid UTF-8 stays as it is (without a byte order mark); anything else is read as
// Windows-1252. Control bytes other than tab, CR and LF, and the code page's undefined bytes,
// make it no text: the error names the line.
ScalaError decodeScalaText(std::string_view bytes, const std::string& file, std::string* text);
bool isValidUtf8(std::string_view s);

// Lines end with LF, CR LF or a lone CR; the views point into text.
std::vector<std::string_view> splitLines(std::string_view text);
std::string_view trimmed(std::string_view s);
// Line breaks and tabs as blanks, so a text fits on one line of a file.
std::string oneLine(std::string_view s);

}  // namespace merlop
