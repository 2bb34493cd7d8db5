#pragma once

#include <QIcon>
#include <QImage>
#include <QPixmap>
#include <QSize>

// The program's pictures, drawn in code so that the program needs no image files.

// The program's icon: a calendar sheet with a tick, at the given size in pixels.
QPixmap programIconPixmap(int size);
QIcon programIcon();

// The splash window's background (the picture the window is sized to).
QPixmap introPicture(QSize size);

// The picture strip beside the about window's text.
QPixmap aboutStripPicture(QSize size);

// The busy window's animation: four 32 by 32 frames side by side in one 128 by 32 strip.
// Drawn into a QImage, so any thread may make it.
QImage busyAnimationStrip();
