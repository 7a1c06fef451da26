#pragma once

// The editor's one window: the grid across the top, and along the bottom the buttons "Set",
// "Clear", "Load", "Save", the speed group, the port group and "Down Load". The handlers keep
// the names of the controls and events they serve and hand the work to the subsystems.

#include "downloadframe.h"
#include "downloadjob.h"
#include "filedialog.h"
#include "imageimport.h"
#include "patternhistory.h"
#include "serialport.h"

#include <QFutureWatcher>
#include <QWidget>
#include <memory>

class QLabel;
class QPushButton;
class QScrollBar;

namespace orvane {

class BusyGuard;
class GridTyping;
class FlexGrid;

class Form1 : public QWidget {
    Q_OBJECT

public:
    explicit Form1(QWidget* parent = nullptr);
    ~Form1() override;

    // The caption the window starts with.
    static QString designCaption();

    // True from "Down Load" until the port is closed again.
    bool downloading() const { return busy_ != nullptr; }

    // True from an image's drop until it is decoded and shown (or refused).
    bool importing() const { return importBusy_ != nullptr; }

    // Every change of the picture since start-up, for undo and redo.
    PatternHistory& history() { return *history_; }

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
    void mnuUndo_Click(); // Ctrl+Z
    void mnuRedo_Click(); // Ctrl+Shift+Z, Ctrl+Y

protected:
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    void buildControls();
    void addHistoryKeys();
    void Form_Load();
    void showPortNumber();
    void downloadFinished(const DownloadResult& result);
    void loadPatternFile(const QString& fileName);
    void importImage(const QString& fileName);
    void imageImported();

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
    SerialPort MSComm1;
    CommonDialog CommonDialog1{this};
    DownloadFrame frame_; // the scratch state of the frame encoding
    DownloadJob download_;
    std::unique_ptr<BusyGuard> busy_; // while a download runs
    QFutureWatcher<ImageImport> import_;
    std::unique_ptr<BusyGuard> importBusy_; // while a dropped image is decoded
    std::unique_ptr<PatternHistory> history_;
    std::unique_ptr<GridTyping> typing_;

    quint8 PortNumber = 0;
};

} // namespace orvane
