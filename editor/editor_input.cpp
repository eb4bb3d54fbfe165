// The editor's input. Mouse events are kept in a small ring as the library
// reports them (on its input thread, or inside a wait), so a click shorter
// than a frame is never missed.

#include "editor/editor_input.h"

#include <allegro.h>

#include <atomic>

#include "display/presenter.h"
#include "shell/screen.h"

namespace {

constexpr unsigned RING_SIZE = 256;  // a power of two

struct RawEvent {
    int Flags, X, Y;
};
RawEvent Ring[RING_SIZE];
std::atomic<unsigned> Head{0}, Tail{0};  // written by the reporter, by the reader

// The pointer as the editor last took it.
bool PointerSeen = false;
int PointerX = 0, PointerY = 0;

// Called by the library at every change of the mouse. The editor empties the
// ring at every frame, far faster than a hand fills it; a full ring would
// drop what comes after.
void OnMouse(int flags) {
    const unsigned head = Head.load();
    if (head - Tail.load() >= RING_SIZE) {
        return;
    }
    Ring[head % RING_SIZE] = {flags, mouse_x, mouse_y};
    Head.store(head + 1);
}
END_OF_FUNCTION(OnMouse)

}  // namespace

bool EditorInputWaiting() {
    return keypressed() || Head.load() != Tail.load();
}

void StartEditorInput() {
    LOCK_FUNCTION(OnMouse);
    LOCK_VARIABLE(Ring);
    mouse_callback = OnMouse;
    PointerSeen = false;
}

void WaitForEditorInput() {
    WaitUntil(EditorInputWaiting);
}

bool TakeMouseEvent(MouseEvent &event) {
    const unsigned tail = Tail.load();
    if (tail == Head.load()) {
        return false;
    }
    const RawEvent raw = Ring[tail % RING_SIZE];
    Tail.store(tail + 1);
    // The screen's pixels to the picture's: the picture may be scaled and centred.
    const PictureFit &fit = CurrentFit();
    event.Flags = raw.Flags;
    event.X = fit.Width > 0 ? (raw.X - fit.Left) * PICTURE_W / fit.Width : raw.X;
    event.Y = fit.Height > 0 ? (raw.Y - fit.Top) * PICTURE_H / fit.Height : raw.Y;
    PointerSeen = true;
    PointerX = event.X, PointerY = event.Y;
    return true;
}

bool PointerAt(int &x, int &y) {
    x = PointerX, y = PointerY;
    return PointerSeen;
}

void ForgetInput() {
    clear_keybuf();
    Tail.store(Head.load());
}

bool ControlHeld() {
    return key[KEY_LCONTROL] || key[KEY_RCONTROL];
}

bool ShiftHeld() {
    return key[KEY_LSHIFT] || key[KEY_RSHIFT];
}
