#include "engine/base/XException.h"
#include "engine/profile/ProfileRecord.h"
#include "engine/profile/ProfileSection.h"
#include "tests/support/MemoryProfile.h"

#include <gtest/gtest.h>

TEST(ProfileRecord, FieldsByPositionMissingAndEmpty)
{
    ProfileRecord r("Bin|0|");
    EXPECT_EQ(r.Text(0), "Bin");
    EXPECT_EQ(r.Number(1, -1), 0);
    EXPECT_TRUE(r.Has(2));
    EXPECT_EQ(r.Text(2), "");
    EXPECT_FALSE(r.Has(3));
    EXPECT_EQ(r.Number16(3, -1), -1);

    ProfileRecord only("Data");
    EXPECT_EQ(only.Text(0), "Data");
    EXPECT_EQ(only.Number16(1, -1), -1);
    EXPECT_EQ(only.Text(5), "");
}

TEST(ProfileRecord, DecimalPrefixClampsInsteadOfOverflowing)
{
    EXPECT_EQ(ParseDecimal("  -12abc"), -12);
    EXPECT_EQ(ParseDecimal("+7"), 7);
    EXPECT_EQ(ParseDecimal("abc"), 0);
    EXPECT_EQ(ParseDecimal(""), 0);
    EXPECT_EQ(ParseDecimal("-"), 0);
    EXPECT_EQ(ParseDecimal("\t42 "), 42);
    EXPECT_EQ(ParseDecimal("99999999999999999999"), INT32_MAX);
    EXPECT_EQ(ParseDecimal("-99999999999999999999"), INT32_MIN);
    EXPECT_EQ(ParseDecimal("-2147483648"), INT32_MIN);
    EXPECT_EQ(ClampTo16(70000), INT16_MAX);
    EXPECT_EQ(ClampTo16(-70000), INT16_MIN);
    ProfileRecord r("5|-3|x|70000");
    EXPECT_EQ(r.Flag(0), 1);
    EXPECT_EQ(r.Flag(1), 1);
    EXPECT_EQ(r.Flag(2), 0);
    EXPECT_EQ(r.Number16(3), INT16_MAX);
}

TEST(ProfileRecord, ValueCutAt254)
{
    std::string longName(300, 'n');
    ProfileRecord r(longName + "|5");
    EXPECT_EQ(r.Text(0).size(), 254u);
    EXPECT_FALSE(r.Has(1)); // the cut took the second field with it
}

TEST(ProfileSection, KeysInFileOrderWithValuesCut)
{
    MemoryProfile p("[s]\nzeta=1\nalpha=2\nmid=" + std::string(400, 'v') + "\n");
    ProfileSection s;
    ASSERT_TRUE(s.Open(p, "S"));
    std::string k, v;
    ASSERT_TRUE(s.Next(k, v));
    EXPECT_EQ(k, "zeta");
    EXPECT_EQ(v, "1");
    ASSERT_TRUE(s.Next(k, v));
    EXPECT_EQ(k, "alpha");
    ASSERT_TRUE(s.Next(k, v));
    EXPECT_EQ(k, "mid");
    EXPECT_EQ(v.size(), 254u);
    EXPECT_FALSE(s.Next(k, v));

    ProfileSection none;
    EXPECT_FALSE(none.Open(p, "missing"));
    EXPECT_FALSE(none.Next(k, v));
    MemoryProfile empty("[e]\n");
    EXPECT_FALSE(none.Open(empty, "e"));
}

TEST(ProfileSection, MergedLinesReplaceKeysOfAnyCaseAndKeepTheRest)
{
    using namespace std::string_literals;
    const struct {
        std::string lines;
        ProfileStore::Entries entries;
        std::string merged;
    } cases[] = {
        {"", {{"a.exe", "0|1|0"}}, "a.exe=0|1|0\0\0"s},
        {"A.EXE=0|1|0\0b.dll=-3|1|0\0"s,
         {{"a.exe", "2|1|1"}, {"c.txt", "0|1|0"}},
         "A.EXE=2|1|1\0b.dll=-3|1|0\0c.txt=0|1|0\0\0"s},
        {"note\0b=1"s, {{"b", "2"}, {"B", "3"}}, "note\0b=3\0\0"s}, // last one wins; lines without '=' stay
    };
    for (const auto& c : cases) EXPECT_EQ(MergeSectionLines(c.lines, c.entries), c.merged) << c.lines;
}

TEST(ProfileSection, KeyBufferDoublesForThousandsOfKeys)
{
    std::string text = "[many]\n";
    for (int i = 0; i < 5000; ++i) text += "key" + std::to_string(i) + "=" + std::to_string(i) + "\n";
    MemoryProfile p(text);
    ProfileSection s;
    ASSERT_TRUE(s.Open(p, "many"));
    ASSERT_GE(p.keyListSizes.size(), 2u);
    EXPECT_EQ(p.keyListSizes.front(), 256u);
    for (std::size_t i = 1; i < p.keyListSizes.size(); ++i) EXPECT_EQ(p.keyListSizes[i], 2 * p.keyListSizes[i - 1]);
    int count = 0;
    std::string k, v;
    while (s.Next(k, v)) {
        EXPECT_EQ(k, "key" + std::to_string(count));
        EXPECT_EQ(v, std::to_string(count));
        ++count;
    }
    EXPECT_EQ(count, 5000);
}

TEST(ProfileSection, ListThatNeverFitsIsRefusedNotGrownForever)
{
    // A store that always reports a full buffer (as an endless file would).
    struct Endless : ProfileStore {
        uint32_t GetString(const char*, const char* key, const char*, char* buffer, uint32_t size) override
        {
            std::memset(buffer, 'k', size);
            buffer[size - 1] = buffer[size - 2] = '\0';
            return size - 2;
        }
        int32_t GetInt(const char*, const char*, int32_t def) override { return def; }
        bool WriteString(const char*, const char*, const char*) override { return false; }
    } endless;
    ProfileSection s;
    try {
        s.Open(endless, "x");
        FAIL() << "no exception";
    } catch (const CInstallProfileException& e) {
        EXPECT_EQ(e.Cause(), 0);
    }
}
