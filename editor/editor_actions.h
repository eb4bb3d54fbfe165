// What the editor's keys and mouse set going: drawing its screen, asking the
// player, the file actions and test play.
#pragma once

#include "editor/editor.h"

// Draws the editor's picture into the back buffer: the level's bricks as the
// external game places them, the playfield's frame, the cursor, the last
// notice, the status line and the keys.
void DrawEditor();

// Says what an action came to, in the notice under the bricks.
void SetNotice(const char *format, ...) __attribute__((format(printf, 1, 2)));

// Asks a question in the menu engine's look; the item chosen, counted from
// 0, or -1 for Esc.
int Ask(const char *title, int count, const char *const *items, const char *const *help);

// Opens the level file at path in place of the level being edited; one that
// cannot be opened as a level leaves everything as it was.
void OpenLevel(const char *path);

// Saves the level (asking for a name first when it has none); true once saved.
bool SaveAction();

// Opens another level from the list of the game's folder, after asking what
// becomes of unsaved changes.
void OpenAction();

// With unsaved changes, asks whether to save them first; true when the
// player may go on to leave them.
bool MayLeaveChanges(const char *go_on);

// Plays the level as it stands, as an external game, writing nothing, and
// comes back to the editor as it was.
void TestPlayAction();

// Test play itself: the level as it stands played through the game's own
// play loop; the game's records are put back as they were afterwards.
void TestPlayLevel();
