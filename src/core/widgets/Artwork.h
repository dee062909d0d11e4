#pragma once

#include <QIcon>
#include <QPixmap>
#include <QSize>

// The pictures the program draws for itself: the 48x48 tool-bar images and the main window's
// background. Everything is painted with shapes, so no image files ship with the program.
namespace lms::Artwork {

// Tool-bar image 0..9 in the main tool bar's order; 48x48 on a transparent background.
// An index outside that range gives an empty transparent image.
QPixmap toolImage(int index);

// A light picture meant to be stretched over the main window's work area.
QPixmap backgroundPicture(const QSize& size);

// The window and application icon (an open book) at the usual icon sizes.
QIcon applicationIcon();

} // namespace lms::Artwork
