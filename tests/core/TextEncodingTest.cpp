// tests/core/TextEncodingTest.cpp - every Shift-JIS sequence against ICU itself where the build
// has it (the Windows build converts without ICU), against the code page's known counts, and the
// edges
#include <gtest/gtest.h>
#ifdef PEXOL_ICU_REFERENCE
#include <unicode/ucnv.h>
#include <unicode/ustring.h>
#endif

#include <algorithm>
#include <optional>
#include <string>

#include "core/TextEncoding.h"

namespace pexol {
namespace {

#ifdef PEXOL_ICU_REFERENCE
// ICU's own answer for one sequence, from a converter of the test's own: the UTF-8 text when
// the bytes decode as a whole, nullopt when they do not.
std::optional<std::string> IcuDecode(const std::string& bytes) {
  UErrorCode status = U_ZERO_ERROR;
  UConverter* converter = ucnv_open("windows-31j", &status);
  ucnv_setToUCallBack(converter, UCNV_TO_U_CALLBACK_STOP, nullptr, nullptr, nullptr, &status);
  UChar units[8];
  const int32_t length =
      ucnv_toUChars(converter, units, 8, bytes.data(), static_cast<int32_t>(bytes.size()), &status);
  ucnv_close(converter);
  if (U_FAILURE(status)) return std::nullopt;
  char utf8[32];
  int32_t written = 0;
  u_strToUTF8(utf8, sizeof utf8, &written, units, length, &status);
  return std::string(utf8, static_cast<std::size_t>(written));
}
#endif

std::string Bytes(int lead, int trail) {
  return {static_cast<char>(lead), static_cast<char>(trail)};
}

bool IsLead(int byte) {
  return (byte >= 0x81 && byte <= 0x9F) || (byte >= 0xE0 && byte <= 0xFC);
}

TEST(TextEncodingTest, EveryPairDecodesAsIcuSaysWithTheKnownTotals) {
  int decoded = 0, undecodable = 0, otherBytes = 0;
  for (int lead = 0x81; lead <= 0xFC; ++lead) {
    if (!IsLead(lead)) continue;
    for (int trail = 0x40; trail <= 0xFC; ++trail) {
      const std::string pair = Bytes(lead, trail);
      const DecodedName name = DecodeShiftJis(pair);
#ifdef PEXOL_ICU_REFERENCE
      const std::optional<std::string> expected = IcuDecode(pair);
      ASSERT_EQ(name.valid, expected.has_value()) << std::hex << lead << ' ' << trail;
      if (expected) {
        ASSERT_EQ(name.utf8, *expected) << std::hex << lead << ' ' << trail;
      }
#endif
      ASSERT_EQ(IsValidShiftJis(pair), name.valid);
      if (!name.valid) {
        // 7F is never a trail byte; the other undecodable pairs are the known 1676.
        if (trail != 0x7F) ++undecodable;
        ASSERT_NE(name.utf8.find("\xEF\xBF\xBD"), std::string::npos);
        continue;
      }
      ++decoded;
      ASSERT_EQ(name.utf8.find("\xEF\xBF\xBD"), std::string::npos);
      const std::optional<std::string> encoded = EncodeShiftJis(name.utf8);
      ASSERT_TRUE(encoded.has_value()) << std::hex << lead << ' ' << trail;
      ASSERT_EQ(DecodeShiftJis(*encoded).utf8, name.utf8) << std::hex << lead << ' ' << trail;
      if (*encoded != pair) ++otherBytes;
    }
  }
  int printableSingles = 0;
  for (int byte = 0x20; byte <= 0xDF; ++byte)
    if (byte < 0x7F || byte >= 0xA1)
      printableSingles += DecodeShiftJis(std::string(1, static_cast<char>(byte))).valid;
  EXPECT_EQ(decoded + printableSingles, 9762);  // 9604 pairs, 95 ASCII, 63 half-width kana
  EXPECT_EQ(undecodable, 1676);
  EXPECT_EQ(otherBytes, 398);  // NEC row 13 and the IBM extensions' duplicates
}

TEST(TextEncodingTest, SingleBytesAreAsciiOrHalfWidthKanaAndControlsStayAscii) {
  for (int byte = 0; byte <= 0xFF; ++byte) {
    const std::string single(1, static_cast<char>(byte));
    const DecodedName name = DecodeShiftJis(single);
    if (byte < 0x80) {
      // ICU's table rotates 1A, 1C and 7F (IBM's controls); Windows and glibc keep ASCII.
      EXPECT_TRUE(name.valid);
      EXPECT_EQ(name.utf8, single) << byte;
      EXPECT_EQ(DecodeShiftJis("\x95\x5C" + single).utf8, "\xE8\xA1\xA8" + single) << byte;
      EXPECT_EQ(EncodeShiftJis("\xE8\xA1\xA8" + single), "\x95\x5C" + single) << byte;
      continue;
    }
    // A1-DF are U+FF61-U+FF9F; 80, A0 and FD-FF are no character, and a lead byte alone is
    // cut short.
    const bool kana = byte >= 0xA1 && byte <= 0xDF;
    const int code = 0xFF61 + byte - 0xA1;
    const std::string kanaText{'\xEF', static_cast<char>(0x80 | ((code >> 6) & 0x3F)),
                               static_cast<char>(0x80 | (code & 0x3F))};
    EXPECT_EQ(name.valid, kana) << byte;
    EXPECT_EQ(name.utf8, kana ? kanaText : "\xEF\xBF\xBD") << byte;
#ifdef PEXOL_ICU_REFERENCE
    EXPECT_EQ(IcuDecode(single).value_or("\xEF\xBF\xBD"), name.utf8) << byte;
#endif
  }
}

TEST(TextEncodingTest, BackslashTrailBytesStayInTheirCharacters) {
  // 表示 ソフト: 95 5C and 83 5C end in the byte of '\'.
  const DecodedName name = DecodeShiftJis("C:\\\x95\x5C\x8E\xA6\\\x83\x5C\x83\x74\x83\x67.avi");
  EXPECT_TRUE(name.valid);
  EXPECT_EQ(name.utf8, "C:\\表示\\ソフト.avi");
  EXPECT_EQ(EncodeShiftJis(name.utf8), "C:\\\x95\x5C\x8E\xA6\\\x83\x5C\x83\x74\x83\x67.avi");
}

TEST(TextEncodingTest, BadBytesBecomeReplacementsAndTheRestStillDecodes) {
  const std::string replacement = "\xEF\xBF\xBD";
  const DecodedName badTrail = DecodeShiftJis(
      "\x81\x20"
      "a\x83\x5C");  // 81 takes no space
  EXPECT_FALSE(badTrail.valid);
  EXPECT_EQ(badTrail.utf8, replacement + " aソ");
  const DecodedName loneLeadAtEnd = DecodeShiftJis("\x83\x5C\x83");
  EXPECT_FALSE(loneLeadAtEnd.valid);
  EXPECT_EQ(loneLeadAtEnd.utf8, "ソ" + replacement);
  const DecodedName neverUsed = DecodeShiftJis(
      "\xFF"
      "b\x80");
  EXPECT_FALSE(neverUsed.valid);
  EXPECT_EQ(neverUsed.utf8, replacement + "b" + replacement);
  EXPECT_FALSE(IsValidShiftJis("\xA0"));
  EXPECT_TRUE(DecodeShiftJis("").valid);
}

TEST(TextEncodingTest, EncodingRefusesWhatCodePage932CannotHold) {
  EXPECT_EQ(EncodeShiftJis("運動会.AVI"), "\x89\x5E\x93\xAE\x89\xEF.AVI");
  EXPECT_EQ(EncodeShiftJis("\xC2\xA5"), std::nullopt);          // ¥ must not become '\'
  EXPECT_EQ(EncodeShiftJis("a\xE2\x80\xBE"), std::nullopt);     // ‾ must not become '~'
  EXPECT_EQ(EncodeShiftJis("\xF0\x9F\x8E\xA5"), std::nullopt);  // an emoji
  EXPECT_EQ(EncodeShiftJis("\xEF\xBF\xBD"), std::nullopt);      // a replaced byte stays lost
  EXPECT_EQ(EncodeShiftJis("\xE8\xA1"), std::nullopt);          // not UTF-8
  // Invisible characters are refused, not dropped: the name would lose a character unseen.
  EXPECT_EQ(EncodeShiftJis("a\xE2\x80\x8B.avi"), std::nullopt);  // U+200B zero width space
  EXPECT_EQ(EncodeShiftJis("\xEF\xBB\xBF表示"), std::nullopt);   // U+FEFF
  EXPECT_EQ(EncodeShiftJis("\xC2\xAD"), std::nullopt);           // U+00AD soft hyphen
  EXPECT_EQ(EncodeShiftJis("\xEF\xA1\xAF"), std::nullopt);       // U+F86F, not the Ⅱ of 87 82
  EXPECT_EQ(EncodeShiftJis("\xC2\x80"), std::nullopt);           // U+0080, whose 80 reads as none
}

TEST(TextEncodingTest, Utf8CheckRefusesMalformedText) {
  EXPECT_TRUE(IsValidUtf8("plain 表示 \xF4\x8F\xBF\xBF"));
  EXPECT_FALSE(IsValidUtf8("\xC0\xAF"));          // overlong '/'
  EXPECT_FALSE(IsValidUtf8("\xE0\x80\xAF"));      // overlong '/'
  EXPECT_FALSE(IsValidUtf8("\xED\xA0\x80"));      // a surrogate
  EXPECT_FALSE(IsValidUtf8("\xF4\x90\x80\x80"));  // beyond U+10FFFF
  EXPECT_FALSE(IsValidUtf8("\xE8\xA1"));          // cut short
  EXPECT_FALSE(IsValidUtf8("\x95\x5C"));          // Shift-JIS is not UTF-8
}

TEST(TextEncodingTest, MessagesShowStoredNamesBesideUtf8Paths) {
  // A check's message: its list holds names as stored, its heading a path typed in UTF-8.
  EXPECT_EQ(DisplayText("complete\n\n/tmp/\xE8\xA1\xA8.mpj\n\n[MainAV]\n\x95\x5C.avi\n"),
            "complete\n\n/tmp/\xE8\xA1\xA8.mpj\n\n[MainAV]\n\xE8\xA1\xA8.avi\n");
  // A path below a folder named in Shift-JIS, ending in a name in UTF-8: each reads as it is.
  EXPECT_EQ(DisplayText("/out/\x95\x5C/\xE8\xA1\xA8.mlt"), "/out/\xE8\xA1\xA8/\xE8\xA1\xA8.mlt");
}

// Names found on disk become the names of a collected folder: UTF-8 whatever they were, each
// folder decoded on its own, and what decodes to nothing visible and harmless everywhere.
TEST(TextEncodingTest, NamesOnDiskBecomeUtf8ComponentByComponent) {
  const std::string undokai = "\xe9\x81\x8b\xe5\x8b\x95\xe4\xbc\x9a";  // 運動会
  const std::string ryoko = "\xe6\x97\x85\xe8\xa1\x8c";                // 旅行
  EXPECT_EQ(Utf8FileName(ryoko + ".avi"), ryoko + ".avi");
  EXPECT_EQ(Utf8FileName("\x89\x5e\x93\xae\x89\xef"), undokai);
  EXPECT_EQ(Utf8FileName("\x95\x5c\x8e\x86.pct"), "\xe8\xa1\xa8\xe7\xb4\x99.pct");  // 5C trail
  // A UTF-8 folder beside Shift-JIS ones: each keeps its own reading.
  EXPECT_EQ(Utf8PathName("/a/\x89\x5e\x93\xae\x89\xef/" + ryoko + "/intro.avi"),
            "/a/" + undokai + "/" + ryoko + "/intro.avi");
  // Bytes that begin no character, a lead byte without its partner, a user-defined character
  // (private use, shown as nothing) and control bytes are escaped; the rest still decodes.
  EXPECT_EQ(Utf8FileName("\x83\x8d\x83\x53\xff.tga"), "\xe3\x83\xad\xe3\x82\xb4(xFF).tga");
  EXPECT_EQ(Utf8FileName("a\x80\xa0\xfd b\x89"), "a(x80)(xA0)(xFD) b(x89)");
  EXPECT_EQ(Utf8FileName("\x89\x20x"), "(x89) x");
  EXPECT_EQ(Utf8FileName("gaiji\xf0\x40.wav"), "gaiji(xF0)(x40).wav");
  EXPECT_EQ(Utf8FileName("line\nbreak\x7f"), "line(x0A)break(x7F)");
  EXPECT_EQ(Utf8FileName("\xee\x80\x80.wav"), "(xEE)(x80)(x80).wav");  // private use in UTF-8
  for (const std::string odd : {"\x80\x81\xff", "\xfd\xfe%#?\\", "\xf0\x40\x01"}) {
    const std::string name = Utf8FileName(odd);
    EXPECT_TRUE(IsValidUtf8(name)) << name;
    for (const char special : std::string("%#?\\"))  // only those the name had
      EXPECT_EQ(std::count(name.begin(), name.end(), special),
                std::count(odd.begin(), odd.end(), special))
          << name;
  }
  // A message shows such a path escaped, so that it does not pass for a valid one, and keeps
  // the components that are UTF-8.
  EXPECT_EQ(EscapedPath("/v/\x89\x5e\x93\xae/" + ryoko + "/a\tb.avi"),
            "/v/\\x89^\\x93\\xAE/" + ryoko + "/a\\x09b.avi");
}

}  // namespace
}  // namespace pexol
