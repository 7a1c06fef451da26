#include "fontchoice.h"

#include "bitmapfont.h"
#include "errorreport.h"
#include "gridtyping.h"
#include "prompts.h"

#include <QActionGroup>
#include <QFileInfo>
#include <QMenu>
#include <utility>

namespace orvane {

FontChoice::FontChoice(GridTyping& typing, QWidget* window)
    : QObject(window), typing_(typing), window_(window), fonts_(new QActionGroup(this)) {}

FontChoice::~FontChoice() = default;

void FontChoice::addMenu(QMenu& menu) {
    QMenu* fontMenu = menu.addMenu(tr("Font"));
    fontMenu->setObjectName(QStringLiteral("fontMenu"));
    for (const QString& name : BitmapFont::bundledNames()) {
        QAction* font = fontMenu->addAction(name);
        font->setObjectName(QStringLiteral("font:") + name);
        font->setCheckable(true);
        font->setChecked(name == typing_.font().name());
        fonts_->addAction(font);
        connect(font, &QAction::triggered, this,
                [this, name] { choose(*BitmapFont::bundled(name), name); });
    }
    otherFont_ = fontMenu->addAction(QString());
    otherFont_->setObjectName(QStringLiteral("font:file"));
    otherFont_->setCheckable(true);
    otherFont_->setVisible(false);
    fonts_->addAction(otherFont_);
    connect(otherFont_, &QAction::triggered, this,
            [this] { choose(*fontFromFile_, otherFont_->text()); });
    fontMenu->addSeparator();
    QAction* fontFile = fontMenu->addAction(tr("Other Font File..."));
    fontFile->setObjectName(QStringLiteral("mnuFontFile"));
    connect(fontFile, &QAction::triggered, this, &FontChoice::mnuFontFile_Click);
}

QString FontChoice::name() const {
    return fontFromFile_ && &typing_.font() == fontFromFile_.get() ? otherFont_->text()
                                                                   : typing_.font().name();
}

void FontChoice::mnuFontFile_Click() {
    const QString fileName = askFileToOpen(window_, tr("Font for Typing"),
                                           {tr("BDF fonts (*.bdf *.BDF)"), tr("All files (*)")});
    if (fileName.isEmpty())
        return;
    Result<BitmapFont> loaded = BitmapFont::load(fileName);
    if (!loaded) {
        ReportError(window_, tr("Font"), loaded.error());
        return;
    }
    // The font being replaced may be the one typing uses: it goes only once typing has switched.
    const std::unique_ptr<BitmapFont> replaced =
        std::exchange(fontFromFile_, std::make_unique<BitmapFont>(*std::move(loaded)));
    otherFont_->setText(QFileInfo(fileName).fileName());
    otherFont_->setVisible(true);
    choose(*fontFromFile_, otherFont_->text());
}

void FontChoice::choose(const BitmapFont& font, const QString& name) {
    typing_.setFont(font);
    typing_.endRun();
    for (QAction* action : fonts_->actions())
        if (action->isVisible() && action->text() == name)
            action->setChecked(true);
    emit chosen();
}

} // namespace orvane
