// The edited level's numbers and their history: every edit is a step, undone
// and redone whole; a mouse stroke is a single step however many cells it paints.

#include <algorithm>
#include <cstdio>
#include <cstdlib>

#include "editor/editor.h"

EditedLevel Edited;

namespace {

// The pointer is followed along a stroke in steps this short, so no cell it
// crosses between two mouse events is missed.
constexpr int STROKE_STEP = 4;

// Paints the cell under a point with the stroke's button, and puts the cursor there.
void Paint(int x, int y) {
    int row, col;
    if (!CellAt(x, y, row, col)) {
        return;
    }
    Edited.Row = row, Edited.Col = col;
    if (Edited.StrokePlaces) {
        PlaceBrick(row, col);
    } else {
        ClearBrick(row, col);
    }
}

}  // namespace

void BeginLevel(const LevelNumbers &numbers, const char *path, const FileMark &mark) {
    Edited.Numbers = Edited.Saved = numbers;
    Edited.History.assign(1, numbers);
    Edited.Step = 0;
    std::snprintf(Edited.Path, sizeof Edited.Path, "%s", path);
    Edited.Mark = mark;
    Edited.Stroking = false;
}

int CountBricks() {
    int bricks = 0;
    for (const auto &row : Edited.Numbers) {
        bricks += static_cast<int>(
            std::count_if(row.begin(), row.end(), [](int32_t v) { return v != 0; }));
    }
    return bricks;
}

bool HasUnsavedChanges() {
    return Edited.Numbers != Edited.Saved;
}

void PlaceBrick(int row, int col) {
    int32_t &cell = Edited.Numbers[row][col];
    cell = cell != 0 ? cell : 1;
}

void ClearBrick(int row, int col) {
    Edited.Numbers[row][col] = 0;
}

void EndStep() {
    if (Edited.Numbers == Edited.History[Edited.Step]) {
        return;
    }
    Edited.History.resize(Edited.Step + 1);
    Edited.History.push_back(Edited.Numbers);
    ++Edited.Step;
}

bool Undo() {
    if (Edited.Stroking || Edited.Step == 0) {
        return false;
    }
    Edited.Numbers = Edited.History[--Edited.Step];
    return true;
}

bool Redo() {
    if (Edited.Stroking || Edited.Step + 1 >= Edited.History.size()) {
        return false;
    }
    Edited.Numbers = Edited.History[++Edited.Step];
    return true;
}

void ToggleAtCursor() {
    if (Edited.Numbers[Edited.Row][Edited.Col] != 0) {
        ClearBrick(Edited.Row, Edited.Col);
    } else {
        PlaceBrick(Edited.Row, Edited.Col);
    }
    EndStep();
}

void ClearLevel() {
    for (auto &row : Edited.Numbers) {
        row.fill(0);
    }
    EndStep();
}

void FillLevel() {
    for (int row = 0; row < LEVEL_ROWS; ++row) {
        for (int col = 0; col < LEVEL_COLUMNS; ++col) {
            PlaceBrick(row, col);
        }
    }
    EndStep();
}

void MoveCursor(int rows, int cols) {
    Edited.Row = std::clamp(Edited.Row + rows, 0, LEVEL_ROWS - 1);
    Edited.Col = std::clamp(Edited.Col + cols, 0, LEVEL_COLUMNS - 1);
}

bool CellAt(int x, int y, int &row, int &col) {
    const BrickGeometry g = ExternalGeometry();
    const int dx = x - g.OffsetX, dy = y - g.OffsetY;
    if (dx < 0 || dy < 0) {
        return false;
    }
    // The last column's bricks end on the right wall: its gap lies beyond.
    col = std::min(dx / (g.Width + BRICK_GAP_X), LEVEL_COLUMNS - 1);
    row = dy / (g.Height + BRICK_GAP_Y);
    return row < LEVEL_ROWS && dx <= LEVEL_COLUMNS * (g.Width + BRICK_GAP_X);
}

void StartStroke(int x, int y, bool places) {
    if (Edited.Stroking) {
        return;  // the other button is held already: its stroke goes on
    }
    Edited.Stroking = true;
    Edited.StrokePlaces = places;
    Edited.LastX = x, Edited.LastY = y;
    Paint(x, y);
}

void ContinueStroke(int x, int y) {
    if (!Edited.Stroking) {
        int row, col;
        if (CellAt(x, y, row, col)) {
            Edited.Row = row, Edited.Col = col;  // the cursor follows the pointer
        }
        return;
    }
    const int dx = x - Edited.LastX, dy = y - Edited.LastY;
    const int steps = std::max(std::abs(dx), std::abs(dy)) / STROKE_STEP + 1;
    for (int i = 1; i <= steps; ++i) {
        Paint(Edited.LastX + dx * i / steps, Edited.LastY + dy * i / steps);
    }
    Edited.LastX = x, Edited.LastY = y;
}

void EndStroke() {
    if (Edited.Stroking) {
        Edited.Stroking = false;
        EndStep();
    }
}
