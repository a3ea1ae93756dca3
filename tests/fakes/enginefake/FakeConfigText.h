// The configuration text scripts write for the fake engine, one command a line:
//   set <Function> <value>        the main answer (decimal, may be negative, 64-bit)
//   second <Function> <value>     the answer of a two-call function's filling call
//   text <Function> <text...>     the rest of the line ("@lastdata": the last data given)
//   codes <v1> <v2> ...           PsGetPhoneticItem's list (decimal; "codes" alone: none)
//   pair <Function> <a> <b>       PsGetTextSplitItemW's first two fields, PsGetRange's range
//   # ...                         a comment; empty lines are skipped
// Pure: parses into Answers.
#pragma once
#include <string>

#include "FakeAnswers.h"

namespace fakeps {

// Applies every line to `answers`; returns the number of lines not understood (left out).
int ApplyConfigText(const std::string& text, Answers& answers);

}  // namespace fakeps
