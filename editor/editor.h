// The level editor: a screen of its own that makes, opens, changes, saves and
// test-plays level files, drawn as the external game draws its level.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "editor/level_store.h"
#include "game/level_grid.h"

// The room a notice on the editor's screen has.
constexpr std::size_t NOTICE_SIZE = 160;

// The level being edited: its numbers, its file, the cursor, the history of
// its steps and the stroke the mouse is painting.
struct EditedLevel {
    LevelNumbers Numbers{};  // as they will be saved; a cell never touched keeps its number
    LevelNumbers Saved{};    // as last opened or saved; any difference is unsaved
    std::vector<LevelNumbers> History;  // History[0] is the level as it was opened
    std::size_t Step = 0;               // History[Step] is Numbers
    char Path[LEVEL_NAME_BUFFER] = "";  // the file, ".trl" included; empty until named
    FileMark Mark;                      // that file as it was last read or written here
    int Row = 0, Col = 0;               // the cursor's cell
    int32_t Difficulty = 0;             // of test play
    char Notice[NOTICE_SIZE] = "";      // what the last action came to; may hold one '\n'
    // A stroke of the mouse: one button held while cells are painted.
    bool Stroking = false;
    bool StrokePlaces = false;  // the left button places bricks, the right clears them
    int LastX = 0, LastY = 0;   // where the stroke was last seen, picture pixels
};
extern EditedLevel Edited;

// Starts afresh on these numbers, as opened from path ("" for a new level
// without a name): no history, no unsaved changes.
void BeginLevel(const LevelNumbers &numbers, const char *path, const FileMark &mark);

// The bricks standing in the edited level.
int CountBricks();

// Whether the level differs from its file as last opened or saved.
bool HasUnsavedChanges();

// Places a brick in a cell (one already standing keeps its number), or clears it.
void PlaceBrick(int row, int col);
void ClearBrick(int row, int col);

// Ends a step: the level as it stands now is one step further on, unless
// nothing changed. Redo steps beyond it are forgotten.
void EndStep();

// Steps back and forth in the history; false when there is nowhere to go.
bool Undo();
bool Redo();

// The key and mouse actions, each one step to undo.
void ToggleAtCursor();
void ClearLevel();
void FillLevel();
void MoveCursor(int rows, int cols);

// The cell under a picture point of the external level's bricks; false off the grid.
bool CellAt(int x, int y, int &row, int &col);

// A mouse stroke: pressed at (x, y), moved to (x, y), let go. Every cell the
// pointer passes over is painted; the whole stroke is one step.
void StartStroke(int x, int y, bool places);
void ContinueStroke(int x, int y);
void EndStroke();

// Runs the editor on NAME.trl of the game's folder, or on a new level when
// name is empty; returns when the player leaves it.
void RunEditor(const char *name);
