// The editor's loop: one picture, then a wait for a key or the mouse as a menu
// waits for a key, then every key and mouse event that came, in turn.

#include "editor/editor.h"

#include <allegro.h>

#include "display/events.h"
#include "editor/editor_actions.h"
#include "editor/editor_input.h"
#include "shell/screen.h"

namespace {

// Esc held when test play ended is not a wish to leave the editor: its
// presses count again once it has been let go.
bool EscapeIgnored = false;

// Esc counts again once it is up.
void NoteEscapeLetGo() {
    EscapeIgnored = EscapeIgnored && key[KEY_ESC];
}

// A key, the mouse, or the held Esc let go.
bool InputWaiting() {
    return EditorInputWaiting() || (EscapeIgnored && !key[KEY_ESC]);
}

// One mouse event: a move paints the stroke or moves the cursor, a press
// starts a stroke, the release of its button ends it.
void TakeMouse(const MouseEvent &event) {
    if (event.Flags & MOUSE_FLAG_MOVE) {
        ContinueStroke(event.X, event.Y);
    }
    if (event.Flags & (MOUSE_FLAG_LEFT_DOWN | MOUSE_FLAG_RIGHT_DOWN)) {
        Edited.Notice[0] = '\0';
        StartStroke(event.X, event.Y, (event.Flags & MOUSE_FLAG_LEFT_DOWN) != 0);
    }
    const int up = Edited.StrokePlaces ? MOUSE_FLAG_LEFT_UP : MOUSE_FLAG_RIGHT_UP;
    if (event.Flags & up) {
        EndStroke();
    }
}

// One step back or forth, or a notice that there is none.
void TakeUndo(bool redo) {
    if (!(redo ? Redo() : Undo())) {
        SetNotice(redo ? "Nothing to redo." : "Nothing to undo.");
    }
}

// The keys held with Control.
void TakeControlKey(int scancode) {
    switch (scancode) {
        case KEY_Z:
            TakeUndo(ShiftHeld());
            break;
        case KEY_Y:
            TakeUndo(true);
            break;
        case KEY_S:
            SaveAction();
            break;
        case KEY_O:
            OpenAction();
            break;
        default:
            break;
    }
}

// One key press; true when the player leaves the editor.
bool TakeKey(int scancode) {
    Edited.Notice[0] = '\0';
    EndStroke();  // a key ends the mouse's stroke: the questions and test play drop its release
    if (ControlHeld()) {
        TakeControlKey(scancode);
        return false;
    }
    switch (scancode) {
        case KEY_UP:
            MoveCursor(-1, 0);
            break;
        case KEY_DOWN:
            MoveCursor(1, 0);
            break;
        case KEY_LEFT:
            MoveCursor(0, -1);
            break;
        case KEY_RIGHT:
            MoveCursor(0, 1);
            break;
        case KEY_SPACE:
            ToggleAtCursor();
            break;
        case KEY_C:
            ClearLevel();
            break;
        case KEY_F:
            FillLevel();
            break;
        case KEY_T:
        case KEY_F5:
            TestPlayAction();
            EscapeIgnored = key[KEY_ESC];
            break;
        case KEY_1:
        case KEY_2:
        case KEY_3:
            Edited.Difficulty = scancode - KEY_1;
            break;
        case KEY_ESC:
            return !EscapeIgnored && MayLeaveChanges("Leave Without Saving");
        default:
            break;
    }
    return false;
}

// Takes every mouse event and key press that came; true to leave.
bool TakeInput() {
    MouseEvent event;
    while (TakeMouseEvent(event)) {
        TakeMouse(event);
    }
    NoteEscapeLetGo();
    while (keypressed()) {
        if (TakeKey(readkey() >> 8)) {
            return true;
        }
    }
    return false;
}

}  // namespace

void RunEditor(const char *name) {
    Edited = EditedLevel{};
    BeginLevel(LevelNumbers{}, "", FileMark{});
    if (name[0] != '\0') {
        char path[LEVEL_NAME_BUFFER];
        LevelPath(name, path);
        OpenLevel(path);
    } else {
        SetNotice("A new level: save it with Ctrl+S.");
    }
    StartEditorInput();
    set_window_title("TileRiot Level Editor");
    for (;;) {
        // The window's close button asks as Esc does, before anything is shown.
        if (TakeCloseRequest() && MayLeaveChanges("Leave Without Saving")) {
            return;
        }
        DrawEditor();
        PresentBuffer();
        NoteEscapeLetGo();
        WaitUntil(InputWaiting);
        if (!CloseRequested() && TakeInput()) {
            return;
        }
    }
}
