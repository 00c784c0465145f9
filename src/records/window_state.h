#pragma once

#include <array>

// The main window's geometry and the quarantine list's columns and sort order,
// kept in section "Settings" of the settings file. The window binds a
// WindowGeometry to its widgets; these functions only read and write it.

struct WindowGeometry {
    int Left = 0;
    int Top = 0;
    int Width = 600; // the designed size, which is also the minimum
    int Height = 400;
    int MinWidth = 600;
    int MinHeight = 400;
    bool Maximized = false;
    int SortColumn = -1; // -1: order received
    int SortDirection = -1;
    std::array<int, 3> ColumnWidths{200, 200, 100}; // From, Subject, Date
    // Set for a column stored with width 0: its minimum width becomes 0, so a
    // column the user hid stays hidden.
    std::array<bool, 3> ColumnMinimumZero{false, false, false};
};

struct WorkArea {
    int Width;
    int Height;
};

// Reads "Width", "Height", "Left", "Top", "Maximized", "SortColumn",
// "SortDirection" and "Column1".."Column3" into geometry. Its current size and
// column widths are the defaults; "Left" and "Top" default to the bottom right
// corner of the work area, "Maximized" to true. The size is raised to the
// minimum size, then the window is kept on the work area: a negative position
// becomes 0, one beyond the work area's width or height moves the window back
// to that edge, and never so far that its top or left edge leaves the work
// area. A missing or unreadable file gives the defaults. Raises only when the
// data folder cannot be created.
void LoadWindowState(WindowGeometry& geometry, const WorkArea& workArea);

// Writes "Left", "Top", "Width", "Height", "SortColumn", "SortDirection",
// "Column1".."Column3" and "Maximized" in one atomic replacement of the
// settings file that keeps every other line. A failure is shown as an error
// message box with the system's text (title "Error", OK); nothing is raised.
void SaveWindowState(const WindowGeometry& geometry);

// The secure preview's window: "PreviewLeft", "PreviewTop", "PreviewWidth",
// "PreviewHeight" and "PreviewMaximized" in section "Settings".
struct PreviewGeometry {
    int Left = 0;
    int Top = 0;
    int Width = 600; // the designed size
    int Height = 400;
    bool Maximized = false;
};

// Reads the preview's geometry: the designed size, and a position that puts
// the window in the bottom right corner of the work area, are the defaults.
// A missing or unreadable file gives the defaults.
PreviewGeometry LoadPreviewGeometry(const WorkArea& workArea);

// Writes "PreviewLeft", "PreviewTop" and "PreviewMaximized", and the width
// and height only when the window is not maximised (a maximised window keeps
// the size it is restored to). A failure is shown as an error message box;
// nothing is raised.
void SavePreviewGeometry(const PreviewGeometry& geometry);
