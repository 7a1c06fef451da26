#include "form1.h"

#include "beep.h"
#include "busyguard.h"
#include "dotpattern.h"
#include "download.h"
#include "editing.h"
#include "errorreport.h"
#include "flexgrid.h"
#include "gridtyping.h"
#include "imageimport.h"
#include "patternfile.h"
#include "porttable.h"
#include "porttooltip.h"

#include <QAction>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QIcon>
#include <QLabel>
#include <QMimeData>
#include <QPushButton>
#include <QScrollBar>
#include <QtConcurrent>

namespace orvane {

namespace {

// Positions and sizes are laid out in twips; 15 twips make one pixel at 96 dpi.
constexpr int TwipsPerPixel = 15;
constexpr QSize ClientSize(13830 / TwipsPerPixel, 3330 / TwipsPerPixel); // 922 x 222

QRect twips(int left, int top, int width, int height) {
    return QRect(left / TwipsPerPixel, top / TwipsPerPixel, width / TwipsPerPixel,
                 height / TwipsPerPixel);
}

// The header labels " 1" .. "50", two characters each, separated by "|".
QString headerFormat() {
    QStringList items;
    for (int col = 1; col <= PatternCols; ++col)
        items << QString::number(col).rightJustified(2, QLatin1Char(' '));
    return items.join(QLatin1Char('|'));
}

template <typename T> T* place(QWidget* parent, const char* name, const QRect& geometry) {
    auto* w = new T(parent);
    w->setObjectName(QLatin1String(name));
    w->setGeometry(geometry);
    return w;
}

QPushButton* button(QWidget* parent, const char* name, const QString& text, const QRect& g) {
    auto* b = place<QPushButton>(parent, name, g);
    b->setText(text);
    b->setAutoDefault(false);
    return b;
}

QLabel* label(QWidget* parent, const char* name, const QString& text, const QRect& g) {
    auto* l = place<QLabel>(parent, name, g);
    l->setText(text);
    return l;
}

} // namespace

QString Form1::designCaption() {
    return QStringLiteral("Orvane   Corvel Electronics co.") + QString(127, QLatin1Char(' ')) +
           QStringLiteral("www.corvel.co.kr");
}

Form1::Form1(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("Form1"));
    setWindowTitle(designCaption());
    QIcon icon;
    icon.addFile(QStringLiteral(":/icons/orvane-16.png"), QSize(16, 16));
    icon.addFile(QStringLiteral(":/icons/orvane-32.png"), QSize(32, 32));
    setWindowIcon(icon);
    setFixedSize(ClientSize);
    buildControls();
    history_ = std::make_unique<PatternHistory>(
        *MSFlexGrid1, [this] { return HScroll1->value(); },
        [this](int speed) { HScroll1->setValue(speed); });
    typing_ = std::make_unique<GridTyping>(*MSFlexGrid1, *history_);
    addHistoryKeys();
    setAcceptDrops(true);
    Form_Load();
}

Form1::~Form1() = default;

// Window-wide keys, whichever control has the focus. A running download takes no keys at all
// (BusyGuard drops them), so none of these can act during one.
void Form1::addHistoryKeys() {
    auto* undo = new QAction(tr("Undo"), this);
    undo->setObjectName(QStringLiteral("mnuUndo"));
    undo->setShortcuts(QKeySequence::Undo);
    auto* redo = new QAction(tr("Redo"), this);
    redo->setObjectName(QStringLiteral("mnuRedo"));
    redo->setShortcuts(
        {QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z), QKeySequence(Qt::CTRL | Qt::Key_Y)});
    for (QAction* action : {undo, redo}) {
        action->setShortcutContext(Qt::WindowShortcut);
        addAction(action);
    }
    connect(undo, &QAction::triggered, this, &Form1::mnuUndo_Click);
    connect(redo, &QAction::triggered, this, &Form1::mnuRedo_Click);
}

void Form1::buildControls() {
    MSFlexGrid1 = place<FlexGrid>(this, "MSFlexGrid1", twips(240, 120, 13335, 2175));
    Command1 = button(this, "Command1", tr("Clear"), twips(1920, 2520, 1455, 615));
    Command2 = button(this, "Command2", tr("Load"), twips(3600, 2520, 1455, 615));
    Command3 = button(this, "Command3", tr("Save"), twips(5280, 2520, 1455, 615));
    Command4 = button(this, "Command4", tr("Down Load"), twips(10560, 2520, 3015, 615));
    Command5 = button(this, "Command5", tr("Set"), twips(240, 2520, 1455, 615));
    Command6 = button(this, "Command6", tr("Up"), twips(9360, 2520, 975, 255));
    Command7 = button(this, "Command7", tr("Dn"), twips(9360, 2880, 975, 255));
    Label1 = label(this, "Label1", QStringLiteral("Label1"), twips(8880, 2880, 375, 255));
    Label2 = label(this, "Label2", tr("Com N"), twips(8640, 2520, 735, 255));
    HScroll1 = place<QScrollBar>(this, "HScroll1", twips(6960, 2640, 1215, 375));
    Label3 = label(this, "Label3", tr("Speed -"), twips(7080, 2400, 735, 255));
    Label4 = label(this, "Label4", QStringLiteral("Label4"), twips(7920, 2400, 495, 255));

    HScroll1->setOrientation(Qt::Horizontal);
    HScroll1->setInvertedControls(false); // 1 at the left end, 9 at the right
    HScroll1->setRange(MinSpeed, MaxSpeed);
    HScroll1->setSingleStep(1);
    HScroll1->setPageStep(1);
    HScroll1->setValue(StartSpeed);
    HScroll1->setFocusPolicy(Qt::StrongFocus);

    QWidget* order[] = {MSFlexGrid1, Command1, Command2, Command3, Command4,
                        Command5,    Command6, Command7, HScroll1};
    for (size_t i = 1; i < std::size(order); ++i)
        setTabOrder(order[i - 1], order[i]);

    for (QWidget* w : std::initializer_list<QWidget*>{Label1, Command6, Command7})
        followPortToolTip(w, [this] { return int(PortNumber); });

    connect(Command1, &QPushButton::clicked, this, &Form1::Command1_Click);
    connect(Command2, &QPushButton::clicked, this, &Form1::Command2_Click);
    connect(Command3, &QPushButton::clicked, this, &Form1::Command3_Click);
    connect(Command4, &QPushButton::clicked, this, &Form1::Command4_Click);
    connect(Command5, &QPushButton::clicked, this, &Form1::Command5_Click);
    connect(Command6, &QPushButton::clicked, this, &Form1::Command6_Click);
    connect(Command7, &QPushButton::clicked, this, &Form1::Command7_Click);
    connect(HScroll1, &QScrollBar::valueChanged, this, &Form1::HScroll1_Change);
    connect(MSFlexGrid1, &FlexGrid::Click, this, &Form1::MSFlexGrid1_Click);
    connect(MSFlexGrid1, &FlexGrid::KeyTyped, this, &Form1::MSFlexGrid1_KeyPress);
    connect(MSFlexGrid1, &FlexGrid::BackspacePressed, this, &Form1::MSFlexGrid1_Backspace);
    MSFlexGrid1->setToolTip(
        tr("Click a dot or press Enter to light or darken it. Type to write text from the "
           "current cell; Backspace takes back the last character. Arrows, Home and End "
           "move. Ctrl+Z undoes, Ctrl+Shift+Z or Ctrl+Y redoes."));
    connect(&download_, &DownloadJob::status, this, &QWidget::setWindowTitle);
    connect(&download_, &DownloadJob::finished, this, &Form1::downloadFinished);
}

void Form1::Form_Load() {
    MSFlexGrid1->setFormatString(headerFormat());
    Command1_Click();
    history_->stack().clear(); // the start-up picture is where the history begins
    PortNumber = 1;
    showPortNumber();
    MSComm1.setCommPort(PortNumber);
    HScroll1->setValue(StartSpeed);
    Label4->setText(QString::number(HScroll1->value()));
}

// Clear or Set on a picture they leave as it was still rewrite every cell and beep, but add no
// step: there is nothing to take back.
void Form1::Command1_Click() {
    history_->record(tr("Clear"), [this] { ClearPattern(*MSFlexGrid1); });
}

void Form1::Command5_Click() {
    history_->record(tr("Set"), [this] { SetPattern(*MSFlexGrid1); });
}

void Form1::MSFlexGrid1_Click() {
    history_->record(tr("Toggle"), [this] { TogglePattern(*MSFlexGrid1); });
}

void Form1::mnuUndo_Click() {
    history_->stack().undo();
}

void Form1::mnuRedo_Click() {
    history_->stack().redo();
}

void Form1::HScroll1_Change() {
    Label4->setText(QString::number(HScroll1->value()));
}

void Form1::Command2_Click() {
    CommonDialog1.ShowOpen();
    const QString fileName = CommonDialog1.FileName();
    if (!fileName.isEmpty())
        loadPatternFile(fileName);
}

// The whole file is checked before anything changes.
void Form1::loadPatternFile(const QString& fileName) {
    const PatternFileReadResult read = PatternFile::load(fileName);
    if (!read.ok) {
        ReportError(this, tr("Load"), read.error.message(fileName));
        return;
    }
    history_->record(tr("Load"), [&] {
        for (int col = 0; col < PatternCols; ++col)
            for (int row = 1; row <= PatternRows; ++row)
                MSFlexGrid1->setTextMatrix(row, col, read.content.picture.text(row, col));
        HScroll1->setValue(read.content.speed);
        RepaintPattern(*MSFlexGrid1);
    });
}

// An image becomes the picture as orvane-send --image makes it; the speed stays. It is decoded on
// another thread: meanwhile the window goes on painting but takes no input, so nothing else can
// change the picture first. A window closed meanwhile leaves the result unread.
void Form1::importImage(const QString& fileName) {
    if (importing())
        return;
    importBusy_ = std::make_unique<BusyGuard>();
    connect(&import_, &QFutureWatcher<ImageImport>::finished, this, &Form1::imageImported,
            Qt::SingleShotConnection);
    import_.setFuture(QtConcurrent::run(loadImagePicture, fileName, ImageOptions()));
}

void Form1::imageImported() {
    importBusy_.reset();
    const ImageImport image = import_.result();
    if (!image.ok) {
        ReportError(this, tr("Load"), image.error);
        return;
    }
    history_->record(tr("Import image"), [&] { ShowPicture(*MSFlexGrid1, image.picture); });
    if (!image.warnings.isEmpty())
        ReportError(this, tr("Load"), image.warnings.join(QLatin1Char('\n')));
}

void Form1::dragEnterEvent(QDragEnterEvent* event) {
    const QList<QUrl> urls = event->mimeData()->urls();
    if (urls.size() == 1 && urls.first().isLocalFile())
        event->acceptProposedAction();
}

void Form1::dropEvent(QDropEvent* event) {
    const QList<QUrl> urls = event->mimeData()->urls();
    if (urls.size() != 1 || !urls.first().isLocalFile())
        return;
    event->acceptProposedAction();
    Form_OLEDragDrop(urls.first().toLocalFile());
}

// A dropped image is imported; anything else is loaded as a pattern file, with Load's checks.
void Form1::Form_OLEDragDrop(const QString& fileName) {
    if (isImageFile(fileName))
        importImage(fileName);
    else
        loadPatternFile(fileName);
}

void Form1::MSFlexGrid1_KeyPress(const QString& text) {
    typing_->type(text);
}

void Form1::MSFlexGrid1_Backspace() {
    typing_->backspace();
}

void Form1::Command3_Click() {
    CommonDialog1.ShowOpen();
    const QString fileName = CommonDialog1.FileName();
    if (fileName.isEmpty())
        return;
    QString error;
    if (!PatternFile::save(fileName, PictureOf(*MSFlexGrid1), HScroll1->value(), &error)) {
        ReportError(this, tr("Save"), error);
        return;
    }
    setWindowTitle(fileName);
}

void Form1::showPortNumber() {
    Label1->setText(QString::number(PortNumber));
    const QString tip = PortTable::toolTip(PortNumber);
    for (QWidget* w : std::initializer_list<QWidget*>{Label1, Command6, Command7})
        w->setToolTip(tip);
}

// The download runs on a thread of its own: the window goes on painting, takes no input and
// cannot be closed until the port is closed again.
void Form1::Command4_Click() {
    if (busy_)
        return;
    busy_ = std::make_unique<BusyGuard>();
    download_.start(MSComm1, PictureOf(*MSFlexGrid1), qint16(HScroll1->value()), frame_);
}

void Form1::downloadFinished(const DownloadResult& result) {
    busy_.reset();
    if (result.ok)
        Beep();
    else
        ReportError(this, tr("Down Load"), result.error);
}

void Form1::Command6_Click() {
    if (PortNumber < SerialPort::MaxPort) {
        ++PortNumber;
        showPortNumber();
    }
    MSComm1.setCommPort(PortNumber);
}

void Form1::Command7_Click() {
    if (PortNumber > SerialPort::MinPort) {
        --PortNumber;
        showPortNumber();
    }
    MSComm1.setCommPort(PortNumber);
}

} // namespace orvane
