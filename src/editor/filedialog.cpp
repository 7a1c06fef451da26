#include "filedialog.h"

#include <QFileDialog>

namespace orvane {

namespace {

Seam<CommonDialog::Answer>& answer() {
    static Seam<CommonDialog::Answer> seam;
    return seam;
}

// Each entry is "name (patterns)"; the dialog shows only the name. The text pattern matches
// .txt in any case; the all-files pattern also matches names without a dot.
const QStringList& filters() {
    static const QStringList f = {
        QStringLiteral("ASCII TEXT(*.TXT) (*.[tT][xX][tT])"),
        QStringLiteral("모든파일(*.*) (*)"),
    };
    return f;
}

} // namespace

QStringList CommonDialog::filterNames() {
    return {QStringLiteral("ASCII TEXT(*.TXT)"), QStringLiteral("모든파일(*.*)")};
}

CommonDialog::ScopedAnswer::ScopedAnswer(Answer a) : Override(answer(), std::move(a)) {}

void CommonDialog::ShowOpen() {
    fileName_.clear();
    if (answer().get()) {
        fileName_ = answer().get()();
        return;
    }
    static QString lastFolder;
    QFileDialog dialog(parent_);
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setOption(QFileDialog::HideNameFilterDetails);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setNameFilters(filters());
    if (!lastFolder.isEmpty())
        dialog.setDirectory(lastFolder);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return;
    fileName_ = dialog.selectedFiles().constFirst();
    lastFolder = dialog.directory().absolutePath();
}

} // namespace orvane
