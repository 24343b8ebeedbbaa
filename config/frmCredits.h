#pragma once
// "Image Credits": a small modal dialog with a picture's title, credit,
// further information and an optional web button, beside its preview. The
// texts come from the Credits model; the dialog only shows them.
//
// Close by the button, by typing "C" or "c", or by Esc.

#include "config/Credits.h"

#include <QDialog>

#include <string>

class QFrame;
class QGroupBox;
class QLabel;
class QPlainTextEdit;
class QPushButton;

namespace skyloom::config {

class frmCredits : public QDialog {
    Q_OBJECT
public:
    explicit frmCredits(QWidget* parent = nullptr);

    /// Fills the dialog for one picture (see Credits::InitCredits).
    void InitCredits(const std::string& folder, const std::string& path, const std::string& name,
                     const std::string& language);
    void ImageTitle(const QString& text);
    void ThumbNail(const QPixmap& picture);

    const Credits& credits() const { return credits_; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void showCredits(const Credits& c);
    void cmdWebLink_Click();

    Credits credits_;
    QLabel* lblImageTitlePrompt_ = nullptr;
    QLabel* lblImageTitle_ = nullptr;
    QLabel* lblImageCreditPrompt_ = nullptr;
    QLabel* lblImageInfo_ = nullptr;
    QLabel* lblAdditInfoPrompt_ = nullptr;
    QPlainTextEdit* txtPhoto_ = nullptr;
    QGroupBox* lblMoreInfoPrompt_ = nullptr;
    QLabel* lblPrintOrder_ = nullptr;
    QPushButton* cmdWebLink_ = nullptr;
    QFrame* Picture1_ = nullptr;
    QLabel* picThumbNail_ = nullptr;
    QPushButton* cmdClose_ = nullptr;
};

} // namespace skyloom::config
