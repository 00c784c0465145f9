#pragma once

class QWidget;

// Moves the window to the middle of the primary screen's work area.
void CentreOnScreen(QWidget& window);
