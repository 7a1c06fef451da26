#include "form1.h"

#include "beep.h"
#include "bitmapfont.h"
#include "busyguard.h"
#include "dotpattern.h"
#include "editing.h"
#include "errorreport.h"
#include "flexgrid.h"
#include "gridtyping.h"
#include "imagedialog.h"
#include "imageimport.h"
#include "patternfile.h"
#include "porttable.h"
#include "porttooltip.h"
#include "prompts.h"
#include "tooltip.h"

#include <QAccessibleWidget>
#include <QAction>
#include <QActionGroup>
#include <QCloseEvent>
#include <QDialog>
#include <QDialogButtonBox>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileInfo>
#include <QIcon>
#include <QImageReader>
#include <QLabel>
#include <QMenu>
#include <QMimeData>
#include <QPromise>
#include <QPushButton>
#include <QScrollBar>
#include <QThreadPool>
#include <QVBoxLayout>

namespace orvane {

namespace {

// The caption while a download runs and once it has gone out, in every language; each column's
// number ("0" .. "49") comes between them as it leaves the line.
const QString DownloadStartCaption = QStringLiteral("Download Start ......");
const QString DownloadCompleteCaption = QStringLiteral("Data Out Complete !");

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

// A screen reader takes a top-level window for one by its role (a frame, named by its title), not
// by where it stands: without this the window would be a plain "filler".
QAccessibleInterface* windowAccessible(const QString& className, QObject* object) {
    if (className != QLatin1String("orvane::Form1") || !object || !object->isWidgetType())
        return nullptr;
    return new QAccessibleWidget(static_cast<QWidget*>(object), QAccessible::Window);
}

} // namespace

QString Form1::designCaption() {
    return QStringLiteral("Orvane   Corvel Electronics co.") + QString(127, QLatin1Char(' ')) +
           QStringLiteral("www.corvel.co.kr");
}

Form1::Form1(QWidget* parent) : QWidget(parent) {
    static const bool accessible = (QAccessible::installFactory(windowAccessible), true);
    Q_UNUSED(accessible);
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
    buildMenu();
    buildStatus();
    setAcceptDrops(true);
    Form_Load();
}

Form1::~Form1() = default;

// Window-wide keys, whichever control has the focus. A running download takes no keys at all
// (BusyGuard drops them), so none of these can act during one.
QAction* Form1::addCommand(const char* name, const QString& text, const QList<QKeySequence>& keys,
                           const std::function<void()>& run) {
    auto* action = new QAction(text, this);
    action->setObjectName(QLatin1String(name));
    action->setShortcuts(keys);
    action->setShortcutContext(Qt::WindowShortcut);
    action->setShortcutVisibleInContextMenu(true);
    addAction(action);
    connect(action, &QAction::triggered, this, run);
    return action;
}

// Each follows the history: enabled when there is something to take back or bring back, and
// naming it.
void Form1::addHistoryKeys() {
    QAction* undo = addCommand("mnuUndo", tr("Undo"), QKeySequence::keyBindings(QKeySequence::Undo),
                               [this] { mnuUndo_Click(); });
    QAction* redo = addCommand(
        "mnuRedo", tr("Redo"),
        {QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z), QKeySequence(Qt::CTRL | Qt::Key_Y)},
        [this] { mnuRedo_Click(); });
    QUndoStack& stack = history_->stack();
    const auto follow = [&stack](QAction* action, const QString& plain, const QString& named,
                                 bool (QUndoStack::*can)() const,
                                 QString (QUndoStack::*text)() const) {
        const auto update = [=, &stack] {
            action->setEnabled((stack.*can)());
            const QString step = (stack.*text)();
            action->setText(step.isEmpty() ? plain : named.arg(step));
        };
        QObject::connect(&stack, &QUndoStack::indexChanged, action, update);
        QObject::connect(&stack, &QUndoStack::cleanChanged, action, update);
        update();
    };
    follow(undo, tr("Undo"), tr("Undo %1"), &QUndoStack::canUndo, &QUndoStack::undoText);
    follow(redo, tr("Redo"), tr("Redo %1"), &QUndoStack::canRedo, &QUndoStack::redoText);
}

namespace {

QString pictureOpName(PictureOp op) {
    switch (op) {
    case PictureOp::ShiftLeft:
        return Form1::tr("Shift Left");
    case PictureOp::ShiftRight:
        return Form1::tr("Shift Right");
    case PictureOp::ShiftUp:
        return Form1::tr("Shift Up");
    case PictureOp::ShiftDown:
        return Form1::tr("Shift Down");
    case PictureOp::Invert:
        return Form1::tr("Invert");
    case PictureOp::MirrorLeftRight:
        return Form1::tr("Mirror Left-Right");
    case PictureOp::MirrorTopBottom:
        return Form1::tr("Mirror Top-Bottom");
    case PictureOp::CentreColumns:
        return Form1::tr("Centre");
    }
    return QString();
}

struct PictureCommand {
    PictureOp op;
    const char* name;
    QKeySequence key;
};

const PictureCommand pictureCommands[] = {
    {PictureOp::ShiftLeft, "mnuShiftLeft", Qt::CTRL | Qt::SHIFT | Qt::Key_Left},
    {PictureOp::ShiftRight, "mnuShiftRight", Qt::CTRL | Qt::SHIFT | Qt::Key_Right},
    {PictureOp::ShiftUp, "mnuShiftUp", Qt::CTRL | Qt::SHIFT | Qt::Key_Up},
    {PictureOp::ShiftDown, "mnuShiftDown", Qt::CTRL | Qt::SHIFT | Qt::Key_Down},
    {PictureOp::Invert, "mnuInvert", Qt::CTRL | Qt::SHIFT | Qt::Key_I},
    {PictureOp::MirrorLeftRight, "mnuMirrorLeftRight", Qt::CTRL | Qt::SHIFT | Qt::Key_H},
    {PictureOp::MirrorTopBottom, "mnuMirrorTopBottom", Qt::CTRL | Qt::SHIFT | Qt::Key_V},
    {PictureOp::CentreColumns, "mnuCentre", Qt::CTRL | Qt::Key_E},
};

// What the image chooser offers: the formats Qt reads here, and every file (the content
// decides, not the name).
QStringList imageFilters() {
    QStringList patterns;
    for (const QByteArray& format : QImageReader::supportedImageFormats())
        patterns << QStringLiteral("*.") + QString::fromLatin1(format);
    return {Form1::tr("Images (%1)").arg(patterns.join(QLatin1Char(' '))),
            Form1::tr("All files (*)")};
}

} // namespace

// The grid's context menu: every command of the window, each with its key.
void Form1::buildMenu() {
    const auto action = [this](const char* name) {
        return findChild<QAction*>(QLatin1String(name), Qt::FindDirectChildrenOnly);
    };
    gridMenu_ = new QMenu(this);
    gridMenu_->setObjectName(QStringLiteral("gridMenu"));
    gridMenu_->setAccessibleName(tr("Picture commands"));
    gridMenu_->addAction(action("mnuUndo"));
    gridMenu_->addAction(action("mnuRedo"));
    gridMenu_->addSeparator();

    gridMenu_->addAction(addCommand("mnuImport", tr("Import Image..."),
                                    {QKeySequence(Qt::CTRL | Qt::Key_I)},
                                    [this] { mnuImport_Click(); }));
    QMenu* fontMenu = gridMenu_->addMenu(tr("Font"));
    fontMenu->setObjectName(QStringLiteral("fontMenu"));
    fonts_ = new QActionGroup(this);
    for (const QString& name : BitmapFont::bundledNames()) {
        QAction* font = fontMenu->addAction(name);
        font->setObjectName(QStringLiteral("font:") + name);
        font->setCheckable(true);
        font->setChecked(name == typing_->font().name());
        fonts_->addAction(font);
        connect(font, &QAction::triggered, this,
                [this, name] { chooseFont(*BitmapFont::bundled(name), name); });
    }
    otherFont_ = fontMenu->addAction(QString());
    otherFont_->setObjectName(QStringLiteral("font:file"));
    otherFont_->setCheckable(true);
    otherFont_->setVisible(false);
    fonts_->addAction(otherFont_);
    connect(otherFont_, &QAction::triggered, this,
            [this] { chooseFont(*fontFromFile_, otherFont_->text()); });
    fontMenu->addSeparator();
    QAction* fontFile = fontMenu->addAction(tr("Other Font File..."));
    fontFile->setObjectName(QStringLiteral("mnuFontFile"));
    connect(fontFile, &QAction::triggered, this, &Form1::mnuFontFile_Click);
    gridMenu_->addSeparator();

    for (const PictureCommand& command : pictureCommands)
        gridMenu_->addAction(addCommand(command.name, pictureOpName(command.op), {command.key},
                                        [this, op = command.op] { mnuPicture_Click(op); }));
    gridMenu_->addSeparator();

    gridMenu_->addAction(addCommand("mnuClear", tr("Clear"),
                                    {QKeySequence(Qt::CTRL | Qt::Key_Delete)},
                                    [this] { Command1_Click(); }));
    gridMenu_->addAction(addCommand("mnuSet", tr("Set"), {QKeySequence(Qt::CTRL | Qt::Key_Insert)},
                                    [this] { Command5_Click(); }));
    gridMenu_->addSeparator();
    gridMenu_->addAction(addCommand("mnuLoad", tr("Load..."), {QKeySequence(Qt::CTRL | Qt::Key_O)},
                                    [this] { Command2_Click(); }));
    gridMenu_->addAction(addCommand("mnuSave", tr("Save..."), {QKeySequence(Qt::CTRL | Qt::Key_S)},
                                    [this] { Command3_Click(); }));
    gridMenu_->addSeparator();
    gridMenu_->addAction(addCommand("mnuKeys", tr("Keys and Mouse..."), {QKeySequence(Qt::Key_F1)},
                                    [this] { mnuKeys_Click(); }));

    connect(MSFlexGrid1, &FlexGrid::MenuRequested, this, &Form1::showMenu);
}

// The Menu key can reach the grid twice (a menu request from the window system, then the key
// itself): an open menu stays as it is.
void Form1::showMenu(const QPoint& globalPos) {
    if (!gridMenu_->isVisible())
        gridMenu_->popup(globalPos);
}

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

    // Text typed while a button or the speed bar has the focus goes to the grid.
    for (QWidget* w : std::initializer_list<QWidget*>{Command1, Command2, Command3, Command4,
                                                      Command5, Command6, Command7, HScroll1})
        w->installEventFilter(this);

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

// Under the grid: on the left the typed text's width, on the right where the other commands
// are. Both fit in the strip between the grid and the buttons, beside "Speed -".
void Form1::buildStatus() {
    textStatus_ = label(this, "LabelText", QString(), twips(240, 2295, 6600, 225));
    hint_ = label(this, "LabelHint",
                  tr("Right-click the grid: images, fonts, more · Drop a file · F1: keys"),
                  twips(8520, 2295, 5055, 225));
    hint_->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    for (QLabel* l : {textStatus_, hint_}) {
        QFont small = l->font();
        small.setPointSizeF(small.pointSizeF() * 0.85);
        l->setFont(small);
    }
    // Whatever the system's font, the hint stays whole in its place.
    QFont hintFont = hint_->font();
    while (QFontMetrics(hintFont).horizontalAdvance(hint_->text()) > hint_->width() &&
           hintFont.pointSizeF() > 6)
        hintFont.setPointSizeF(hintFont.pointSizeF() - 0.5);
    hint_->setFont(hintFont);
    textStatus_->setToolTip(wrappedToolTip(
        tr("Typed text goes where the yellow caret is. This counts the columns up to the "
           "caret, of the sign's %1, and says how many columns of typed letters did not fit.")
            .arg(PatternCols)));
    hint_->setToolTip(wrappedToolTip(
        tr("The grid's context menu (the right button, or the Menu key) holds every command "
           "with its key: undo and redo, Import Image, the font for typing, shifting, "
           "inverting, mirroring and centring the picture, Clear, Set, Load and Save. F1 shows "
           "the keys and mouse actions. Drop a pattern file or an image on the window to load "
           "it.")));
}

void Form1::updateTextStatus() {
    if (!textStatus_)
        return;
    const int used = MSFlexGrid1->caretColumn();
    const int cut = typing_->cutColumns();
    const QString font = fontFromFile_ && &typing_->font() == fontFromFile_.get()
                             ? otherFont_->text()
                             : typing_->font().name();
    QString text = tr("Text in %1: %2 of %3 columns used")
                       .arg(textStatus_->fontMetrics().elidedText(font, Qt::ElideMiddle, 120))
                       .arg(used)
                       .arg(PatternCols);
    if (cut > 0)
        text += QStringLiteral(" — ") +
                (cut == 1 ? tr("1 column cut off") : tr("%1 columns cut off").arg(cut));
    textStatus_->setText(text);
    textStatus_->setStyleSheet(cut > 0 ? QStringLiteral("color: #c00000; font-weight: bold")
                                       : QString());
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
    history_->record(pictureOpName(op),
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

// Not in the middle of a Shift+drag stroke, whose step is still open.
void Form1::mnuUndo_Click() {
    if (!history_->recording())
        history_->stack().undo();
}

void Form1::mnuRedo_Click() {
    if (!history_->recording())
        history_->stack().redo();
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
    if (!read.ok) {
        ReportError(this, tr("Load"), read.error());
        return;
    }
    history_->record(tr("Load"), [&] {
        for (int col = 0; col < PatternCols; ++col)
            for (int row = 1; row <= PatternRows; ++row)
                MSFlexGrid1->setTextMatrix(row, col, read.picture.text(row, col));
        setSpeed(read.speed);
        RepaintPattern(*MSFlexGrid1);
        typeAtColumnOne();
    });
    noteSaved();
}

// Import Image: the file is decoded once; the dialog converts it again for each threshold and
// OK puts its picture on the grid as one step. The speed stays.
void Form1::mnuImport_Click() {
    const QString fileName = askFileToOpen(this, tr("Import Image"), imageFilters());
    if (fileName.isEmpty())
        return;
    const Result<ImagePicture> image = loadImagePicture(fileName, ImageOptions());
    if (!image.ok) {
        ReportError(this, tr("Import Image"), image.error());
        return;
    }
    auto* dialog = new ImportImageDialog(fileName, image.image, image.warnings, this);
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    connect(dialog, &QDialog::finished, this, [this] { activateWindow(); });
    connect(dialog, &QDialog::accepted, this, [this, dialog] {
        history_->record(tr("Import image"), [&] {
            ApplyPicture(*MSFlexGrid1, dialog->picture());
            typeAtColumnOne();
        });
    });
    dialog->open();
}

void Form1::mnuFontFile_Click() {
    const QString fileName = askFileToOpen(this, tr("Font for Typing"),
                                           {tr("BDF fonts (*.bdf *.BDF)"), tr("All files (*)")});
    if (fileName.isEmpty())
        return;
    Result<LoadedFont> loaded = BitmapFont::load(fileName);
    if (!loaded.ok) {
        ReportError(this, tr("Font"), loaded.error());
        return;
    }
    // The font being replaced may be the one typing uses: switch before it goes.
    auto font = std::make_unique<BitmapFont>(std::move(loaded.font));
    otherFont_->setText(QFileInfo(fileName).fileName());
    otherFont_->setVisible(true);
    chooseFont(*font, otherFont_->text());
    fontFromFile_ = std::move(font);
}

void Form1::chooseFont(const BitmapFont& font, const QString& name) {
    typing_->setFont(font);
    typing_->endRun();
    for (QAction* action : fonts_->actions())
        if (action->isVisible() && action->text() == name)
            action->setChecked(true);
    updateTextStatus();
}

// A short window of every key and mouse action; it stays open beside the editor.
void Form1::mnuKeys_Click() {
    if (!keysHelp_) {
        QStringList rows, spoken; // the table, and its lines as a screen reader reads them
        const auto row = [&rows, &spoken](const QString& keys, const QString& what) {
            rows << QStringLiteral("<tr><td><b>%1</b></td><td>%2</td></tr>")
                        .arg(keys.toHtmlEscaped(), what.toHtmlEscaped());
            spoken << keys + QStringLiteral(": ") + what;
        };
        row(tr("Click, Enter"), tr("light or darken the dot (the current cell)"));
        row(tr("Shift+drag"), tr("paint: every dot crossed as the first one"));
        row(tr("Letters, digits, Space"),
            tr("write text at the yellow caret, also while a button has the focus"));
        row(tr("Backspace"), tr("take back the last character typed"));
        row(tr("Arrows, Home, End"), tr("move the current cell and the caret"));
        row(tr("Right button, Menu key, Shift+F10"), tr("the menu of every command"));
        row(tr("Drop a file"), tr("load a pattern file or import an image"));
        for (QAction* action : gridMenu_->actions())
            if (!action->shortcut().isEmpty())
                row(action->shortcut().toString(QKeySequence::NativeText),
                    action == findChild<QAction*>(QStringLiteral("mnuUndo")) ? tr("Undo")
                    : action == findChild<QAction*>(QStringLiteral("mnuRedo"))
                        ? tr("Redo (also Ctrl+Y)")
                        : action->text().remove(QStringLiteral("...")));
        keysHelp_ = new QDialog(this);
        keysHelp_->setObjectName(QStringLiteral("keysHelp"));
        keysHelp_->setWindowTitle(tr("Orvane: Keys and Mouse"));
        auto* text = new QLabel(QStringLiteral("<table cellspacing=2 cellpadding=2>%1</table>")
                                    .arg(rows.join(QString())),
                                keysHelp_);
        text->setObjectName(QStringLiteral("keysText"));
        text->setTextFormat(Qt::RichText);
        text->setAccessibleName(spoken.join(QLatin1Char('\n')));
        auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close, keysHelp_);
        connect(buttons, &QDialogButtonBox::rejected, keysHelp_, &QDialog::close);
        auto* layout = new QVBoxLayout(keysHelp_);
        layout->addWidget(text);
        layout->addWidget(buttons);
        layout->setSizeConstraint(QLayout::SetFixedSize);
    }
    keysHelp_->show();
    keysHelp_->raise();
    keysHelp_->activateWindow();
}

// An image becomes the picture as orvane-send --image makes it; the speed stays. It is decoded on
// another thread: meanwhile the window goes on painting but takes no input, so nothing else can
// change the picture first. A window closed meanwhile leaves the result unread.
void Form1::importImage(const QString& fileName) {
    if (importing())
        return;
    importBusy_ = std::make_unique<BusyGuard>();
    connect(&import_, &QFutureWatcher<Result<ImagePicture>>::finished, this, &Form1::imageImported,
            Qt::SingleShotConnection);
    // A promise on the global pool, as QtConcurrent::run would do (Qt Concurrent is left out of
    // the Windows build).
    auto promise = std::make_shared<QPromise<Result<ImagePicture>>>();
    import_.setFuture(promise->future());
    promise->start();
    QThreadPool::globalInstance()->start([promise, fileName] {
        promise->addResult(loadImagePicture(fileName, ImageOptions()));
        promise->finish();
    });
}

void Form1::imageImported() {
    importBusy_.reset();
    const Result<ImagePicture> image = import_.result();
    if (!image.ok) {
        ReportError(this, tr("Load"), image.error());
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
// A file that cannot be read is said so at once: reading a stalled file again would wait again.
void Form1::Form_OLEDragDrop(const QString& fileName) {
    QString unreadable;
    if (isImageFile(fileName, &unreadable))
        importImage(fileName);
    else if (!unreadable.isEmpty())
        ReportError(this, tr("Load"), unreadable);
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
    QString error;
    if (!PatternFile::save(fileName, PictureOf(*MSFlexGrid1), speed(), &error)) {
        ReportError(this, tr("Save"), error);
        return false;
    }
    setWindowTitle(fileName);
    noteSaved();
    return true;
}

void Form1::noteSaved() {
    savedPicture_ = PictureOf(*MSFlexGrid1);
    savedSpeed_ = speed();
}

bool Form1::isModified() const {
    return speed() != savedSpeed_ || PictureOf(*MSFlexGrid1) != savedPicture_;
}

// Closing with unsaved changes asks first; Save closes only once the file is written. (During a
// download BusyGuard refuses the close before it gets here.)
void Form1::closeEvent(QCloseEvent* event) {
    if (!isModified()) {
        event->accept();
        return;
    }
    switch (askAboutUnsavedChanges(this)) {
    case UnsavedChoice::Save:
        event->setAccepted(savePatternFile());
        break;
    case UnsavedChoice::Discard:
        event->accept();
        break;
    case UnsavedChoice::Cancel:
        event->ignore();
        break;
    }
}

// A printable key on a button or the speed bar is typed on the grid, which takes the focus so
// that the next Space is a space too. Space on a button still presses it, Enter too.
bool Form1::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::KeyPress) {
        const auto* key = static_cast<QKeyEvent*>(event);
        const bool buttonKey = qobject_cast<QPushButton*>(watched) && key->key() == Qt::Key_Space;
        if (FlexGrid::typesText(*key) && !buttonKey) {
            MSFlexGrid1->setFocus(Qt::OtherFocusReason);
            MSFlexGrid1_KeyPress(key->text());
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}

// The title is the status line (a saved file's path, a download's progress): screen readers are
// told of every change, which Qt does not do for a window's title by itself.
void Form1::changeEvent(QEvent* event) {
    if (event->type() == QEvent::WindowTitleChange) {
        QAccessibleEvent named(this, QAccessible::NameChanged);
        QAccessible::updateAccessibility(&named);
    }
    QWidget::changeEvent(event);
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
    if (!download_.start(device_.value_or(LinkTarget::ofPort(PortNumber)), PictureOf(*MSFlexGrid1),
                         speed()))
        downloadFinished(download_.result());
}

void Form1::downloadFinished(const Result<Delivery>& result) {
    busy_.reset();
    if (result.ok) {
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
