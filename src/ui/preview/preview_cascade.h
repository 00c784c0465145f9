#pragma once

#include <QPoint>
#include <QSize>

#include <functional>

// Where a new preview window goes when another preview already sits at its
// stored position: 32 pixels down and right each time, a new column (72 to
// the right, at the top) when it would leave the screen at the bottom, back
// to the left edge (40 lower) when it would leave it at the right. After 100
// moves it gives up and uses 0, 0. screen is the whole screen's size.
QPoint CascadePreviewPosition(QPoint position, QSize window, QSize screen,
                              const std::function<bool(QPoint position)>& taken);
