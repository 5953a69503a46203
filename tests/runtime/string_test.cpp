// Strings: storage and sharing, number texts, searches, slicing, splitting,
// replacing and the decoding of text files.
#include <gtest/gtest.h>
#include <malloc.h>

#include <climits>
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

TEST(StringNumbers, IntAndFloatTextsAndToIntPastTheIntRange) {
    EXPECT_EQ(U8(String(-5)) + " " + U8(String(0)), "-5 0");
    // Whole floats end in ".0", unless printed with an exponent.
    const std::pair<float, const char*> floats[] = {
        {2.0f, "2.0"}, {-2.5f, "-2.5"}, {0.1f, "0.10000000149011612"}, {1e30f, "1.0000000150474662e+30"}};
    for (auto& [value, text] : floats) EXPECT_EQ(U8(String(value)), text);
    // Like atoi, but values beyond 32 bits wrap like the checksums stored with them.
    const std::pair<const char*, int> ints[] = {{"  42abc", 42},   {"-17", -17},       {"x1", 0},
                                                {"4294967296", 0}, {"4294967295", -1}, {"2147483648", INT_MIN}};
    for (auto& [text, value] : ints) EXPECT_EQ(String(text).ToInt(), value) << text;
    // Only the first 63 units are read.
    EXPECT_EQ(String((std::string(63, '0') + "7").c_str()).ToInt(), 0);
}

TEST(StringStorage, SharingCountingAndFreeing) {
    String abc("abc"), ab("ab");
    EXPECT_FALSE(abc == ab);
    EXPECT_FALSE(ab == abc) << "a prefix is not equal";
    EXPECT_TRUE(abc == String("abc"));
    EXPECT_EQ((String() + abc).GetRep(), abc.GetRep());
    EXPECT_EQ((abc + String()).GetRep(), abc.GetRep());
    EXPECT_EQ(U8(ab + abc), "ababc");
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

    // The last release frees the text: 20 MB of texts made and dropped
    // leave the heap as it was.
    String part(std::string(10000, 'x').c_str());
    size_t before = mallinfo2().uordblks;
    for (int i = 0; i < 1000; ++i) {
        String whole = part + abc;
        String copy = whole;
    }
    EXPECT_LT(mallinfo2().uordblks, before + (1 << 20));

    // A narrow copy keeps the low 8 bits of each unit and ends in 0.
    Char units[] = {'A', 0x1E9, 'z'};
    EXPECT_STREQ(String(units, 3).ToCString<char>().c_str(), "A\xE9z");
}

TEST(StringOps, FindSliceSplitAndReplace) {
    String s("hello hello");
    EXPECT_EQ(s.Find(String("llo")), 2);
    EXPECT_EQ(s.Find(String("llo"), 3), 8);
    EXPECT_EQ(s.Find(String("llo"), 9), -1);
    EXPECT_EQ(s.Find(String("llo"), -5), 2);
    EXPECT_TRUE(s.StartsWith(String("hell")));
    EXPECT_FALSE(String("he").StartsWith(String("hell")));

    String abc("abc");
    EXPECT_EQ(U8(abc.Slice(-2)), "bc");
    EXPECT_EQ(abc.Slice(2, 1).GetRep(), &String::nullRep);
    EXPECT_EQ(abc.Slice(0, 99).GetRep(), abc.GetRep());
    EXPECT_EQ(U8(abc.Slice(-99, -1)), "ab");

    auto joined = [](const Array<String>& parts) {
        std::string out;
        for (int i = 0; i < parts.Length(); ++i) out += "[" + U8(parts[i]) + "]";
        return out;
    };
    EXPECT_EQ(joined(String(",a,,b,").Split(String(","))), "[][a][][b][]");
    EXPECT_EQ(joined(String("1||2||").Split(String("||"))), "[1][2][]");
    EXPECT_EQ(joined(String().Split(String(","))), "[]");
    EXPECT_EQ(joined(String("xy").Split(String())), "[x][y]");

    EXPECT_EQ(U8(String("aaa").Replace(String("aa"), String("b"))), "ba");
    EXPECT_EQ(U8(String("a.b.c").Replace(String("."), String("--"))), "a--b--c");
    EXPECT_EQ(abc.Replace(String("x"), String("y")).GetRep(), abc.GetRep());
}

TEST(StringLoad, ByteOrderMarksUtf8AndTheRawFallback) {
    // UTF-16 LE with an odd trailing byte: one unit; UTF-16 BE.
    String le = LoadBytes(std::string("\xFF\xFE\x41\x00\x42", 5));
    ASSERT_EQ(le.Length(), 1);
    EXPECT_EQ(le[0], 'A');
    String be = LoadBytes(std::string("\xFE\xFF\x00\x41\x20\xAC", 6));
    ASSERT_EQ(be.Length(), 2);
    EXPECT_EQ(be[1], 0x20AC);
    // UTF-8 with its byte-order mark skipped; two- and three-byte sequences.
    String u8 = LoadBytes("\xEF\xBB\xBFz\xC3\xA9\xE2\x82\xAC");
    ASSERT_EQ(u8.Length(), 3);
    EXPECT_EQ(u8[1], 0xE9);
    EXPECT_EQ(u8[2], 0x20AC);
    EXPECT_EQ(String::LoadError().Length(), 0);
    EXPECT_EQ(LoadBytes("").GetRep(), &String::nullRep);

    // A four-byte sequence or a missing continuation byte: raw bytes, one
    // unit each, and an error text that the next good load clears.
    String raw = LoadBytes("a\xF0\x9F\x98\x80");
    ASSERT_EQ(raw.Length(), 5);
    EXPECT_EQ(raw[1], 0xF0);
    EXPECT_EQ(U8(String::LoadError()), "Invalid UTF-8");
    String cut = LoadBytes("\xC3");
    ASSERT_EQ(cut.Length(), 1);
    EXPECT_EQ(cut[0], 0xC3);
    LoadBytes("ok");
    EXPECT_EQ(String::LoadError().Length(), 0);

    // The basic plane survives a round trip through UTF-8.
    Char units[] = {'a', 0xE9, 0x7FF, 0x800, 0xFFFD};
    String s(units, 5);
    EXPECT_EQ(s.ToUtf8().size(), 1u + 2 + 2 + 3 + 3);
    EXPECT_TRUE(String::FromUtf8(s.ToUtf8()) == s);
}
