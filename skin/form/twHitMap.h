#pragma once
// A picture of a frame's hit-test codes for skin authors: one pixel per
// window pixel, its red channel the code at that point (0 outside the
// window's region), so sizing edges, caption and client area show at once.
#include <QImage>

class TtwSkinForm;

QImage RenderHitMap(const TtwSkinForm& frame);
