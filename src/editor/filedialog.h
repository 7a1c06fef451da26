#pragma once

// The file chooser of Save and Load: one open-file dialog (Qt's own, the same on every
// platform) that also accepts the name of a file that does not exist yet, with two filter
// entries, "ASCII TEXT(*.TXT)" and "모든파일(*.*)" (all files).

#include "seam.h"

#include <QString>
#include <QStringList>
#include <functional>

class QFileDialog;
class QWidget;

namespace orvane {

// Makes the dialog Qt's own (the same on every platform) and its listing of a folder read no
// file, as every file chooser of the editor needs.
void prepareFileDialog(QFileDialog& dialog);

class CommonDialog {
public:
    explicit CommonDialog(QWidget* parent = nullptr) : parent_(parent) {}

    // Shows the modal dialog; afterwards FileName() is the chosen full path, or empty when the
    // user cancelled (also when an earlier use had chosen a file).
    void ShowOpen();
    QString FileName() const { return fileName_; }

    // The two entries of the filter list, as shown.
    static QStringList filterNames();

    // Answers ShowOpen() without a dialog (tests) for as long as the object lives: the function
    // returns the chosen name, or an empty one for a cancel.
    using Answer = std::function<QString()>;
    struct ScopedAnswer : Seam<Answer>::Override {
        explicit ScopedAnswer(Answer answer);
    };

private:
    QWidget* parent_;
    QString fileName_;
};

} // namespace orvane
