// The dialog lines of a zdtcad script ("@select 1001 中号", "@ok", "@answer yes")
// turned into the toolkit's user actions, and what a message box lets a user
// answer. Kept apart from the session so the wording of a bad line is checked
// on its own.
#pragma once

#include <string>

#include "winui.h"

namespace zdtcad {

// True for a line meant for a dialog or a message box (it starts with "@").
inline bool isDialogLine(const std::string& line) { return !line.empty() && line[0] == '@'; }

// Parses one dialog line. The text of @select and @type is the rest of the line
// after the id and one run of blanks, inner blanks kept. False, with the reason
// in error (UTF-8), for an unknown action, a missing or non-numeric id, missing
// text for @select, or an answer other than ok/cancel/yes/no.
bool parseDialogAction(const std::string& line, WinUiAction& action, std::string& error);

// Whether a box of this type (MB_OK, MB_YESNO, ...) has the button.
bool boxOffers(unsigned type, int button);
// The buttons a box of this type offers, as a script writes them ("ok/cancel").
std::string boxAnswerWords(unsigned type);
// The answer given when nobody is left to answer: cancel, or no, or what the box offers.
int boxRetreatAnswer(unsigned type);
// A button as the user sees it ("确定", "否", ...).
std::wstring answerName(int answer);

}  // namespace zdtcad
