#pragma once
// The widgets of the "Edit Sets" page: an inner tab for the pictures of one
// set and one ("Image Sets") for the sets themselves. The lists keep the
// library's order; the page model (EditSetsPage) makes the moves.

#include "config/EditSetsPage.h"

#include <QListWidget>
#include <QPoint>
#include <QWidget>

#include <string>
#include <vector>

class QCheckBox;
class QComboBox;
class QLabel;
class QPushButton;
class QTabWidget;
class QTimer;

namespace skyloom::config {

/// A multi-select list whose selected entries are dragged with the right
/// mouse button (the left button only selects), onto its partner list.
class DragList : public QListWidget {
    Q_OBJECT
public:
    /// Distance the mouse must travel, across or down, before a drag starts.
    static constexpr int kDragDistance = 50;

    explicit DragList(QWidget* parent = nullptr);
    void setPartner(DragList* partner) { partner_ = partner; }

signals:
    /// The partner list's selection was dropped here.
    void droppedFromPartner();

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragMoveEvent(QDragMoveEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    bool fromPartner(const QDropEvent* event) const;

    DragList* partner_ = nullptr;
    QPoint dragStart_{-1, -1}; ///< x -1: no drag may start
};

/// Selected texts of a list, in list order.
std::vector<std::string> selectedTexts(const QListWidget* list);
/// Each selected entry of `from` goes to the top of `to`, walking `from`
/// from its first entry.
void MoveSelectedItems(QListWidget* from, QListWidget* to);

class EditSetsWidget : public QWidget {
    Q_OBJECT
public:
    /// Builds the page's controls into `page`.
    EditSetsWidget(imagesets::SetLibrary& library, QWidget* page);

    /// Fills the page's set lists and makes their first selections.
    void InitLists();
    /// Refills them after a move, keeping the edited set when it is still
    /// included.
    void UpdateLists();
    /// The page became visible / was left.
    void pageShown();
    void pageHidden();

    QTimer* previewTimer() const { return tmrEditSetsThumbnailChanger_; }
    EditSetsPage& model() { return model_; }

    /// Makes a set from the pictures of `folder` under `setName` behind a
    /// progress dialog and adds it to the library. Says why when nothing
    /// could be made; false then, and nothing changed.
    bool addPhotoFolder(const std::string& folder, const std::string& setName);

signals:
    /// Sets or pictures moved (the dialog refills its set lists and marks
    /// the page changed).
    void setsChanged();
    /// The title-page switch was changed.
    void edited();

private:
    void editSetChosen();
    void imagesSelected(bool included);
    void setsSelected(bool included);
    void moveImages();
    void moveSets();
    void previewTick();
    void innerTabChanged(int tab);
    void chooseAndAddPhotoFolder();
    void DeselectList(QListWidget* list);
    void fillSetLists();
    std::shared_ptr<imagesets::SetInfoClass> editedSet() const;

    imagesets::SetLibrary& library_;
    EditSetsPage model_;
    RotatingPreview preview_;
    const void* loggedPreviewSet_ = nullptr; // the set whose preview was last logged
    bool bDeselecting_ = false;
    int filling_ = 0;

    QTabWidget* SSTabEditSets_ = nullptr;
    QComboBox* cmboEditSet_ = nullptr;
    QCheckBox* chkShowTitlePage_ = nullptr;
    DragList* lstActiveImages_ = nullptr;
    DragList* lstInactiveImages_ = nullptr;
    QPushButton* cmdImageMove_ = nullptr;
    QLabel* picImageEditThumbNail_ = nullptr;
    DragList* lstActiveSets_ = nullptr;
    DragList* lstInactiveSets_ = nullptr;
    QPushButton* cmdMoveSet_ = nullptr;
    QPushButton* cmdAddPhotoFolder_ = nullptr;
    QLabel* picEditSetsThumbnail_ = nullptr;
    QTimer* tmrEditSetsThumbnailChanger_ = nullptr;
};

} // namespace skyloom::config
