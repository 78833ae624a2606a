// CheckLimitsTest.cpp: tools/check-limits.sh lists long functions and files, and leaves data
// tables, switch tables and braces in comments and literals out of its counts; it refuses the
// locale-bound case functions, called or passed on.
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <sys/wait.h>

#include <gtest/gtest.h>

namespace {

// `n` statement lines of a function body.
std::string bodyLines(int n, const std::string& indent = "    ")
{
    std::string out;
    for (int i = 0; i < n; ++i)
        out += indent + "x += " + std::to_string(i) + ";\n";
    return out;
}

// `n` rows of a brace-initialised table.
std::string tableRows(int n)
{
    std::string out;
    for (int i = 0; i < n; ++i)
        out += "    {" + std::to_string(i) + ", \"row\"},\n";
    return out;
}

class CheckLimitsTest : public ::testing::Test {
protected:
    CheckLimitsTest()
    {
        char pattern[] = "/tmp/kestro-limits-XXXXXX";
        const char* made = mkdtemp(pattern);
        EXPECT_NE(made, nullptr);
        m_dir = made ? made : "/tmp";
    }
    ~CheckLimitsTest() override
    {
        std::error_code ec;
        std::filesystem::remove_all(m_dir, ec);
    }

    std::string put(const std::string& name, const std::string& text)
    {
        const std::filesystem::path file = m_dir / name;
        std::ofstream(file, std::ios::binary) << text;
        return file.string();
    }

    // Runs the script on `file`: its exit code and what it printed.
    int run(const std::string& file, std::string& output)
    {
        const std::string command = std::string(CHECK_LIMITS) + " '" + file + "' 2>&1";
        FILE* pipe = popen(command.c_str(), "r");
        if (!pipe)
            return -1;
        char buffer[512];
        output.clear();
        while (fgets(buffer, sizeof buffer, pipe))
            output += buffer;
        const int status = pclose(pipe);
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }

    std::filesystem::path m_dir;
};

TEST_F(CheckLimitsTest, FunctionsOverEightyLinesAreListedWithTheirFirstLine)
{
    // 3 + 78 = 81 lines from the head to the closing brace; 3 + 77 = 80 is allowed.
    const std::string file = put("long.cpp",
        "#include <string>\n\nint longOne(int x)\n{\n" + bodyLines(77) + "    return x;\n}\n\n" +
            "int fits(int x)\n{\n" + bodyLines(76) + "    return x;\n}\n");
    std::string out;
    EXPECT_EQ(run(file, out), 1);
    EXPECT_NE(out.find("long.cpp:3: function of 81 lines (limit 80): int longOne(int x)"), std::string::npos)
        << out;
    EXPECT_EQ(out.find("fits"), std::string::npos) << out;
}

TEST_F(CheckLimitsTest, LambdasInitialiserListsAndMembersCountAsTheirFunction)
{
    // A body inside a lambda, a constructor with braced member initialisers, a member function
    // defined in its class: each is one function, counted from its head.
    const std::string file = put("shapes.cpp",
        "WinError Registry::open(int x)\n{\n    return guarded([&] {\n" + bodyLines(80, "        ") +
            "        return x;\n    });\n}\n"
            "Page::Page(int a)\n    : m_a{a}\n    , m_b(a)\n{\n" +
            bodyLines(80) + "}\n" + "class C {\npublic:\n    int f(int x)\n    {\n" +
            bodyLines(80, "        ") + "        return x;\n    }\n};\n");
    std::string out;
    EXPECT_EQ(run(file, out), 1);
    EXPECT_NE(out.find("shapes.cpp:1: function of 86 lines"), std::string::npos) << out;
    EXPECT_NE(out.find("shapes.cpp:87: function of 85 lines"), std::string::npos) << out;
    EXPECT_NE(out.find("shapes.cpp:174: function of 84 lines"), std::string::npos) << out;
}

TEST_F(CheckLimitsTest, TablesOfDataAndBracesInTextDoNotCount)
{
    // A table at namespace scope, one inside a function, a switch that maps codes to names, and
    // braces in comments and literals: nothing here is a long function or a long file.
    std::string switchTable = "const char* name(int e)\n{\n    switch (e) {\n";
    for (int i = 0; i < 100; ++i)
        switchTable += "    case " + std::to_string(i) + ": return \"E" + std::to_string(i) + "\";\n";
    switchTable += "    default: return \"\";\n    }\n}\n";
    const std::string file = put("tables.cpp",
        "struct Row {\n    int n;\n    const char* s;\n};\nconst Row kRows[] = {\n" + tableRows(300) +
            "};\n" + "int lookup(int x)\n{\n    static const Row rows[] = {\n" + tableRows(150) + "    };\n" +
            "    const char* text = \"{{{ not a block\"; // }}}\n    /* { */\n" + bodyLines(20) +
            "    return rows[x].n + text[0];\n}\n" + switchTable);
    std::string out;
    EXPECT_EQ(run(file, out), 0) << out;
    EXPECT_EQ(out, "");
}

TEST_F(CheckLimitsTest, FilesOverSevenHundredLinesOfCodeAreListed)
{
    std::string code;
    for (int i = 0; i < 20; ++i)
        code += "int f" + std::to_string(i) + "(int x)\n{\n" + bodyLines(32) + "    return x;\n}\n";
    const std::string file = put("big.cpp", code); // 20 * 36 = 720 lines
    std::string out;
    EXPECT_EQ(run(file, out), 1);
    EXPECT_NE(out.find("big.cpp: file of 720 lines (limit 700)"), std::string::npos) << out;
}

TEST_F(CheckLimitsTest, TheLocaleBoundCaseFunctionsAreRefusedCalledOrPassedOutsideTextAndComments)
{
    const std::string file = put("case.cpp",
        "int a(char c) { return std::toupper(static_cast<unsigned char>(c)); }\n"
        "int b(int c) { return ::tolower(c) + towupper(c); }\n"
        "// std::toupper(c) in a comment\n"
        "const char* t = \"tolower(c)\";\n"
        "int d(const QString& s, const Facet& f) { return s.toUpper().size() + f.toupper('i'); }\n"
        "void e(std::string& s) { std::transform(s.begin(), s.end(), s.begin(), ::toupper); }\n"
        "int (*g)(int) = &std::tolower;\n"
        "void h(std::wstring& s) { std::transform(s.begin(), s.end(), s.begin(), towlower\n"
        "); }\n");
    std::string out;
    EXPECT_EQ(run(file, out), 1);
    EXPECT_NE(out.find("case.cpp:1: toupper follows the locale"), std::string::npos) << out;
    EXPECT_NE(out.find("case.cpp:2: tolower follows the locale"), std::string::npos) << out;
    EXPECT_NE(out.find("case.cpp:2: towupper follows the locale"), std::string::npos) << out;
    EXPECT_NE(out.find("case.cpp:6: toupper follows the locale"), std::string::npos) << out;
    EXPECT_NE(out.find("case.cpp:7: tolower follows the locale"), std::string::npos) << out;
    EXPECT_NE(out.find("case.cpp:8: towlower follows the locale"), std::string::npos) << out;
    for (const char* quiet : {"case.cpp:3:", "case.cpp:4:", "case.cpp:5:"})
        EXPECT_EQ(out.find(quiet), std::string::npos) << out;
}

} // namespace
