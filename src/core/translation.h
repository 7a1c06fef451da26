#pragma once

// The language of the programs' own texts and of Qt's: the first of the user's languages
// (LANGUAGE, LC_ALL, LC_MESSAGES, LANG on Linux; the display language on Windows) that has a
// translation, English where none has. Frames, files and exit codes never depend on it.

#include <QString>
#include <QStringList>

namespace orvane {

// Of `languages` (as QLocale::uiLanguages() names them, e.g. "ko-KR"), the first that the
// programs have a translation for, as its file names it ("ko"); empty for English, also when an
// English one comes first.
QString translationLanguage(const QStringList& languages);

// Installs the translators of the programs' texts (compiled in) and of Qt's own (qtbase_*.qm,
// from Qt's translations folder, or translations/ beside the program) for
// translationLanguage() of the user's languages, and returns that language. Call once the
// application object exists and before any text is made.
QString installTranslators();

} // namespace orvane
