// The editor's file actions: opening a level, naming it by the game's own
// text entry, and saving it so that nothing is ever lost: a failed save keeps
// the old file and the edits, and a file another program changed since is
// not replaced without asking.

#include <allegro.h>

#include "editor/editor_actions.h"
#include "editor/editor_input.h"
#include "editor/level_list.h"
#include "shell/game_data.h"
#include "ui/message_panel.h"
#include "ui/text_entry.h"

namespace {

const char *const NAME_PROMPT[] = {
    "Please enter a name for this", "level, the letters A to Z.", "It is saved in the game's",
    "folder with \".trl\" added.",  "Enter alone saves nothing.",
};

const char *const KEEP_EDITING_HELP = "Back to the level, nothing saved";

// Asks for the level's name and takes the file it stands for; false when the
// player gave none or would not replace a level of that name.
bool AskName() {
    ShowPrompt(NAME_PROMPT, 10, 60);
    char name[LEVEL_NAME_BUFFER];
    EnterText(name, LEVEL_NAME_ROOM, BackBuffer, GameFont(TEXT_FONT), 250, 400,
              makecol(255, 255, 30));
    ForgetInput();  // text entry leaves its Enter waiting
    if (name[0] == '\0') {
        SetNotice("Nothing was saved: a level needs a name.");
        return false;
    }
    char path[LEVEL_NAME_BUFFER];
    LevelPath(name, path);
    const FileMark mark = MarkFile(path);
    const char *const items[] = {"Replace It", "Keep Editing"};
    const char *const help[] = {"The level of that name is replaced by this one",
                                KEEP_EDITING_HELP};
    if (mark.Exists && Ask("NAME TAKEN", 2, items, help) != 0) {
        SetNotice("Nothing was saved: %s is kept as it is.", path);
        return false;
    }
    std::snprintf(Edited.Path, sizeof Edited.Path, "%s", path);
    Edited.Mark = mark;
    return true;
}

// Whether an empty level should be saved or played all the same.
bool EmptyLevelGoesOn(const char *go_on) {
    if (CountBricks() != 0) {
        return true;
    }
    const char *const items[] = {go_on, "Keep Editing"};
    const char *const help[] = {"A level without bricks is over at once, cleared",
                                KEEP_EDITING_HELP};
    return Ask("NO BRICKS", 2, items, help) == 0;
}

}  // namespace

void OpenLevel(const char *path) {
    LevelNumbers numbers;
    FileMark mark;
    switch (ReadLevelForEditing(path, numbers, mark)) {
        case Opened::REFUSED:
            SetNotice("%s cannot be opened as a level:\nit is left as it is.", path);
            return;
        case Opened::NEW:
            SetNotice("%s is a new level.", path);
            break;
        case Opened::SHORT:
            SetNotice("The end of %s was missing or damaged:\nsaving writes all 90 numbers.", path);
            break;
        case Opened::WHOLE:
            SetNotice("Opened %s.", path);
            break;
    }
    BeginLevel(numbers, path, mark);
    Edited.Row = Edited.Col = 0;
}

bool SaveAction() {
    if (!EmptyLevelGoesOn("Save It Anyway") || (Edited.Path[0] == '\0' && !AskName())) {
        return false;
    }
    Saved saved = SaveLevel(Edited.Path, Edited.Numbers, Edited.Mark, false);
    if (saved == Saved::CHANGED) {
        const char *const items[] = {"Replace It", "Keep Editing"};
        const char *const help[] = {"Another program changed the file: replace its level",
                                    KEEP_EDITING_HELP};
        if (Ask("CHANGED ON DISK", 2, items, help) != 0) {
            SetNotice("Not saved: another program changed\n%s since.", Edited.Path);
            return false;
        }
        saved = SaveLevel(Edited.Path, Edited.Numbers, Edited.Mark, true);
    }
    if (saved != Saved::DONE) {
        SetNotice(
            "Could not save %s: the file is as it was,\nthe level is still here to try again.",
            Edited.Path);
        return false;
    }
    Edited.Saved = Edited.Numbers;
    SetNotice("Saved %s.", Edited.Path);
    return true;
}

bool MayLeaveChanges(const char *go_on) {
    if (!HasUnsavedChanges()) {
        return true;
    }
    const char *const items[] = {"Save Changes", go_on, "Keep Editing"};
    const char *const help[] = {"Save the level first", "The changes are lost", KEEP_EDITING_HELP};
    switch (Ask("UNSAVED CHANGES", 3, items, help)) {
        case 0:
            return SaveAction();
        case 1:
            return true;
        default:
            return false;
    }
}

void OpenAction() {
    if (!MayLeaveChanges("Open Without Saving")) {
        return;
    }
    char path[LEVEL_NAME_BUFFER];
    if (ChooseLevel(path)) {
        OpenLevel(path);
    }
}

void TestPlayAction() {
    if (EmptyLevelGoesOn("Play It Anyway")) {
        TestPlayLevel();
    }
}
