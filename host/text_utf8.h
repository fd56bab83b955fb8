// UTF-8 <-> wide text for zdtcad. Scripts, arguments and the terminal are UTF-8;
// the host interface speaks wide text. The platform's codec does the work, so the
// host program's input handling does not depend on the process locale.
#pragma once

#include <string>

namespace zdtcad {

// Decodes UTF-8. Malformed sequences become U+FFFD; ok (when given) tells
// whether the whole text was well formed.
std::wstring fromUtf8(const std::string& text, bool* ok = nullptr);
std::string toUtf8(const std::wstring& text);
bool isValidUtf8(const std::string& text);

// Blanks (space, tab, CR, LF, VT, FF) removed from both ends.
std::string trim(const std::string& text);
// ASCII letters upper-cased; everything else left as it is.
std::string upperAscii(const std::string& text);

}  // namespace zdtcad
