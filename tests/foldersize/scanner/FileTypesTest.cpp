// FileTypesTest.cpp: real extensions, type names in German and icon keys.
#include "foldersize/scanner/FileTypes.h"

#include <QLocale>

#include <gtest/gtest.h>

#include "foldersize/scanner/FileLister.h"
#include "tests/foldersize/QStringPrinter.h"
#include "tests/foldersize/TempTree.h"

using namespace foldersize;

class FileTypesTest : public ::testing::Test {
protected:
    testsupport::TempTree t;
};

TEST_F(FileTypesTest, TypeNamesAndIconKeys)
{
    EXPECT_EQ(fallbackTypeName(""), "Datei");
    EXPECT_EQ(fallbackTypeName("XYZ"), "XYZ-Datei");
    EXPECT_EQ(iconKey("a.txt", "TXT"), "KTXT");
    EXPECT_EQ(iconKey("b.TXT", "TXT"), "KTXT");
    EXPECT_EQ(iconKey("setup.exe", "EXE"), "setup.exe");
    EXPECT_EQ(iconKey("start.lnk", "LNK"), "start.lnk");
    EXPECT_EQ(iconKey("README", ""), "leer");
}

TEST_F(FileTypesTest, TypeNamesComeFromTheRealExtensionInGerman)
{
    const QLocale before;
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    EXPECT_EQ(realExtension("pas2js-3.2.2"), "") << "a version number is no extension";
    EXPECT_EQ(realExtension("libfoo-1.0"), "");
    EXPECT_EQ(realExtension("ls.1"), "1");
    EXPECT_EQ(realExtension("backup.tar.gz"), "gz");
    EXPECT_EQ(realExtension("x.7z"), "7z");
    EXPECT_EQ(realExtension("README"), "");
    EXPECT_EQ(typeNameOf(mimeTypeOf("pas2js-3.2.2", ""), ""), "Datei") << "no manual page";
    EXPECT_EQ(typeNameOf(mimeTypeOf("bericht.pdf", "PDF"), "PDF"), "PDF-Dokument");
    EXPECT_EQ(typeNameOf(mimeTypeOf("data.xyzzy", "XYZZY"), "XYZZY"), "XYZZY-Datei");
    EXPECT_EQ(typeNameOf(mimeTypeOf("Makefile", ""), ""), "Datei") << "no extension, no type";
    // The listing takes the real extension too.
    t.file("pas2js-3.2.2", 5);
    FileLister l(t.root());
    while (l.step(10)) {}
    ASSERT_EQ(l.entries().size(), 1u);
    EXPECT_EQ(l.entries()[0].extension, "");
    QLocale::setDefault(before);
}
