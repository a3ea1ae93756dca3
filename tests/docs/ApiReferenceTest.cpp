// The script API reference must describe the control that is built: every method of
// the dispatch table (those the type library leaves out included) and every event,
// with its DISPID, result and parameter types and the type library's parameter names,
// and nothing that does not exist.
#include <windows.h>
#include <oleauto.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "ApiDoc.h"
#include "NeloRecognitionCtrl.h"

namespace {

std::string Narrow(const wchar_t* w) {
    std::string s;
    for (; w && *w; ++w) s.push_back(static_cast<char>(*w));  // interface names are ASCII
    return s;
}

std::string TypeName(VARTYPE vt) {
    switch (vt) {
        case VT_I4: return "I4";
        case VT_UI4: return "UI4";
        case VT_BSTR: return "BSTR";
        case VT_VARIANT: return "VARIANT";
        case VT_EMPTY: case VT_VOID: return "";
        default: return "VT" + std::to_string(vt);
    }
}

// One member of an interface of the type library.
struct CTlbMember {
    long dispid;
    std::string name;
    std::vector<std::string> paramNames;
    std::vector<std::string> paramTypes;
};

// The members of the dispinterface `interfaceName` of the type library in `module`.
bool ReadTypeLibInterface(const wchar_t* module, const char* interfaceName, std::vector<CTlbMember>& members,
                          std::string& error) {
    ITypeLib* lib = nullptr;
    if (FAILED(LoadTypeLibEx(module, REGKIND_NONE, &lib))) {
        error = "no type library in the module";
        return false;
    }
    bool found = false;
    for (UINT i = 0; i < lib->GetTypeInfoCount() && !found; ++i) {
        BSTR name = nullptr;
        if (FAILED(lib->GetDocumentation(static_cast<INT>(i), &name, nullptr, nullptr, nullptr))) continue;
        const bool match = Narrow(name) == interfaceName;
        SysFreeString(name);
        if (!match) continue;
        found = true;
        ITypeInfo* info = nullptr;
        TYPEATTR* attr = nullptr;
        if (FAILED(lib->GetTypeInfo(i, &info)) || FAILED(info->GetTypeAttr(&attr))) break;
        for (UINT f = 0; f < attr->cFuncs; ++f) {
            FUNCDESC* desc = nullptr;
            if (FAILED(info->GetFuncDesc(f, &desc))) continue;
            CTlbMember member;
            member.dispid = desc->memid;
            BSTR names[32] = {};
            UINT count = 0;
            info->GetNames(desc->memid, names, 32, &count);
            for (UINT n = 0; n < count; ++n) {
                if (n == 0) member.name = Narrow(names[n]);
                else member.paramNames.push_back(Narrow(names[n]));
                SysFreeString(names[n]);
            }
            for (SHORT p = 0; p < desc->cParams; ++p) member.paramTypes.push_back(TypeName(desc->lprgelemdescParam[p].tdesc.vt));
            members.push_back(member);
            info->ReleaseFuncDesc(desc);
        }
        info->ReleaseTypeAttr(attr);
        info->Release();
    }
    lib->Release();
    if (!found) error = std::string("no interface ") + interfaceName + " in the type library";
    return found;
}

std::string ReadText(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

std::string ReadDoc() { return ReadText(NELO_API_DOC); }

class ApiReferenceTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        s_doc = ParseApiDoc(ReadDoc());
        std::string error;
        s_tlbReady = ReadTypeLibInterface(NELO_CONTROL_MODULE, "_DNeloRecognition", s_methods, error) &&
                     ReadTypeLibInterface(NELO_CONTROL_MODULE, "_DNeloRecognitionEvents", s_events, error);
        s_tlbError = error;
    }

    static const CDocMember* Documented(const std::string& name) {
        auto it = s_doc.members.find(name);
        return it == s_doc.members.end() ? nullptr : &it->second;
    }

    static std::string ParamList(const CDocMember& m) {
        std::string s;
        for (const auto& p : m.params) s += (s.empty() ? "" : ", ") + p.type + " " + p.name;
        return s;
    }

    static CApiDoc s_doc;
    static std::vector<CTlbMember> s_methods, s_events;
    static bool s_tlbReady;
    static std::string s_tlbError;
};

CApiDoc ApiReferenceTest::s_doc;
std::vector<CTlbMember> ApiReferenceTest::s_methods, ApiReferenceTest::s_events;
bool ApiReferenceTest::s_tlbReady = false;
std::string ApiReferenceTest::s_tlbError;

TEST_F(ApiReferenceTest, HeadingsAllParse) {
    ASSERT_FALSE(s_doc.members.empty()) << "no member headings in " << NELO_API_DOC;
    for (const auto& problem : s_doc.problems) ADD_FAILURE() << problem;
}

TEST_F(ApiReferenceTest, EveryMethodOfTheDispatchTableWithDispidAndTypes) {
    size_t count = 0;
    const nelo::DispEntry* table = CNeloRecognitionCtrl::DispatchTable(&count);
    ASSERT_GT(count, 0u);
    for (size_t i = 0; i < count; ++i) {
        const nelo::DispEntry& e = table[i];
        const std::string name = Narrow(e.name);
        const CDocMember* doc = Documented(name);
        if (!doc) {
            ADD_FAILURE() << name << " (DISPID " << e.id << ") is not in the reference";
            continue;
        }
        EXPECT_EQ(doc->dispid, e.id) << name;
        EXPECT_EQ(doc->result, TypeName(e.resultType)) << name << ": result type";
        std::vector<std::string> types;
        for (UINT p = 0; p < e.paramCount; ++p) types.push_back(TypeName(e.paramTypes[p]));
        std::vector<std::string> documented;
        for (const auto& p : doc->params) documented.push_back(p.type);
        EXPECT_EQ(documented, types) << name << ": parameter types (documented: " << ParamList(*doc) << ")";
    }
}

TEST_F(ApiReferenceTest, ParameterNamesAreThoseOfTheTypeLibrary) {
    ASSERT_TRUE(s_tlbReady) << s_tlbError;
    ASSERT_FALSE(s_methods.empty());
    for (const CTlbMember& m : s_methods) {
        const CDocMember* doc = Documented(m.name);
        if (!doc) {
            ADD_FAILURE() << m.name << " of the type library is not in the reference";
            continue;
        }
        EXPECT_EQ(doc->dispid, m.dispid) << m.name;
        std::vector<std::string> names;
        for (const auto& p : doc->params) names.push_back(p.name);
        EXPECT_EQ(names, m.paramNames) << m.name;
    }
}

TEST_F(ApiReferenceTest, EveryEventWithDispidParametersAndTypes) {
    ASSERT_TRUE(s_tlbReady) << s_tlbError;
    ASSERT_FALSE(s_events.empty());
    for (const CTlbMember& ev : s_events) {
        const CDocMember* doc = Documented(ev.name);
        if (!doc) {
            ADD_FAILURE() << "event " << ev.name << " is not in the reference";
            continue;
        }
        EXPECT_EQ(doc->dispid, ev.dispid) << ev.name;
        EXPECT_EQ(doc->result, "") << ev.name << ": events return nothing";
        std::vector<std::string> names, types;
        for (const auto& p : doc->params) {
            names.push_back(p.name);
            types.push_back(p.type);
        }
        EXPECT_EQ(names, ev.paramNames) << ev.name;
        EXPECT_EQ(types, ev.paramTypes) << ev.name;
    }
}

TEST_F(ApiReferenceTest, MethodsOutsideTheTypeLibraryAreMarkedAsReachedByName) {
    ASSERT_TRUE(s_tlbReady) << s_tlbError;
    std::set<std::string> inLibrary;
    for (const CTlbMember& m : s_methods) inLibrary.insert(m.name);
    size_t count = 0;
    const nelo::DispEntry* table = CNeloRecognitionCtrl::DispatchTable(&count);
    size_t byNameOnly = 0;
    for (size_t i = 0; i < count; ++i) {
        const std::string name = Narrow(table[i].name);
        const CDocMember* doc = Documented(name);
        if (!doc) continue;  // reported by the test above
        const bool marked = doc->section.find("not in the type library") != std::string::npos;
        if (inLibrary.count(name)) {
            EXPECT_FALSE(marked) << name << " is in the type library but documented as not";
        } else {
            ++byNameOnly;
            EXPECT_TRUE(marked) << name << " is reached only by name; its section must say \"not in the type library\"";
        }
    }
    EXPECT_GT(byNameOnly, 0u) << "the control has methods outside its type library; the test should see them";
}

TEST_F(ApiReferenceTest, DocumentsNothingThatDoesNotExist) {
    ASSERT_TRUE(s_tlbReady) << s_tlbError;
    std::map<std::string, long> real;
    size_t count = 0;
    const nelo::DispEntry* table = CNeloRecognitionCtrl::DispatchTable(&count);
    for (size_t i = 0; i < count; ++i) real[Narrow(table[i].name)] = table[i].id;
    for (const CTlbMember& ev : s_events) real[ev.name] = ev.dispid;
    for (const auto& entry : s_doc.members)
        EXPECT_TRUE(real.count(entry.first)) << "line " << entry.second.line << ": " << entry.first
                                             << " is documented but the control has no such member";
}

TEST_F(ApiReferenceTest, EveryFailureLineOfTheControlIsQuoted) {
    // Scripts' authors search the log for these lines; each must appear in the reference
    // exactly as the control writes it (on one line of the text, never wrapped).
    const std::string doc = ReadDoc();
    size_t checked = 0;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(NELO_CONTROL_SOURCE_DIR)) {
        if (!entry.is_regular_file() || entry.path().extension() != ".cpp") continue;
        for (const std::string& line : FailureLinesOfSource(ReadText(entry.path()))) {
            ++checked;
            EXPECT_TRUE(doc.find(line) != std::string::npos)
                << "\"" << line << "\" (" << entry.path().filename().string() << ") is not in the reference";
        }
    }
    EXPECT_GT(checked, 50u) << "the source scan found too few failure lines to be reading the control";
}

}  // namespace
