// The members docs/api.md describes, read from its headings. Each member has a
// heading of its own:
//   ### 25 · `I4 OcxScoreSoundByName(I4 nSession, BSTR strFileName, UI4 nOffset, I4 nLen)`
//   ### 39 · `OcxEndRecord()`                        (no result)
//   ### 1 · `EVENT_RECORD_NOTIFY(UI4 wParam, I4 lParam)`
// and its section runs to the next heading. Pure text work.
#pragma once

#include <map>
#include <string>
#include <vector>

struct CDocParam {
    std::string type, name;
};

struct CDocMember {
    long dispid = 0;
    std::string result;  // empty: no result
    std::string name;
    std::vector<CDocParam> params;
    std::string section;  // the text under the heading
    int line = 0;         // of the heading, for messages
};

struct CApiDoc {
    std::map<std::string, CDocMember> members;
    std::vector<std::string> problems;  // headings that do not parse, names given twice
};

CApiDoc ParseApiDoc(const std::string& markdown);

// The failure lines a source file of the control writes, as the reference shows them:
// literals of LogError, of the decision table of record notices and of the yes/no helper
// as they are; "%d" as "n"; an engine function's name handed to the engine-failure
// helpers as "<name> Failed! ERRCODE[n]". Lines with other placeholders are skipped.
std::vector<std::string> FailureLinesOfSource(const std::string& source);
