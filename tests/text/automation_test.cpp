#include <gtest/gtest.h>

#include <thread>

#include "tests/support/gbk.h"
#include "text/automation_object.h"
#include "text/com_init.h"
#include "text/wide_text.h"

namespace oc {
namespace {
using testing::G;

AutomationObject regExp() {
    AutomationObject engine;
    EXPECT_TRUE(engine.createObject("VBScript.RegExp"));
    return engine;
}

// Runs Execute with the options written first; the match collection.
AutomationObject execute(const Text& pattern, const Text& text, bool global = true,
                         bool ignoreCase = false, bool multiline = false) {
    AutomationObject engine = regExp();
    engine.setProperty("Pattern", pattern);
    engine.setProperty("Global", global);
    engine.setProperty("IgnoreCase", ignoreCase);
    engine.setProperty("Multiline", multiline);
    return engine.callObject("Execute", {text});
}

TEST(AutomationObject, EmptyHolderGivesEmptyValuesSilently) {
    AutomationObject empty;
    EXPECT_TRUE(empty.isEmpty());
    EXPECT_EQ(empty.getText("Pattern"), "");
    EXPECT_EQ(lastAutomationFailure(), AutomationFailure::EmptyHolder);
    EXPECT_EQ(empty.getNumber("Count"), 0.0);
    EXPECT_TRUE(empty.getObject("Item", {0}).isEmpty());
    EXPECT_TRUE(empty.getVariant("Item", {0}).isEmpty());
    EXPECT_FALSE(empty.setProperty("Pattern", "x"));
    EXPECT_EQ(empty.callText("Replace", {"a", "b"}), "");
    EXPECT_TRUE(empty.callObject("Execute", {"a"}).isEmpty());
}

TEST(AutomationObject, CreationByProgIdOrClassIdWithoutRegardToCase) {
    AutomationObject object;
    EXPECT_TRUE(object.createObject("vbscript.regexp"));
    EXPECT_EQ(lastAutomationFailure(), AutomationFailure::None);
    EXPECT_TRUE(object.createObject("{3f4daca4-160d-11d2-a8e9-00104b365c9f}"));
    EXPECT_TRUE(object.setProperty("Pattern", "p"));
    EXPECT_TRUE(object.createObject("ADODB.STREAM"));
    EXPECT_EQ(object.getNumber("Type"), 1.0);

    // An unknown name fails and the holder keeps the object it held.
    EXPECT_FALSE(object.createObject("Scripting.FileSystemObject"));
    EXPECT_EQ(lastAutomationFailure(), AutomationFailure::NotRegistered);
    EXPECT_FALSE(object.createObject("{00000000-0000-0000-0000-000000000000}"));
    EXPECT_FALSE(object.createObject(""));
    EXPECT_EQ(object.getNumber("Type"), 1.0);
}

TEST(AutomationObject, MissingMembersAndWrongValuesChangeNothing) {
    AutomationObject engine = regExp();
    ASSERT_TRUE(engine.setProperty("Pattern", G("原(创)")));
    EXPECT_FALSE(engine.setProperty("NoSuchProperty", "x"));
    EXPECT_EQ(lastAutomationFailure(), AutomationFailure::UnknownMember);
    EXPECT_EQ(engine.getText("NoSuchProperty"), "");
    EXPECT_EQ(engine.getText("Pattern"), G("原(创)"));

    // A text that reads as no logical is passed on and refused by the component.
    EXPECT_FALSE(engine.setProperty("Global", "sometimes"));
    EXPECT_EQ(lastAutomationFailure(), AutomationFailure::TypeMismatch);
    EXPECT_EQ(engine.getText("Global"), "0");

    // Too many arguments, or a required one missing.
    EXPECT_TRUE(engine.callObject("Execute", {"a", "b"}).isEmpty());
    EXPECT_EQ(lastAutomationFailure(), AutomationFailure::BadArgumentCount);
    EXPECT_TRUE(engine.callObject("Execute").isEmpty());
    EXPECT_EQ(engine.getText("Pattern"), G("原(创)"));
}

TEST(AutomationObject, ValuesConvertOnTheWayInAndOut) {
    AutomationObject engine = regExp();
    // A logical reads as "-1" or "0", and as a number -1 or 0.
    engine.setProperty("IgnoreCase", true);
    EXPECT_EQ(engine.getText("IgnoreCase"), "-1");
    EXPECT_EQ(engine.getNumber("IgnoreCase"), -1.0);
    engine.setProperty("IgnoreCase", false);
    EXPECT_EQ(engine.getText("IgnoreCase"), "0");
    // Numbers and number texts become logicals where one is declared.
    EXPECT_TRUE(engine.setProperty("Global", 2));
    EXPECT_EQ(engine.getText("Global"), "-1");
    EXPECT_TRUE(engine.setProperty("Global", "0"));
    EXPECT_EQ(engine.getText("Global"), "0");
    EXPECT_TRUE(engine.setProperty("Global", "True"));
    EXPECT_EQ(engine.getText("Global"), "-1");
    // A number written where a text is declared arrives as its decimal text.
    EXPECT_TRUE(engine.setProperty("Pattern", 2.5));
    EXPECT_EQ(engine.getText("Pattern"), "2.5");
    EXPECT_TRUE(engine.setProperty("Pattern", 12));
    EXPECT_EQ(engine.getText("Pattern"), "12");

    // A double index becomes the declared integer, rounding half to even.
    AutomationObject matches = execute("\\d", "0123");
    EXPECT_EQ(matches.getObject("Item", {1.0}).getText("Value"), "1");
    EXPECT_EQ(matches.getObject("Item", {2.5}).getText("Value"), "2");
    EXPECT_EQ(matches.getObject("Item", {"3"}).getText("Value"), "3");
    EXPECT_TRUE(matches.getObject("Item", {"x"}).isEmpty());
    EXPECT_TRUE(matches.getObject("Item", {4}).isEmpty());
    EXPECT_TRUE(matches.getObject("Item", {-1}).isEmpty());
    EXPECT_EQ(lastAutomationFailure(), AutomationFailure::ComponentError);
    // An object has no text form.
    EXPECT_EQ(matches.getText("Item", {0}), "");
    EXPECT_EQ(lastAutomationFailure(), AutomationFailure::TypeMismatch);
}

TEST(AutomationObject, MembersBindByNameInTheirOrder) {
    AutomationObject engine = regExp();
    EXPECT_TRUE(engine.setProperty("pATTERN", "b+"));
    EXPECT_EQ(engine.getText("PATTERN"), "b+");
    // A call reaches a property get when no function has the name.
    EXPECT_EQ(engine.callText("pattern"), "b+");
    // A write reaches a function when no property has the name.
    EXPECT_TRUE(engine.setProperty("Test", "abbc"));
    EXPECT_FALSE(engine.setProperty("Count", 1));
    // A read reaches a function as well.
    EXPECT_EQ(engine.getText("Test", {"abbc"}), "-1");
    EXPECT_EQ(engine.getText("Test", {"ac"}), "0");
}

TEST(AutomationObject, CopiesShareOneObject) {
    AutomationObject first = regExp();
    AutomationObject second = first;
    second.setProperty("Pattern", "shared");
    EXPECT_EQ(first.getText("Pattern"), "shared");
    EXPECT_EQ(first.component().use_count(), 2);
    second.clearObject();
    EXPECT_TRUE(second.isEmpty());
    EXPECT_EQ(first.component().use_count(), 1);
}

TEST(AutomationObject, FailureCodeAndInitialisationArePerThread) {
    AutomationObject().getText("x");
    ASSERT_EQ(lastAutomationFailure(), AutomationFailure::EmptyHolder);
    int depth = comInitDepth();
    EXPECT_TRUE(coInitialize() || depth > 0);
    EXPECT_FALSE(coInitialize());
    std::thread other([] {
        EXPECT_EQ(lastAutomationFailure(), AutomationFailure::None);
        EXPECT_EQ(comInitDepth(), 0);
        EXPECT_TRUE(coInitialize());
        regExp().getText("Pattern");
        coUninitialize();
        coUninitialize();  // one more than opened does nothing
        EXPECT_EQ(comInitDepth(), 0);
    });
    other.join();
    EXPECT_EQ(lastAutomationFailure(), AutomationFailure::EmptyHolder);
    EXPECT_EQ(comInitDepth(), depth + 2);
    coUninitialize();
    coUninitialize();
    EXPECT_EQ(comInitDepth(), depth);
}

TEST(Variant, HoldsBytesFromOneAndReadsAsText) {
    Variant bytes;
    bytes.setBytes(ByteSet(std::string("a\0b", 3)));
    ASSERT_EQ(bytes.type(), VariantType::Bytes);
    EXPECT_EQ(bytes.get<ByteArray>()->lowerBound, 1);
    EXPECT_EQ(bytes.get<ByteArray>()->bytes.size(), 3u);
    EXPECT_EQ(bytes.variantText(), "");
    bytes.clearVariant();
    EXPECT_TRUE(bytes.isEmpty());

    EXPECT_EQ(Variant(true).variantText(), "-1");
    EXPECT_EQ(Variant(false).variantText(), "0");
    EXPECT_EQ(Variant(-42).variantText(), "-42");
    EXPECT_EQ(Variant(0.1).variantText(), "0.1");
    EXPECT_EQ(Variant(1e20).variantText(), "1E+20");
    EXPECT_EQ(Variant(G("飘红")).variantText(), G("飘红"));
    EXPECT_EQ(Variant().variantText(), "");
    EXPECT_FALSE(changeVariantType(Variant(" 12x"), VariantType::Integer));
    EXPECT_EQ(*changeVariantType(Variant(" -12 "), VariantType::Integer)->get<std::int32_t>(), -12);
    EXPECT_FALSE(changeVariantType(Variant(3e9), VariantType::Integer));
    EXPECT_FALSE(changeVariantType(Variant(1), VariantType::Object));
}

TEST(WideText, EveryCharacterTravelsWholeAndComesBack) {
    EXPECT_EQ(wideFromGbk(G("原a创")), L"\u539fa\u521b");
    EXPECT_EQ(gbkFromWide(L"\u539fa\u521b\u3000"), G("原a创　"));
    // A pair that is no GBK character, and 0x80 and 0xFF as lead bytes.
    Text odd = "\x81\x20x\x80\x41\xFF\xFF";
    EXPECT_EQ(wideFromGbk(odd).size(), 4u);
    EXPECT_EQ(gbkFromWide(wideFromGbk(odd)), odd);
    // A lone lead byte at the end is no character.
    EXPECT_EQ(gbkFromWide(wideFromGbk("ab\xB0")), "ab");
    // What GBK lacks becomes "?"; U+0000 is dropped.
    EXPECT_EQ(gbkFromWide(WideText(L"\uac00x") + L'\0' + L"\U0001F600"), "?x?");
    EXPECT_EQ(byteOffsetOfCharacter(G("原a创") + "b", 2), 3u);
    EXPECT_EQ(byteOffsetOfCharacter(G("原a创") + "b", 3), 5u);
    EXPECT_EQ(byteOffsetOfCharacter("ab", 9), 2u);
}

TEST(ScriptRegExpComponent, ExecuteListsMatchesInCharacters) {
    AutomationObject matches =
        execute(Text("(").append(G("原")).append(")(x)?(\\d+)"), G("一原12原x3"));
    ASSERT_FALSE(matches.isEmpty());
    ASSERT_EQ(matches.getNumber("Count"), 2.0);
    AutomationObject second = matches.getObject("Item", {1});
    EXPECT_EQ(second.getText("Value"), G("原x3"));
    EXPECT_EQ(second.getNumber("FirstIndex"), 4.0);
    EXPECT_EQ(second.getNumber("Length"), 3.0);
    AutomationObject first = matches.getObject("Item", {0});
    AutomationObject groups = first.getObject("SubMatches");
    EXPECT_EQ(groups.getNumber("Count"), 3.0);
    EXPECT_EQ(groups.getText("Item", {0}), G("原"));
    EXPECT_TRUE(groups.getVariant("Item", {1}).isEmpty());  // took no part
    EXPECT_EQ(groups.getText("Item", {2}), "12");
    EXPECT_TRUE(groups.getVariant("Item", {3}).isEmpty());

    // "." is one character, never half of one.
    EXPECT_EQ(execute("^.$", G("原")).getNumber("Count"), 1.0);
    EXPECT_EQ(execute("..", G("原创")).getObject("Item", {0}).getText("Value"), G("原创"));
}

TEST(ScriptRegExpComponent, OptionsShapeTheSearch) {
    EXPECT_EQ(execute("a", "aAa", false).getNumber("Count"), 1.0);
    EXPECT_EQ(execute("a", "aAa", true).getNumber("Count"), 2.0);
    EXPECT_EQ(execute("a", "aAa", true, true).getNumber("Count"), 3.0);
    EXPECT_EQ(execute("^b$", "a\nb\nc", true, false, false).getNumber("Count"), 0.0);
    EXPECT_EQ(execute("^b$", "a\nb\nc", true, false, true).getNumber("Count"), 1.0);
    EXPECT_EQ(execute("a.b", "a\nb").getNumber("Count"), 0.0);
    // Empty matches advance through the text.
    EXPECT_EQ(execute("x*", "ab").getNumber("Count"), 3.0);
    // No match is an empty collection, not a failure.
    AutomationObject none = execute("z", "abc");
    EXPECT_FALSE(none.isEmpty());
    EXPECT_EQ(none.getNumber("Count"), 0.0);
}

TEST(ScriptRegExpComponent, InvalidPatternMakesExecuteFail) {
    for (const char* bad : {"(", "[a-", "a{2,1}", "*"}) {
        EXPECT_TRUE(execute(bad, "abc").isEmpty()) << bad;
        EXPECT_EQ(lastAutomationFailure(), AutomationFailure::ComponentError);
    }
    AutomationObject engine = regExp();
    EXPECT_TRUE(engine.setProperty("Pattern", "("));  // only the search finds it invalid
    EXPECT_EQ(engine.callText("Replace", {"abc", "x"}), "");
}

TEST(ScriptRegExpComponent, ReplaceFillsInDollarForms) {
    AutomationObject engine = regExp();
    engine.setProperty("Pattern", "(\\w)(\\d)?-");
    engine.setProperty("Global", true);
    EXPECT_EQ(engine.callText("Replace", {"a1-b-c", "[$2$1]"}), "[1a][b]c");
    EXPECT_EQ(engine.callText("Replace", {"a1-b-c", "<$&|$`|$'>"}), "<a1-||b-c><b-|a1-|c>c");
    EXPECT_EQ(engine.callText("Replace", {"a-", "$$1 $3 $x $"}), "$1 $3 $x $");
    EXPECT_EQ(engine.callText("Replace", {"a-", "$10"}), "a0");  // one digit when ten is no group
    engine.setProperty("Global", false);
    EXPECT_EQ(engine.callText("Replace", {"a-b-", ""}), "b-");
    engine.setProperty("Pattern", G("创"));
    engine.setProperty("Global", true);
    EXPECT_EQ(engine.callText("Replace", {G("原创原创"), G("始")}), G("原始原始"));
}

TEST(StreamComponent, FollowsTheStreamRules) {
    AutomationObject stream;
    ASSERT_TRUE(stream.createObject("adodb.stream"));
    Variant bytes;
    bytes.setBytes(ByteSet(G("原创")));
    stream.callMethod("Write", {bytes});  // not open yet
    EXPECT_EQ(lastAutomationFailure(), AutomationFailure::ComponentError);
    stream.callMethod("Open");
    EXPECT_FALSE(stream.setProperty("Mode", 3));  // only while closed
    stream.callMethod("Write", {bytes});
    EXPECT_EQ(stream.getNumber("Size"), 4.0);
    EXPECT_EQ(stream.getNumber("Position"), 4.0);
    EXPECT_FALSE(stream.setProperty("Type", 2));  // only at the start
    EXPECT_EQ(stream.callText("ReadText"), "");   // not a text stream
    EXPECT_FALSE(stream.setProperty("Position", 5));
    EXPECT_TRUE(stream.setProperty("Position", 0));
    EXPECT_TRUE(stream.setProperty("Type", 2));
    EXPECT_FALSE(stream.setProperty("Charset", "no-such-charset"));
    EXPECT_TRUE(stream.setProperty("Charset", "GB2312"));
    EXPECT_EQ(stream.getText("Charset"), "GB2312");
    EXPECT_EQ(stream.callText("ReadText", {1}), G("原"));
    stream.callMethod("Close");
    EXPECT_EQ(lastAutomationFailure(), AutomationFailure::None);
    stream.callMethod("Close");
    EXPECT_EQ(lastAutomationFailure(), AutomationFailure::ComponentError);
}

}  // namespace
}  // namespace oc
