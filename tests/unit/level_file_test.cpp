// Level files: the number format, the internal loader with its dump, and a
// missing file. Where the bricks stand, the frames of whole games show.

#include <unistd.h>

#include <cstdio>
#include <string>

#include "game/level_grid.h"
#include "tests/harness/harness.h"

namespace {

using namespace harness;

// Reads a level from text into slot 1, filled with marker values first, and
// describes the first cells and the last: value, then * for a brick.
std::string Load(const std::string &text, int32_t marker) {
    for (auto &row : Level[1]) {
        for (Brick &brick : row) {
            brick = {9, 99, marker, 0, 0, 0, 0};
        }
    }
    FILE *file = fmemopen(const_cast<char *>(text.data()), text.size(), "r");
    ReadLevelFile(file, 1, InternalGeometry());
    std::fclose(file);
    std::string cells;
    for (int i : {0, 1, 2, 3, 89}) {
        const Brick &brick = Level[1][i / 10][i % 10];
        EXPECT_EQ(brick.Spare, 0);
        cells += std::to_string(brick.Value) + (brick.Used == 1 ? "* " : " ");
    }
    return cells;
}

class LevelFileTest : public harness::GameTest {};

TEST_F(LevelFileTest, NumbersReadAsTheGameReadsThem) {
    struct Case {
        std::string text;
        int32_t marker;
        const char *cells;
    };
    const Case cases[] = {
        {Repeat("0\n", 90), 5, "0 0 0 0 0 "},
        {Repeat("7 ", 90), 0, "7* 7* 7* 7* 7* "},
        {Repeat("-1\t", 90), 0, "-1* -1* -1* -1* -1* "},
        {" \t1\n\n 0\r\n+3 \t" + Repeat("2  ", 87), 0, "1* 0 3* 2* 2* "},
        {"1 0 1", 4, "1* 0 1* 4* 4* "},                  // short: the rest keep their values
        {"6 x 6" + Repeat("6 ", 87), 0, "6* 0 0 0 0 "},  // garbage ends the numbers
        {"6 - 6" + Repeat("6 ", 87), 0, "6* 0 0 0 0 "},  // so does a lone sign
        {"99999999999 -99999999999 2147483647 -2147483648" + Repeat(" 1", 86), 0,
         "2147483647* -2147483648* 2147483647* -2147483648* 1* "},
        {Repeat("3 ", 89) + "4 8 8 8", 0, "3* 3* 3* 3* 4* "},  // the 90th is the last read
    };
    for (const Case &c : cases) {
        EXPECT_EQ(Load(c.text, c.marker), c.cells) << c.text.substr(0, 40);
    }
}

// Level n has its one brick in cell 84 + n, so the dump shows each in its slot.
TEST_F(LevelFileTest, InternalLevelsLoadIntoTheirSlotsAndAreDumped) {
    for (int n = 1; n <= 5; ++n) {
        WriteFile("IntLvl0" + std::to_string(n) + ".trl", Repeat("0 ", 84 + n) + "1");
    }
    WriteFile("ldlvldbg.txt",
              "an older dump that is longer than the new one will be" + std::string(50000, '.'));
    LoadInternalLevels();
    EXPECT_TRUE(harness::MatchesGolden("load_dump", ReadFile("ldlvldbg.txt")));
}

// A level file that is missing, or is a FIFO (which would stall the game:
// the alarm ends it) or a directory, is no level.
TEST_F(LevelFileTest, AMissingLevelFileEndsTheGameNamingIt) {
    for (const auto &[made, name] : {std::pair{"IntLvl03.trl=1", "IntLvl04.trl"},
                                     {"IntLvl03.trl|", "IntLvl03.trl"},
                                     {"IntLvl03.trl/", "IntLvl03.trl"}}) {
        LayOut({"IntLvl01.trl=1", "IntLvl02.trl=1", made, "IntLvl05.trl=1"});
        EXPECT_EXIT((alarm(5), LoadInternalLevels()), testing::ExitedWithCode(1),
                    "MESSAGE: Unable to open Internal level file \"" + std::string(name) +
                        "\" for reading!");
        EXPECT_EQ(harness::Contents("ldlvldbg.txt"), "(missing)");
    }
}

}  // namespace
