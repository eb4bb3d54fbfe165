// The level editor on the headless harness, driven by scripted keys and mouse: each run's frames,
// where it left the level, and every file of the folder afterwards are pinned by a golden
// transcript. Saves are walked through a failure at each step, as the records are.

#include <allegro.h>

#include <algorithm>
#include <filesystem>
#include <functional>
#include <set>
#include <string>
#include <vector>

#include "editor/editor.h"
#include "editor/level_list.h"
#include "shell/startup.h"
#include "tests/harness/harness.h"
#include "editor/level_store.h"
#include "tests/unit/record_faults.h"

namespace {

using namespace harness;

class EditorTest : public GameTest {
protected:
    // The frames, where the editor left the level, and the folder's files.
    static std::string State() {
        char text[512];
        std::snprintf(text, sizeof text,
                      "path %s, cursor %d %d, step %zu of %zu, %d bricks%s\nnotice %s\n",
                      Edited.Path, Edited.Row, Edited.Col, Edited.Step, Edited.History.size(),
                      CountBricks(), HasUnsavedChanges() ? ", unsaved" : "", Edited.Notice);
        std::string files;
        for (const std::filesystem::path &path : std::set<std::filesystem::path>(
                 std::filesystem::recursive_directory_iterator("."), {})) {
            const std::string name = path.lexically_relative(".");
            files += name == "tr_data2.dat" ? "" : name + ": " + Contents(name) + "\n";
        }
        return ScreenTranscript() + text + files;
    }
};

struct EditorRun {
    const char *name;
    std::vector<std::string> files;  // laid out before the editor starts
    const char *level;               // the name on the command line
    const char *keys;
    std::function<void(int)> at_frame = [](int) {};  // at each frame's retrace
};

const std::string ODD = "7 -3\n\n0 12\t" + LevelText({}, "\n").substr(8) + "trailing words";

// clang-format off
const std::vector<EditorRun> RUNS = {
    // Keys on a new level: place, move, toggle back, clear all, undo twice,
    // redo, fill, undo; then saved under its own name and left.
    {"keys_on_a_new_level", {}, "NEWONE",
     "<right*12><space><left*9><down><space><space><space>c<ctrl>z<ctrl>z<ctrl>yf<ctrl>z<ctrl>s<esc>"},
    // A stroke with the left button places every cell passed over (a fast move
    // between two events included), the right button's stroke clears; each
    // stroke is one step, and moving without a button only moves the cursor.
    {"mouse_strokes", {}, "DRAWN",
     "<mouse 30 14 1><mouse 350 40 1><mouse 580 40 1><mouse 580 40 0><mouse 200 200 0>"
     "<mouse 100 30 2><mouse 300 30 2><mouse 300 30 0><ctrl>z<ctrl>z<ctrl><shift>z<ctrl>y<ctrl>s<esc>"},
    // A question while a button is held drops its release: the stroke ends
    // at the key, one step to undo.
    {"a_stroke_cut_by_a_question", {}, "CUT",
     "<mouse 30 14 1><esc><mouse 30 14 0><down*2><enter><ctrl>z<esc>"},
    // Numbers other than 1 and a layout of its own: the untouched cells keep
    // their numbers, a brick placed on a brick keeps its number.
    {"odd_numbers_kept", {"Odd.trl=" + ODD}, "ODD",
     "<mouse 30 14 1><mouse 30 14 0><right*3><space><ctrl>s<esc>"},
    {"a_short_file", {"SHORT.trl=4 0 4"}, "SHORT", "<ctrl>s<esc>"},
    {"a_damaged_file", {"BAD.trl=1 1 x 5"}, "BAD", "<ctrl>s<esc>"},
    // What cannot be opened as a level is never touched: the editor starts on
    // a new level, which asks for a name at its first save.
    {"a_directory", {"DIRS.trl/"}, "DIRS", "<space><ctrl>s<enter><ctrl>sdone<enter><esc>"},
    {"a_fifo", {"PIPE.trl|"}, "PIPE", "<space><ctrl>spipe<enter><enter><esc><down><enter>"},
    // Another program changed the file since it was opened: not replaced
    // without the question; Keep Editing, then Replace It.
    {"changed_on_disk", {"CHG.trl=1 1"}, "CHG", "<space><ctrl>s<down><enter><ctrl>s<enter><esc>",
     [](int frame) { if (frame == 0) WriteFile("CHG.trl", "5 5"); }},
    {"changed_on_disk_kept", {"CHG.trl=1 1"}, "CHG", "<space><ctrl>s<down><enter><esc><down><enter>",
     [](int frame) { if (frame == 0) WriteFile("CHG.trl", "5 5"); }},
    // A save that fails keeps the old file and the edits; the next one saves.
    {"a_save_that_fails", {"FAIL.trl=1 1"}, "FAIL", "<space><ctrl>s<ctrl>s<esc>",
     [](int frame) {
         if (frame == 0) record_faults::Armed = 2, record_faults::FailAt = 1, record_faults::Seen = 0;
         if (frame == 2) WriteFile("shown", Contents("FAIL.trl"));  // after the failed save
     }},
    // Esc with unsaved changes asks: Keep Editing, then Leave Without Saving.
    {"escape_asks_first", {"ESC.trl=1 1"}, "ESC", "<space><esc><down*2><enter><esc><down><enter>"},
    // An empty level is saved only when the player says so.
    {"an_empty_level", {}, "", "<ctrl>s<down><enter><ctrl>s<enter>empty<enter><esc>"},
    // The game's own levels are linked into the player's folder: a save makes
    // the player's own copy and never writes the game's.
    {"a_linked_level", {"game/IntLvl01.trl=" + LevelText({{0, 9}, {1, 4}}), "IntLvl01.trl->game/IntLvl01.trl"},
     "INTLVL", "<ctrl>o<enter><space><ctrl>s<esc>"},
    // Ctrl+O lists the levels, in any case, but not a directory or a FIFO; the
    // arrows and the mouse choose (a click below the last does nothing).
    {"open_from_the_list",
     {"b.TRL=" + LevelText({{0, 1}, {11, 1}}), "A.trl=" + LevelText({{89, 2}}), "C.trl/", "D.trl|",
      "E.trl->nowhere", "notes.txt=1"},
     "", "<ctrl>o<down><up><esc><ctrl>o<down><enter><down><ctrl>o<mouse 200 150 1><mouse 200 150 0>"
     "<mouse 200 75 0><mouse 200 75 1><esc>"},
    // Test play on Hard: four balls lost, the game over, back in the editor as it was; no table,
    // saved game or level file is written (the ball starts on a brick: the score would enter).
    {"test_play_to_the_end", {"PLAY.trl=" + LevelText({{0, 1}, {84, 1}}), "ExtHiScores.dat=table",
     "plyrsettings.dat=games"}, "PLAY", "<right>3t<space*4><left><esc>"},
    // Esc held ends test play; the editor is not left by it.
    {"test_play_left_with_escape", {"PLAY.trl=" + LevelText({{3, 1}})}, "PLAY", "<f5><down><esc>",
     [](int frame) { if (frame == 0) HoldKey(KEY_ESC, 5, 7); }},
};
// clang-format on

TEST_F(EditorTest, EveryRunShowsWhatItsTranscriptSays) {
    for (const EditorRun &run : RUNS) {
        SCOPED_TRACE(run.name);
        LayOut(run.files);
        Reset();
        // Each notice as it was first shown.
        std::string notices;
        WatchFrames([&](int frame) {
            run.at_frame(frame);
            if (notices.find(Edited.Notice) == std::string::npos) {
                notices += "frame " + std::to_string(frame) + ": " + Edited.Notice + "\n";
            }
        });
        TypeKeys(run.keys);
        try {
            RunEditor(run.level);
        } catch (const ScriptEnded &) {
            ADD_FAILURE() << "the editor was not left";
        }
        record_faults::Armed = -1;
        EXPECT_EQ(KeysLeft(), 0);
        EXPECT_TRUE(MatchesGolden(std::string("editor_") + run.name, State() + notices));
        StartAfresh();
    }
}

// The editor reads no table, so leaving it, by Esc or the close button,
// writes none: a table another copy of the game keeps is never overwritten.
TEST_F(EditorTest, LeavingWritesNoTable) {
    for (const char *keys : {"<esc>", ""}) {
        WriteFile("ExtHiScores.dat", "kept");
        EXPECT_EXIT(
            (LeaveHighScoresAlone(), TypeKeys(keys),
             CloseButton && *keys == '\0' ? CloseButton() : void(), RunEditor(""), ExitGame(0)),
            testing::ExitedWithCode(0), "");
        EXPECT_EQ(Contents("ExtHiScores.dat"), "kept");
        EXPECT_EQ(Contents("IntHiScores.dat"), "(missing)");
    }
}

// Every failure at each step of a save, through a link as well: the file is old or new, whole, no
// stand-in is left, and the game's own file behind a link is never written.
TEST_F(EditorTest, AFailedSaveLeavesTheOldFile) {
    LevelNumbers numbers{};
    numbers[0][0] = 7, numbers[8][9] = -1;
    const std::string old_bytes = LevelText({{0, 1}}), game_bytes = LevelText({{5, 2}});
    const std::string zeros = "0 0 0 0 0 0 0 0 0 0\n";
    const std::string new_bytes =
        "7 0 0 0 0 0 0 0 0 0\n" + Repeat(zeros, 7) + "0 0 0 0 0 0 0 0 0 -1\n";
    for (const bool linked : {false, true}) {
        int failures = 0;
        for (int kind = 0; kind < 7; ++kind) {
            for (int n = 1;; ++n) {
                SCOPED_TRACE("kind " + std::to_string(kind) + " call " + std::to_string(n) +
                             (linked ? " through a link" : ""));
                LayOut(linked
                           ? std::vector<std::string>{"game.trl=" + game_bytes, "LVL.trl->game.trl"}
                           : std::vector<std::string>{"LVL.trl=" + old_bytes});
                FileMark mark = MarkFile("LVL.trl");
                record_faults::Armed = kind, record_faults::FailAt = n, record_faults::Seen = 0;
                const Saved saved = SaveLevel("LVL.trl", numbers, mark, false);
                record_faults::Armed = -1;
                const bool failed = record_faults::Seen >= n;
                EXPECT_EQ(Contents("LVL.trl"), saved == Saved::DONE ? new_bytes
                                               : linked             ? "(link)"
                                                                    : old_bytes);
                // A folder that will not flush its entries after the rename, or a lock not
                // taken: saved all the same. A failed fread or fdopen (a file that cannot be
                // read for its check, or back once saved) may end either way.
                const Saved want = !failed || kind == 3 || kind == 5 ? Saved::DONE : Saved::FAILED;
                EXPECT_TRUE(saved == want || (failed && (kind == 0 || kind == 6)));
                EXPECT_EQ(record_faults::TempFiles(), std::set<std::string>{});
                if (linked) {
                    EXPECT_EQ(Contents("game.trl"), game_bytes);
                }
                if (!failed) {
                    break;
                }
                ++failures;
            }
        }
        EXPECT_GE(failures, 4);  // at least the write, the file's flush, the rename and the fdopen
    }
    LayOut({"LOOP.trl->LOOP.trl"});  // a link that leads nowhere but to itself
    EXPECT_FALSE(StoreLevel("LOOP.trl", numbers));
    EXPECT_EQ(Contents("LOOP.trl"), "(link)");
}

}  // namespace
