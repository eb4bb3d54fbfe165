// Level files and the level grid: the number format, the brick geometry of
// both kinds of game, the internal loader with its dump, and a missing file.

#include <allegro.h>

#include <cstdio>
#include <cstring>
#include <string>

#include "game/level_grid.h"
#include "tests/harness/harness.h"

namespace {

// Reads a level from text into a slot filled with marker values first.
void LoadText(const std::string &text, int level = 0, int32_t marker = 0) {
    for (auto &row : Level[level]) {
        for (Brick &brick : row) {
            brick = {};
            brick.Value = marker;
            brick.Spare = 99;
        }
    }
    FILE *file = fmemopen(const_cast<char *>(text.data()), text.size(), "r");
    ASSERT_NE(file, nullptr);
    ReadLevelFile(file, level, {59, 21, 4, 3});
    std::fclose(file);
}

std::string Numbers(int count, const char *number, const char *separator) {
    std::string text;
    for (int i = 0; i < count; ++i) {
        text += number;
        text += separator;
    }
    return text;
}

TEST(LevelFileTest, SpacesTabsAndLineBreaksAllSeparateNumbers) {
    std::string mixed;
    for (int i = 0; i < 90; ++i) {
        mixed += std::to_string(i % 7) + (i % 3 == 0 ? "\t" : i % 3 == 1 ? " \n  " : "\r\n");
    }
    LoadText(mixed);
    for (int i = 0; i < 90; ++i) {
        const Brick &brick = Level[0][i / 10][i % 10];
        EXPECT_EQ(brick.Value, i % 7) << i;
        EXPECT_EQ(brick.Used, i % 7 != 0 ? 1 : 0) << i;
        EXPECT_EQ(brick.Spare, 0);
    }
}

TEST(LevelFileTest, AnyNonZeroNumberIsABrick) {
    LoadText(Numbers(90, "7", " "));
    EXPECT_EQ(Level[0][0][0].Value, 7);
    EXPECT_EQ(Level[0][8][9].Used, 1);
    LoadText(Numbers(90, "-1", "\n"), 2);
    EXPECT_EQ(Level[2][4][4].Value, -1);
    EXPECT_EQ(Level[2][8][9].Used, 1);
    LoadText(Numbers(90, "0", "\n"));
    EXPECT_EQ(Level[0][3][3].Used, 0);
}

TEST(LevelFileTest, ShortFileLeavesTheRestOfTheCellsAsTheyWere) {
    LoadText("1 2 3\n", 1, 5);
    EXPECT_EQ(Level[1][0][2].Value, 3);
    EXPECT_EQ(Level[1][0][3].Value, 5);
    EXPECT_EQ(Level[1][0][3].Used, 1);  // from the kept value
    EXPECT_EQ(Level[1][8][9].Spare, 0);
    EXPECT_EQ(Level[1][8][9].X, 571);  // placed all the same
    LoadText("", 1, 0);
    EXPECT_EQ(Level[1][0][0].Used, 0);
}

TEST(LevelFileTest, GarbageMidwayEndsTheNumbers) {
    LoadText("4 5 x 6 7\n" + Numbers(90, "1", " "), 0, 0);
    EXPECT_EQ(Level[0][0][1].Value, 5);
    EXPECT_EQ(Level[0][0][2].Value, 0);
    EXPECT_EQ(Level[0][0][3].Used, 0);
    // A number run straight into letters counts; the letters end the numbers.
    LoadText("12abc 3", 0, 0);
    EXPECT_EQ(Level[0][0][0].Value, 12);
    EXPECT_EQ(Level[0][0][1].Value, 0);
    // A sign with no digits is not a number.
    LoadText("+ 3", 0, 0);
    EXPECT_EQ(Level[0][0][0].Used, 0);
}

TEST(LevelFileTest, NumbersBeyondThirtyTwoBitsAreClampedAndStillBricks) {
    LoadText(
        "2147483647 2147483648 -2147483648 -2147483649 99999999999999999999999 "
        "+5 -0 0000012");
    EXPECT_EQ(Level[0][0][0].Value, 2147483647);
    EXPECT_EQ(Level[0][0][1].Value, 2147483647);
    EXPECT_EQ(Level[0][0][2].Value, INT32_MIN);
    EXPECT_EQ(Level[0][0][3].Value, INT32_MIN);
    EXPECT_EQ(Level[0][0][4].Value, 2147483647);
    EXPECT_EQ(Level[0][0][5].Value, 5);
    EXPECT_EQ(Level[0][0][6].Used, 0);
    EXPECT_EQ(Level[0][0][7].Value, 12);
}

TEST(LevelFileTest, NumbersAfterTheNinetiethAreIgnored) {
    LoadText(Numbers(90, "3", " ") + "8 8 8");
    EXPECT_EQ(Level[0][8][9].Value, 3);
}

class LevelGridTest : public harness::GameTest {};

TEST_F(LevelGridTest, InternalAndExternalBrickGeometry) {
    const BrickGeometry internal = InternalGeometry();
    EXPECT_EQ(internal.Width, 59);
    EXPECT_EQ(internal.Height, 21);
    const BrickGeometry external = ExternalGeometry();
    EXPECT_EQ(external.Width, 60);
    EXPECT_EQ(external.Height, 24);

    std::string full = Numbers(90, "1", " ");
    FILE *file = fmemopen(full.data(), full.size(), "r");
    ReadLevelFile(file, 0, external);
    std::fclose(file);
    const Brick &first = Level[0][0][0];
    EXPECT_EQ(first.X, 2);
    EXPECT_EQ(first.Y, 1);
    EXPECT_EQ(first.X + first.Width, 62);
    EXPECT_EQ(first.Y + first.Height, 25);
    EXPECT_EQ(Level[0][8][9].X + Level[0][8][9].Width, 638);
    EXPECT_EQ(Level[0][8][9].Y + Level[0][8][9].Height, 233);
}

TEST_F(LevelGridTest, InternalLevelsLoadIntoTheirSlotsAndAreDumped) {
    for (int n = 1; n <= 5; ++n) {
        std::string text = std::string(89 * 2, ' ');
        for (int i = 0; i < 89; ++i) {
            text[2 * i] = '0';
        }
        WriteFile("IntLvl0" + std::to_string(n) + ".trl", text + std::to_string(n));
    }
    LoadInternalLevels();
    for (int level = 0; level < 5; ++level) {
        EXPECT_EQ(Level[level][8][9].Value, level + 1);
        EXPECT_EQ(Level[level][8][8].Used, 0);
    }
    const Brick &last = Level[4][8][9];
    EXPECT_EQ(last.X, 571);
    EXPECT_EQ(last.Y, 187);
    EXPECT_EQ(last.X + last.Width, 630);
    EXPECT_EQ(last.Y + last.Height, 208);
    EXPECT_EQ(Level[0][1][1].X, 67);
    EXPECT_EQ(Level[0][1][1].Y, 26);

    const std::string dump = ReadFile("ldlvldbg.txt");
    const std::string first =
        "=========================================\nCurrent Level : 0\nCurrent Row : 0\n"
        "Current Column : 0\n-----------------------------\nBrick Used? NO\n";
    const std::string last_block =
        "=========================================\nCurrent Level : 4\nCurrent Row : 8\n"
        "Current Column : 9\n-----------------------------\nBrick Used? YES\n";
    EXPECT_EQ(dump.substr(0, first.size()), first);
    ASSERT_GE(dump.size(), last_block.size());
    EXPECT_EQ(dump.substr(dump.size() - last_block.size()), last_block);
    size_t blocks = 0, yes = 0;
    for (size_t at = dump.find("=====\n"); at != std::string::npos;
         at = dump.find("=====\n", at + 1)) {
        ++blocks;
    }
    for (size_t at = dump.find("YES"); at != std::string::npos; at = dump.find("YES", at + 1)) {
        ++yes;
    }
    EXPECT_EQ(blocks, 450u);
    EXPECT_EQ(yes, 5u);
    EXPECT_EQ(dump.size(), 450 * first.size() + 5);  // five blocks say YES, not NO
}

TEST_F(LevelGridTest, MissingLevelFileEndsTheGameNamingIt) {
    const std::string level = Numbers(90, "1", " ");
    for (int n : {1, 2, 3, 5}) {
        WriteFile("IntLvl0" + std::to_string(n) + ".trl", level);
    }
    EXPECT_EXIT(LoadInternalLevels(), testing::ExitedWithCode(1),
                "MESSAGE: Unable to open Internal level file \"IntLvl04.trl\" for reading!");
    EXPECT_FALSE(FileExists("ldlvldbg.txt"));
}

}  // namespace
