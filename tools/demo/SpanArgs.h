// Word spans as the demo passes them on the command line: "START-END:RRGGBB",
// times in milliseconds of the recording, the colour in hexadecimal. Pure.
#pragma once

#include <string>

#include "WavePicture.h"

// True with `span` filled; false for anything that is not exactly that shape or
// whose end lies before its start.
bool ParseSpanArg(const std::wstring& text, CWordSpan& span);
