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
    : QWidget(parent), lblVersion(new QLabel(VersionText, this)), lblSupport(new LinkLabel(SupportAddress, this)),
      lblFeedback(new LinkLabel(FeedbackAddress, this)), lblLicense(new LinkLabel("License Agreement", this)),
      btnCheckUpdate(new QPushButton("Check for update", this)) {
    setObjectName("tsAbout");
    lblVersion->setObjectName("lblVersion");
    lblSupport->setObjectName("lblSupport");
    lblFeedback->setObjectName("lblFeedback");
    lblLicense->setObjectName("lblLicense");
    btnCheckUpdate->setObjectName("btnCheckUpdate");

    auto* logo = new QLabel(this);
    logo->setObjectName("imgLogo");
    logo->setPixmap(QIcon(":/icons/quorvane.svg").pixmap(96, 96));
    auto* heading = new QLabel("About Quorvane", this);
    heading->setObjectName("lblAboutTitle");
    QFont headingFont = heading->font();
    headingFont.setBold(true);
    headingFont.setPointSizeF(headingFont.pointSizeF() * 1.6);
    heading->setFont(headingFont);

    auto* links = new QGridLayout;
    links->setHorizontalSpacing(12);
    links->addWidget(new QLabel("For support please go to:", this), 0, 0);
    links->addWidget(lblSupport, 0, 1);
    links->addWidget(new QLabel("Please send comments/suggestions to:", this), 1, 0);
    links->addWidget(lblFeedback, 1, 1);
    links->setColumnStretch(2, 1);

    auto* md5 = new QLabel("This software contains the RSA Data Security, Inc. MD5 Message-Digest Algorithm.", this);
    md5->setObjectName("lblMd5");
    md5->setWordWrap(true);

    auto* titles = new QVBoxLayout;
    titles->addStretch();
    titles->addWidget(heading);
    titles->addWidget(lblVersion);
    titles->addStretch();
    auto* top = new QHBoxLayout;
    top->addWidget(logo);
    top->addSpacing(8);
    top->addLayout(titles, 1);

    auto* bottom = new QHBoxLayout;
    bottom->addWidget(lblLicense);
    bottom->addStretch();
    bottom->addWidget(btnCheckUpdate);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(24, 24, 24, 16);
    layout->setSpacing(14);
    layout->addLayout(top);
    layout->addLayout(links);
    layout->addLayout(bottom);
    layout->addStretch();
    layout->addWidget(md5);

    connect(lblSupport, &LinkLabel::Clicked, this, [] { OpenUrl(QUrl(SupportAddress)); });
    connect(lblFeedback, &LinkLabel::Clicked, this, [] { OpenUrl(QUrl(FeedbackAddress)); });
    connect(lblLicense, &LinkLabel::Clicked, this, [] { OpenHelp(HelpTopicPath(LicenseTopic), HelpShowTopic); });
}
