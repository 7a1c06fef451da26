#include "form1.h"

#include "beep.h"
#include "bitmapfont.h"
#include "busyguard.h"
#include "controls.h"
#include "dotpattern.h"
#include "editing.h"
#include "errorreport.h"
#include "flexgrid.h"
#include "fontchoice.h"
#include "gridmenu.h"
#include "gridtyping.h"
#include "keyshelp.h"
#include "patternfile.h"
#include "porttable.h"
#include "porttooltip.h"
#include "textstatus.h"
#include "tooltip.h"
#include "windowaccessible.h"

#include <QCloseEvent>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QIcon>
#include <QMimeData>
#include <QScrollBar>

namespace orvane {

namespace {

// The caption while a download runs and once it has gone out, in every language; each column's
// number ("0" .. "49") comes between them as it leaves the line.
const QString DownloadStartCaption = QStringLiteral("Download Start ......");
const QString DownloadCompleteCaption = QStringLiteral("Data Out Complete !");
constexpr QSize ClientSize(13830 / TwipsPerPixel, 3330 / TwipsPerPixel); // 922 x 222

// The header labels " 1" .. "50", two characters each, separated by "|".
QString headerFormat() {
    QStringList items;
    for (int col = 1; col <= PatternCols; ++col)
        items << QString::number(col).rightJustified(2, QLatin1Char(' '));
    return items.join(QLatin1Char('|'));
}

// The one local file dragged or dropped; empty for anything else.
QString droppedFile(const QDropEvent& event) {
    const QList<QUrl> urls = event.mimeData()->urls();
    return urls.size() == 1 && urls.first().isLocalFile() ? urls.first().toLocalFile() : QString();
}

} // namespace

QString Form1::designCaption() {
    return QStringLiteral("Orvane   Corvel Electronics co.") + QString(127, QLatin1Char(' ')) +
           QStringLiteral("www.corvel.co.kr");
}

Form1::Form1(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("Form1"));
    makeWindowAccessible(this);
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
    fonts_ = new FontChoice(*typing_, this);
    connect(fonts_, &FontChoice::chosen, this, &Form1::updateTextStatus);
    gridMenu_ = GridMenu::build(*this, *MSFlexGrid1, *history_, *fonts_);
    textStatus_ = std::make_unique<TextStatus>(this);
    connect(&importer_, &ImageImporter::chosen, this, &Form1::imageChosen);
    connect(&importer_, &ImageImporter::decoded, this, &Form1::imageDropped);
    setAcceptDrops(true);
    Form_Load();
}

Form1::~Form1() = default;

// The captions and labels of the original window read the same in every language.
void Form1::buildControls() {
    MSFlexGrid1 = place<FlexGrid>(this, "MSFlexGrid1", twips(240, 120, 13335, 2175));
    Command1 = button(this, "Command1", QStringLiteral("Clear"), twips(1920, 2520, 1455, 615));
    Command2 = button(this, "Command2", QStringLiteral("Load"), twips(3600, 2520, 1455, 615));
    Command3 = button(this, "Command3", QStringLiteral("Save"), twips(5280, 2520, 1455, 615));
    Command4 = button(this, "Command4", QStringLiteral("Down Load"), twips(10560, 2520, 3015, 615));
    Command5 = button(this, "Command5", QStringLiteral("Set"), twips(240, 2520, 1455, 615));
    Command6 = button(this, "Command6", QStringLiteral("Up"), twips(9360, 2520, 975, 255));
    Command7 = button(this, "Command7", QStringLiteral("Dn"), twips(9360, 2880, 975, 255));
    Label1 = label(this, "Label1", QStringLiteral("Label1"), twips(8880, 2880, 375, 255));
    Label2 = label(this, "Label2", QStringLiteral("Com N"), twips(8640, 2520, 735, 255));
    HScroll1 = place<QScrollBar>(this, "HScroll1", twips(6960, 2640, 1215, 375));
    Label3 = label(this, "Label3", QStringLiteral("Speed -"), twips(7080, 2400, 735, 255));
    Label4 = label(this, "Label4", QStringLiteral("Label4"), twips(7920, 2400, 495, 255));

    HScroll1->setOrientation(Qt::Horizontal);
    HScroll1->setInvertedControls(false); // 1 at the left end, 9 at the right
    HScroll1->setRange(MinSpeed, MaxSpeed);
    HScroll1->setSingleStep(1);
    HScroll1->setPageStep(1);
    HScroll1->setValue(StartSpeed);
    HScroll1->setFocusPolicy(Qt::StrongFocus);
    HScroll1->setAccessibleName(tr("Speed"));

    QWidget* order[] = {MSFlexGrid1, Command1, Command2, Command3, Command4,
                        Command5,    Command6, Command7, HScroll1};
    for (size_t i = 1; i < std::size(order); ++i)
        setTabOrder(order[i - 1], order[i]);

    for (QWidget* w : std::initializer_list<QWidget*>{Label1, Command6, Command7})
        followPortToolTip(w, [this] { return portToolTip(); });

    // A screen reader presses a button without an input event, so BusyGuard never sees it:
    // during a download the buttons themselves take no command.
    const std::pair<QPushButton*, void (Form1::*)()> buttons[] = {
        {Command1, &Form1::Command1_Click}, {Command2, &Form1::Command2_Click},
        {Command3, &Form1::Command3_Click}, {Command4, &Form1::Command4_Click},
        {Command5, &Form1::Command5_Click}, {Command6, &Form1::Command6_Click},
        {Command7, &Form1::Command7_Click}};
    for (auto [button, handler] : buttons)
        connect(button, &QPushButton::clicked, this, [this, handler = handler] {
            if (!downloading())
                (this->*handler)();
        });
    connect(HScroll1, &QScrollBar::valueChanged, this, &Form1::HScroll1_Change);
    connect(MSFlexGrid1, &FlexGrid::Click, this, &Form1::MSFlexGrid1_Click);
    connect(MSFlexGrid1, &FlexGrid::KeyTyped, this, &Form1::MSFlexGrid1_KeyPress);
    connect(MSFlexGrid1, &FlexGrid::BackspacePressed, this, &Form1::MSFlexGrid1_Backspace);
    connect(MSFlexGrid1, &FlexGrid::PreeditChanged, this,
            [this](const QString& text) { typing_->showPreedit(text); });
    connect(MSFlexGrid1, &FlexGrid::CaretPlaced, this, [this] {
        typing_->endRun();
        updateTextStatus();
    });
    connect(MSFlexGrid1, &FlexGrid::caretColumnChanged, this, &Form1::updateTextStatus);
    connect(MSFlexGrid1, &FlexGrid::PaintStarted, this, &Form1::paintStarted);
    connect(MSFlexGrid1, &FlexGrid::PaintCrossed, this, &Form1::paintCrossed);
    connect(MSFlexGrid1, &FlexGrid::PaintFinished, this, [this] { history_->end(); });

    for (QWidget* w : std::initializer_list<QWidget*>{Command1, Command2, Command3, Command4,
                                                      Command5, Command6, Command7, HScroll1})
        MSFlexGrid1->takeTypingFrom(w);

    MSFlexGrid1->setToolTip(wrappedToolTip(
        tr("Click a dot, or press Enter, to light or darken it; Shift+drag paints every dot "
           "crossed like the first one.\n"
           "Type to write text at the yellow caret; Backspace takes back the last character. "
           "Arrows, Home and End move the current cell and the caret.\n"
           "Right-click or the Menu key: undo, images, fonts, shifting, mirroring and more. "
           "Drop a pattern file or an image here to load it. F1 lists every key.")));
    const QString speedTip = wrappedToolTip(
        tr("The speed the sign shows the picture at: 1 at the left end to 9 at the right. Save "
           "keeps it with the picture."));
    for (QWidget* w : std::initializer_list<QWidget*>{HScroll1, Label3, Label4})
        w->setToolTip(speedTip);
    Command5->setToolTip(wrappedToolTip(tr("Light every dot (Ctrl+Insert). Typing then starts "
                                           "at column 1; Ctrl+Z takes it back.")));
    Command1->setToolTip(wrappedToolTip(tr("Darken every dot (Ctrl+Delete). Typing then starts "
                                           "at column 1; Ctrl+Z takes it back.")));
    Command2->setToolTip(
        wrappedToolTip(tr("Open a pattern file: its picture and speed replace these (Ctrl+O).")));
    Command3->setToolTip(
        wrappedToolTip(tr("Save the picture and the speed to a pattern file (Ctrl+S).")));
    Command4->setToolTip(wrappedToolTip(
        tr("Send the picture and the speed to the sign through the port shown under Com N.")));
    Label2->setToolTip(wrappedToolTip(
        tr("The serial port the sign is on, 1 to 16; Up and Dn change it. Hover over the "
           "number to see the device and whether something is there.")));
    connect(&download_, &DownloadSession::started, this,
            [this] { setWindowTitle(DownloadStartCaption); });
    connect(&download_, &DownloadSession::columnSent, this,
            [this](int column) { setWindowTitle(QString::number(column)); });
    connect(&download_, &DownloadSession::finished, this, &Form1::downloadFinished);
}

void Form1::updateTextStatus() {
    if (textStatus_)
        textStatus_->show(fonts_->name(), MSFlexGrid1->caretColumn(), typing_->cutColumns());
}

void Form1::Form_Load() {
    MSFlexGrid1->setFormatString(headerFormat());
    Command1_Click();
    history_->stack().clear(); // the start-up picture is where the history begins
    PortNumber = 1;
    showPortNumber();
    setSpeed(Speed());
    showSpeed();
    noteSaved();
    updateTextStatus();
}

// After Clear, Set, Load and an image import the next character goes to column 1, whatever the
// current cell.
void Form1::typeAtColumnOne() {
    typing_->endRun();
    MSFlexGrid1->setCaretColumn(0);
}

// Clear or Set on a picture they leave as it was still rewrite every cell and beep, but add no
// step: there is nothing to take back.
void Form1::Command1_Click() {
    history_->record(tr("Clear"), [this] {
        ClearPattern(*MSFlexGrid1);
        typeAtColumnOne();
    });
}

void Form1::Command5_Click() {
    history_->record(tr("Set"), [this] {
        SetPattern(*MSFlexGrid1);
        typeAtColumnOne();
    });
}

void Form1::mnuPicture_Click(PictureOp op) {
    typing_->endRun();
    history_->record(GridMenu::pictureOpName(op),
                     [&] { ApplyPicture(*MSFlexGrid1, applied(PictureOf(*MSFlexGrid1), op)); });
    updateTextStatus();
}

// Shift+drag: the first cell toggles, and every cell crossed after it takes its text; the whole
// stroke is one step.
void Form1::paintStarted() {
    history_->begin(tr("Paint"));
    TogglePattern(*MSFlexGrid1);
    paintText_ = MSFlexGrid1->TextMatrix(MSFlexGrid1->RowSel(), MSFlexGrid1->ColSel());
}

void Form1::paintCrossed(int row, int col) {
    SetCell(*MSFlexGrid1, row, col, paintText_);
}

void Form1::MSFlexGrid1_Click() {
    history_->record(tr("Toggle"), [this] { TogglePattern(*MSFlexGrid1); });
}

void Form1::HScroll1_Change() {
    showSpeed();
}

// The number alone would mean nothing to a screen reader's listener: its name says what it is.
void Form1::showSpeed() {
    Label4->setText(QString::number(speed().value()));
    Label4->setAccessibleName(tr("Speed %1").arg(speed().value()));
}

Speed Form1::speed() const {
    return Speed::of(HScroll1->value()).value_or(Speed()); // the bar's range is the speeds'
}

void Form1::setSpeed(Speed speed) {
    HScroll1->setValue(speed.value());
}

void Form1::Command2_Click() {
    CommonDialog1.ShowOpen();
    const QString fileName = CommonDialog1.FileName();
    if (!fileName.isEmpty())
        loadPatternFile(fileName);
}

// The whole file is checked before anything changes.
void Form1::loadPatternFile(const QString& fileName) {
    const Result<PictureAndSpeed> read = PatternFile::load(fileName);
    if (!read) {
        ReportError(this, tr("Load"), read.error());
        return;
    }
    history_->record(tr("Load"), [&] {
        ShowPicture(*MSFlexGrid1, read->picture);
        setSpeed(read->speed);
        typeAtColumnOne();
    });
    noteSaved();
}

// Import Image's OK puts its picture on the grid as one step. The speed stays.
void Form1::mnuImport_Click() {
    importer_.ask();
}

void Form1::imageChosen(const DotPattern& picture) {
    history_->record(tr("Import image"), [&] {
        ApplyPicture(*MSFlexGrid1, picture);
        typeAtColumnOne();
    });
}

void Form1::imageDropped(const DotPattern& picture) {
    history_->record(tr("Import image"), [&] { ShowPicture(*MSFlexGrid1, picture); });
}

void Form1::mnuKeys_Click() {
    KeysHelp::show(this, *gridMenu_);
}

void Form1::dragEnterEvent(QDragEnterEvent* event) {
    if (!droppedFile(*event).isEmpty())
        event->acceptProposedAction();
}

void Form1::dropEvent(QDropEvent* event) {
    const QString fileName = droppedFile(*event);
    if (fileName.isEmpty())
        return;
    event->acceptProposedAction();
    Form_OLEDragDrop(fileName);
}

// A dropped image is imported; anything else is loaded as a pattern file, with Load's checks.
// A file that cannot be read is said so at once: reading a stalled file again would wait again.
void Form1::Form_OLEDragDrop(const QString& fileName) {
    const Result<bool> image = isImageFile(fileName);
    if (!image)
        ReportError(this, tr("Load"), image.error());
    else if (*image)
        importer_.decode(fileName);
    else
        loadPatternFile(fileName);
}

void Form1::MSFlexGrid1_KeyPress(const QString& text) {
    typing_->type(text);
    updateTextStatus();
}

void Form1::MSFlexGrid1_Backspace() {
    typing_->backspace();
    updateTextStatus();
}

void Form1::Command3_Click() {
    savePatternFile();
}

// True once the file is written.
bool Form1::savePatternFile() {
    CommonDialog1.ShowOpen();
    const QString fileName = CommonDialog1.FileName();
    if (fileName.isEmpty())
        return false;
    const Result<void> saved = PatternFile::save(fileName, PictureOf(*MSFlexGrid1), speed());
    if (!saved) {
        ReportError(this, tr("Save"), saved.error());
        return false;
    }
    setWindowTitle(fileName);
    noteSaved();
    return true;
}

void Form1::noteSaved() {
    closePrompt_.noteSaved(PictureOf(*MSFlexGrid1), speed());
}

bool Form1::isModified() const {
    return closePrompt_.isModified(PictureOf(*MSFlexGrid1), speed());
}

// Save closes only once the file is written. (During a download BusyGuard refuses the close
// before it gets here.)
void Form1::closeEvent(QCloseEvent* event) {
    event->setAccepted(closePrompt_.mayClose(this, PictureOf(*MSFlexGrid1), speed(),
                                             [this] { return savePatternFile(); }));
}

void Form1::setDevice(std::optional<LinkTarget> device) {
    device_ = std::move(device);
    showPortNumber();
}

QString Form1::portToolTip() const {
    if (device_)
        return tr("Down Load sends to %1 (given by --device), not to port %2")
            .arg(device_->description())
            .arg(PortNumber);
    return PortTable::toolTip(PortNumber);
}

void Form1::showPortNumber() {
    Label1->setText(QString::number(PortNumber));
    Label1->setAccessibleName(tr("Port %1").arg(PortNumber));
    const QString tip = portToolTip();
    for (QWidget* w : std::initializer_list<QWidget*>{Label1, Command6, Command7})
        w->setToolTip(tip);
}

// The download runs in the window's event loop without ever waiting there: the window goes on
// painting, takes no input and cannot be closed until the port is closed again. Destroying the
// window stops the download and closes the port.
void Form1::Command4_Click() {
    if (busy_)
        return;
    busy_ = std::make_unique<BusyGuard>();
    captionBeforeDownload_ = windowTitle();
    const Result<void> started = download_.start(device_.value_or(LinkTarget::ofPort(PortNumber)),
                                                 PictureOf(*MSFlexGrid1), speed());
    if (!started)
        downloadFinished(started.refusal());
}

void Form1::downloadFinished(const Result<Delivery>& result) {
    busy_.reset();
    if (result) {
        setWindowTitle(DownloadCompleteCaption);
        Beep();
    } else {
        setWindowTitle(captionBeforeDownload_);
        ReportError(this, tr("Down Load"), result.error());
    }
}

void Form1::Command6_Click() {
    if (PortNumber < PortTable::MaxPort) {
        ++PortNumber;
        showPortNumber();
    }
}

void Form1::Command7_Click() {
    if (PortNumber > PortTable::MinPort) {
        --PortNumber;
        showPortNumber();
    }
}

} // namespace orvane
