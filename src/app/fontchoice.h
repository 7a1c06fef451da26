#pragma once

// The font typing uses, chosen in the grid menu's "Font" submenu ("fontMenu"): the bundled ones
// ("font:5x8", ...), or any BDF file through "Other Font File..." ("mnuFontFile"), which then
// stays in the submenu under its file name ("font:file") until another file replaces it.

#include <QObject>
#include <memory>

class QAction;
class QActionGroup;
class QMenu;
class QWidget;

namespace orvane {

class BitmapFont;
class GridTyping;

class FontChoice : public QObject {
    Q_OBJECT

public:
    // window: where the file dialog and its messages show.
    FontChoice(GridTyping& typing, QWidget* window);
    ~FontChoice() override;

    // Adds the submenu to menu.
    void addMenu(QMenu& menu);

    // The chosen font's name as the menu shows it (a file's name for a font from a file).
    QString name() const;

public slots:
    void mnuFontFile_Click();

signals:
    // Typing uses another font (or the same one again): what Backspace could take back ends.
    void chosen();

private:
    void choose(const BitmapFont& font, const QString& name);

    GridTyping& typing_;
    QWidget* window_;
    QActionGroup* fonts_;
    QAction* otherFont_ = nullptr; // the font last read from a file, once there is one
    std::unique_ptr<BitmapFont> fontFromFile_;
};

} // namespace orvane
