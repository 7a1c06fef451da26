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

namespace {

const QString TsFile = QStringLiteral(ORVANE_SOURCE_DIR "/translations/orvane_ko.ts");

struct Message {
    QString context, source, translation, type;
};

QList<Message> readTs(const QString& fileName) {
    QFile file(fileName);
    if (!file.open(QIODevice::ReadOnly))
        qFatal("%s: %s", qPrintable(fileName), qPrintable(file.errorString()));
    QList<Message> messages;
    QString context;
    QXmlStreamReader xml(&file);
    while (!xml.atEnd()) {
        if (xml.readNext() != QXmlStreamReader::StartElement)
            continue;
        if (xml.name() == QLatin1String("name")) {
            context = xml.readElementText();
        } else if (xml.name() == QLatin1String("message")) {
            messages.append({context, {}, {}, {}});
        } else if (xml.name() == QLatin1String("source")) {
            messages.last().source = xml.readElementText();
        } else if (xml.name() == QLatin1String("translation")) {
            messages.last().type = xml.attributes().value(QLatin1String("type")).toString();
            messages.last().translation = xml.readElementText();
        }
    }
    if (xml.hasError())
        qFatal("%s: %s", qPrintable(fileName), qPrintable(xml.errorString()));
    return messages;
}

QString named(const Message& m) {
    return m.context + QStringLiteral(": \"") + m.source.left(60) + QLatin1Char('"');
}

std::set<QString> placeholders(const QString& text) {
    std::set<QString> found;
    static const QRegularExpression number(QStringLiteral("%[1-9]"));
    for (const auto& match : number.globalMatch(text))
        found.insert(match.captured());
    return found;
}

} // namespace

class TstTranslations : public QObject {
    Q_OBJECT

private slots:
    // Every entry is finished, keeps its source's %1.. and its leading and trailing line ends
    // (the help text is put together from pieces).
    void everyEntryTranslated() {
        const QList<Message> messages = readTs(TsFile);
        QVERIFY(messages.size() > 200);
        QStringList faults;
        for (const Message& m : messages) {
            if (!m.type.isEmpty() || m.translation.trimmed().isEmpty())
                faults << named(m) + QStringLiteral(" is ") +
                              (m.type.isEmpty() ? QStringLiteral("empty") : m.type);
            else if (placeholders(m.source) != placeholders(m.translation))
                faults << named(m) + QStringLiteral(" has other placeholders");
            else if (m.source.startsWith(QLatin1Char('\n')) !=
                         m.translation.startsWith(QLatin1Char('\n')) ||
                     m.source.endsWith(QLatin1Char('\n')) !=
                         m.translation.endsWith(QLatin1Char('\n')))
                faults << named(m) + QStringLiteral(" has other line ends");
        }
        QVERIFY2(faults.isEmpty(), qPrintable(faults.join(QLatin1Char('\n'))));
    }

    // lupdate, run over the sources into a copy, finds no text the file lacks and none it holds
    // that the sources no longer have.
    void inStepWithTheSources() {
#if !defined(ORVANE_LUPDATE)
        QSKIP("lupdate runs on the build machine only");
#else
        QTemporaryDir dir;
        const QString copy = dir.filePath(QStringLiteral("orvane_ko.ts"));
        QVERIFY(QFile::copy(TsFile, copy));
        QProcess lupdate;
        lupdate.start(QStringLiteral(ORVANE_LUPDATE),
                      {QStringLiteral("-silent"), QStringLiteral("-locations"),
                       QStringLiteral("none"), QStringLiteral(ORVANE_SOURCE_DIR "/src"),
                       QStringLiteral("-ts"), copy});
        QVERIFY(lupdate.waitForFinished(60000));
        QCOMPARE(lupdate.exitCode(), 0);
        QStringList faults;
        for (const Message& m : readTs(copy)) {
            if (m.type == QLatin1String("unfinished"))
                faults << named(m) + QStringLiteral(" has no Korean");
            else if (!m.type.isEmpty())
                faults << named(m) + QStringLiteral(" is no longer in the sources (") + m.type +
                              QStringLiteral(")");
        }
        QVERIFY2(faults.isEmpty(),
                 qPrintable(QStringLiteral("run: cmake --build build --target "
                                           "update_translations, then translate\n") +
                            faults.join(QLatin1Char('\n'))));
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
        QCOMPARE(installTranslators(), QStringLiteral("ko"));
        QCOMPARE(QCoreApplication::translate("orvane::Prompts", "Save the changes before closing?"),
                 QStringLiteral("닫기 전에 바뀐 내용을 저장하시겠습니까?"));
        QCOMPARE(QCoreApplication::translate("QPlatformTheme", "Discard"), QStringLiteral("무시"));
    }
};

QTEST_GUILESS_MAIN(TstTranslations)
#include "tst_translations.moc"
