#include "translation.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

namespace orvane {

namespace {

const QString Folder = QStringLiteral(":/i18n/");
const QString Prefix = QStringLiteral("orvane_");

// Loads `name` from the first of `folders` that has it.
void install(const QString& name, const QStringList& folders) {
    for (const QString& folder : folders) {
        auto* translator = new QTranslator(QCoreApplication::instance());
        if (translator->load(name, folder) && QCoreApplication::installTranslator(translator))
            return;
        delete translator;
    }
}

} // namespace

QString translationLanguage(const QStringList& languages) {
    for (QString language : languages) {
        language.replace(QLatin1Char('-'), QLatin1Char('_'));
        if (language == QLatin1String("C") ||
            language.section(QLatin1Char('_'), 0, 0) == QLatin1String("en"))
            return {};
        // "ko_KR" is served by orvane_ko_KR, else by orvane_ko.
        for (; !language.isEmpty(); language = language.section(QLatin1Char('_'), 0, -2)) {
            if (QFileInfo::exists(Folder + Prefix + language + QStringLiteral(".qm")))
                return language;
        }
    }
    return {};
}

QString installTranslators() {
    const QString language = translationLanguage(QLocale::system().uiLanguages());
    if (language.isEmpty())
        return language;
    install(Prefix + language, {Folder});
    // A Windows build carries Qt's translations beside the programs.
    install(QStringLiteral("qtbase_") + language,
            {QLibraryInfo::path(QLibraryInfo::TranslationsPath),
             QCoreApplication::applicationDirPath() + QStringLiteral("/translations")});
    return language;
}

} // namespace orvane
