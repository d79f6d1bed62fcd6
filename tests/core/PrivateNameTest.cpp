// Our private files' names: what one converter writes, another reads back
// after a crash, whatever the bitmap's name.
#include "core/PrivateName.h"

#include "core/NativeName.h"

#include <gtest/gtest.h>

TEST(PrivateName, EveryNameReadsBackAsWhatMadeIt)
{
    const struct {
        const char* what;
        PrivateName name;
    } rows[] = {
        {"a temporary JPEG", PrivateName::temporary()},
        {"a bitmap set aside", PrivateName::aside("c1a00003.bmp")},
        {"with its JPEG's record", PrivateName::aside("c1a00003.bmp", PrivateName::Journal{42, 0x9f86d081884c7d65})},
        {"a number past 9999", PrivateName::aside("HalfLife07.tga", PrivateName::Journal{12345, 1})},
        {"a name with dots and a dash", PrivateName::aside("de_dust2.0001-x.bmp", PrivateName::Journal{7, 2})},
        {"a name that is not UTF-8", PrivateName::aside(NativeName::decode("caf\xe9"
                                                                           "0001.bmp"))},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.what);
        const std::optional<PrivateName> back = PrivateName::parse(row.name.fileName());
        ASSERT_TRUE(back) << row.name.fileName().toStdString();
        EXPECT_EQ(back->kind, row.name.kind);
        EXPECT_EQ(back->random, row.name.random);
        EXPECT_EQ(back->own, row.name.own);
        EXPECT_EQ(back->journal, row.name.journal);
    }
}

// A name too long to carry the private part gives up its start, never its
// number and extension, and fits in 255 bytes.
TEST(PrivateName, ALongNameGivesUpItsStart)
{
    const QString own = QString(250, QChar(0x00e9)) + "0003.bmp"; // two bytes each in UTF-8
    const PrivateName aside = PrivateName::aside(own, PrivateName::Journal{3, 3});
    EXPECT_LE(NativeName::encode(aside.fileName()).size(), 255);
    EXPECT_TRUE(aside.own.endsWith("0003.bmp"));
    EXPECT_TRUE(own.endsWith(aside.own));
    EXPECT_EQ(PrivateName::parse(aside.fileName())->own, aside.own);
}

TEST(PrivateName, OnlyOurNamesAreOurs)
{
    for (const char* name : {"c1a00003.bmp", ".fw-short.tmp", ".fw-k3x9q2.jpg", ".fw-K3X9Q2.tmp", ".hidden", ""})
        EXPECT_FALSE(PrivateName::parse(name)) << name;
    // An older version's bitmap set aside, whose name kept nothing of its own.
    const std::optional<PrivateName> unnamed = PrivateName::parse(".fw-k3x9q2.del");
    ASSERT_TRUE(unnamed);
    EXPECT_EQ(unnamed->kind, PrivateName::Kind::Aside);
    EXPECT_TRUE(unnamed->own.isEmpty());
    EXPECT_FALSE(unnamed->journal);
}
