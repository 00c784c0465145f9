#pragma once

#include <QWidget>

class QTimer;

// m_animation: the busy indicator of the scan page, an envelope passing
// under a sweeping beam while a scan runs; still when stopped.
class ScanAnimation : public QWidget {
    Q_OBJECT
public:
    explicit ScanAnimation(QWidget* parent = nullptr);

    void Start();
    void Stop();
    bool Active() const;

    QSize sizeHint() const override { return {72, 48}; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QTimer* m_timer;
    int m_frame = 0;
};
