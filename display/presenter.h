// The presenter: the one way a finished 640x480 picture reaches the display.
// It keeps the frame shown last, sends only the rows and columns that
// changed, and scales them to the display's size with sharp pixels.
#pragma once

#include <allegro.h>

#include <vector>

// Where the picture stands on a display: its size and its top-left corner.
struct PictureFit {
    int Width, Height, Left, Top;
};

// The largest 4:3 picture a width x height display holds, centred on it.
PictureFit FitPicture(int width, int height);

// A rectangle of picture pixels: columns X0 to X1 - 1, rows Y0 to Y1 - 1.
struct Span {
    int X0, Y0, X1, Y1;
};

// Compares frame with shown, both picture-sized at 16 bits, copies what
// changed into shown, and lists it in spans (emptied first): one span for
// each run of changed rows, from the leftmost to the rightmost changed pixel.
void TakeChanges(BITMAP *frame, BITMAP *shown, std::vector<Span> &spans);

// Scales a span of the 16-bit picture into a bitmap of the fitted size (16
// or 32 bits): its pixel (x, y) shows picture pixel (x * 640 / width,
// y * 480 / height). The span's scaled rectangle is returned.
Span ScaleSpan(BITMAP *picture, const Span &span, BITMAP *scaled);

// Starts afresh on the display just set: the screen is cleared to black and
// the next frame is sent whole.
void ResetPresenter();

// Sends the changes of frame (picture-sized, 16 bits) to the screen.
void PresentFrame(BITMAP *frame);

// The screen may have lost the picture: the next frame is sent whole.
void SpoilDisplay();

// True while the next frame is to be sent whole.
bool DisplaySpoiled();

// Sends the frame shown last again, whole, as after a change of mode.
void RepaintDisplay();

// The picture on the screen now.
const PictureFit &CurrentFit();

// Lets go of the presenter's bitmaps.
void ShutDownPresenter();
