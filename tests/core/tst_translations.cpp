// The Korean translation: complete, in step with the sources, compiled in, and chosen from the
// user's languages. A new text in the sources without its Korean fails here.

#include "translation.h"

#include <QCoreApplication>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>
#include <QXmlStreamReader>

#include <set>

using namespace orvane;
using namespace Qt::StringLiterals;

namespace {

const QString TsFile = u"" ORVANE_SOURCE_DIR "/translations/orvane_ko.ts"_s;

// What is wrong with each entry of the file: `unfinished` when it has no translation, or what
// its type says (lupdate marks "vanished" and "obsolete" what the sources no longer have); a
// finished entry keeps its source's %1.. and its leading and trailing line ends (the help text is
// put together from pieces).
QStringList faults(const QString& fileName, const QString& unfinished) {
    QFile file(fileName);
    if (!file.open(QIODevice::ReadOnly))
        qFatal("%s: %s", qPrintable(fileName), qPrintable(file.errorString()));
    static const QRegularExpression number(u"%[1-9]"_s);
    const auto placeholders = [](const QString& text) {
        std::set<QString> found;
        for (const auto& match : number.globalMatch(text))
            found.insert(match.captured());
        return found;
    };
    QStringList faults;
    QString context, source;
    int messages = 0;
    QXmlStreamReader xml(&file);
    while (!xml.atEnd()) {
        if (xml.readNext() != QXmlStreamReader::StartElement)
            continue;
        if (xml.name() == "name"_L1)
            context = xml.readElementText();
        else if (xml.name() == "source"_L1)
            source = xml.readElementText(), ++messages;
        if (xml.name() != "translation"_L1) // read past a name or a source
            continue;
        const QString named = context + u": \""_s + source.left(60) + u'"',
                      type = xml.attributes().value("type"_L1).toString();
        const QString translation = xml.readElementText();
        if (type == "unfinished"_L1 || (type.isEmpty() && translation.trimmed().isEmpty()))
            faults << named + unfinished;
        else if (!type.isEmpty())
            faults << named + u" is "_s + type;
        else if (placeholders(source) != placeholders(translation))
            faults << named + u" has other placeholders"_s;
        else if (source.startsWith(u'\n') != translation.startsWith(u'\n') ||
                 source.endsWith(u'\n') != translation.endsWith(u'\n'))
            faults << named + u" has other line ends"_s;
    }
    if (xml.hasError())
        qFatal("%s: %s", qPrintable(fileName), qPrintable(xml.errorString()));
    return messages > 200 ? faults : QStringList{fileName + u" holds too few texts"_s};
}

} // namespace

class TstTranslations : public QObject {
    Q_OBJECT

private slots:
    void everyEntryTranslated() {
        const QStringList found = faults(TsFile, u" is empty"_s);
        QVERIFY2(found.isEmpty(), qPrintable(found.join(u'\n')));
    }

    // lupdate, run over the sources into a copy, finds no text the file lacks and none it holds
    // that the sources no longer have.
    void inStepWithTheSources() {
#if !defined(ORVANE_LUPDATE)
        QSKIP("lupdate runs on the build machine only");
#else
        QTemporaryDir dir;
        const QString copy = dir.filePath(u"orvane_ko.ts"_s);
        QVERIFY(QFile::copy(TsFile, copy));
        QProcess lupdate;
        lupdate.start(u"" ORVANE_LUPDATE ""_s, {u"-silent"_s, u"-locations"_s, u"none"_s,
                                                u"" ORVANE_SOURCE_DIR "/src"_s, u"-ts"_s, copy});
        QVERIFY(lupdate.waitForFinished(60000));
        QCOMPARE(lupdate.exitCode(), 0);
        const QStringList found = faults(copy, u" has no Korean"_s);
        QVERIFY2(found.isEmpty(), qPrintable(u"run: cmake --build build --target "
                                             "update_translations, then translate\n"_s +
                                             found.join(u'\n')));
#endif
    }

    void languageChosen_data() {
        QTest::addColumn<QStringList>("languages");
        QTest::addColumn<QString>("chosen");
        QTest::newRow("Korean") << QStringList{"ko-KR"} << "ko";
        QTest::newRow("Korean without a country") << QStringList{"ko"} << "ko";
        QTest::newRow("no translation, then Korean") << QStringList{"fr-FR", "ko-KR"} << "ko";
        QTest::newRow("English first") << QStringList{"en-GB", "ko-KR"} << "";
        QTest::newRow("no translation at all") << QStringList{"de-DE", "ja-JP"} << "";
        QTest::newRow("the C locale") << QStringList{"C"} << "";
        QTest::newRow("none") << QStringList{} << "";
    }
    void languageChosen() {
        QFETCH(QStringList, languages);
        QFETCH(QString, chosen);
        QCOMPARE(translationLanguage(languages), chosen);
    }

    // Under a Korean locale (ctest runs this with LANG=ko_KR.UTF-8) the compiled-in texts and
    // Qt's own are Korean.
    void installedForKorean() {
        QCOMPARE(installTranslators(), u"ko"_s);
        QCOMPARE(QCoreApplication::translate("orvane::Prompts", "Save the changes before closing?"),
                 u"닫기 전에 바뀐 내용을 저장하시겠습니까?"_s);
        QCOMPARE(QCoreApplication::translate("QPlatformTheme", "Discard"), u"무시"_s);
    }
};

QTEST_GUILESS_MAIN(TstTranslations)
#include "tst_translations.moc"
