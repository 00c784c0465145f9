#include "ui/preview/preview_cascade.h"

namespace {

constexpr int MaxMoves = 100;

} // namespace

QPoint CascadePreviewPosition(QPoint position, QSize window, QSize screen,
                              const std::function<bool(QPoint position)>& taken) {
    for (int moves = 0; taken(position); ++moves) {
        if (moves == MaxMoves)
            return {0, 0};
        if (screen.height() < position.y() + window.height() + 32) {
            position.rx() += 72;
            position.setY(0);
        } else {
            position += QPoint(32, 32);
        }
        if (screen.width() < position.x() + window.width()) {
            position.setX(0);
            position.ry() += 40;
        }
    }
    return position;
}
