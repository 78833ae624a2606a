// RegistryTest.cpp: the SQLite registry: names without case, enumeration order, types, deletion,
// the HKEY_CLASSES_ROOT view, Win32 buffer rules, transactions and two processes at once.
#include "platform/Registry.h"

#include "tests/platform/TempDir.h"

#include <gtest/gtest.h>

#include <sys/wait.h>
#include <unistd.h>

#include <fstream>

using namespace platform;

class RegistryTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        std::string message;
        ASSERT_EQ(
            reg.open(dir / "registry.db", Registry::OpenMode::CreateIfMissing, &message), WinError::Success)
            << message;
    }

    RegKey create(RegKey parent, const std::string& path)
    {
        RegKey k;
        EXPECT_EQ(reg.createKey(parent, path, k), WinError::Success) << path;
        return k;
    }

    std::vector<std::string> subKeyNames(const RegKey& key)
    {
        std::vector<std::string> names;
        std::string name;
        for (std::uint32_t i = 0; reg.enumKey(key, i, name) == WinError::Success; ++i)
            names.push_back(name);
        return names;
    }

    std::vector<std::string> valueNames(const RegKey& key)
    {
        std::vector<std::string> names;
        RegValue v;
        for (std::uint32_t i = 0; reg.enumValue(key, i, v) == WinError::Success; ++i)
            names.push_back(v.name);
        return names;
    }

    testutil::TempDir dir;
    Registry reg;
};

TEST_F(RegistryTest, KeysMatchWithoutCaseAndKeepTheCaseTheyWereCreatedWith)
{
    const RegKey k = create(RegRoot::LocalMachine, "Software\\Vendor\\MyApp");
    RegKey same;
    bool created = true;
    ASSERT_EQ(
        reg.createKey(RegRoot::LocalMachine, "SOFTWARE\\VENDOR\\myapp", same, &created), WinError::Success);
    EXPECT_FALSE(created);
    RegKey opened;
    ASSERT_EQ(reg.openKey(RegRoot::LocalMachine, "software\\vendor", opened), WinError::Success);
    EXPECT_EQ(subKeyNames(opened), std::vector<std::string>{"MyApp"});
    ASSERT_EQ(reg.setString(k, "Path", "C:\\App"), WinError::Success);
    std::string text;
    ASSERT_EQ(reg.queryString(same, "PATH", text), WinError::Success);
    EXPECT_EQ(text, "C:\\App");
}

TEST_F(RegistryTest, MissingKeysAndValuesAreNotFound)
{
    RegKey k;
    EXPECT_EQ(reg.openKey(RegRoot::CurrentUser, "No\\Such\\Key", k), WinError::FileNotFound);
    const RegKey app = create(RegRoot::CurrentUser, "Software\\App");
    RegValue v;
    EXPECT_EQ(reg.queryValue(app, "missing", v), WinError::FileNotFound);
    EXPECT_EQ(reg.queryValue(app, "", v), WinError::FileNotFound); // no default value set
    EXPECT_EQ(reg.deleteValue(app, "missing"), WinError::FileNotFound);
    EXPECT_EQ(reg.openKey(RegKey(), "x", k), WinError::InvalidHandle);
}

TEST_F(RegistryTest, SubKeysEnumerateInCaseInsensitiveNameOrder)
{
    const RegKey root = create(RegRoot::CurrentUser, "Order");
    for (const char* name : {"beta", "Alpha", "_under", "Zulu", "alpha2", "B"})
        create(root, name);
    EXPECT_EQ(
        subKeyNames(root), (std::vector<std::string>{"Alpha", "alpha2", "B", "beta", "Zulu", "_under"}));
    std::string name;
    EXPECT_EQ(reg.enumKey(root, 6, name), WinError::NoMoreItems);
}

TEST_F(RegistryTest, ValuesEnumerateInCreationOrderAndKeepTheirPlaceWhenSetAgain)
{
    const RegKey k = create(RegRoot::CurrentUser, "Values");
    ASSERT_EQ(reg.setString(k, "zeta", "1"), WinError::Success);
    ASSERT_EQ(reg.setString(k, "Alpha", "2"), WinError::Success);
    ASSERT_EQ(reg.setString(k, "", "default"), WinError::Success);
    ASSERT_EQ(reg.setDword(k, "ALPHA", 7), WinError::Success);
    EXPECT_EQ(valueNames(k), (std::vector<std::string>{"zeta", "Alpha", ""}));
    std::uint32_t d = 0;
    ASSERT_EQ(reg.queryDword(k, "alpha", d), WinError::Success);
    EXPECT_EQ(d, 7u);
    ASSERT_EQ(reg.deleteValue(k, "Zeta"), WinError::Success);
    ASSERT_EQ(reg.setString(k, "zeta", "back"), WinError::Success);
    EXPECT_EQ(valueNames(k), (std::vector<std::string>{"Alpha", "", "zeta"}));
}

TEST_F(RegistryTest, DataIsStoredAsBytesWithItsType)
{
    const RegKey k = create(RegRoot::LocalMachine, "Types");
    ASSERT_EQ(reg.setString(k, "sz", "Caf\u00E9"), WinError::Success);
    ASSERT_EQ(reg.setString(k, "exp", "%SystemRoot%\\x", RegType::ExpandSz), WinError::Success);
    ASSERT_EQ(reg.setValue(k, "bin", RegType::Binary, RegBytes{0, 1, 255}), WinError::Success);
    ASSERT_EQ(reg.setValue(k, "multi", RegType::MultiSz, regMultiStringData({"a", "bc"})), WinError::Success);
    ASSERT_EQ(reg.setValue(k, "none", RegType::None, RegBytes{}), WinError::Success);
    ASSERT_EQ(reg.setDword(k, "dw", 0x12345678), WinError::Success);

    RegValue v;
    ASSERT_EQ(reg.queryValue(k, "sz", v), WinError::Success);
    EXPECT_EQ(v.type, RegType::Sz);
    EXPECT_EQ(v.data, (RegBytes{'C', 'a', 'f', 0xE9, 0})); // Windows-1252 with its zero
    ASSERT_EQ(reg.queryValue(k, "exp", v), WinError::Success);
    EXPECT_EQ(v.type, RegType::ExpandSz);
    ASSERT_EQ(reg.queryValue(k, "bin", v), WinError::Success);
    EXPECT_EQ(v.data, (RegBytes{0, 1, 255}));
    ASSERT_EQ(reg.queryValue(k, "multi", v), WinError::Success);
    EXPECT_EQ(v.data, (RegBytes{'a', 0, 'b', 'c', 0, 0}));
    ASSERT_EQ(reg.queryValue(k, "none", v), WinError::Success);
    EXPECT_EQ(v.type, RegType::None);
    EXPECT_TRUE(v.data.empty());
    ASSERT_EQ(reg.queryValue(k, "dw", v), WinError::Success);
    EXPECT_EQ(v.data, (RegBytes{0x78, 0x56, 0x34, 0x12}));
    std::string text;
    EXPECT_EQ(reg.queryString(k, "dw", text), WinError::InvalidData);
}

TEST_F(RegistryTest, QueryWithBuffersFollowsTheWin32SizeRules)
{
    const RegKey k = create(RegRoot::LocalMachine, "Buffers");
    ASSERT_EQ(reg.setString(k, "s", "1024,768"), WinError::Success);
    RegType type = RegType::None;
    std::uint32_t size = 0;
    ASSERT_EQ(reg.queryValue(k, "s", &type, nullptr, &size), WinError::Success);
    EXPECT_EQ(type, RegType::Sz);
    EXPECT_EQ(size, 9u);
    std::uint8_t small[4] = {};
    size = sizeof small;
    EXPECT_EQ(reg.queryValue(k, "s", &type, small, &size), WinError::MoreData);
    EXPECT_EQ(size, 9u);
    std::uint8_t big[16] = {};
    size = sizeof big;
    ASSERT_EQ(reg.queryValue(k, "s", &type, big, &size), WinError::Success);
    EXPECT_STREQ(reinterpret_cast<char*>(big), "1024,768");
}

TEST_F(RegistryTest, LongNamesGiveMoreDataFromEnumeration)
{
    const RegKey k = create(RegRoot::LocalMachine, "Long");
    create(k, "A");
    create(k, std::string(255, 'M'));
    create(k, "Z");
    std::string name;
    EXPECT_EQ(reg.enumKey(k, 0, name), WinError::Success);
    EXPECT_EQ(reg.enumKey(k, 1, name, 255), WinError::MoreData);
    EXPECT_EQ(name.size(), 255u);
    EXPECT_EQ(reg.enumKey(k, 1, name, 256), WinError::Success);
    RegKey tooLong;
    EXPECT_EQ(reg.createKey(k, std::string(256, 'x'), tooLong), WinError::InvalidParameter);
}

TEST_F(RegistryTest, DeleteTreeRemovesEverythingBelowAndHandlesNoticeIt)
{
    const RegKey app = create(RegRoot::CurrentUser, "Software\\App");
    const RegKey deep = create(app, "A\\B\\C");
    ASSERT_EQ(reg.setString(deep, "v", "x"), WinError::Success);
    ASSERT_EQ(reg.setString(app, "top", "y"), WinError::Success);
    create(RegRoot::CurrentUser, "Software\\Apple"); // a sibling whose name starts alike stays

    EXPECT_EQ(reg.deleteKey(RegRoot::CurrentUser, "Software\\App"), WinError::AccessDenied); // has sub-keys
    ASSERT_EQ(reg.deleteTree(RegRoot::CurrentUser, "software\\app"), WinError::Success);
    RegKey k;
    EXPECT_EQ(reg.openKey(RegRoot::CurrentUser, "Software\\App", k), WinError::FileNotFound);
    EXPECT_EQ(reg.openKey(RegRoot::CurrentUser, "Software\\Apple", k), WinError::Success);
    RegValue v;
    EXPECT_EQ(reg.queryValue(deep, "v", v), WinError::KeyDeleted);
    EXPECT_EQ(reg.setString(deep, "v", "again"), WinError::KeyDeleted);
    EXPECT_EQ(reg.deleteTree(RegRoot::CurrentUser, "Software\\App"), WinError::FileNotFound);
}

TEST_F(RegistryTest, DeleteTreeWithoutSubKeyEmptiesTheKeyButKeepsIt)
{
    const RegKey k = create(RegRoot::LocalMachine, "Keep");
    create(k, "child");
    ASSERT_EQ(reg.setString(k, "v", "x"), WinError::Success);
    ASSERT_EQ(reg.deleteTree(k, ""), WinError::Success);
    RegKeyInfo info;
    ASSERT_EQ(reg.queryInfo(k, info), WinError::Success);
    EXPECT_EQ(info.subKeys, 0u);
    EXPECT_EQ(info.values, 0u);
    EXPECT_EQ(reg.deleteKey(RegRoot::LocalMachine, "Keep"), WinError::Success);
    EXPECT_EQ(reg.deleteKey(RegRoot::LocalMachine, ""), WinError::AccessDenied);
}

TEST_F(RegistryTest, ClassesRootIsAViewOfSoftwareClasses)
{
    const RegKey txt = create(RegRoot::ClassesRoot, ".txt");
    ASSERT_EQ(reg.setString(txt, "", "txtfile"), WinError::Success);
    RegKey viaMachine;
    ASSERT_EQ(reg.openKey(RegRoot::LocalMachine, "SOFTWARE\\Classes\\.TXT", viaMachine), WinError::Success);
    std::string text;
    ASSERT_EQ(reg.queryString(viaMachine, "", text), WinError::Success);
    EXPECT_EQ(text, "txtfile");
    const RegKey other = create(RegRoot::LocalMachine, "Software\\Classes\\Folder\\shell");
    (void)other;
    EXPECT_EQ(subKeyNames(RegRoot::ClassesRoot), (std::vector<std::string>{".txt", "Folder"}));
}

TEST_F(RegistryTest, HivesAreSeparate)
{
    create(RegRoot::CurrentUser, "OnlyHere");
    RegKey k;
    EXPECT_EQ(reg.openKey(RegRoot::Users, "OnlyHere", k), WinError::FileNotFound);
    EXPECT_EQ(reg.openKey(RegRoot::LocalMachine, "OnlyHere", k), WinError::FileNotFound);
    EXPECT_EQ(reg.openKey(RegRoot::CurrentConfig, "OnlyHere", k), WinError::FileNotFound);
    EXPECT_EQ(reg.openKey(RegRoot::CurrentUser, "OnlyHere", k), WinError::Success);
}

TEST_F(RegistryTest, RootNamesParseLongAndShort)
{
    EXPECT_EQ(parseRegRoot("hklm"), RegRoot::LocalMachine);
    EXPECT_EQ(parseRegRoot("HKEY_CLASSES_ROOT"), RegRoot::ClassesRoot);
    EXPECT_EQ(parseRegRoot("HKU"), RegRoot::Users);
    EXPECT_EQ(parseRegRoot("HKCC"), RegRoot::CurrentConfig);
    EXPECT_FALSE(parseRegRoot("HKEY_DYN_DATA").has_value());
    RegRoot root{};
    std::string sub;
    ASSERT_TRUE(splitRegPath("HKCU\\Software\\X", root, sub));
    EXPECT_EQ(root, RegRoot::CurrentUser);
    EXPECT_EQ(sub, "Software\\X");
    EXPECT_FALSE(splitRegPath("Software\\X", root, sub));
}

TEST_F(RegistryTest, RolledBackTransactionLeavesNothingBehind)
{
    const RegKey k = create(RegRoot::LocalMachine, "Tx");
    ASSERT_EQ(reg.setString(k, "before", "1"), WinError::Success);
    {
        RegTransaction tx(reg);
        ASSERT_EQ(tx.status(), WinError::Success);
        ASSERT_EQ(reg.setString(k, "inside", "2"), WinError::Success);
        create(k, "NewKey");
        ASSERT_EQ(reg.deleteValue(k, "before"), WinError::Success);
    } // no commit
    EXPECT_EQ(valueNames(k), std::vector<std::string>{"before"});
    EXPECT_TRUE(subKeyNames(k).empty());
    {
        RegTransaction tx(reg);
        ASSERT_EQ(reg.setString(k, "inside", "2"), WinError::Success);
        ASSERT_EQ(tx.commit(), WinError::Success);
    }
    EXPECT_EQ(valueNames(k), (std::vector<std::string>{"before", "inside"}));
}

TEST_F(RegistryTest, HandlesNoticeDeletionsInsideATransaction)
{
    RegTransaction tx(reg);
    ASSERT_EQ(tx.status(), WinError::Success);
    const RegKey k = create(RegRoot::CurrentUser, "InTx");
    ASSERT_EQ(reg.setString(k, "a", "1"), WinError::Success);
    ASSERT_EQ(reg.deleteTree(RegRoot::CurrentUser, "InTx"), WinError::Success);
    EXPECT_EQ(reg.setString(k, "b", "2"), WinError::KeyDeleted);

    // A key made inside an inner transaction goes with its rollback.
    RegKey inner;
    ASSERT_EQ(reg.beginTransaction(), WinError::Success);
    ASSERT_EQ(reg.createKey(RegRoot::CurrentUser, "Inner", inner), WinError::Success);
    ASSERT_EQ(reg.setString(inner, "a", "1"), WinError::Success);
    ASSERT_EQ(reg.rollbackTransaction(), WinError::Success);
    EXPECT_EQ(reg.setString(inner, "b", "2"), WinError::KeyDeleted);
    EXPECT_TRUE(reg.inTransaction());
}

TEST_F(RegistryTest, DataPersistsAcrossConnections)
{
    ASSERT_EQ(reg.setDword(create(RegRoot::CurrentUser, "P"), "n", 42), WinError::Success);
    reg.close();
    Registry again;
    ASSERT_EQ(again.open(dir / "registry.db", Registry::OpenMode::OpenExisting), WinError::Success);
    RegKey k;
    ASSERT_EQ(again.openKey(RegRoot::CurrentUser, "p", k), WinError::Success);
    std::uint32_t n = 0;
    ASSERT_EQ(again.queryDword(k, "N", n), WinError::Success);
    EXPECT_EQ(n, 42u);
}

TEST_F(RegistryTest, OpeningBadDatabasesFailsWithAMessage)
{
    Registry other;
    std::string message;
    EXPECT_EQ(
        other.open(dir / "missing.db", Registry::OpenMode::OpenExisting, &message), WinError::FileNotFound);
    EXPECT_NE(message.find("missing.db"), std::string::npos);
    std::ofstream(dir / "junk.db") << "this is not a database at all, just some text that is long enough";
    EXPECT_EQ(other.open(dir / "junk.db", Registry::OpenMode::OpenExisting, &message), WinError::InvalidData);
    EXPECT_NE(message.find("junk.db"), std::string::npos);
    EXPECT_FALSE(other.isOpen());
    RegKey k;
    EXPECT_EQ(other.openKey(RegRoot::LocalMachine, "", k), WinError::InvalidHandle);
}

TEST_F(RegistryTest, EnumerationSeesChangesMadeBetweenCalls)
{
    const RegKey k = create(RegRoot::CurrentUser, "Live");
    create(k, "b");
    ASSERT_EQ(reg.setString(k, "one", "1"), WinError::Success);
    std::string name;
    RegValue v;
    ASSERT_EQ(reg.enumKey(k, 0, name), WinError::Success);
    ASSERT_EQ(reg.enumValue(k, 0, v), WinError::Success);
    // Another connection (as another process would) adds and removes entries.
    Registry other;
    ASSERT_EQ(other.open(dir / "registry.db"), WinError::Success);
    RegKey live;
    ASSERT_EQ(other.openKey(RegRoot::CurrentUser, "Live", live), WinError::Success);
    RegKey a;
    ASSERT_EQ(other.createKey(live, "a", a), WinError::Success);
    ASSERT_EQ(other.deleteValue(live, "one"), WinError::Success);
    ASSERT_EQ(other.setString(live, "two", "2"), WinError::Success);
    EXPECT_EQ(subKeyNames(k), (std::vector<std::string>{"a", "b"}));
    EXPECT_EQ(valueNames(k), std::vector<std::string>{"two"});
    // And this connection's own changes show at once too.
    ASSERT_EQ(reg.deleteTree(k, "a"), WinError::Success);
    ASSERT_EQ(reg.setString(k, "three", "3"), WinError::Success);
    EXPECT_EQ(subKeyNames(k), std::vector<std::string>{"b"});
    EXPECT_EQ(valueNames(k), (std::vector<std::string>{"two", "three"}));
    // Also inside a transaction, where single writes run without a transaction of their own.
    RegTransaction tx(reg);
    EXPECT_EQ(valueNames(k), (std::vector<std::string>{"two", "three"}));
    create(k, "c");
    ASSERT_EQ(reg.setString(k, "four", "4"), WinError::Success);
    EXPECT_EQ(subKeyNames(k), (std::vector<std::string>{"b", "c"}));
    EXPECT_EQ(valueNames(k), (std::vector<std::string>{"two", "three", "four"}));
}

TEST_F(RegistryTest, TwoProcessesWritingAtOnceLoseNothing)
{
    reg.close();
    constexpr int kPerProcess = 300;
    auto writer = [&](const char* prefix) {
        Registry r;
        if (r.open(dir / "registry.db") != WinError::Success)
            return 1;
        RegKey k;
        for (int i = 0; i < kPerProcess; ++i) {
            if (r.createKey(RegRoot::CurrentUser, "Shared", k) != WinError::Success)
                return 2;
            if (r.setDword(k, std::string(prefix) + std::to_string(i), static_cast<std::uint32_t>(i)) !=
                WinError::Success)
                return 3;
        }
        return 0;
    };
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0)
        ::_exit(writer("child"));
    const int mine = writer("parent");
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0);
    EXPECT_EQ(mine, 0);

    Registry check;
    ASSERT_EQ(check.open(dir / "registry.db"), WinError::Success);
    RegKey k;
    ASSERT_EQ(check.openKey(RegRoot::CurrentUser, "Shared", k), WinError::Success);
    RegKeyInfo info;
    ASSERT_EQ(check.queryInfo(k, info), WinError::Success);
    EXPECT_EQ(info.values, 2u * kPerProcess);
}
