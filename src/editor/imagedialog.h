#pragma once

// "Import Image": a decoded image shown as the picture it would become, with the threshold and
// invert of orvane-send --image to choose. The preview is converted again from the image, scaled
// once, at every change, so it is exactly the picture OK takes.

#include "dotpattern.h"
#include "imageimport.h"

#include <QDialog>
#include <QImage>

class QCheckBox;
class QLabel;
class QSlider;

namespace orvane {

class ImportImageDialog : public QDialog {
    Q_OBJECT

public:
    // The preview draws each dot DotSize pixels square with a dark line between dots.
    static constexpr int DotSize = 9;

    // warnings: what was said when the file was read (for instance, that columns are cut off).
    ImportImageDialog(const QString& fileName, const QImage& image, const QStringList& warnings,
                      QWidget* parent = nullptr);

    ImageOptions options() const;
    // The picture at the chosen options, as the preview shows it.
    const DotPattern& picture() const { return picture_; }

    // Where the preview draws the dot at (row 1..8, column 0..49), in the preview's pixmap.
    static QRect dotRect(int row, int col);

private:
    void convert();

    QImage scaled_;
    DotPattern picture_;
    QLabel* preview_;
    QSlider* threshold_;
    QLabel* thresholdValue_;
    QCheckBox* invert_;
};

} // namespace orvane
