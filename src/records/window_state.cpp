#include "records/window_state.h"

#include "platform/message_box.h"
#include "records/ini_document.h"
#include "records/program_settings.h"
#include "records/settings_file.h"

#include <algorithm>
#include <exception>
#include <stdexcept>
#include <string>

namespace {

std::string ColumnKey(size_t index) {
    return "Column" + std::to_string(index + 1);
}

// A position past the far edge moves the window back to it; the near edge
// wins over the far one, so a window larger than the work area keeps its
// title bar reachable.
int KeptOnWorkArea(int position, int size, int workAreaSize) {
    if (position < 0)
        position = 0;
    if (position > workAreaSize)
        position = workAreaSize - size;
    return std::max(position, 0);
}

} // namespace

void LoadWindowState(WindowGeometry& geometry, const WorkArea& workArea) {
    IniDocument ini = ReadSettingsFileOrEmpty();
    const char* section = SettingsSection;
    geometry.Width = std::max(ini.ReadInteger(section, "Width", geometry.Width), geometry.MinWidth);
    geometry.Height = std::max(ini.ReadInteger(section, "Height", geometry.Height), geometry.MinHeight);
    geometry.Left = ini.ReadInteger(section, "Left", workArea.Width - geometry.Width);
    geometry.Top = ini.ReadInteger(section, "Top", workArea.Height - geometry.Height);
    geometry.Maximized = ini.ReadBool(section, "Maximized", true);
    geometry.SortColumn = ini.ReadInteger(section, "SortColumn", -1);
    geometry.SortDirection = ini.ReadInteger(section, "SortDirection", -1);
    for (size_t i = 0; i < geometry.ColumnWidths.size(); ++i) {
        int width = ini.ReadInteger(section, ColumnKey(i), geometry.ColumnWidths[i]);
        geometry.ColumnWidths[i] = width;
        geometry.ColumnMinimumZero[i] = width == 0;
    }
    geometry.Left = KeptOnWorkArea(geometry.Left, geometry.Width, workArea.Width);
    geometry.Top = KeptOnWorkArea(geometry.Top, geometry.Height, workArea.Height);
}

void SaveWindowState(const WindowGeometry& geometry) {
    try {
        ChangeSettingsFile([&](IniDocument& ini) {
            const char* section = SettingsSection;
            ini.WriteInteger(section, "Left", geometry.Left);
            ini.WriteInteger(section, "Top", geometry.Top);
            ini.WriteInteger(section, "Width", geometry.Width);
            ini.WriteInteger(section, "Height", geometry.Height);
            ini.WriteInteger(section, "SortColumn", geometry.SortColumn);
            ini.WriteInteger(section, "SortDirection", geometry.SortDirection);
            for (size_t i = 0; i < geometry.ColumnWidths.size(); ++i)
                ini.WriteInteger(section, ColumnKey(i), geometry.ColumnWidths[i]);
            ini.WriteBool(section, "Maximized", geometry.Maximized);
        });
    } catch (const std::exception& error) {
        ShowMessageBox(error.what(), "Error", MsgButtons::Ok, MsgIcon::Error);
    }
}

PreviewGeometry LoadPreviewGeometry(const WorkArea& workArea) {
    IniDocument ini;
    // Also a data folder that cannot be made gives the defaults here.
    try {
        ini.LoadFromFile(SettingsFilePath());
    } catch (const std::runtime_error&) {
        // An unreadable file gives the defaults, as a missing one does.
    }
    const char* section = SettingsSection;
    PreviewGeometry geometry;
    geometry.Width = ini.ReadInteger(section, "PreviewWidth", geometry.Width);
    geometry.Height = ini.ReadInteger(section, "PreviewHeight", geometry.Height);
    geometry.Maximized = ini.ReadBool(section, "PreviewMaximized", false);
    geometry.Left = ini.ReadInteger(section, "PreviewLeft", workArea.Width - geometry.Width);
    geometry.Top = ini.ReadInteger(section, "PreviewTop", workArea.Height - geometry.Height);
    return geometry;
}

void SavePreviewGeometry(const PreviewGeometry& geometry) {
    try {
        ChangeSettingsFile([&](IniDocument& ini) {
            const char* section = SettingsSection;
            ini.WriteInteger(section, "PreviewLeft", geometry.Left);
            ini.WriteInteger(section, "PreviewTop", geometry.Top);
            if (!geometry.Maximized) {
                ini.WriteInteger(section, "PreviewWidth", geometry.Width);
                ini.WriteInteger(section, "PreviewHeight", geometry.Height);
            }
            ini.WriteBool(section, "PreviewMaximized", geometry.Maximized);
        });
    } catch (const std::exception& error) {
        ShowMessageBox(error.what(), "Error", MsgButtons::Ok, MsgIcon::Error);
    }
}
