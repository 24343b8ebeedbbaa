#include "EditSetsWidget.h"

#include "FormControls.h"
#include "Thumbnail.h"
#include "imagesets/SetFiles.h"
#include "imagesets/maker/SetMaker.h"

#include "common/Log.h"
#include "platform/MessageBox.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDrag>
#include <QDragEnterEvent>
#include <QFileDialog>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QInputDialog>
#include <QLabel>
#include <QMimeData>
#include <QMouseEvent>
#include <QProgressDialog>
#include <QPushButton>
#include <QTabWidget>
#include <QTimer>
#include <QVBoxLayout>

#include <filesystem>
#include <system_error>

namespace skyloom::config {

namespace {

constexpr const char* kDragMime = "application/x-skyloom-list-entries";
constexpr int kFirstPreviewMs = 250;
constexpr int kPreviewMs = 1500;

using controls::named;

QLabel* caption(const char* name, const QString& text, QWidget* control, QWidget* parent) {
    auto* label = named(new QLabel(text, parent), name);
    label->setBuddy(control);
    control->setAccessibleName(QString(text).remove('&').remove(':'));
    return label;
}

QLabel* previewBox(const char* name, const QString& accessibleName, QWidget* parent) {
    auto* box = named(new QLabel(parent), name);
    box->setMinimumSize(160, 120);
    box->setFrameShape(QFrame::StyledPanel);
    box->setAlignment(Qt::AlignCenter);
    box->setAccessibleName(accessibleName);
    return box;
}

void setCaption(QPushButton* button, const MoveCaption& c) {
    button->setText(QCoreApplication::translate(kMoveContext, c.text.c_str()));
    button->setProperty("Tag", QString::fromStdString(c.tag));
}

// The progress of making a set, in a dialog that can cancel it: a cancel
// ends the work at the next picture.
class CancelledMaking {};

class DialogProgress : public mkset::Progress {
public:
    explicit DialogProgress(QWidget* parent)
        : dialog_(EditSetsWidget::tr("Making the image set..."), EditSetsWidget::tr("Cancel"), 0, 1,
                  parent) {
        dialog_.setObjectName("dlgMakeSetProgress");
        dialog_.setWindowTitle(EditSetsWidget::tr("Add Photo Folder"));
        dialog_.setWindowModality(Qt::WindowModal);
        dialog_.setMinimumDuration(0);
    }
    void begin(int total) override {
        dialog_.setMaximum(std::max(total, 1));
        dialog_.setValue(0);
    }
    void step(int done, std::string_view) override {
        dialog_.setValue(done);
        QCoreApplication::processEvents();
        if (dialog_.wasCanceled())
            throw CancelledMaking{};
    }
    void end() override { dialog_.reset(); }

private:
    QProgressDialog dialog_;
};

} // namespace

// ---------------------------------------------------------------------------
// DragList

DragList::DragList(QWidget* parent) : QListWidget(parent) {
    setSelectionMode(QAbstractItemView::ExtendedSelection);
    setDragEnabled(false); // drags start from the right button only, below
    setAcceptDrops(true);
    setDropIndicatorShown(false);
}

void DragList::mousePressEvent(QMouseEvent* event) {
    if (event->button() == Qt::RightButton) {
        dragStart_ = event->position().toPoint();
        event->accept();
        return;
    }
    QListWidget::mousePressEvent(event);
}

void DragList::mouseMoveEvent(QMouseEvent* event) {
    if (event->buttons() == Qt::RightButton && dragStart_.x() != -1) {
        const QPoint moved = event->position().toPoint() - dragStart_;
        if ((std::abs(moved.x()) > kDragDistance || std::abs(moved.y()) > kDragDistance) &&
            !selectedItems().isEmpty()) {
            dragStart_ = {-1, -1};
            auto* mime = new QMimeData;
            mime->setData(kDragMime, objectName().toUtf8());
            auto* drag = new QDrag(this);
            drag->setMimeData(mime);
            drag->exec(Qt::MoveAction);
        }
        event->accept();
        return;
    }
    QListWidget::mouseMoveEvent(event);
}

void DragList::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() == Qt::RightButton) {
        dragStart_ = {-1, -1};
        event->accept();
        return;
    }
    QListWidget::mouseReleaseEvent(event);
}

bool DragList::fromPartner(const QDropEvent* event) const {
    return partner_ && event->source() == partner_ && event->mimeData()->hasFormat(kDragMime);
}

void DragList::dragEnterEvent(QDragEnterEvent* event) {
    if (fromPartner(event))
        event->acceptProposedAction();
    else
        event->ignore();
}

void DragList::dragMoveEvent(QDragMoveEvent* event) {
    if (fromPartner(event))
        event->acceptProposedAction();
    else
        event->ignore();
}

void DragList::dropEvent(QDropEvent* event) {
    if (!fromPartner(event)) {
        event->ignore();
        return;
    }
    event->acceptProposedAction();
    // The move rebuilds both lists; let the drag finish first.
    QTimer::singleShot(0, this, &DragList::droppedFromPartner);
}

// Every entry of the page's lists carries the name it shows, which is what
// the code reads back (never the shown text).
std::string entryName(const QListWidgetItem* item) {
    return item->data(Qt::UserRole).toString().toStdString();
}

void addEntry(QListWidget* list, const std::string& name) {
    auto* item = new QListWidgetItem(QString::fromStdString(name));
    item->setData(Qt::UserRole, QString::fromStdString(name));
    list->addItem(item);
}

void addEntry(QComboBox* box, const std::string& name) {
    box->addItem(QString::fromStdString(name), QString::fromStdString(name));
}

std::vector<std::string> selectedTexts(const QListWidget* list) {
    std::vector<std::string> texts;
    for (int i = 0; i < list->count(); ++i)
        if (list->item(i)->isSelected())
            texts.push_back(entryName(list->item(i)));
    return texts;
}

void MoveSelectedItems(QListWidget* from, QListWidget* to) {
    int i = 0;
    while (i < from->count()) {
        if (from->item(i)->isSelected())
            to->insertItem(0, from->takeItem(i));
        else
            ++i;
    }
}

// ---------------------------------------------------------------------------
// The page

EditSetsWidget::EditSetsWidget(imagesets::SetLibrary& library, QWidget* page)
    : QWidget(page), library_(library), model_(library) {
    setObjectName("EditSetsWidget");
    auto* pageLayout = new QVBoxLayout(page);
    pageLayout->setContentsMargins(0, 0, 0, 0);
    pageLayout->addWidget(this);
    auto* layout = new QVBoxLayout(this);
    SSTabEditSets_ = named(new QTabWidget(this), "SSTabEditSets");
    layout->addWidget(SSTabEditSets_);

    // Tab 0: the pictures of one set
    auto* images = named(new QWidget, "tabEditImages");
    auto* grid = new QGridLayout(images);
    cmboEditSet_ = named(new QComboBox(images), "cmboEditSet");
    cmboEditSet_->setToolTip(tr("Click here to select an image set to edit."));
    grid->addWidget(caption("lblEditSet", tr("Image set:"), cmboEditSet_, images), 0, 0);
    grid->addWidget(cmboEditSet_, 0, 1);
    chkShowTitlePage_ = named(new QCheckBox(tr("Show Title Page"), images), "chkShowTitlePage");
    grid->addWidget(chkShowTitlePage_, 0, 2);
    lstActiveImages_ = named(new DragList(images), "lstActiveImages");
    lstActiveImages_->setToolTip(
        tr("Use the right button to drag the selected images to the 'Excluded Images' box."));
    lstInactiveImages_ = named(new DragList(images), "lstInactiveImages");
    lstInactiveImages_->setToolTip(
        tr("Use the right button to drag the selected images to the 'Included Images' box."));
    lstActiveImages_->setPartner(lstInactiveImages_);
    lstInactiveImages_->setPartner(lstActiveImages_);
    grid->addWidget(caption("lblIncludedImages", tr("Included Images"), lstActiveImages_, images),
                    1, 0);
    grid->addWidget(caption("lblExcludedImages", tr("Excluded Images"), lstInactiveImages_, images),
                    1, 2);
    grid->addWidget(lstActiveImages_, 2, 0);
    cmdImageMove_ = named(new QPushButton(images), "cmdImageMove");
    setCaption(cmdImageMove_, imageMoveCaption(true, 1));
    cmdImageMove_->setEnabled(false);
    grid->addWidget(cmdImageMove_, 2, 1, Qt::AlignCenter);
    grid->addWidget(lstInactiveImages_, 2, 2);
    picImageEditThumbNail_ = previewBox("picImageEditThumbNail", tr("Picture preview"), images);
    grid->addWidget(picImageEditThumbNail_, 3, 0, 1, 3, Qt::AlignCenter);
    SSTabEditSets_->addTab(images, tr("Images"));

    // Tab 1: the sets
    auto* sets = named(new QWidget, "tabEditSets");
    auto* setGrid = new QGridLayout(sets);
    lstActiveSets_ = named(new DragList(sets), "lstActiveSets");
    lstActiveSets_->setToolTip(
        tr("Use the right button to drag the selected sets to the 'Exluded Sets' box."));
    lstInactiveSets_ = named(new DragList(sets), "lstInactiveSets");
    lstInactiveSets_->setToolTip(
        tr("Use the right button to drag the selected sets to the 'Included Sets' box."));
    lstActiveSets_->setPartner(lstInactiveSets_);
    lstInactiveSets_->setPartner(lstActiveSets_);
    setGrid->addWidget(caption("lblIncludedSets", tr("Included Sets"), lstActiveSets_, sets), 0, 0);
    setGrid->addWidget(caption("lblExcludedSets", tr("Excluded Sets"), lstInactiveSets_, sets), 0,
                       2);
    setGrid->addWidget(lstActiveSets_, 1, 0);
    cmdMoveSet_ = named(new QPushButton(sets), "cmdMoveSet");
    setCaption(cmdMoveSet_, setMoveCaption(false, 1));
    cmdMoveSet_->setEnabled(false);
    setGrid->addWidget(cmdMoveSet_, 1, 1, Qt::AlignCenter);
    setGrid->addWidget(lstInactiveSets_, 1, 2);
    picEditSetsThumbnail_ = previewBox("picEditSetsThumbnail", tr("Set preview"), sets);
    setGrid->addWidget(picEditSetsThumbnail_, 2, 0, 1, 2, Qt::AlignCenter);
    cmdAddPhotoFolder_ =
        named(new QPushButton(tr("Add Photo Folder..."), sets), "cmdAddPhotoFolder");
    cmdAddPhotoFolder_->setToolTip(tr("Make an image set from a folder of your photos."));
    // Making the set writes its folder and registers it, unlike the moves
    // above, which wait for Apply or OK; the page says so.
    auto* addNote = named(
        new QLabel(
            tr("A photo folder is made into an image set at once; Cancel does not take it back."),
            sets),
        "lblAddPhotoFolderNote");
    addNote->setWordWrap(true);
    cmdAddPhotoFolder_->setAccessibleDescription(addNote->text());
    auto* addBox = new QVBoxLayout;
    addBox->addStretch();
    addBox->addWidget(addNote);
    addBox->addWidget(cmdAddPhotoFolder_, 0, Qt::AlignRight);
    setGrid->addLayout(addBox, 2, 2);
    SSTabEditSets_->addTab(sets, tr("Image Sets"));

    tmrEditSetsThumbnailChanger_ = named(new QTimer(this), "tmrEditSetsThumbnailChanger");
    tmrEditSetsThumbnailChanger_->setInterval(kFirstPreviewMs);

    connect(cmboEditSet_, &QComboBox::currentIndexChanged, this, [this] {
        if (!filling_)
            editSetChosen();
    });
    connect(chkShowTitlePage_, &QCheckBox::clicked, this, [this](bool on) {
        if (auto set = editedSet()) {
            set->m_ShowTitlePage = on;
            emit edited();
        }
    });
    connect(lstActiveImages_, &QListWidget::itemSelectionChanged, this,
            [this] { imagesSelected(true); });
    connect(lstInactiveImages_, &QListWidget::itemSelectionChanged, this,
            [this] { imagesSelected(false); });
    connect(lstActiveSets_, &QListWidget::itemSelectionChanged, this,
            [this] { setsSelected(true); });
    connect(lstInactiveSets_, &QListWidget::itemSelectionChanged, this,
            [this] { setsSelected(false); });
    connect(cmdImageMove_, &QPushButton::clicked, this, &EditSetsWidget::moveImages);
    connect(cmdMoveSet_, &QPushButton::clicked, this, &EditSetsWidget::moveSets);
    // A drop does what the button does for the list it came from.
    auto dropImages = [this](bool include) {
        setCaption(cmdImageMove_, imageMoveCaption(!include, 1));
        moveImages();
    };
    connect(lstActiveImages_, &DragList::droppedFromPartner, this, [=] { dropImages(true); });
    connect(lstInactiveImages_, &DragList::droppedFromPartner, this, [=] { dropImages(false); });
    auto dropSets = [this](bool include) {
        setCaption(cmdMoveSet_, setMoveCaption(!include, 1));
        moveSets();
    };
    connect(lstActiveSets_, &DragList::droppedFromPartner, this, [=] { dropSets(true); });
    connect(lstInactiveSets_, &DragList::droppedFromPartner, this, [=] { dropSets(false); });
    connect(tmrEditSetsThumbnailChanger_, &QTimer::timeout, this, &EditSetsWidget::previewTick);
    connect(SSTabEditSets_, &QTabWidget::currentChanged, this, &EditSetsWidget::innerTabChanged);
    connect(cmdAddPhotoFolder_, &QPushButton::clicked, this,
            &EditSetsWidget::chooseAndAddPhotoFolder);
}

std::shared_ptr<imagesets::SetInfoClass> EditSetsWidget::editedSet() const {
    return model_.LocateSet(cmboEditSet_->currentData().toString().toStdString());
}

void EditSetsWidget::fillSetLists() {
    ++filling_;
    const auto fillList = [](auto* list, const std::vector<std::string>& names) {
        list->clear();
        for (const auto& name : names)
            addEntry(list, name);
    };
    const auto included = model_.includedSetNames();
    fillList(cmboEditSet_, included);
    fillList(lstActiveSets_, included);
    fillList(lstInactiveSets_, model_.excludedSetNames());
    --filling_;
}

void EditSetsWidget::InitLists() {
    fillSetLists();
    if (cmboEditSet_->count() > 0)
        cmboEditSet_->setCurrentIndex(0);
    editSetChosen();
    if (lstActiveSets_->count() > 0)
        lstActiveSets_->setCurrentRow(0);
    else if (lstInactiveSets_->count() > 0)
        lstInactiveSets_->setCurrentRow(0);
}

void EditSetsWidget::UpdateLists() {
    const QVariant remembered = cmboEditSet_->currentData();
    fillSetLists();
    const int at = cmboEditSet_->findData(remembered);
    if (cmboEditSet_->count() > 0)
        cmboEditSet_->setCurrentIndex(at >= 0 ? at : 0);
    editSetChosen();
    cmdMoveSet_->setEnabled(false);
}

void EditSetsWidget::editSetChosen() {
    ++filling_;
    lstActiveImages_->clear();
    lstInactiveImages_->clear();
    --filling_;
    const auto set = editedSet();
    if (!set) {
        chkShowTitlePage_->setEnabled(false);
        chkShowTitlePage_->setChecked(false);
        cmdImageMove_->setEnabled(false);
        picImageEditThumbNail_->clear();
        return;
    }
    const bool switchable = EditSetsPage::titlePageSwitchable(*set);
    chkShowTitlePage_->setEnabled(switchable);
    chkShowTitlePage_->setChecked(switchable && set->m_ShowTitlePage);
    std::vector<std::string> names;
    ++filling_;
    set->GetIncludedImages(names);
    for (const auto& n : names)
        addEntry(lstActiveImages_, n);
    set->GetExcludedImages(names);
    for (const auto& n : names)
        addEntry(lstInactiveImages_, n);
    --filling_;
    if (lstActiveImages_->count() > 0)
        lstActiveImages_->setCurrentRow(0);
    else if (lstInactiveImages_->count() > 0)
        lstInactiveImages_->setCurrentRow(0);
    else
        cmdImageMove_->setEnabled(false);
}

void EditSetsWidget::DeselectList(QListWidget* list) {
    bDeselecting_ = true;
    list->clearSelection();
    bDeselecting_ = false;
}

void EditSetsWidget::imagesSelected(bool included) {
    if (bDeselecting_ || filling_)
        return;
    QListWidget* list = included ? lstActiveImages_ : lstInactiveImages_;
    const int selected = static_cast<int>(list->selectedItems().size());
    if (selected == 0)
        return;
    setCaption(cmdImageMove_, imageMoveCaption(included, selected));
    cmdImageMove_->setEnabled(true);
    DeselectList(included ? lstInactiveImages_ : lstActiveImages_);
    const auto set = editedSet();
    QListWidgetItem* current = list->currentItem();
    if (!set || !current)
        return;
    if (auto image = set->FindImage(entryName(current)))
        showThumbnail(picImageEditThumbNail_,
                      imagesets::setFilePath(
                          library_.ProgramPath() + set->SetDirectory() + image->FileName(), ".bmp"),
                      library_.ProgramPath());
}

void EditSetsWidget::setsSelected(bool included) {
    if (bDeselecting_ || filling_)
        return;
    tmrEditSetsThumbnailChanger_->stop();
    QListWidget* list = included ? lstActiveSets_ : lstInactiveSets_;
    const int selected = static_cast<int>(list->selectedItems().size());
    setCaption(cmdMoveSet_, setMoveCaption(included, std::max(selected, 1)));
    DeselectList(included ? lstInactiveSets_ : lstActiveSets_);
    QListWidgetItem* current = list->currentItem();
    if (selected > 0 && current) {
        cmdMoveSet_->setEnabled(true);
        preview_.setSet(model_.LocateSet(entryName(current)));
        tmrEditSetsThumbnailChanger_->start(kFirstPreviewMs);
    } else {
        cmdMoveSet_->setEnabled(false);
        picEditSetsThumbnail_->clear();
    }
}

void EditSetsWidget::moveImages() {
    const auto set = editedSet();
    if (!set)
        return;
    if (cmdImageMove_->property("Tag").toString() == "Include") {
        EditSetsPage::IncludeImages(*set, selectedTexts(lstInactiveImages_));
        MoveSelectedItems(lstInactiveImages_, lstActiveImages_);
    } else {
        EditSetsPage::ExcludeImages(*set, selectedTexts(lstActiveImages_));
        MoveSelectedItems(lstActiveImages_, lstInactiveImages_);
    }
    emit setsChanged();
    cmdImageMove_->setEnabled(false);
}

void EditSetsWidget::moveSets() {
    tmrEditSetsThumbnailChanger_->stop();
    picEditSetsThumbnail_->clear();
    if (cmdMoveSet_->property("Tag").toString() == "Include") {
        if (model_.IncludeSets(selectedTexts(lstInactiveSets_)) == 0)
            return;
        MoveSelectedItems(lstInactiveSets_, lstActiveSets_);
    } else {
        if (!model_.ExcludeSets(selectedTexts(lstActiveSets_))) {
            platform::MessageBox(
                QCoreApplication::translate(kMoveContext, kLastSetMessage).toStdString());
            return;
        }
        MoveSelectedItems(lstActiveSets_, lstInactiveSets_);
    }
    emit setsChanged();
    cmdMoveSet_->setEnabled(false);
}

void EditSetsWidget::previewTick() {
    tmrEditSetsThumbnailChanger_->setInterval(kPreviewMs);
    std::string shownPath;
    const bool shown =
        preview_.step(library_.ProgramPath(), [this, &shownPath](const std::string& path) {
            shownPath = path;
            return showThumbnail(picEditSetsThumbnail_, path, library_.ProgramPath());
        });
    // The first picture of each set's preview is logged: it says the page is complete.
    if (shown && preview_.set().get() != loggedPreviewSet_) {
        loggedPreviewSet_ = preview_.set().get();
        logInfo("config", "preview of the set shows " + shownPath);
    }
    // Nothing of the set can be shown: stop instead of going round and round.
    if (!shown)
        tmrEditSetsThumbnailChanger_->stop();
}

void EditSetsWidget::innerTabChanged(int tab) {
    if (tab == 1) {
        if (preview_.set()) {
            previewTick();
            if (preview_.set())
                tmrEditSetsThumbnailChanger_->start(kPreviewMs);
        }
        return;
    }
    tmrEditSetsThumbnailChanger_->stop();
    if (lstActiveImages_->currentItem() && lstActiveImages_->currentItem()->isSelected())
        imagesSelected(true);
    else if (lstInactiveImages_->currentItem() && lstInactiveImages_->currentItem()->isSelected())
        imagesSelected(false);
}

void EditSetsWidget::pageShown() {
    if (SSTabEditSets_->currentIndex() == 1) {
        if (preview_.set())
            tmrEditSetsThumbnailChanger_->start();
    } else {
        innerTabChanged(0);
    }
}

void EditSetsWidget::pageHidden() {
    tmrEditSetsThumbnailChanger_->stop();
}

void EditSetsWidget::chooseAndAddPhotoFolder() {
    const QString folder =
        QFileDialog::getExistingDirectory(this, tr("Add Photo Folder"), QDir::homePath());
    if (folder.isEmpty())
        return;
    bool ok = false;
    const QString suggested = QDir(folder).dirName();
    const QString name =
        QInputDialog::getText(this, tr("Add Photo Folder"), tr("Name of the image set:"),
                              QLineEdit::Normal, suggested, &ok)
            .trimmed();
    if (!ok)
        return;
    addPhotoFolder(folder.toStdString(), name.toStdString());
}

bool EditSetsWidget::addPhotoFolder(const std::string& folder, const std::string& setName) {
    const std::string programDir = library_.ProgramPath();
    if (programDir.empty())
        return false;
    if (!setName.empty() && library_.Sets().GetSet(setName)) {
        platform::MessageBox(
            tr("There is already an image set named \"%1\". Please choose another name.")
                .arg(QString::fromStdString(setName))
                .toStdString());
        return false;
    }
    mkset::MakeOptions options;
    options.sources = {folder};
    options.setName = setName;
    options.programDir = programDir;
    options.store = mkset::StoreMode::Link;
    // The folder the set would go into: removed again when the making is
    // cancelled before anything was registered, if this run created it.
    const std::string target =
        setName.empty() ? std::string() : programDir + mkset::folderNameFor(setName);
    std::error_code ec;
    const bool targetExisted = target.empty() || std::filesystem::exists(target, ec);

    mkset::MakeReport report;
    try {
        DialogProgress progress(this);
        report = mkset::makeSet(options, &progress);
    } catch (const CancelledMaking&) {
        if (!targetExisted)
            std::filesystem::remove_all(target, ec);
        logInfo("config", "making an image set from " + folder + " was cancelled");
        return false;
    }
    if (!report.error.empty() || report.total == 0) {
        std::string why = report.error.empty() ? tr("No picture in %1 could be used.")
                                                     .arg(QString::fromStdString(folder))
                                                     .toStdString()
                                               : report.error;
        for (std::size_t i = 0; i < report.skipped.size() && i < 5; ++i)
            why += "\n" + report.skipped[i].file + ": " + report.skipped[i].reason;
        platform::MessageBox(
            tr("No image set was made.\n\n%1").arg(QString::fromStdString(why)).toStdString());
        return false;
    }
    if (!library_.Sets().GetSet(report.setName)) {
        auto set = std::make_shared<imagesets::SetInfoClass>();
        set->SetName(report.setName);
        set->SetDirectory(report.setDirectory);
        library_.InitImageInfo(*set);
        library_.Sets().IncludeSet(set);
    }
    emit setsChanged();
    return true;
}

} // namespace skyloom::config
