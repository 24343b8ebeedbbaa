#include "frmCredits.h"

#include "FormControls.h"
#include "config/AboutPage.h"
#include "platform/System.h"

#include "common/Log.h"

#include <QApplication>
#include <QFrame>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace skyloom::config {

namespace {

using controls::named;

QString qs(const std::string& s) {
    return QString::fromStdString(s);
}

// Texts from information files are shown as they are written, never as markup.
QLabel* textLabel(const char* name, const QString& text, QWidget* parent) {
    auto* l = named(new QLabel(text, parent), name);
    l->setTextFormat(Qt::PlainText);
    return l;
}

constexpr QSize kThumbnail(160, 120);

// The dialog's own texts in the user's language; a file's texts as written.
QString shown(const std::string& text) {
    for (const char* own :
         {kNotAvailableDesign, kNotAvailable, kNoAdditionalInfo, kImageTitlePrompt,
          kImageCreditPrompt, kAdditInfoPrompt, kMoreInfoPrompt, kWebButton})
        if (text == own)
            return QCoreApplication::translate(kCreditsContext, own);
    return qs(text);
}

} // namespace

frmCredits::frmCredits(QWidget* parent) : QDialog(parent) {
    setObjectName("frmCredits");
    setWindowTitle(tr("Image Credits"));
    setModal(true);

    auto* layout = new QHBoxLayout(this);
    Picture1_ = named(new QFrame(this), "Picture1");
    Picture1_->setFrameShape(QFrame::StyledPanel);
    auto* pictureLayout = new QVBoxLayout(Picture1_);
    picThumbNail_ = named(new QLabel(Picture1_), "picThumbNail");
    picThumbNail_->setMinimumSize(kThumbnail);
    picThumbNail_->setAlignment(Qt::AlignCenter);
    picThumbNail_->setAccessibleName(tr("Thumbnail"));
    pictureLayout->addWidget(picThumbNail_);
    pictureLayout->addStretch();
    layout->addWidget(Picture1_, 0, Qt::AlignTop);

    auto* right = new QVBoxLayout;
    auto* grid = new QGridLayout;
    lblImageTitlePrompt_ = textLabel("lblImageTitlePrompt", shown(kImageTitlePrompt), this);
    lblImageTitle_ = textLabel("lblImageTitle", shown(kNotAvailableDesign), this);
    lblImageCreditPrompt_ = textLabel("lblImageCreditPrompt", shown(kImageCreditPrompt), this);
    lblImageInfo_ = textLabel("lblImageInfo", shown(kNotAvailableDesign), this);
    for (QLabel* l : {lblImageTitle_, lblImageInfo_}) {
        l->setWordWrap(true);
        l->setTextInteractionFlags(Qt::TextSelectableByMouse);
    }
    grid->addWidget(lblImageTitlePrompt_, 0, 0, Qt::AlignTop);
    grid->addWidget(lblImageTitle_, 0, 1);
    grid->addWidget(lblImageCreditPrompt_, 1, 0, Qt::AlignTop);
    grid->addWidget(lblImageInfo_, 1, 1);
    // The credit sits 5 pixels right of its prompt, however long the prompt.
    grid->setHorizontalSpacing(5);
    grid->setColumnStretch(1, 1);
    right->addLayout(grid);

    lblAdditInfoPrompt_ = textLabel("lblAdditInfoPrompt", shown(kAdditInfoPrompt), this);
    txtPhoto_ = named(new QPlainTextEdit(kNotAvailableDesign, this), "txtPhoto");
    txtPhoto_->setReadOnly(true);
    txtPhoto_->setTabChangesFocus(true);
    txtPhoto_->setMinimumSize(320, 110);
    lblAdditInfoPrompt_->setBuddy(txtPhoto_);
    right->addWidget(lblAdditInfoPrompt_);
    right->addWidget(txtPhoto_, 1);

    lblMoreInfoPrompt_ = named(new QGroupBox(shown(kMoreInfoPrompt), this), "lblMoreInfoPrompt");
    auto* more = new QVBoxLayout(lblMoreInfoPrompt_);
    lblPrintOrder_ = textLabel("lblPrintOrder", kNotAvailableDesign, lblMoreInfoPrompt_);
    lblPrintOrder_->setWordWrap(true);
    lblPrintOrder_->setTextInteractionFlags(Qt::TextSelectableByMouse);
    cmdWebLink_ = named(new QPushButton(shown(kWebButton), lblMoreInfoPrompt_), "cmdWebLink");
    cmdWebLink_->setVisible(false);
    more->addWidget(lblPrintOrder_);
    more->addWidget(cmdWebLink_, 0, Qt::AlignLeft);
    right->addWidget(lblMoreInfoPrompt_);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    cmdClose_ = named(new QPushButton(tr(" &Close"), this), "cmdClose");
    cmdClose_->setAccessibleName(tr("Close"));
    cmdClose_->setDefault(true);
    buttons->addWidget(cmdClose_);
    right->addLayout(buttons);
    layout->addLayout(right, 1);

    connect(cmdClose_, &QPushButton::clicked, this, &QDialog::accept);
    connect(cmdWebLink_, &QPushButton::clicked, this, &frmCredits::cmdWebLink_Click);

    // "C" closes from wherever the focus is, also from the text box.
    installEventFilter(this);
    for (QWidget* w : findChildren<QWidget*>())
        w->installEventFilter(this);
    showCredits(credits_);
}

void frmCredits::InitCredits(const std::string& folder, const std::string& path,
                             const std::string& name, const std::string& language) {
    credits_ = Credits();
    credits_.InitCredits(folder, path, name, language);
    showCredits(credits_);
}

void frmCredits::showCredits(const Credits& c) {
    lblImageTitlePrompt_->setText(shown(c.imageTitlePrompt));
    lblImageTitle_->setText(shown(c.imageTitle));
    lblImageCreditPrompt_->setText(shown(c.imageCreditPrompt));
    lblImageInfo_->setText(shown(c.imageInfo));
    lblAdditInfoPrompt_->setText(shown(c.additInfoPrompt));
    txtPhoto_->setPlainText(shown(c.photo));
    txtPhoto_->setEnabled(c.photoEnabled);
    txtPhoto_->setAccessibleName(shown(c.additInfoPrompt));
    lblMoreInfoPrompt_->setTitle(shown(c.moreInfoPrompt));
    lblPrintOrder_->setText(shown(c.printOrder));
    cmdWebLink_->setText(shown(c.webButton));
    cmdWebLink_->setVisible(c.webButtonVisible);
}

void frmCredits::ImageTitle(const QString& text) {
    credits_.imageTitle = text.toStdString();
    lblImageTitle_->setText(text);
}

void frmCredits::ThumbNail(const QPixmap& picture) {
    if (picture.isNull()) {
        picThumbNail_->clear();
        return;
    }
    picThumbNail_->setPixmap(
        picture.scaled(kThumbnail, Qt::KeepAspectRatio, Qt::SmoothTransformation));
}

void frmCredits::cmdWebLink_Click() {
    // Only web and mail addresses are handed on; anything else is refused
    // (and logged) by the opener.
    if (const std::string address = addressToOpen(credits_.url); !address.empty())
        platform::openUrl(address);
}

bool frmCredits::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::KeyPress) {
        const auto* key = static_cast<QKeyEvent*>(event);
        const Qt::KeyboardModifiers mods =
            key->modifiers() & ~(Qt::ShiftModifier | Qt::KeypadModifier);
        if (mods == Qt::NoModifier && (key->text() == "c" || key->text() == "C")) {
            cmdClose_->click();
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

} // namespace skyloom::config
