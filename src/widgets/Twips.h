#pragma once

#include <QRect>

class QWidget;

namespace quorvane {

// Window layouts are drawn in twips: 15 to a pixel at the usual 96 dpi.
constexpr int kTwipsPerPixel = 15;

constexpr int Twips(int twips) { return (twips + kTwipsPerPixel / 2) / kTwipsPerPixel; }

inline QRect TwipsRect(int left, int top, int width, int height)
{
    return QRect(Twips(left), Twips(top), Twips(width), Twips(height));
}

// Puts a control at its designed place, relative to its container.
void PlaceInTwips(QWidget* control, int left, int top, int width, int height);

}  // namespace quorvane
