#include "ui/scan/scan_animation.h"

#include <QPainter>
#include <QPainterPath>
#include <QTimer>

namespace {

constexpr int FrameIntervalMs = 60;
constexpr int FrameCount = 40;

} // namespace

ScanAnimation::ScanAnimation(QWidget* parent) : QWidget(parent), m_timer(new QTimer(this)) {
    setObjectName("animation");
    setFixedSize(sizeHint());
    m_timer->setInterval(FrameIntervalMs);
    connect(m_timer, &QTimer::timeout, this, [this] {
        m_frame = (m_frame + 1) % FrameCount;
        update();
    });
}

void ScanAnimation::Start() {
    m_timer->start();
}

void ScanAnimation::Stop() {
    m_timer->stop();
    m_frame = 0;
    update();
}

bool ScanAnimation::Active() const {
    return m_timer->isActive();
}

void ScanAnimation::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const QPalette& colours = palette();
    QRectF letter(14, 10, 44, 28);
    painter.setPen(QPen(colours.color(isEnabled() ? QPalette::WindowText : QPalette::Mid), 1.5));
    painter.setBrush(colours.color(QPalette::Base));
    painter.drawRoundedRect(letter, 2, 2);
    QPainterPath flap;
    flap.moveTo(letter.topLeft());
    flap.lineTo(letter.center().x(), letter.top() + 15);
    flap.lineTo(letter.topRight());
    painter.drawPath(flap);
    if (!m_timer->isActive())
        return;
    // The beam sweeps forth and back over the letter.
    int phase = m_frame < FrameCount / 2 ? m_frame : FrameCount - m_frame;
    qreal x = letter.left() + letter.width() * phase / (FrameCount / 2);
    QColor beam = colours.color(QPalette::Highlight);
    QLinearGradient glow(x - 10, 0, x + 10, 0);
    beam.setAlpha(0);
    glow.setColorAt(0, beam);
    beam.setAlpha(150);
    glow.setColorAt(0.5, beam);
    beam.setAlpha(0);
    glow.setColorAt(1, beam);
    painter.fillRect(QRectF(x - 10, 4, 20, 40), glow);
    beam.setAlpha(255);
    painter.setPen(QPen(beam, 2));
    painter.drawLine(QPointF(x, 4), QPointF(x, 44));
}
