// The description parameters: keys, values, colours, margins and the list font.

#include "skin/skin_params.h"

#include <gtest/gtest.h>

namespace quill {
namespace {

SkinParams Parsed(const std::string& description, bool* fontSizeSet = nullptr) {
    SkinParams p;
    const bool set = LoadInforInDescription(p, description);
    if (fontSizeSet)
        *fontSizeSet = set;
    return p;
}

const char* const kDefaultDescription =
    "SellectBarColor=#E4E4E4;TaskFontName=Verdana;TaskFontName=Verdana;TaskFontColor=#999999;"
    "DoneTaskColor=#666666;OverDueColor=clRed;GridLineColor=#CCCCCC;TabBetweenTS=0;"
    "TaskRightTab=2;TaskTopTab=11;TaskBottomTab=62;CatRightTab=20;CatBottomTab=30;";

TEST(SkinDescription, DefaultSkinDescriptionGivesItsValues) {
    bool fontSizeSet = true;
    const SkinParams p = Parsed(kDefaultDescription, &fontSizeSet);
    EXPECT_EQ(p.SellectBarColor, 0xE4E4E4u);
    EXPECT_EQ(p.DoneTaskColor, 0x666666u);
    EXPECT_EQ(p.OverdueColor, 0x0000FFu);
    EXPECT_EQ(p.GridLineColor, 0xCCCCCCu);
    EXPECT_EQ(p.TabBetweenTS, 0);
    EXPECT_EQ(p.TaskRightTab, 2);
    EXPECT_EQ(p.TaskTopTab, 11);
    EXPECT_EQ(p.TaskBottomTab, 62);
    EXPECT_EQ(p.CatRightTab, 20);
    EXPECT_EQ(p.CatBottomTab, 30);
    EXPECT_EQ(p.TaskLeftTab, 7);   // not named: default
    EXPECT_EQ(p.TaskFontSize, 10); // not named: default
    EXPECT_EQ(p.TaskFontName, "Verdana");
    EXPECT_FALSE(fontSizeSet);
}

TEST(SkinDescription, KeysMatchInAnyCaseAndBlanksBelongToTheKey) {
    EXPECT_EQ(Parsed("gRiDlInEcOlOr=#0000FF").GridLineColor, 0xFFu);
    EXPECT_EQ(Parsed("TASKTOPTAB=9").TaskTopTab, 9);
    // A blank or line break after ";" becomes part of the next key.
    EXPECT_EQ(Parsed("TaskLeftTab=3; TaskTopTab=9").TaskTopTab, 4);
    EXPECT_EQ(Parsed("TaskLeftTab=3;\nTaskTopTab=9").TaskTopTab, 4);
    EXPECT_EQ(Parsed("TaskLeftTab=3; TaskTopTab=9").TaskLeftTab, 3);
    // Blanks before "=" too; the value is not trimmed either.
    EXPECT_EQ(Parsed("TaskTopTab =9").TaskTopTab, 4);
    EXPECT_EQ(Parsed("TaskTopTab= 9").TaskTopTab, 4);
    EXPECT_EQ(Parsed("TaskFontName= Arial ").TaskFontName, " Arial ");
}

TEST(SkinDescription, PiecesValuesAndRepeats) {
    // No final ";": the last pair is still read.
    EXPECT_EQ(Parsed("TaskLeftTab=3;TaskTopTab=9").TaskTopTab, 9);
    // A value keeps everything after the first "=".
    EXPECT_EQ(Parsed("TaskFontName=a=b=c;").TaskFontName, "a=b=c");
    // A key given twice ends with its last value.
    EXPECT_EQ(Parsed("TaskTopTab=1;TaskTopTab=2;TaskTopTab=3").TaskTopTab, 3);
    // A piece without "=" matches nothing; empty pieces are harmless.
    EXPECT_EQ(Parsed("TaskTopTab;;;=5;TaskLeftTab=1").TaskTopTab, 4);
    EXPECT_EQ(Parsed("TaskTopTab;;;=5;TaskLeftTab=1").TaskLeftTab, 1);
    // Unknown keys are ignored.
    EXPECT_EQ(Parsed("TaskFontColor=#999999").GridLineColor, 0u);
    EXPECT_EQ(Parsed("").TaskTopTab, 4);
}

TEST(SkinDescription, MarginsNeedPlainDigitsThatFitThirtyTwoBits) {
    EXPECT_EQ(Parsed("TaskTopTab=-5").TaskTopTab, 4);
    EXPECT_EQ(Parsed("TaskTopTab=+5").TaskTopTab, 4);
    EXPECT_EQ(Parsed("TaskTopTab=5px").TaskTopTab, 4);
    EXPECT_EQ(Parsed("TaskTopTab=").TaskTopTab, 4);
    EXPECT_EQ(Parsed("TaskTopTab=007").TaskTopTab, 7);
    EXPECT_EQ(Parsed("CatBottomTab=2147483647").CatBottomTab, 2147483647);
    EXPECT_EQ(Parsed("CatBottomTab=2147483648").CatBottomTab, 35);
    EXPECT_EQ(Parsed("CatBottomTab=99999999999999999999999").CatBottomTab, 35);
    const SkinParams all = Parsed("tasklefttab=1;taskrighttab=2;tasktoptab=3;taskbottomtab=4;"
                                  "catrighttab=5;catbottomtab=6;tabbetweents=7");
    EXPECT_EQ(all.TaskLeftTab, 1);
    EXPECT_EQ(all.TaskRightTab, 2);
    EXPECT_EQ(all.TaskTopTab, 3);
    EXPECT_EQ(all.TaskBottomTab, 4);
    EXPECT_EQ(all.CatRightTab, 5);
    EXPECT_EQ(all.CatBottomTab, 6);
    EXPECT_EQ(all.TabBetweenTS, 7);
}

TEST(SkinDescription, FontSizeIsReportedOnlyWhenSet) {
    bool set = false;
    EXPECT_EQ(Parsed("TaskFontSize=12", &set).TaskFontSize, 12);
    EXPECT_TRUE(set);
    EXPECT_EQ(Parsed("TaskFontSize=12pt", &set).TaskFontSize, 10);
    EXPECT_FALSE(set);
    EXPECT_EQ(Parsed("TaskFontSize=0", &set).TaskFontSize, 10);
    EXPECT_FALSE(set);
    EXPECT_EQ(Parsed("TaskFontSize=501", &set).TaskFontSize, 10);
    EXPECT_FALSE(set);
    EXPECT_EQ(Parsed("TaskFontSize=500", &set).TaskFontSize, 500);
    EXPECT_TRUE(set);
    EXPECT_EQ(Parsed("TaskFontSize=9;TaskFontSize=x", &set).TaskFontSize, 9);
    EXPECT_TRUE(set);
}

TEST(SkinDescription, ColoursPersistWhileMarginsAndFontReset) {
    SkinParams p;
    LoadInforInDescription(p, "GridLineColor=#112233;TaskTopTab=20;TaskFontName=Arial;"
                              "TaskFontSize=14;OverDueColor=clBlue");
    ASSERT_EQ(p.GridLineColor, 0x112233u);
    ASSERT_EQ(p.TaskTopTab, 20);
    LoadInforInDescription(p, "DoneTaskColor=#445566");
    EXPECT_EQ(p.GridLineColor, 0x112233u); // kept from the skin before
    EXPECT_EQ(p.OverdueColor, 0xFF0000u);
    EXPECT_EQ(p.DoneTaskColor, 0x445566u);
    EXPECT_EQ(p.TaskTopTab, 4); // reset
    EXPECT_EQ(p.TaskFontName, "Verdana");
    EXPECT_EQ(p.TaskFontSize, 10);
}

TEST(SkinColor, HexDigitsAreUpperCaseOnlyAndLastEightCount) {
    EXPECT_EQ(ParseSkinColor("#FF"), 255u);
    EXPECT_EQ(ParseSkinColor("#ff"), 0u);
    EXPECT_EQ(ParseSkinColor("#Ff"), 240u);
    EXPECT_EQ(ParseSkinColor("#E4E4E4"), 0xE4E4E4u);
    EXPECT_EQ(ParseSkinColor("#0000FF"), 0x0000FFu); // red: the last two digits
    EXPECT_EQ(ParseSkinColor("#123456789"), 0x23456789u);
    EXPECT_EQ(ParseSkinColor("#G1"), 1u);
    EXPECT_EQ(ParseSkinColor("#"), 0u);
    EXPECT_EQ(HexToInt("FFFFFFFF"), 0xFFFFFFFFu);
    EXPECT_EQ(HexToInt("1FFFFFFFF"), 0xFFFFFFFFu);
    EXPECT_EQ(HexToInt("10"), 16u);
}

TEST(SkinColor, DecimalValuesAndTheirLimit) {
    EXPECT_EQ(ParseSkinColor("255"), 255u);
    EXPECT_EQ(ParseSkinColor("4294967295"), 0xFFFFFFFFu);
    EXPECT_EQ(ParseSkinColor("4294967296"), kUnreadableSkinColor);
    EXPECT_EQ(ParseSkinColor("123456789012345678901234567890"), kUnreadableSkinColor);
    EXPECT_EQ(ParseSkinColor("-1"), kUnreadableSkinColor);
}

TEST(SkinColor, NamesAreCaseSensitive) {
    EXPECT_EQ(ParseSkinColor("clRed"), 0x0000FFu);
    EXPECT_EQ(ParseSkinColor("clred"), kUnreadableSkinColor);
    EXPECT_EQ(ParseSkinColor("CLRED"), kUnreadableSkinColor);
    EXPECT_EQ(ParseSkinColor("clRed "), kUnreadableSkinColor);
    EXPECT_EQ(ParseSkinColor("clWindow"), 0xFF000005u);
    EXPECT_EQ(ParseSkinColor("clGradientInactiveCaption"), 0xFF00001Cu);
    EXPECT_EQ(ParseSkinColor("clSkyBlue"), 0xF0CAA6u);
    EXPECT_EQ(ParseSkinColor("clNone"), 0x1FFFFFFFu);
    EXPECT_EQ(ParseSkinColor("clDefault"), 0x20000000u);
    EXPECT_EQ(ParseSkinColor(""), kUnreadableSkinColor);
    EXPECT_EQ(ParseSkinColor("red"), kUnreadableSkinColor);
}

TEST(SkinColor, IsNumberAcceptsOnlyDigits) {
    EXPECT_TRUE(IsNumber("0"));
    EXPECT_TRUE(IsNumber("0123456789"));
    EXPECT_FALSE(IsNumber(""));
    EXPECT_FALSE(IsNumber(" 1"));
    EXPECT_FALSE(IsNumber("1.0"));
    EXPECT_FALSE(IsNumber("-1"));
    EXPECT_FALSE(IsNumber("\xd9\xa1")); // a non-ASCII digit
}

} // namespace
} // namespace quill
