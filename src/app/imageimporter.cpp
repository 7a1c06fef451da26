#include "imageimporter.h"

#include "busyguard.h"
#include "errorreport.h"
#include "imagedialog.h"
#include "prompts.h"

#include <QImageReader>
#include <QPromise>
#include <QThreadPool>

namespace orvane {

namespace {

// What the image chooser offers: the formats Qt reads here, and every file (the content
// decides, not the name).
QStringList imageFilters() {
    QStringList patterns;
    for (const QByteArray& format : QImageReader::supportedImageFormats())
        patterns << QStringLiteral("*.") + QString::fromLatin1(format);
    return {ImageImporter::tr("Images (%1)").arg(patterns.join(QLatin1Char(' '))),
            ImageImporter::tr("All files (*)")};
}

} // namespace

ImageImporter::ImageImporter(QWidget* window) : window_(window) {
    connect(&watcher_, &QFutureWatcher<Result<ImagePicture>>::finished, this,
            &ImageImporter::finished);
}

ImageImporter::~ImageImporter() = default;

// The file is decoded once; the dialog converts it again for each threshold.
void ImageImporter::ask() {
    const QString fileName = askFileToOpen(window_, tr("Import Image"), imageFilters());
    if (fileName.isEmpty())
        return;
    const Result<ImagePicture> image = loadImagePicture(fileName, ImageOptions());
    if (!image) {
        ReportError(window_, tr("Import Image"), image.error());
        return;
    }
    auto* dialog = new ImportImageDialog(fileName, image->image, image.warnings(), window_);
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    connect(dialog, &QDialog::finished, window_, [window = window_] { window->activateWindow(); });
    connect(dialog, &QDialog::accepted, this, [this, dialog] { emit chosen(dialog->picture()); });
    dialog->open();
}

void ImageImporter::decode(const QString& fileName) {
    if (busy())
        return;
    busy_ = std::make_unique<BusyGuard>();
    // A promise on the global pool, as QtConcurrent::run would do (Qt Concurrent is left out of
    // the Windows build).
    auto promise = std::make_shared<QPromise<Result<ImagePicture>>>();
    watcher_.setFuture(promise->future());
    promise->start();
    QThreadPool::globalInstance()->start([promise, fileName] {
        promise->addResult(loadImagePicture(fileName, ImageOptions()));
        promise->finish();
    });
}

void ImageImporter::finished() {
    busy_.reset();
    const Result<ImagePicture> image = watcher_.result();
    if (!image) {
        ReportError(window_, tr("Load"), image.error());
        return;
    }
    emit decoded(image->picture);
    if (!image.warnings().isEmpty())
        ReportError(window_, tr("Load"), image.warnings().join(QLatin1Char('\n')));
}

} // namespace orvane
