// The host's command-line editor as a module sees it: point and string input for
// the running command, and output lines. The host program supplies the input
// and shows the output through a VRxEditorHost; without one, output goes to
// standard output and every input request is cancelled.
#pragma once

#include <string>

typedef double vrx_point[3];

// Result codes of editor requests.
enum {
    RTNONE = 5000,   // no value (an empty answer)
    RTNORM = 5100,   // the request was answered
    RTERROR = -5001,
    RTCAN = -5002,   // cancelled (Escape)
    RTREJ = -5003,   // the request was rejected as invalid
};

// The longest string vrxedGetString returns, without its terminating zero; a
// caller's buffer holds at least kVrxMaxStringInput + 1 characters.
const int kVrxMaxStringInput = 132;

class VRxEditorHost {
public:
    virtual ~VRxEditorHost() = default;
    // Shows prompt and reads a point; base is null when there is no rubber band.
    // Returns RTNORM with result filled, or RTCAN/RTNONE/RTERROR.
    virtual int getPoint(const double* base, const std::wstring& prompt, double result[3]) = 0;
    // Reads a string; cronly: only Enter ends it (blanks belong to the answer).
    virtual int getString(bool cronly, const std::wstring& prompt, std::wstring& result) = 0;
    // Command-line output, as formatted (line ends are in the text).
    virtual void print(const std::wstring& text) = 0;
};

// Installs the host's editor and returns the previous one; null restores the
// default. The host keeps ownership.
VRxEditorHost* vrxedSetHost(VRxEditorHost* host);
VRxEditorHost* vrxedHost();

// RTNORM when a point was picked; anything else means the command should stop.
// A null prompt shows nothing; result must not be null (RTERROR).
int vrxedGetPoint(const vrx_point base, const wchar_t* prompt, vrx_point result);
// result is a buffer of at least kVrxMaxStringInput + 1 characters. An answer
// longer than kVrxMaxStringInput characters is refused with RTERROR and a
// message on the command line; result is then empty.
int vrxedGetString(int cronly, const wchar_t* prompt, wchar_t* result);
// Formats as the wide Windows formatting functions do (%s is a wide string) and
// writes the text to the command line. RTNORM, or RTERROR for a null or bad format.
int vrxutPrintf(const wchar_t* format, ...);
