#include "ui/about/about_page.h"

#include "ui/about/link_label.h"
#include "ui/help/help.h"
#include "ui/shell/desktop_services.h"

#include <QGridLayout>
#include <QIcon>
#include <QLabel>
#include <QPushButton>
#include <QUrl>
#include <QVBoxLayout>

AboutPage::AboutPage(QWidget* parent)
    : QWidget(parent), m_versionLabel(new QLabel(VersionText, this)),
      m_supportLink(new LinkLabel(SupportAddress, this)), m_feedbackLink(new LinkLabel(FeedbackAddress, this)),
      m_licenseLink(new LinkLabel("License Agreement", this)),
      m_checkUpdateButton(new QPushButton("Check for update", this)) {
    setObjectName("aboutPage");
    m_versionLabel->setObjectName("versionLabel");
    m_supportLink->setObjectName("supportLink");
    m_feedbackLink->setObjectName("feedbackLink");
    m_licenseLink->setObjectName("licenseLink");
    m_checkUpdateButton->setObjectName("checkUpdateButton");
    connect(m_checkUpdateButton, &QPushButton::clicked, this, &AboutPage::CheckForUpdateRequested);

    auto* logo = new QLabel(this);
    logo->setObjectName("logoImage");
    logo->setPixmap(QIcon(":/icons/quorvane.svg").pixmap(96, 96));
    auto* heading = new QLabel("About Quorvane", this);
    heading->setObjectName("aboutTitleLabel");
    QFont headingFont = heading->font();
    headingFont.setBold(true);
    headingFont.setPointSizeF(headingFont.pointSizeF() * 1.6);
    heading->setFont(headingFont);

    auto* links = new QGridLayout;
    links->setHorizontalSpacing(12);
    links->addWidget(new QLabel("For support please go to:", this), 0, 0);
    links->addWidget(m_supportLink, 0, 1);
    links->addWidget(new QLabel("Please send comments/suggestions to:", this), 1, 0);
    links->addWidget(m_feedbackLink, 1, 1);
    links->setColumnStretch(2, 1);

    auto* md5 = new QLabel("This software contains the RSA Data Security, Inc. MD5 Message-Digest Algorithm.", this);
    md5->setObjectName("md5Label");
    md5->setWordWrap(true);

    auto* titles = new QVBoxLayout;
    titles->addStretch();
    titles->addWidget(heading);
    titles->addWidget(m_versionLabel);
    titles->addStretch();
    auto* top = new QHBoxLayout;
    top->addWidget(logo);
    top->addSpacing(8);
    top->addLayout(titles, 1);

    auto* bottom = new QHBoxLayout;
    bottom->addWidget(m_licenseLink);
    bottom->addStretch();
    bottom->addWidget(m_checkUpdateButton);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(24, 24, 24, 16);
    layout->setSpacing(14);
    layout->addLayout(top);
    layout->addLayout(links);
    layout->addLayout(bottom);
    layout->addStretch();
    layout->addWidget(md5);

    connect(m_supportLink, &LinkLabel::Clicked, this, [] { OpenUrl(QUrl(SupportAddress)); });
    connect(m_feedbackLink, &LinkLabel::Clicked, this, [] { OpenUrl(QUrl(FeedbackAddress)); });
    connect(m_licenseLink, &LinkLabel::Clicked, this, [] { OpenHelp(HelpTopicPath(LicenseTopic), HelpShowTopic); });
}

void AboutPage::ShowVersion() {
    m_versionLabel->setText(VersionText);
}
