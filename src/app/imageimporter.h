#pragma once

// Images that become the picture: Import Image's dialog, and an image dropped on the window.
// Either is read with the checks and messages of orvane-send --image; a refusal is shown over
// the window and changes nothing.

#include "dotpattern.h"
#include "imageimport.h"

#include <QFutureWatcher>
#include <QObject>
#include <memory>

class QWidget;

namespace orvane {

class BusyGuard;

class ImageImporter : public QObject {
    Q_OBJECT

public:
    explicit ImageImporter(QWidget* window);
    ~ImageImporter() override;

    // True from an image's drop until it is decoded and shown (or refused).
    bool busy() const { return busy_ != nullptr; }

    // Asks for an image file and reads it once (a file that is no image is refused by name before
    // any dialog), then shows the picture it becomes with the threshold and invert to choose: OK
    // emits chosen().
    void ask();

    // Decodes a dropped image on another thread, with the defaults: meanwhile the window goes on
    // painting but takes no input, so nothing else can change the picture first. Emits decoded(),
    // then shows what was lost on the way. Ignored while another is decoded. A window closed
    // meanwhile leaves the result unread.
    void decode(const QString& fileName);

signals:
    void chosen(const DotPattern& picture);
    void decoded(const DotPattern& picture);

private:
    void finished();

    QWidget* window_;
    QFutureWatcher<Result<ImagePicture>> watcher_;
    std::unique_ptr<BusyGuard> busy_;
};

} // namespace orvane
