// Text from outside shown in one safe line of a terminal.
#include <gtest/gtest.h>

#include <string>

#include "base/printable_text.h"

namespace rallix {
namespace {

TEST(PrintableText, PrintingUtf8StaysAndEverythingElseIsEscaped) {
  EXPECT_EQ(PrintableText("--scale"), "--scale");
  EXPECT_EQ(PrintableText("Z:\\Spiele\\Übungen, 日本"), "Z:\\Spiele\\Übungen, 日本");
  // An escape sequence, a new line, DEL and a C1 control (U+0085).
  EXPECT_EQ(PrintableText("\x1b[31mred\n\x7f\xc2\x85"), "\\x1B[31mred\\x0A\\x7F\\u{0085}");
  // Bytes that are not UTF-8: a lone continuation byte, a sequence cut
  // short, an overlong "/", a surrogate and a lead byte above U+10FFFF.
  EXPECT_EQ(PrintableText("\x80 \xe2\x82 \xc0\xaf \xed\xa0\x80 \xf5\x80\x80\x80"),
            "\\x80 \\xE2\\x82 \\xC0\\xAF \\xED\\xA0\\x80 \\xF5\\x80\\x80\\x80");
  // The right-to-left override, which would show the rest of the line backwards.
  EXPECT_EQ(PrintableText("a\xe2\x80\xae"
                          "b"),
            "a\\u{202E}b");
}

TEST(PrintableText, MoreThanTheLimitIsCutAfterItsCharacters) {
  EXPECT_EQ(PrintableText(std::string(100000, 'a')), std::string(80, 'a') + "...");
  EXPECT_EQ(PrintableText(std::string(80, 'a')), std::string(80, 'a'));
  EXPECT_EQ(PrintableText("ééééé", 3), "ééé...");
  EXPECT_EQ(PrintableText("\x01\x02\x03\x04", 2), "\\x01\\x02...");
}

}  // namespace
}  // namespace rallix
