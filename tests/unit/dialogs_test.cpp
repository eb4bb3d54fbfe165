// Text entry, fading panels, the new-game dialog and the high-score screen.

#include <allegro.h>

#include <cstring>
#include <string>

#include "game/game_state.h"
#include "records/high_score_display.h"
#include "records/high_scores.h"
#include "shell/game_data.h"
#include "shell/screen.h"
#include "tests/harness/harness.h"
#include "ui/message_panel.h"
#include "ui/new_game_dialog.h"
#include "ui/text_entry.h"

namespace {

using harness::Frames;
using harness::ShowsText;
using harness::TapKey;

constexpr int ECHO_X = 220;
constexpr int ECHO_Y = 390;

class DialogsTest : public harness::GameTest {
protected:
    FONT *Text() { return GameFont(TEXT_FONT); }
    int Yellow() { return makecol(255, 255, 30); }
    std::string Enter(std::size_t room = 31) {
        char typed[100];
        std::memset(typed, 'x', sizeof typed);
        EnterText(typed, room, BackBuffer, Text(), ECHO_X, ECHO_Y, Yellow());
        return typed;
    }
    static void Type(const char *keys) {
        for (const char *c = keys; *c; ++c) {
            TapKey(*c == '<' ? KEY_BACKSPACE : *c == '\n' ? KEY_ENTER : KEY_A + (*c - 'A'));
        }
    }
};

TEST_F(DialogsTest, BackspaceRemovesTheLastLetter) {
    Type("ABE<D\n");
    EXPECT_EQ(Enter(), "ABD");
    EXPECT_EQ(Frames().size(), 6u);  // every key but an ignored one presents a frame
    Type("AB<\n");
    EXPECT_EQ(Enter(), "A");
    Type("A<<\n");
    EXPECT_EQ(Enter(), "");
    Type("\n");
    EXPECT_EQ(Enter(), "");
}

TEST_F(DialogsTest, OnlyPlainLetterKeysType) {
    harness::TapKeyWith(KEY_LSHIFT, KEY_A);
    TapKey(KEY_1);
    TapKey(KEY_SPACE);
    TapKey(KEY_MINUS);
    TapKey(KEY_ENTER_PAD);
    Type("Q\n");
    EXPECT_EQ(Enter(), "Q");
    EXPECT_EQ(Frames().size(), 2u);  // the ignored keys present nothing
}

TEST_F(DialogsTest, LettersBeyondTheRoomAreIgnored) {
    Type("ABCDEFGHIJKLMNOPQRSTUVWXYZABCDEFGHIJ\n");
    EXPECT_EQ(Enter(31), "ABCDEFGHIJKLMNOPQRSTUVWXYZABCDE");
    std::string many(120, 'Z');
    Type((many + "\n").c_str());
    EXPECT_EQ(Enter(95), std::string(95, 'Z'));
}

TEST_F(DialogsTest, TheEchoShowsTheTextAndBackspaceErasesTheLetter) {
    Type("WM<\n");
    Enter();
    EXPECT_TRUE(ShowsText(Frames()[1], Text(), "WM", ECHO_X, ECHO_Y, Yellow()));
    const int w_width = text_length(Text(), "W");
    int left, top, right, bottom;
    ASSERT_TRUE(Frames()[2].Find(Yellow(), left, top, right, bottom));
    EXPECT_TRUE(ShowsText(Frames()[2], Text(), "W", ECHO_X, ECHO_Y, Yellow()));
    EXPECT_LE(right, ECHO_X + w_width);  // the M is gone from the screen too
}

TEST_F(DialogsTest, APanelFadesInFromBlackOneFramePerStep) {
    const char *const lines[] = {"one", "two"};
    ClearBuffer(BackBuffer);
    FadeInMessage(BackBuffer, Text(), lines, 10, 60, makecol(125, 235, 0));
    ASSERT_EQ(Frames().size(), 34u);
    EXPECT_TRUE(Frames()[0].IsBlack());
    EXPECT_FALSE(Frames()[1].IsBlack());
    EXPECT_TRUE(
        ShowsText(Frames()[1], Text(), "two", 10, 60 + text_height(Text()) + 5, makecol(7, 7, 0)));
    FadeInMessage(BackBuffer, Text(), lines, 10, 60, makecol(255, 255, 30));
    EXPECT_EQ(Frames().size(), 34u + 37u);
    FadeInMessage(BackBuffer, Text(), lines, 10, 60, makecol(0, 0, 0));
    EXPECT_EQ(Frames().size(), 34u + 37u + 1u);
}

TEST_F(DialogsTest, PanelLinesStandTextHeightAndFivePixelsApart) {
    const char *const lines[10] = {"A", "B", "C", "D", "E", "F", "G", "H", "I", "J"};
    const int white = makecol(255, 255, 255);
    FadeInMessage(BackBuffer, Text(), lines, 30, 30, white);
    const int pitch = text_height(Text()) + 5;
    const harness::Frame &last = Frames().back();
    for (int i = 0; i < 10; ++i) {
        char line[2] = {static_cast<char>('A' + i), 0};
        EXPECT_TRUE(ShowsText(last, Text(), line, 30, 30 + i * pitch, makecol(252, 252, 252))) << i;
    }
}

TEST_F(DialogsTest, NewGameDialogIgnoresEveryOtherKeyAndStartsAFreshGame) {
    GameSettings.Score = 900;
    GameSettings.StartLevel = 3;
    Type("ANN\n");
    for (int ignored : {KEY_ESC, KEY_ENTER, KEY_1, KEY_I, KEY_H}) {
        if (ignored != KEY_H) {
            TapKey(ignored);
        }
    }
    TapKey(KEY_H);  // hard
    for (int ignored : {KEY_ESC, KEY_M, KEY_H, KEY_ENTER}) {
        TapKey(ignored);
    }
    TapKey(KEY_E);  // external
    NewGameDialog();
    EXPECT_STREQ(GameSettings.PlayerName, "ANN");
    EXPECT_EQ(GameSettings.Difficulty, DIFFICULTY_HARD);
    EXPECT_EQ(GameSettings.GameType, GAME_EXTERNAL);
    EXPECT_EQ(GameSettings.Score, 0);
    EXPECT_EQ(GameSettings.StartLevel, 0);
    EXPECT_EQ(harness::KeysLeft(), 0);
    // Three fades of 34 frames, each presented once more, and four typed keys.
    EXPECT_EQ(Frames().size(), 3u * 35u + 4u);
    // The fade's last step draws in the colour one step short of the target.
    EXPECT_TRUE(
        ShowsText(Frames()[33], Text(), "Please enter the name", 10, 80, makecol(123, 231, 0)));
    EXPECT_TRUE(ShowsText(Frames()[35 + 4 + 34], Text(), "[H]ard", 205,
                          100 + 5 * (text_height(Text()) + 5), makecol(123, 231, 0)));
}

TEST_F(DialogsTest, EAndIChooseEasyAndInternal) {
    Type("\n");
    TapKey(KEY_E);
    TapKey(KEY_I);
    NewGameDialog();
    EXPECT_STREQ(GameSettings.PlayerName, "");
    EXPECT_EQ(GameSettings.Difficulty, DIFFICULTY_EASY);
    EXPECT_EQ(GameSettings.GameType, GAME_INTERNAL);
}

TEST_F(DialogsTest, HighScoreScreenShowsBothTablesUntilAnyKey) {
    LoadHighScores();  // no files: ten "Sample Player" rows with 1 in each
    std::strcpy(ExternalHighScores[9].Name, "LOW");
    ExternalHighScores[9].Score = -42;
    TapKey(KEY_ESC);
    ShowHighScores();
    ASSERT_EQ(Frames().size(), 1u);
    EXPECT_EQ(harness::KeysLeft(), 0);
    const harness::Frame &frame = Frames()[0];
    FONT *rows = GameFont(SECOND_FONT);
    const int head = text_height(Text());
    const int pitch = text_height(rows);
    const int row_colour = makecol(92, 135, 201);
    EXPECT_TRUE(ShowsText(frame, Text(), "High Scores", 320, 20, makecol(178, 0, 0), true));
    EXPECT_TRUE(ShowsText(frame, Text(), "Internal", 10, head + 25, makecol(0, 255, 255)));
    EXPECT_TRUE(ShowsText(frame, Text(), "External", 330, head + 25, makecol(0, 255, 255)));
    for (int i = 0; i < 10; ++i) {
        const int y = i * pitch + 2 * head + 25;
        EXPECT_TRUE(ShowsText(frame, rows, "Sample Player", 10, y, row_colour)) << i;
        EXPECT_TRUE(ShowsText(frame, rows, "1", 235, y, row_colour)) << i;
        if (i < 9) {
            EXPECT_TRUE(ShowsText(frame, rows, "Sample Player", 330, y, row_colour)) << i;
            EXPECT_TRUE(ShowsText(frame, rows, "1", 555, y, row_colour)) << i;
        }
    }
    const int last = 9 * pitch + 2 * head + 25;
    EXPECT_TRUE(ShowsText(frame, rows, "LOW", 330, last, row_colour));
    EXPECT_TRUE(ShowsText(frame, rows, "-42", 555, last, row_colour));
}

}  // namespace
