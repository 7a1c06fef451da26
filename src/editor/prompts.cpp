#include "prompts.h"

#include "filedialog.h"

#include <QCoreApplication>
#include <QFileDialog>
#include <QMessageBox>

namespace orvane {

namespace {
// The translation context of this file's messages.
struct Text {
    Q_DECLARE_TR_FUNCTIONS(orvane::Prompts)
};

PromptAnswers* answers = nullptr; // the innermost living PromptAnswers
} // namespace

PromptAnswers::PromptAnswers() : previous_(std::exchange(answers, this)) {}

PromptAnswers::~PromptAnswers() {
    answers = previous_;
}

UnsavedChoice askAboutUnsavedChanges(QWidget* parent) {
    if (answers) {
        ++answers->unsavedAsked;
        return answers->unsaved;
    }
    QMessageBox box(QMessageBox::Warning, Text::tr("Orvane"),
                    Text::tr("The picture or the speed has changed since it was last "
                             "saved or loaded."),
                    QMessageBox::Save | QMessageBox::Discard | QMessageBox::Cancel, parent);
    box.setObjectName(QStringLiteral("unsavedChanges"));
    box.setInformativeText(Text::tr("Save the changes before closing?"));
    box.setDefaultButton(QMessageBox::Save);
    box.setEscapeButton(QMessageBox::Cancel);
    switch (box.exec()) {
    case QMessageBox::Save:
        return UnsavedChoice::Save;
    case QMessageBox::Discard:
        return UnsavedChoice::Discard;
    default:
        return UnsavedChoice::Cancel;
    }
}

QString askFileToOpen(QWidget* parent, const QString& title, const QStringList& filters) {
    if (answers) {
        ++answers->fileAsked;
        return answers->fileToOpen;
    }
    static QString lastFolder;
    QFileDialog dialog(parent, title, lastFolder);
    prepareFileDialog(dialog);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setFileMode(QFileDialog::ExistingFile);
    dialog.setNameFilters(filters);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return QString();
    lastFolder = dialog.directory().absolutePath();
    return dialog.selectedFiles().constFirst();
}

} // namespace orvane
