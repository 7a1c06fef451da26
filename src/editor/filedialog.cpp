#include "filedialog.h"

#include <QFileDialog>
#include <QFileIconProvider>
#include <QMimeDatabase>

namespace orvane {

namespace {

// Icons and types from a file's name alone. Qt's own provider looks into each listed file for
// its type, on the window's thread, and a file that blocks its reader (/proc/kmsg read by root,
// tracefs's trace_pipe, a file on a stalled network file system) would freeze the window for good.
class IconsByName : public QFileIconProvider {
public:
    using QFileIconProvider::icon;
    QIcon icon(const QFileInfo& info) const override {
        if (info.isRoot())
            return icon(Drive);
        if (info.isDir())
            return icon(Folder);
        const QIcon themed = QIcon::fromTheme(byName(info).iconName());
        return themed.isNull() ? icon(File) : themed;
    }
    QString type(const QFileInfo& info) const override {
        if (!info.isFile()) // a folder, a drive or a link to nothing: told by its kind
            return QFileIconProvider::type(info);
        const QMimeType mime = byName(info);
        return mime.comment().isEmpty() ? mime.name() : mime.comment();
    }

private:
    QMimeType byName(const QFileInfo& info) const {
        return mimeTypes_.mimeTypeForFile(info.fileName(), QMimeDatabase::MatchExtension);
    }
    QMimeDatabase mimeTypes_;
};

// Lives as long as its dialog, and goes after the dialog's file model.
struct DialogIcons : QObject {
    using QObject::QObject;
    IconsByName icons;
};

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

void prepareFileDialog(QFileDialog& dialog) {
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setIconProvider(&(new DialogIcons(&dialog))->icons);
}

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
    prepareFileDialog(dialog);
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
