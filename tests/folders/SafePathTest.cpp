// The path-safety gate against hostile and ordinary names from scripts.
#include "SafePath.h"

#include <windows.h>
#include <shlwapi.h>

#include <gtest/gtest.h>

#include <string>

namespace {

// As the working folder really looks: the temporary path's backslash doubled.
const std::wstring kFolder = L"C:\\users\\me\\Temp\\\\NeloRecognition\\_RecordTemp";

std::string Narrow(const std::wstring& text) {
    std::string out;
    for (wchar_t c : text) {
        if (c >= 0x20 && c < 0x7F) out += static_cast<char>(c);
        else out += "\\u" + std::to_string(static_cast<unsigned>(c));
    }
    return out;
}

struct Accepted {
    const wchar_t* name;
    const wchar_t* inFolder;  // what follows kFolder and its backslash
    bool asPathAppend = true;  // PathAppendW gives the same path
};

const Accepted kAccepted[] = {
    {L"a.wav", L"a.wav"},
    {L"sub\\a.wav", L"sub\\a.wav"},
    {L"sub/deeper/a.wav", L"sub\\deeper\\a.wav"},
    {L"\\a.wav", L"a.wav"},  // PathAppendW drops one leading backslash
    {L"/a.wav", L"a.wav"},
    {L".\\a.wav", L"a.wav"},
    {L"sub\\.\\a.wav", L"sub\\a.wav"},
    {L"sub\\..\\a.wav", L"a.wav"},
    {L"a/b/../../c.wav", L"c.wav"},
    {L"sub\\x\\..\\a.wav", L"sub\\a.wav"},
    {L" lead.wav", L" lead.wav"},
    {L"a.b.c", L"a.b.c"},
    {L".hidden", L".hidden"},
    // PathAppendW's canonicaliser reads "..a" as a step up (seen under
    // Wine), which would leave the folder; the gate keeps it a file name.
    {L"..a", L"..a", false},
    {L"a..b", L"a..b"},
    {L"CONSOLE.wav", L"CONSOLE.wav"},  // device names only match whole
    {L"COM10.wav", L"COM10.wav"},
    {L"LPT", L"LPT"},
    {L"nul1", L"nul1"},
    {L"xcon", L"xcon"},
    {L"\u4e2d\u6587.wav", L"\u4e2d\u6587.wav"},
    {L"SND1A2B.tmp", L"SND1A2B.tmp"},
};

TEST(SafePath, JoinsOrdinaryNamesInsideTheFolder) {
    for (const Accepted& c : kAccepted) {
        std::wstring full;
        EXPECT_TRUE(JoinInFolder(kFolder, c.name, full)) << Narrow(c.name);
        EXPECT_EQ(kFolder + L"\\" + c.inFolder, full) << Narrow(c.name);
    }
}

// For names the system's own join handles (backslashes only), the result
// is what PathAppendW gives, so files land where they always did.
TEST(SafePath, AgreesWithPathAppendForBackslashNames) {
    for (const Accepted& c : kAccepted) {
        if (!c.asPathAppend || std::wstring(c.name).find(L'/') != std::wstring::npos) continue;
        wchar_t buffer[MAX_PATH];
        wcscpy(buffer, kFolder.c_str());
        ASSERT_TRUE(PathAppendW(buffer, c.name)) << Narrow(c.name);
        std::wstring full;
        ASSERT_TRUE(JoinInFolder(kFolder, c.name, full));
        EXPECT_EQ(std::wstring(buffer), full) << Narrow(c.name);
    }
}

TEST(SafePath, RefusesHostileNames) {
    struct Refused {
        const char* why;
        const wchar_t* name;
    } const cases[] = {
        {"null", nullptr},
        {"empty", L""},
        {"absolute", L"C:\\Windows\\win.ini"},
        {"absolute, slashes", L"C:/Windows/win.ini"},
        {"drive-relative", L"C:win.ini"},
        {"bare drive", L"c:"},
        {"UNC", L"\\\\server\\share\\x.wav"},
        {"UNC, slashes", L"//server/share/x.wav"},
        {"UNC, mixed", L"\\/server/x.wav"},
        {"device namespace", L"\\\\.\\COM1"},
        {"long-path prefix", L"\\\\?\\C:\\x.wav"},
        {"long-path UNC", L"\\\\?\\UNC\\server\\x"},
        {"parent", L".."},
        {"parent file", L"..\\x.wav"},
        {"parent, slash", L"../x.wav"},
        {"climbs past subfolder", L"a/../../x"},
        {"climbs past subfolder 2", L"sub\\..\\..\\x.wav"},
        {"out and back in", L"..\\_RecordTemp\\x.wav"},
        {"deep climb", L"a\\b\\..\\..\\..\\..\\Windows\\win.ini"},
        {"device", L"CON"},
        {"device, lower case", L"con"},
        {"device with extension", L"NUL.txt"},
        {"device, space before dot", L"nul .wav"},
        {"device AUX", L"Aux"},
        {"device PRN, two dots", L"PRN.x.y"},
        {"port", L"COM1"},
        {"port with extension", L"com9.wav"},
        {"port zero", L"COM0"},
        {"printer port", L"LPT1"},
        {"superscript port", L"COM\u00b9"},
        {"superscript printer", L"LPT\u00b3.txt"},
        {"console input", L"CONIN$"},
        {"console output", L"conout$"},
        {"device in subfolder", L"sub\\CON"},
        {"device as folder", L"CON\\x.wav"},
        {"trailing space device", L"nul "},
        {"trailing dot", L"a.wav."},
        {"trailing space", L"a.wav "},
        {"device, trailing dot", L"CON.txt."},
        {"three dots", L"..."},
        {"dots as folder", L"....\\x.wav"},
        {"folder with trailing dot", L"sub.\\x.wav"},
        {"folder itself", L"."},
        {"folder itself 2", L"./."},
        {"folder itself 3", L"sub\\.."},
        {"only a separator", L"\\"},
        {"stream", L"a.wav:stream"},
        {"default stream", L"a.wav::$DATA"},
        {"leading colon", L":x"},
        {"trailing separator", L"sub\\"},
        {"trailing slash", L"a.wav/"},
        {"doubled separator", L"a\\\\b.wav"},
        {"doubled slash", L"a//b.wav"},
        {"wildcard star", L"*.wav"},
        {"wildcard question", L"a?.wav"},
        {"less than", L"a<b"},
        {"greater than", L"a>b"},
        {"pipe", L"a|b"},
        {"quote", L"a\"b"},
        {"tab", L"a\tb"},
        {"line feed", L"a\nb.wav"},
        {"unit separator", L"\x1f"},
    };
    for (const Refused& c : cases) {
        std::wstring full = L"left over";
        EXPECT_FALSE(JoinInFolder(kFolder, c.name, full)) << c.why;
        EXPECT_EQ(L"", full) << c.why;
    }
}

// A BSTR can hold a NUL; what follows it must not slip past the check, and
// the C-string form sees only the part before it.
TEST(SafePath, SeesEmbeddedNulWhenGivenTheLength) {
    const std::wstring hostile(L"a.wav\0/../../x", 14);
    std::wstring full;
    EXPECT_FALSE(JoinInFolder(kFolder, hostile, full));
    EXPECT_FALSE(JoinInFolder(kFolder, hostile.data(), hostile.size(), full));
    EXPECT_FALSE(JoinInFolder(kFolder, std::wstring(L"\0", 1), full));
    EXPECT_TRUE(JoinInFolder(kFolder, hostile.c_str(), full));
    EXPECT_EQ(kFolder + L"\\a.wav", full);
    EXPECT_TRUE(JoinInFolder(kFolder, hostile.data(), 5, full));
    EXPECT_EQ(kFolder + L"\\a.wav", full);
}

TEST(SafePath, RefusesResultsLongerThan259Characters) {
    const size_t room = kMaxJoinedPath - kFolder.size() - 1;  // after the joining backslash
    std::wstring full;
    const std::wstring fits(room, L'n');
    EXPECT_TRUE(JoinInFolder(kFolder, fits, full));
    EXPECT_EQ(259u, full.size());
    EXPECT_FALSE(JoinInFolder(kFolder, fits + L"n", full));
    EXPECT_EQ(L"", full);
    EXPECT_FALSE(JoinInFolder(kFolder, std::wstring(1000, L'n'), full));
    // Length counts the path reached, not the name's text.
    std::wstring detour;
    for (int i = 0; i < 100; ++i) detour += L"sub\\..\\";
    EXPECT_TRUE(JoinInFolder(kFolder, detour + L"a.wav", full));
    EXPECT_EQ(kFolder + L"\\a.wav", full);
    EXPECT_FALSE(JoinInFolder(kFolder, L"sub\\" + fits, full));
}

TEST(SafePath, JoinsWithOneBackslashWhateverTheFolderEndsWith) {
    std::wstring full;
    EXPECT_TRUE(JoinInFolder(L"C:\\prog\\Resources\\", L"x.wav", full));
    EXPECT_EQ(L"C:\\prog\\Resources\\x.wav", full);
    EXPECT_TRUE(JoinInFolder(L"C:\\prog\\Resources", L"\\x.wav", full));
    EXPECT_EQ(L"C:\\prog\\Resources\\x.wav", full);
    EXPECT_FALSE(JoinInFolder(L"", L"x.wav", full));  // no folder, no file
}

}  // namespace
