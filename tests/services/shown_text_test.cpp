// Text from pages and files on its way to a terminal or a report file.
#include "services/shown_text.h"

#include <gtest/gtest.h>

namespace oc {
namespace {

TEST(TerminalText, EveryControlCharacterBecomesAVisibleEscape) {
    // Sequences that would write the clipboard, set the title, erase the line,
    // start a CSI in 8 bits or reverse the rest of the line.
    EXPECT_EQ(terminalText("a\x1B]52;c;eA==\x07"
                           "b\x1B[2K\rc"),
              "a\\x1B]52;c;eA==\\x07b\\x1B[2K\\x0Dc");
    EXPECT_EQ(terminalText("x\xC2\x9B"
                           "31m\xC2\x85y"),
              "x\\u009B31m\\u0085y");
    EXPECT_EQ(terminalText("abc\u202Efed\u2066\u200F."), "abc\\u202Efed\\u2066\\u200F.");
    EXPECT_EQ(terminalText("tab\there\x7F"), "tab\\x09here\\x7F");
    EXPECT_EQ(terminalText(std::string("nul\0!", 5)), "nul\\x00!");
    // Bytes that are no UTF-8 (a bare 0x9B is a CSI to some terminals).
    EXPECT_EQ(terminalText("a\x9B"
                           "1m\xFF\xE4\xB8"),
              "a\\x9B1m\\xFF\\xE4\\xB8");
    // What is no control stays as it is.
    EXPECT_EQ(terminalText("原创 100% “引号” 😀 \\x41"), "原创 100% “引号” 😀 \\x41");
}

TEST(TerminalText, LineBreaksStayOnlyWhereAsked) {
    EXPECT_EQ(terminalText("one\r\ntwo\nthree"), "one\\x0D\\x0Atwo\\x0Athree");
    EXPECT_EQ(terminalText("one\r\ntwo\nthree\rfour", true), "one\ntwo\nthree\\x0Dfour");
}

TEST(ReportText, InvalidBytesAreReplacedAndControlsDropped) {
    EXPECT_EQ(reportText("file\xFF\xFE.txt"), "file\xEF\xBF\xBD\xEF\xBF\xBD.txt");
    EXPECT_EQ(reportText("\xE4\xB8"), "\xEF\xBF\xBD\xEF\xBF\xBD");
    EXPECT_EQ(reportText("evil\u202Etxt.exe\u2067x\u2069"), "eviltxt.exex");
    EXPECT_EQ(reportText("a\x1B[31mb\x7F\x01\xC2\x85"), "a[31mb");
    EXPECT_EQ(reportText("line\r\nnext\tcell 原创😀"), "line\r\nnext\tcell 原创😀");
}

}  // namespace
}  // namespace oc
