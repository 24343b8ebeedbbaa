#include "Thumbnail.h"

#include "graphics/depthkit/Depthkit.h"
#include "graphics/io/PictureFile.h"
#include "platform/System.h"

#include <QCoreApplication>
#include <QLabel>
#include <QPixmap>

#include <filesystem>
#include <system_error>

namespace skyloom::config {

namespace {

// Removes the work files however the conversion ends.
class WorkFiles {
public:
    explicit WorkFiles(const std::string& programPath)
        : jpg_(programPath + "tn.jpg"), bmp_(programPath + "tn.bmp") {}
    ~WorkFiles() {
        std::error_code ec;
        std::filesystem::remove(bmp_, ec);
        std::filesystem::remove(jpg_, ec);
    }
    WorkFiles(const WorkFiles&) = delete;
    WorkFiles& operator=(const WorkFiles&) = delete;
    const std::string& jpg() const { return jpg_; }
    const std::string& bmp() const { return bmp_; }

private:
    std::string jpg_;
    std::string bmp_;
};

bool place(QLabel* box, const QPixmap& picture) {
    if (picture.isNull())
        return false;
    const QSize room =
        box->contentsRect().size().isEmpty() ? box->minimumSize() : box->contentsRect().size();
    box->setPixmap(picture.scaled(room, Qt::KeepAspectRatio, Qt::SmoothTransformation));
    return true;
}

} // namespace

bool showThumbnail(QLabel* box, const std::string& bmpPath, const std::string& programPath) {
    if (!box || bmpPath.empty())
        return false;
    if (platform::displayBitsPerPixel() != 8)
        return place(box, QPixmap::fromImage(graphics::loadSetImage(bmpPath)));
    if (!std::filesystem::exists(bmpPath))
        return false;
    WorkFiles work(programPath);
    if (!depthkit::DoCompress(bmpPath, work.jpg()) || !depthkit::Do24To8(work.jpg(), work.bmp()))
        return false;
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
    if (!box->isVisible())
        return true;
    box->clear();
    return place(box, QPixmap::fromImage(graphics::loadSetImage(work.bmp())));
}

} // namespace skyloom::config
