// The dialog's About page: its controls, the links it opens and the
// rotating pictures of the chosen set.

#include "AboutPageWidget.h"

#include "AboutPage.h"
#include "AboutPageLogo.h"
#include "FormControls.h"
#include "Syncing.h"

#include "platform/System.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPixmap>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>

namespace skyloom::config {

using namespace controls;

AboutPageWidget::AboutPageWidget(AboutPage& model, QWidget* parent)
    : QWidget(parent), about_(model) {
    setObjectName("pageAbout");
    QWidget* page = this;
    auto* layout = new QHBoxLayout(page);

    auto* left = new QVBoxLayout;
    left->addWidget(label("lblProgramName", QString::fromStdString(programTitle()), page));
    imgLogo_ = label("imgLogo", QString(), page);
    imgLogo_->setAccessibleName(tr("Logo"));
    imgLogo_->setAlignment(Qt::AlignCenter);
    picSkyloomLogo_ = label("picSkyloomLogo", QString(), page);
    picSkyloomLogo_->setPixmap(skyloomLogo(QSize(240, 120)));
    picSkyloomLogo_->setAccessibleName(tr("Skyloom"));
    picSkyloomLogo_->hide();
    left->addWidget(imgLogo_);
    left->addWidget(picSkyloomLogo_);
    lblMoreInfo_ = label("lblMoreInfo", QString(), page);
    lblMoreInfo_->setWordWrap(true);
    lblMoreInfo_->setTextFormat(Qt::PlainText);
    left->addWidget(lblMoreInfo_);

    auto* company = frame("frmCompany", tr("Company"), page);
    auto* info = new QVBoxLayout(company);
    const auto plain = [company](const char* name) {
        QLabel* l = label(name, "", company);
        l->setTextFormat(Qt::PlainText);
        l->setTextInteractionFlags(Qt::TextSelectableByMouse);
        return l;
    };
    // The two addresses are links: a click, or Tab and Enter, opens them.
    const auto link = [company](const char* name) {
        QLabel* l = label(name, "", company);
        l->setTextFormat(Qt::RichText);
        l->setTextInteractionFlags(Qt::LinksAccessibleByMouse | Qt::LinksAccessibleByKeyboard);
        return l;
    };
    lblCompanyName_ = plain("lblCompanyName");
    lblAddress_ = plain("lblAddress");
    lblCityStateZip_ = plain("lblCityStateZip");
    lblPhone_ = plain("lblPhone");
    lblWebAddress_ = link("lblWebAddress");
    auto* supportRow = new QHBoxLayout;
    Label4_ = label("Label4", tr("Support:"), company);
    lblSupport_ = link("lblSupport");
    supportRow->addWidget(Label4_);
    supportRow->addWidget(lblSupport_, 1);
    lblPhoneSupport_ = plain("lblPhoneSupport");
    for (QLabel* l : {lblCompanyName_, lblAddress_, lblCityStateZip_, lblPhone_, lblWebAddress_})
        info->addWidget(l);
    info->addLayout(supportRow);
    info->addWidget(lblPhoneSupport_);
    cmdVisitUs_ = named(new QPushButton(company), "cmdVisitUs");
    cmdVisitUs_->hide();
    info->addWidget(cmdVisitUs_, 0, Qt::AlignLeft);
    left->addWidget(company);
    left->addStretch();
    layout->addLayout(left, 1);

    auto* right = new QVBoxLayout;
    auto* setLabel = label("lblAboutSets", tr("Image set:"), page);
    cmboAboutSets_ = named(new QComboBox(page), "cmboAboutSets");
    cmboAboutSets_->setToolTip(tr("Click here to get information about a particular image set."));
    standsFor(setLabel, cmboAboutSets_);
    right->addWidget(setLabel);
    right->addWidget(cmboAboutSets_);
    picAboutThumbnail_ = label("picAboutThumbnail", QString(), page);
    picAboutThumbnail_->setMinimumSize(160, 120);
    picAboutThumbnail_->setFrameShape(QFrame::StyledPanel);
    picAboutThumbnail_->setAlignment(Qt::AlignCenter);
    picAboutThumbnail_->setAccessibleName(tr("Thumbnail"));
    right->addWidget(picAboutThumbnail_);
    lblBitDepth_ = label("lblBitDepth", QString(), page);
    right->addWidget(lblBitDepth_);
    right->addStretch();
    layout->addLayout(right);

    aboutThumbnailTimer_ = new QTimer(this);
    aboutThumbnailTimer_->setObjectName("tmrAboutThumbnail");
    aboutThumbnailTimer_->setInterval(1500);
    connectControls();
}

void AboutPageWidget::connectControls() {
    connect(cmboAboutSets_, &QComboBox::currentIndexChanged, this, [this](int index) {
        if (!syncing_)
            cmboAboutSets_Click(index);
    });
    const auto open = [](const std::string& shown) {
        // Addresses that cannot be opened are ignored (the opener logs them).
        if (const std::string address = addressToOpen(shown); !address.empty())
            platform::openUrl(address);
    };
    connect(lblWebAddress_, &QLabel::linkActivated, this,
            [this, open] { open(about_.webAddress); });
    connect(lblSupport_, &QLabel::linkActivated, this, [this, open] { open(about_.support); });
    connect(cmdVisitUs_, &QPushButton::clicked, this, [this] {
        if (!about_.visitAddress.empty())
            platform::openUrl(addressToOpen(about_.visitAddress));
    });
    connect(aboutThumbnailTimer_, &QTimer::timeout, this, &AboutPageWidget::aboutThumbnailStep);
}

void AboutPageWidget::cmboAboutSets_Click(int index) {
    about_.cmboAboutSets_Click(index);
    showPage();
    if (window()->isVisible())
        aboutThumbnailStep();
}

void AboutPageWidget::showPage() {
    const auto qs = [](const std::string& s) { return QString::fromStdString(s); };
    const auto linkText = [&qs](const std::string& s) {
        return s.empty() ? QString() : "<a href=\"#\">" + qs(s).toHtmlEscaped() + "</a>";
    };
    {
        Syncing guard(syncing_);
        if (comboEntries(cmboAboutSets_) != about_.sets)
            fillSets(cmboAboutSets_, about_.sets);
        cmboAboutSets_->setCurrentIndex(about_.setIndex);
    }
    const QSize logoSize = picSkyloomLogo_->pixmap().size();
    imgLogo_->setPixmap(about_.logoPath.empty()
                            ? picSkyloomLogo_->pixmap()
                            : aboutLogo(about_.logoPath, logoSize)
                                  .scaled(logoSize, Qt::KeepAspectRatio, Qt::SmoothTransformation));
    lblBitDepth_->setText(qs(about_.bitDepth));
    lblMoreInfo_->setText(qs(about_.moreInfo));
    lblWebAddress_->setText(linkText(about_.webAddress));
    lblWebAddress_->setAccessibleName(qs(about_.webAddress));
    lblCompanyName_->setText(qs(about_.companyName));
    lblAddress_->setText(qs(about_.address));
    lblCityStateZip_->setText(qs(about_.cityStateZip));
    lblPhone_->setText(qs(about_.phone));
    lblSupport_->setText(linkText(about_.support));
    lblSupport_->setAccessibleName(qs(about_.support));
    // An empty address is no stop for the Tab key.
    lblWebAddress_->setFocusPolicy(about_.webAddress.empty() ? Qt::NoFocus : Qt::StrongFocus);
    lblSupport_->setFocusPolicy(about_.support.empty() ? Qt::NoFocus : Qt::StrongFocus);
    Label4_->setVisible(about_.supportCaptionShown);
    lblPhoneSupport_->setText(qs(about_.phoneSupport));
    cmdVisitUs_->setText(qs(about_.visitCaption));
    // Named even while hidden without a caption, as the accessibility tree
    // lists hidden controls too.
    cmdVisitUs_->setAccessibleName(about_.visitShown ? QString() : tr("Visit web site"));
    cmdVisitUs_->setVisible(about_.visitShown);
    cmdVisitUs_->setEnabled(about_.visitShown);
    picAboutThumbnail_->clear();
}

void AboutPageWidget::aboutThumbnailStep() {
    if (!window()->isVisible())
        return;
    const QSize box = picAboutThumbnail_->minimumSize();
    about_.thumbnailStep([this, box](const std::string& path) {
        QPixmap picture(QString::fromStdString(path));
        if (picture.isNull())
            return false;
        picAboutThumbnail_->setPixmap(
            picture.scaled(box, Qt::KeepAspectRatio, Qt::SmoothTransformation));
        return true;
    });
}

void AboutPageWidget::pageSelected(bool current) {
    // The About page is always current when shown, and rotates the chosen
    // set's pictures while it is.
    if (current) {
        cmboAboutSets_Click(cmboAboutSets_->currentIndex());
        aboutThumbnailTimer_->start();
    } else {
        aboutThumbnailTimer_->stop();
    }
}

} // namespace skyloom::config
