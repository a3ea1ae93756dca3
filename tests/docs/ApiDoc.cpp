#include "ApiDoc.h"

#include <regex>
#include <sstream>

namespace {

std::string Trim(const std::string& s) {
    const size_t a = s.find_first_not_of(" \t");
    if (a == std::string::npos) return std::string();
    return s.substr(a, s.find_last_not_of(" \t\r") - a + 1);
}

}  // namespace

CApiDoc ParseApiDoc(const std::string& markdown) {
    // "·" is U+00B7, two bytes in UTF-8.
    static const std::regex heading("^### ([0-9]+) \xC2\xB7 `(?:([A-Z0-9]+) )?([A-Za-z_0-9]+)\\(([^)]*)\\)`\\s*$");
    static const std::regex param("^([A-Z0-9]+) ([A-Za-z_0-9]+)$");
    CApiDoc doc;
    std::istringstream in(markdown);
    std::string line;
    CDocMember* current = nullptr;
    int number = 0;
    while (std::getline(in, line)) {
        ++number;
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (line.compare(0, 3, "## ") == 0 || line.compare(0, 4, "### ") == 0) current = nullptr;
        if (line.compare(0, 4, "### ") != 0) {
            if (current) current->section += line + "\n";
            continue;
        }
        std::smatch m;
        if (!std::regex_match(line, m, heading)) {
            // Other level-3 headings are allowed only when they do not look like a member.
            if (line.find('`') != std::string::npos && line.find('(') != std::string::npos)
                doc.problems.push_back("line " + std::to_string(number) + ": unreadable member heading: " + line);
            continue;
        }
        CDocMember member;
        member.dispid = std::stol(m[1]);
        member.result = m[2];
        member.name = m[3];
        member.line = number;
        std::stringstream list(m[4].str());
        std::string item;
        while (std::getline(list, item, ',')) {
            item = Trim(item);
            std::smatch p;
            if (!std::regex_match(item, p, param)) {
                doc.problems.push_back("line " + std::to_string(number) + ": parameter \"" + item + "\" is not TYPE name");
                continue;
            }
            member.params.push_back({p[1], p[2]});
        }
        if (doc.members.count(member.name)) {
            doc.problems.push_back("line " + std::to_string(number) + ": " + member.name + " has two headings");
            continue;
        }
        current = &(doc.members[member.name] = member);
    }
    return doc;
}

std::vector<std::string> FailureLinesOfSource(const std::string& source) {
    static const std::regex literal(
        "(?:LogError\\((?:FormatMessageText\\()?|YesNo\\([^;]*?|LogOnly, 0, )L\"([^\"]*)\"");
    static const std::regex engine("(?:LogEngineFailure|PassThrough|YesNoWithCode)\\([^;]*?L\"([^\"]+)\"");
    std::vector<std::string> lines;
    auto add = [&](std::string text) {
        for (size_t at; (at = text.find("%d")) != std::string::npos;) text.replace(at, 2, "n");
        if (text.find('%') == std::string::npos) lines.push_back(text);
    };
    for (auto it = std::sregex_iterator(source.begin(), source.end(), literal); it != std::sregex_iterator(); ++it)
        add((*it)[1].str());
    for (auto it = std::sregex_iterator(source.begin(), source.end(), engine); it != std::sregex_iterator(); ++it)
        add((*it)[1].str() + " Failed! ERRCODE[n]");
    return lines;
}
