#pragma once

#include <QIcon>
#include <QImage>

// The grey images of disabled navigation buttons. A square image becomes a
// strip twice as wide: itself on the left, on the right a grey copy in which
// every pixel (R, G, B) becomes the grey level ((R + G + B) / 3) / 2 + 96 in
// all three channels (so 96 to 223), alpha kept. Any other image is returned
// as it is: it keeps a single image.
QImage WithDisabledImage(const QImage& image);

// The button icon of such a strip: the left half for the normal state, the
// right half for the disabled state; an image that is no strip serves both.
QIcon NavigationIcon(const QImage& strip);
