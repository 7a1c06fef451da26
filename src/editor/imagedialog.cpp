#include "imagedialog.h"

#include "gridaccessible.h"
#include "tooltip.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QFileInfo>
#include <QGridLayout>
#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <QSlider>
#include <QVBoxLayout>

namespace orvane {

namespace {

QColor fromBgr(quint32 colour) {
    return QColor(int(colour & 0xFF), int((colour >> 8) & 0xFF), int((colour >> 16) & 0xFF));
}

QPixmap previewOf(const DotPattern& picture) {
    QPixmap pixmap(PatternCols * (ImportImageDialog::DotSize + 1) + 1,
                   PatternRows * (ImportImageDialog::DotSize + 1) + 1);
    pixmap.fill(Qt::black);
    QPainter p(&pixmap);
    for (int col = 0; col < PatternCols; ++col)
        for (int row = 1; row <= PatternRows; ++row)
            p.fillRect(ImportImageDialog::dotRect(row, col),
                       fromBgr(isLit(picture.text(row, col)) ? LitColour : DarkColour));
    return pixmap;
}

} // namespace

ImportImageDialog::ImportImageDialog(const QString& fileName, const QImage& image,
                                     const QStringList& warnings, QWidget* parent)
    : QDialog(parent), scaled_(scaledToPictureHeight(image)) {
    setObjectName(QStringLiteral("importImage"));
    setWindowTitle(tr("Import Image - %1").arg(QFileInfo(fileName).fileName()));

    preview_ = new QLabel(this);
    preview_->setObjectName(QStringLiteral("preview"));
    preview_->setAccessibleName(tr("Preview"));
    preview_->setToolTip(wrappedToolTip(
        tr("The picture as OK will put it on the grid: %1 rows by %2 columns, red for a lit "
           "dot. The image is scaled to %1 pixels high; what is wider than %2 columns is cut off.")
            .arg(PatternRows)
            .arg(PatternCols)));

    threshold_ = new QSlider(Qt::Horizontal, this);
    threshold_->setObjectName(QStringLiteral("threshold"));
    threshold_->setAccessibleName(tr("Threshold"));
    threshold_->setRange(MinThreshold, MaxThreshold);
    threshold_->setSingleStep(1);
    threshold_->setPageStep(10);
    threshold_->setTickPosition(QSlider::TicksBelow);
    threshold_->setTickInterval(10);
    threshold_->setValue(DefaultThreshold);
    threshold_->setToolTip(wrappedToolTip(
        tr("How bright a pixel must be to light its dot, from 0 (every opaque pixel) to 100 "
           "(only pure white), as orvane-send --threshold. Arrow keys move it by 1, Page Up and "
           "Page Down by 10.")));
    auto* thresholdLabel = new QLabel(tr("&Threshold:"), this);
    thresholdLabel->setBuddy(threshold_);
    thresholdLabel->setToolTip(threshold_->toolTip());
    thresholdValue_ = new QLabel(this);
    thresholdValue_->setObjectName(QStringLiteral("thresholdValue"));
    thresholdValue_->setMinimumWidth(fontMetrics().horizontalAdvance(QStringLiteral("1000")));
    thresholdValue_->setToolTip(threshold_->toolTip());

    invert_ = new QCheckBox(tr("&Invert: light the dark pixels"), this);
    invert_->setObjectName(QStringLiteral("invert"));
    invert_->setToolTip(wrappedToolTip(
        tr("Light the dots of dark pixels instead of bright ones, as orvane-send --invert. A "
           "transparent pixel stays dark either way.")));

    auto* notes = new QLabel(warnings.join(QLatin1Char('\n')), this);
    notes->setObjectName(QStringLiteral("warnings"));
    notes->setWordWrap(true);
    notes->setVisible(!warnings.isEmpty());
    notes->setToolTip(wrappedToolTip(tr("What was lost in reading the image.")));

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    buttons->button(QDialogButtonBox::Ok)
        ->setToolTip(wrappedToolTip(
            tr("Put this picture on the grid in place of the one there; Ctrl+Z takes it back. "
               "The speed stays.")));
    buttons->button(QDialogButtonBox::Cancel)
        ->setToolTip(wrappedToolTip(tr("Close without changing the picture.")));
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto* options = new QGridLayout;
    options->addWidget(thresholdLabel, 0, 0);
    options->addWidget(threshold_, 0, 1);
    options->addWidget(thresholdValue_, 0, 2);
    options->addWidget(invert_, 1, 0, 1, 3);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(preview_);
    layout->addLayout(options);
    layout->addWidget(notes);
    layout->addWidget(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);

    connect(threshold_, &QSlider::valueChanged, this, &ImportImageDialog::convert);
    connect(invert_, &QCheckBox::toggled, this, &ImportImageDialog::convert);
    convert();
    threshold_->setFocus();
}

QRect ImportImageDialog::dotRect(int row, int col) {
    return QRect(1 + col * (DotSize + 1), 1 + (row - 1) * (DotSize + 1), DotSize, DotSize);
}

ImageOptions ImportImageDialog::options() const {
    return {threshold_->value(), invert_->isChecked()};
}

void ImportImageDialog::convert() {
    // The image was read once already, and a threshold from the slider is never refused.
    const Result<ImagePicture> converted = pictureFromImage(scaled_, options());
    picture_ = converted ? converted->picture : DotPattern();
    thresholdValue_->setText(QString::number(threshold_->value()));
    preview_->setPixmap(previewOf(picture_));
    preview_->setAccessibleDescription(GridAccessible::litSummary(picture_));
}

} // namespace orvane
