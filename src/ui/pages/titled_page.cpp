#include "ui/pages/titled_page.h"

#include <QLabel>
#include <QVBoxLayout>

TitledPage::TitledPage(const char* objectName, const QString& title, QWidget* parent)
    : QWidget(parent), m_body(new QVBoxLayout) {
    setObjectName(objectName);
    auto* heading = new QLabel(title, this);
    heading->setObjectName(QString(objectName) + "Title");
    QFont font = heading->font();
    font.setBold(true);
    font.setPointSizeF(font.pointSizeF() * 1.3);
    heading->setFont(font);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(12, 12, 12, 12);
    layout->setSpacing(10);
    layout->addWidget(heading);
    layout->addLayout(m_body, 1);
}
