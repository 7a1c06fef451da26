#pragma once

// The window's modal questions other than Save's and Load's file chooser: which file to open
// for an image or a font, and what to do with unsaved changes on closing. While a PromptAnswers
// object lives it answers them in place of a dialog (tests); when it goes, the one before it, or
// the dialogs, answer again.

#include <QString>
#include <QStringList>

class QWidget;

namespace orvane {

enum class UnsavedChoice { Save, Discard, Cancel };

// "The picture has changes that are not saved": Save, Discard or Cancel (also Escape and the
// box's close button).
UnsavedChoice askAboutUnsavedChanges(QWidget* parent);

// An existing file to open, offered by the filters ("Name (*.a *.b)"); empty when cancelled.
QString askFileToOpen(QWidget* parent, const QString& title, const QStringList& filters);

class PromptAnswers {
public:
    PromptAnswers();
    PromptAnswers(const PromptAnswers&) = delete;
    PromptAnswers& operator=(const PromptAnswers&) = delete;
    ~PromptAnswers();

    UnsavedChoice unsaved = UnsavedChoice::Cancel;
    QString fileToOpen; // empty: a cancel

    // How often each question was asked while this object answered.
    int unsavedAsked = 0;
    int fileAsked = 0;

private:
    PromptAnswers* previous_;
};

} // namespace orvane
