// The window under a Korean locale (ctest runs this with LANG=ko_KR.UTF-8): the additions speak
// Korean, Qt's own dialogs and buttons too, and the original window's texts stay as they are.

#include "eventloop.h"
#include "filedialog.h"
#include "porttable.h"
#include "translation.h"
#include "windowfixture.h"
#if defined(Q_OS_UNIX)
#include "pty.h"
#endif

using namespace orvane;
using namespace orvane::testing;
using namespace Qt::StringLiterals;

class TestKorean : public WindowFixture {
    Q_OBJECT

    // Runs `answer` on the modal window that `open` brings up, and returns what it read there.
    QStringList onModal(const std::function<void()>& open,
                        const std::function<QStringList(QWidget*)>& answer) {
        QStringList read;
        QTimer::singleShot(0, this, [&] {
            QTRY_VERIFY(QApplication::activeModalWidget());
            read = answer(QApplication::activeModalWidget());
        });
        open();
        return read;
    }
    // The title, text and informative text of the message box that `open` brings up, and its
    // buttons' texts sorted; answered with `button`.
    QStringList messageBox(const std::function<void()>& open, QMessageBox::StandardButton button) {
        return onModal(open, [button](QWidget* w) {
            auto* box = qobject_cast<QMessageBox*>(w);
            QStringList buttons;
            for (QAbstractButton* b : box->buttons())
                buttons << b->text();
            buttons.sort();
            const QStringList read{box->windowTitle(), box->text(), box->informativeText(),
                                   buttons.join(',')};
            QTest::mouseClick(box->button(button), Qt::LeftButton);
            return read;
        });
    }

private slots:
    void initTestCase() { QCOMPARE(installTranslators(), u"ko"_s); }
    void init() { openWindow(); }
    void cleanup() { closeWindow(); }

    // Buttons, labels and the caption of the original window, and its file dialog's filter.
    void originalTextsStay() {
        QStringList texts;
        for (const char* name :
             {"Command1", "Command2", "Command3", "Command4", "Command5", "Command6", "Command7"})
            texts << control<QPushButton>(*form, name)->text();
        texts << label("Label2") << label("Label3") << label("Label1") << label("Label4");
        QCOMPARE(texts, (QStringList{"Clear", "Load", "Save", "Down Load", "Set", "Up", "Dn",
                                     "Com N", "Speed -", "1", "5"}));
        QVERIFY(form->windowTitle().startsWith("Orvane   Corvel Electronics co.   "_L1));
        // Load's real dialog: Qt's labels in Korean, the two filter entries as always.
        const QStringList dialog =
            onModal([this] { press(*form, "Command2"); },
                    [](QWidget* w) {
                        auto* types = w->findChild<QComboBox*>(u"fileTypeCombo"_s);
                        QStringList read{w->findChild<QLabel*>(u"fileTypeLabel"_s)->text()};
                        for (int i = 0; types && i < types->count(); ++i)
                            read << types->itemText(i);
                        static_cast<QDialog*>(w)->reject();
                        return read;
                    });
        QCOMPARE(dialog, (QStringList{u"파일 형식:"_s} << CommonDialog::filterNames()));
        QCOMPARE(CommonDialog::filterNames(),
                 (QStringList{u"ASCII TEXT(*.TXT)"_s, u"모든파일(*.*)"_s}));
    }

    // The grid's menu, the keys window and the strip under the grid.
    void menuAndKeys() {
        QMenu* menu = control<QMenu>(*form, "gridMenu");
        QTest::keyClick(grid(), Qt::Key_Menu);
        QTRY_VERIFY(menu->isVisible());
        QStringList entries;
        for (QAction* a : menu->actions())
            if (!a->isSeparator())
                entries << a->text();
        QCOMPARE(entries,
                 (QStringList{u"실행 취소"_s, u"다시 실행"_s, u"이미지 가져오기..."_s, u"글꼴"_s,
                              u"왼쪽으로 밀기"_s, u"오른쪽으로 밀기"_s, u"위로 밀기"_s,
                              u"아래로 밀기"_s, u"반전"_s, u"좌우 뒤집기"_s, u"상하 뒤집기"_s,
                              u"가운데로"_s, u"모두 끄기 (Clear)"_s, u"모두 켜기 (Set)"_s,
                              u"불러오기 (Load)..."_s, u"저장 (Save)..."_s, u"키와 마우스..."_s}));
        QTest::keyClick(menu, Qt::Key_Escape);
        QTRY_VERIFY(!menu->isVisible());
        press(*form, "Command5"); // Set, named in Korean by Undo
        QCOMPARE(control<QAction>(*form, "mnuUndo")->text(), u"실행 취소: 모두 켜기 (Set)"_s);
        key(QKeySequence(Qt::Key_F1));
        auto* keys = control<QDialog>(*form, "keysHelp");
        QTRY_VERIFY(keys->isVisible());
        QCOMPARE(keys->windowTitle(), u"Orvane: 키와 마우스"_s);
        QVERIFY(control<QLabel>(*keys, "keysText")
                    ->text()
                    .contains(u"마지막으로 입력한 글자 되돌리기"_s));
        keys->close();
        type(u"AB"_s);
        QCOMPARE(label("LabelText"), u"5x8 글꼴 글자: 50열 중 10열 사용"_s);
        QVERIFY(label("LabelHint").startsWith(u"격자 오른쪽 클릭"_s));
        QCOMPARE(captions, QStringList{}); // no step changes the caption
    }

    // A refused port in a message box of Korean words with Qt's Korean button; the original's
    // status texts of a download that goes through.
    void messageBoxAndDownload() {
#if !defined(Q_OS_UNIX)
        QSKIP("downloads into a pseudo-terminal");
#else
        PseudoTerminal pty;
        const PortTable::ScopedDeviceResolver resolver(
            [&](int port) { return port == 1 ? pty.slavePath() : u"/none/tty%1"_s.arg(port); });
        ScopedErrorHandler realBox{nullptr};
        press(*form, "Command6");
        QCOMPARE(messageBox([this] { press(*form, "Command4"); }, QMessageBox::Ok),
                 (QStringList{u"다운로드"_s,
                              u"포트 2 (/none/tty2)을(를) 열 수 없습니다: 그 포트에는 아무것도 "
                              u"꽂혀 있지 않습니다 (그러한 파일이나 디렉터리가 없음). 지금 "
                              u"있는 포트: 포트 1 (%1)."_s.arg(pty.slavePath()),
                              {},
                              u"확인"_s}));
        press(*form, "Command7");
        press(*form, "Command4");
        QVERIFY(runUntil([this] { return !form->downloading(); }));
        QCOMPARE(captions.size(), 52);
        QCOMPARE((QStringList{captions.first(), captions.at(1), captions.last()}),
                 (QStringList{u"Download Start ......"_s, u"0"_s, u"Data Out Complete !"_s}));
#endif
    }

    // The close prompt: Korean question, Qt's Korean buttons; Cancel keeps the window.
    void closePrompt() {
        clickCell(*grid(), 3, 7);
        QCOMPARE(messageBox([this] { QVERIFY(!form->close()); }, QMessageBox::Cancel),
                 (QStringList{u"Orvane"_s,
                              u"마지막으로 저장하거나 불러온 뒤 그림이나 속도가 바뀌었습니다."_s,
                              u"닫기 전에 바뀐 내용을 저장하시겠습니까?"_s, u"무시,저장,취소"_s}));
        QVERIFY(form->isVisible());
        clickCell(*grid(), 3, 7);
    }
};

QTEST_MAIN(TestKorean)
#include "tst_korean.moc"
