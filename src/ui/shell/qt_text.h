#pragma once

#include <QString>

#include <string>

// The core's texts are UTF-8 bytes; Qt's are QString.
inline QString QtText(const std::string& text) {
    return QString::fromStdString(text);
}
