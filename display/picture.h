// The picture every screen draws: 640x480 in 16-bit colour, whatever the
// display's own size (SCREEN_W and SCREEN_H are the display's).
#pragma once

constexpr int PICTURE_W = 640;
constexpr int PICTURE_H = 480;
