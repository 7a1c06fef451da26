#pragma once

// The editor's one window: the grid across the top, and along the bottom the buttons "Set",
// "Clear", "Load", "Save", the speed group, the port group and "Down Load". The handlers keep
// the names of the controls and events they serve and hand the work to the subsystems.
//
// Between the grid and the buttons a line says how much of the sign's width the typed text
// uses and how much was cut off, and where the other commands are: the grid's context menu
// (every command, with its key) and F1 (the keys and mouse actions).

#include "closeprompt.h"
#include "dotpattern.h"
#include "downloadsession.h"
#include "filedialog.h"
#include "imageimporter.h"
#include "linktarget.h"
#include "patternhistory.h"
#include "pictureops.h"
#include "speed.h"

#include <QWidget>
#include <memory>
#include <optional>

class QLabel;
class QMenu;
class QPushButton;
class QScrollBar;

namespace orvane {

class BusyGuard;
class FlexGrid;
class FontChoice;
class GridTyping;
class TextStatus;

class Form1 : public QWidget {
    Q_OBJECT

public:
    explicit Form1(QWidget* parent = nullptr);
    ~Form1() override;

    // The caption the window starts with.
    static QString designCaption();

    // "Down Load" sends to this device or network link (socket://HOST:PORT, rfc2217://HOST:PORT)
    // instead of the numbered port; nothing goes back to the port. The port's tooltip says so.
    void setDevice(std::optional<LinkTarget> device);

    // True from "Down Load" until the port is closed again.
    bool downloading() const { return busy_ != nullptr; }

    // True from an image's drop until it is decoded and shown (or refused).
    bool importing() const { return importer_.busy(); }

    // Every change of the picture since start-up, for undo and redo.
    PatternHistory& history() { return *history_; }

    // Whether the picture or the speed differs from what was last saved or loaded (or from
    // start-up's): closing then asks whether to save.
    bool isModified() const;

public slots:
    void Command1_Click(); // Clear
    void Command2_Click(); // Load
    void Command3_Click(); // Save
    void Command4_Click(); // Down Load
    void Command5_Click(); // Set
    void Command6_Click(); // Up
    void Command7_Click(); // Dn
    void HScroll1_Change();
    void MSFlexGrid1_Click();
    void MSFlexGrid1_KeyPress(const QString& text);
    void MSFlexGrid1_Backspace();
    void Form_OLEDragDrop(const QString& fileName);
    void mnuImport_Click(); // Ctrl+I
    void mnuKeys_Click();   // F1
    void mnuPicture_Click(PictureOp op);

protected:
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    // The speed bar's value.
    Speed speed() const;
    void setSpeed(Speed speed);
    void buildControls();
    void Form_Load();
    void showPortNumber();
    void showSpeed();
    QString portToolTip() const;
    void downloadFinished(const Result<Delivery>& result);
    void loadPatternFile(const QString& fileName);
    bool savePatternFile();
    void noteSaved();
    void typeAtColumnOne();
    void updateTextStatus();
    void paintStarted();
    void paintCrossed(int row, int col);
    void imageChosen(const DotPattern& picture);
    void imageDropped(const DotPattern& picture);

    FlexGrid* MSFlexGrid1 = nullptr;
    QPushButton* Command1 = nullptr;
    QPushButton* Command2 = nullptr;
    QPushButton* Command3 = nullptr;
    QPushButton* Command4 = nullptr;
    QPushButton* Command5 = nullptr;
    QPushButton* Command6 = nullptr;
    QPushButton* Command7 = nullptr;
    QLabel* Label1 = nullptr;
    QLabel* Label2 = nullptr;
    QScrollBar* HScroll1 = nullptr;
    QLabel* Label3 = nullptr;
    QLabel* Label4 = nullptr;
    CommonDialog CommonDialog1{this};
    DownloadSession download_;
    std::unique_ptr<BusyGuard> busy_; // while a download runs
    QString captionBeforeDownload_;   // shown again when the download fails
    std::unique_ptr<PatternHistory> history_;
    std::unique_ptr<GridTyping> typing_;
    ImageImporter importer_{this};

    FontChoice* fonts_ = nullptr;
    QMenu* gridMenu_ = nullptr;
    std::unique_ptr<TextStatus> textStatus_;
    QString paintText_; // what Shift+drag writes into every cell it crosses
    ClosePrompt closePrompt_;

    quint8 PortNumber = 0;
    std::optional<LinkTarget> device_; // instead of the numbered port (--device)
};

} // namespace orvane
