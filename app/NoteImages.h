#pragma once
#include <QImage>
#include <QList>

#include "skin/data/twTypes.h"

// The tree's three pictures, 24 by 24, on the image list's background colour:
// 0 a closed folder (category), 1 a page of text (note), 2 an open folder
// (any selected node).
constexpr TColor kNoteImagesBackground = 13625548;
constexpr int kNoteImageSize = 24;
enum TNoteImage { niCategory = 0, niNote = 1, niSelected = 2 };

QImage NoteImage(int index);
QList<QImage> NoteImages();
