#include "FakeConfigText.h"

#include <cstdlib>
#include <sstream>

namespace fakeps {
namespace {

bool ParseInt64(const std::string& word, int64_t& out) {
    if (word.empty()) return false;
    char* end = nullptr;
    long long v = std::strtoll(word.c_str(), &end, 10);
    if (*end != '\0') return false;
    out = v;
    return true;
}

bool ApplyLine(const std::string& line, Answers& answers) {
    std::istringstream in(line);
    std::string command, name;
    in >> command;
    if (command.empty() || command[0] == '#') return true;
    if (command == "codes") {
        std::vector<uint32_t> codes;
        std::string word;
        int64_t v = 0;
        while (in >> word) {
            if (!ParseInt64(word, v)) return false;
            codes.push_back(static_cast<uint32_t>(v));
        }
        answers.codes = codes;
        return true;
    }
    in >> name;
    Fn fn;
    if (!FnFromName(name.c_str(), fn)) return false;
    FnAnswer& a = answers.fn[fn];
    std::string w1, w2;
    int64_t v1 = 0, v2 = 0;
    if (command == "set") {
        if (!(in >> w1) || !ParseInt64(w1, v1)) return false;
        a.value = v1;
        a.valueSet = true;
        return true;
    }
    if (command == "second") {
        if (!(in >> w1) || !ParseInt64(w1, v1)) return false;
        a.second = static_cast<int>(v1);
        return true;
    }
    if (command == "pair") {
        if (!(in >> w1 >> w2) || !ParseInt64(w1, v1) || !ParseInt64(w2, v2)) return false;
        a.pairFirst = static_cast<int>(v1);
        a.pairSecond = static_cast<int>(v2);
        return true;
    }
    if (command == "text") {
        std::string rest;
        std::getline(in, rest);
        size_t start = rest.find_first_not_of(' ');
        a.text = start == std::string::npos ? std::string() : rest.substr(start);
        return true;
    }
    return false;
}

}  // namespace

int ApplyConfigText(const std::string& text, Answers& answers) {
    int bad = 0;
    std::istringstream lines(text);
    std::string line;
    while (std::getline(lines, line)) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (!ApplyLine(line, answers)) ++bad;
    }
    return bad;
}

}  // namespace fakeps
