#pragma once
// The dialog's "About" page: the program and the chosen image set's maker,
// with the set's pictures rotating while the page shows.

#include <QCoreApplication>
#include <QWidget>

class QComboBox;
class QLabel;
class QPushButton;
class QTimer;

namespace skyloom::config {

class AboutPage;

class AboutPageWidget : public QWidget {
    // The page's texts keep the dialog's translation context.
    Q_DECLARE_TR_FUNCTIONS(skyloom::config::frmMoonfield)
public:
    explicit AboutPageWidget(AboutPage& model, QWidget* parent = nullptr);

    /// A set was chosen in the page's list.
    void cmboAboutSets_Click(int index);
    /// Sets every control from the model.
    void showPage();
    /// The page became current (true) or another one did.
    void pageSelected(bool current);

private:
    void connectControls();
    void aboutThumbnailStep();

    AboutPage& about_;
    int syncing_ = 0; ///< >0 while the widgets are being set from the model

    QComboBox* cmboAboutSets_ = nullptr;
    QLabel* imgLogo_ = nullptr;
    QLabel* picSkyloomLogo_ = nullptr;
    QLabel* lblMoreInfo_ = nullptr;
    QLabel* lblWebAddress_ = nullptr;
    QLabel* lblCompanyName_ = nullptr;
    QLabel* lblAddress_ = nullptr;
    QLabel* lblCityStateZip_ = nullptr;
    QLabel* lblPhone_ = nullptr;
    QLabel* Label4_ = nullptr;
    QLabel* lblSupport_ = nullptr;
    QLabel* lblPhoneSupport_ = nullptr;
    QLabel* lblBitDepth_ = nullptr;
    QPushButton* cmdVisitUs_ = nullptr;
    QLabel* picAboutThumbnail_ = nullptr;
    QTimer* aboutThumbnailTimer_ = nullptr; ///< rotates the set's pictures while the page shows
};

} // namespace skyloom::config
