// Strings: number texts, searches, slicing, splitting, replacing and the
// decoding of text files.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <utility>

#include "runtime/runtime.h"

namespace {

std::string U8(const String& s) { return s.ToUtf8(); }

String LoadBytes(const std::string& bytes) {
    FILE* f = tmpfile();
    fwrite(bytes.data(), 1, bytes.size(), f);
    rewind(f);
    String s = String::Load(f);
    fclose(f);
    return s;
}

}  // namespace

TEST(StringNumbers, IntAndFloatTexts) {
    EXPECT_EQ(U8(String(-5)), "-5");
    EXPECT_EQ(U8(String(0)), "0");
    EXPECT_EQ(U8(String(2.0f)), "2.0");
    EXPECT_EQ(U8(String(3.0f)), "3.0");
    EXPECT_EQ(U8(String(0.5f)), "0.5");
    EXPECT_EQ(U8(String(0.1f)), "0.10000000149011612");
    // Large enough to print with an exponent: no ".0" appended.
    EXPECT_EQ(U8(String(1e30f)), "1.0000000150474662e+30");
    EXPECT_EQ(U8(String(-2.5f)), "-2.5");
}

TEST(StringNumbers, ToIntReadsLikeAtoiAndStaysDefinedPastTheIntRange) {
    EXPECT_EQ(String("  42abc").ToInt(), 42);
    EXPECT_EQ(String("-17").ToInt(), -17);
    EXPECT_EQ(String("x1").ToInt(), 0);
    EXPECT_EQ(String("").ToInt(), 0);
    // Values beyond 32 bits wrap like the checksums that are stored with them.
    EXPECT_EQ(String("4294967296").ToInt(), 0);
    EXPECT_EQ(String("4294967295").ToInt(), -1);
    EXPECT_EQ(String("2147483648").ToInt(), static_cast<int>(0x80000000u));
    EXPECT_EQ(String("99999999999999999999999999").ToInt(), String("99999999999999999999999999").ToInt());
    // Only the first 63 units are read.
    std::string longer(63, '0');
    longer += "7";
    EXPECT_EQ(String(longer.c_str()).ToInt(), 0);
}

TEST(StringOps, EqualityAndConcatenationShareRepresentations) {
    String abc("abc"), ab("ab");
    EXPECT_FALSE(abc == ab);
    EXPECT_TRUE(abc == String("abc"));
    EXPECT_EQ((String() + abc).GetRep(), abc.GetRep());
    EXPECT_EQ((abc + String()).GetRep(), abc.GetRep());
    EXPECT_EQ(U8(ab + abc), "ababc");
    EXPECT_EQ(String().GetRep(), &String::nullRep);
    EXPECT_EQ(String("").GetRep(), &String::nullRep);
    EXPECT_EQ(String(static_cast<const Char*>(nullptr), 0).GetRep(), &String::nullRep);

    // The shared empty text is not counted, so its count cannot run over.
    const int refs = String::nullRep.refs;
    String empty;
    for (int i = 0; i < 1000; ++i) {
        String copy(empty);
        copy = String("");
        empty = std::move(copy);
    }
    EXPECT_EQ(String::nullRep.refs, refs);
}

TEST(StringOps, FindAndStartsWith) {
    String s("hello hello");
    EXPECT_EQ(s.Find(String("llo")), 2);
    EXPECT_EQ(s.Find(String("llo"), 3), 8);
    EXPECT_EQ(s.Find(String("llo"), 9), -1);
    EXPECT_EQ(s.Find(String("llo"), -5), 2);
    EXPECT_EQ(s.Find(String(""), 4), 4);
    EXPECT_TRUE(s.StartsWith(String("hell")));
    EXPECT_FALSE(String("he").StartsWith(String("hell")));
}

TEST(StringOps, SliceRules) {
    String s("abc");
    EXPECT_EQ(U8(s.Slice(-2)), "bc");
    EXPECT_EQ(s.Slice(2, 1).GetRep(), &String::nullRep);
    EXPECT_EQ(s.Slice(0, 99).GetRep(), s.GetRep());
    EXPECT_EQ(U8(s.Slice(1, 2)), "b");
    EXPECT_EQ(U8(s.Slice(-99, -1)), "ab");
}

TEST(StringOps, SplitRules) {
    Array<String> parts = String(",a,,b,").Split(String(","));
    ASSERT_EQ(parts.Length(), 5);
    EXPECT_EQ(U8(parts[0]), "");
    EXPECT_EQ(U8(parts[1]), "a");
    EXPECT_EQ(U8(parts[2]), "");
    EXPECT_EQ(U8(parts[3]), "b");
    EXPECT_EQ(U8(parts[4]), "");

    Array<String> empty = String().Split(String(","));
    ASSERT_EQ(empty.Length(), 1);
    EXPECT_EQ(empty[0].Length(), 0);

    Array<String> units = String("xy").Split(String());
    ASSERT_EQ(units.Length(), 2);
    EXPECT_EQ(U8(units[1]), "y");
    EXPECT_EQ(String().Split(String()).Length(), 0);

    Array<String> multi = String("1||2||").Split(String("||"));
    ASSERT_EQ(multi.Length(), 3);
    EXPECT_EQ(U8(multi[1]), "2");
}

TEST(StringOps, ReplaceRules) {
    EXPECT_EQ(U8(String("aaa").Replace(String("aa"), String("b"))), "ba");
    String s("abc");
    EXPECT_EQ(s.Replace(String("x"), String("y")).GetRep(), s.GetRep());
    EXPECT_EQ(U8(String("a.b.c").Replace(String("."), String("--"))), "a--b--c");
}

TEST(StringOps, NarrowCopyTruncatesUnits) {
    Char units[] = {'A', 0x1E9, 'z'};
    String s(units, 3);
    String::CString<char> c = s.ToCString<char>();
    EXPECT_EQ(static_cast<unsigned char>(c.c_str()[1]), 0xE9);
    EXPECT_EQ(c.c_str()[3], 0);
    String::CString<char> copy = c;
    EXPECT_STREQ(copy.c_str(), c.c_str());
}

TEST(StringLoad, ByteOrderMarksAndUtf8) {
    // UTF-16 LE with an odd trailing byte: one unit.
    String le = LoadBytes(std::string("\xFF\xFE\x41\x00\x42", 5));
    ASSERT_EQ(le.Length(), 1);
    EXPECT_EQ(le[0], 'A');
    String be = LoadBytes(std::string("\xFE\xFF\x00\x41\x20\xAC", 6));
    ASSERT_EQ(be.Length(), 2);
    EXPECT_EQ(be[1], 0x20AC);
    // UTF-8 with its byte-order mark skipped; two- and three-byte sequences.
    String u8 = LoadBytes("\xEF\xBB\xBFz\xC3\xA9\xE2\x82\xAC");
    ASSERT_EQ(u8.Length(), 3);
    EXPECT_EQ(u8[0], 'z');
    EXPECT_EQ(u8[1], 0xE9);
    EXPECT_EQ(u8[2], 0x20AC);
    EXPECT_EQ(String::LoadError().Length(), 0);
    EXPECT_EQ(LoadBytes("").GetRep(), &String::nullRep);
}

TEST(StringLoad, InvalidUtf8FallsBackToRawBytes) {
    String s = LoadBytes("a\xF0\x9F\x98\x80");
    ASSERT_EQ(s.Length(), 5);
    EXPECT_EQ(s[1], 0xF0);
    EXPECT_EQ(U8(String::LoadError()), "Invalid UTF-8");
    // A missing continuation byte fails the whole decode too.
    String t = LoadBytes("\xC3");
    ASSERT_EQ(t.Length(), 1);
    EXPECT_EQ(t[0], 0xC3);
    // The next good load clears the error text.
    LoadBytes("ok");
    EXPECT_EQ(String::LoadError().Length(), 0);
}

TEST(StringUtf8, RoundTripOfTheBasicPlane) {
    Char units[] = {'a', 0xE9, 0x7FF, 0x800, 0xFFFD};
    String s(units, 5);
    std::string bytes = s.ToUtf8();
    EXPECT_EQ(bytes.size(), 1u + 2 + 2 + 3 + 3);
    EXPECT_TRUE(String::FromUtf8(bytes) == s);
}
