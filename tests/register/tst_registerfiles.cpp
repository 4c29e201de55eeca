// SPDX-License-Identifier: GPL-3.0-or-later
#include "support/Form1Fixture.h"
#include "support/TempFolder.h"
#include "textpane/RichTextBox.h"
#include "widgets/PictureButton.h"

#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QTemporaryDir>
#include <QTextBlock>

using namespace krambol;
using platform::MessageAnswer;
using testing::contents;
using testing::write;

// Saving, opening and the exit question, through every command that reaches them, and every way they
// can fail without losing the register or the file already on disk.
class RegisterFilesTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init()
    {
        f.make();
        files.make();
    }
    void cleanup()
    {
        f.reset();
        files.reset();
    }

    void saveCommandsUseTheirTitlesAndTheRegisterFilter_data();
    void saveCommandsUseTheirTitlesAndTheRegisterFilter();
    void saveWritesExactlyTheTypedNameAndReplacesUnasked();
    void cancelledDialogsTouchNothing();
    void openReplacesTheRegisterAndSetsTheCaption_data();
    void openReplacesTheRegisterAndSetsTheCaption();
    void firstAcceptAfterOpenReplacesTheOpenedRegister();
    void styleComesBackFromAFile();
    void failedOpenKeepsRegisterAndCaption_data();
    void failedOpenKeepsRegisterAndCaption();
    void failedSaveKeepsTheFileAlreadyThere();
    void exitFlows_data();
    void exitFlows();
    void saveWritesTheRegisterAsItWasWhileTheWindowGoesOn();
    void saveFailureIsToldWhenTheWriteEnds();
    void closingWaitsForTheWrite();
    void openEndsBeforeAnythingUsesTheRegister_data();
    void openEndsBeforeAnythingUsesTheRegister();
    void replacedFilesAreLetGo();

private:
    QString path(const QString& name) const { return files.path(name); }
    void accept(const QString& name, const QString& disc)
    {
        f.ui().Text1->setText(name);
        f.ui().Text2->setText(disc);
        f.form->Command1_Click();
    }

    testing::Form1Fixture f;
    testing::TempFolder files;
};

void RegisterFilesTest::saveCommandsUseTheirTitlesAndTheRegisterFilter_data()
{
    QTest::addColumn<QString>("command");
    QTest::addColumn<QString>("title");
    QTest::newRow("button") << "Command5" << QStringLiteral("Cохранить");
    QTest::newRow("toolbar") << "toolbar" << QStringLiteral("Cохранить");
    QTest::newRow("menu") << "menu" << QStringLiteral("Сохранить");
}

void RegisterFilesTest::saveCommandsUseTheirTitlesAndTheRegisterFilter()
{
    QFETCH(QString, command);
    QFETCH(QString, title);
    QVERIFY(title.startsWith(command == QLatin1String("menu") ? QChar(0x0421) : QChar(u'C')));
    accept(QStringLiteral("Иван"), QStringLiteral("Игра"));
    const QString file = path(QStringLiteral("список.krm"));
    f.seams->dialog.fileNames.enqueue(file);
    if (command == QLatin1String("Command5"))
        f.form->Command5_Click();
    else if (command == QLatin1String("toolbar"))
        f.form->SaveRegisterFromToolbar();
    else
        f.form->ыы_Click();
    f.form->finishWriting();

    QCOMPARE(f.seams->dialog.calls.size(), 1);
    QCOMPARE(f.seams->dialog.calls[0].kind, testing::DialogCall::Save);
    QCOMPARE(f.seams->dialog.calls[0].title, title);
    QCOMPARE(f.seams->dialog.calls[0].filter, QStringLiteral("Крамбол(*.krm)|*.krm"));
    QVERIFY(contents(file).startsWith("{\\rtf1\\ansi\\ansicpg1251"));
    // Saving changes nothing else.
    QCOMPARE(f.form->windowTitle(), QStringLiteral("Крамбол"));
    QCOMPARE(f.ui().Text5->text(), QStringLiteral("2"));
    QVERIFY(f.ui().Box->isLocked());
}

void RegisterFilesTest::saveWritesExactlyTheTypedNameAndReplacesUnasked()
{
    accept(QStringLiteral("Иван"), QStringLiteral("Игра"));
    const QString file = path(QStringLiteral("без расширения"));
    QVERIFY(write(file, "old contents"));
    f.seams->dialog.fileNames.enqueue(file);
    f.form->Command5_Click();
    f.form->finishWriting();
    QVERIFY(contents(file).startsWith("{\\rtf1"));
    QCOMPARE(QDir(files.root()).entryList(QDir::Files), QStringList{QStringLiteral("без расширения")});
    QVERIFY(f.seams->messages.calls.isEmpty());
}

void RegisterFilesTest::cancelledDialogsTouchNothing()
{
    accept(QStringLiteral("Иван"), QStringLiteral("Игра"));
    f.form->Command5_Click();
    f.form->finishWriting();
    f.form->Command6_Click();
    QCOMPARE(f.seams->dialog.calls.size(), 2);
    QCOMPARE(f.seams->dialog.calls[1].kind, testing::DialogCall::Open);
    QCOMPARE(f.seams->dialog.calls[1].title, QStringLiteral("Открыть"));
    QCOMPARE(f.ui().Box->text(), QStringLiteral("Иван------------Игра |"));
    QCOMPARE(f.form->windowTitle(), QStringLiteral("Крамбол"));
    QVERIFY(QDir(files.root()).isEmpty());
    QVERIFY(f.seams->messages.calls.isEmpty());
}

void RegisterFilesTest::openReplacesTheRegisterAndSetsTheCaption_data()
{
    QTest::addColumn<QString>("command");
    QTest::newRow("button") << "Command6";
    QTest::newRow("toolbar") << "toolbar";
    QTest::newRow("menu") << "menu";
}

void RegisterFilesTest::openReplacesTheRegisterAndSetsTheCaption()
{
    QFETCH(QString, command);
    const QString file = path(QStringLiteral("чужой.krm"));
    QVERIFY(write(file, "{\\rtf1\\ansi\\ansicpg1251{\\fonttbl{\\f0\\fswiss\\fcharset204 Arial;}}"
                "\\f0 \\'c8\\'e2\\'e0\\'ed - {\\b \\'c8\\'e3\\'f0\\'e0}\\par}"));
    f.ui().Box->setText(QStringLiteral("прежний список"));
    f.seams->dialog.fileNames.enqueue(file);
    if (command == QLatin1String("Command6"))
        f.form->Command6_Click();
    else if (command == QLatin1String("toolbar"))
        f.form->OpenRegisterFromToolbar();
    else
        f.form->в_Click();
    // The file is read on a thread of its own; the register is the old one until the open ends.
    QCOMPARE(f.ui().Box->text(), QStringLiteral("прежний список"));
    QVERIFY(f.form->finishOpening());
    QCOMPARE(f.ui().Box->text(), QStringLiteral("Иван - Игра"));
    QCOMPARE(f.form->windowTitle(), file);
    QVERIFY(f.ui().Box->isLocked());
    QCOMPARE(f.ui().Text5->text(), QStringLiteral("Text5"));
}

void RegisterFilesTest::firstAcceptAfterOpenReplacesTheOpenedRegister()
{
    accept(QStringLiteral("Иван"), QStringLiteral("Игра"));
    const QString file = path(QStringLiteral("a.krm"));
    f.seams->dialog.fileNames.enqueue(file);
    f.form->Command5_Click();
    f.form->finishWriting();

    f.reset();
    f.make();
    f.seams->dialog.fileNames.enqueue(file);
    f.form->Command6_Click();
    f.form->finishOpening();
    QCOMPARE(f.ui().Box->text(), QStringLiteral("Иван------------Игра |"));
    accept(QStringLiteral("Пётр"), QStringLiteral("Кино"));
    QCOMPARE(f.ui().Box->text(), QStringLiteral("Пётр------------Кино |"));
}

void RegisterFilesTest::styleComesBackFromAFile()
{
    f.ui().Command2->setChecked(true);
    f.ui().Check3->setChecked(true);
    f.ui().Text8->setText(QStringLiteral("7.5"));
    f.seams->dialog.colors.enqueue(QColor(Qt::cyan));
    f.form->Command9_Click();
    accept(QStringLiteral("Иван"), QStringLiteral("Игра"));
    const QString file = path(QStringLiteral("styled.krm"));
    f.seams->dialog.fileNames.enqueue(file);
    f.form->Command5_Click();
    f.form->finishWriting();
    QVERIFY(!contents(file).contains("colortbl"));  // the background colour is never saved

    f.reset();
    f.make();
    const QColor startBackground = f.ui().Box->backgroundColor();
    f.seams->dialog.fileNames.enqueue(file);
    f.form->Command6_Click();
    f.form->finishOpening();
    QCOMPARE(f.ui().Box->text(), QStringLiteral("Иван------------Игра |"));
    const QTextDocument* doc = f.ui().Box->document();
    for (auto it = doc->begin().begin(); !it.atEnd(); ++it) {
        const QFont font = it.fragment().charFormat().font().resolve(doc->defaultFont());
        QVERIFY(font.bold());
        QVERIFY(!font.italic());
        QVERIFY(font.underline());
        QCOMPARE(font.pointSizeF(), 7.5);
    }
    QCOMPARE(f.ui().Box->backgroundColor(), startBackground);
}

void RegisterFilesTest::failedOpenKeepsRegisterAndCaption_data()
{
    QTest::addColumn<QByteArray>("bytes");  // empty name: no file at all
    QTest::addColumn<QString>("name");
    QTest::newRow("missing file") << QByteArray() << "нет такого.krm";
    QTest::newRow("empty file") << QByteArray("") << "empty.krm";
    QTest::newRow("not RTF") << QByteArray("Иван - Игра") << "plain.krm";
    QTest::newRow("truncated RTF") << QByteArray("{\\rtf1\\ansi Ivan") << "cut.krm";
    QTest::newRow("a folder") << QByteArray() << ".";
}

void RegisterFilesTest::failedOpenKeepsRegisterAndCaption()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QString, name);
    const QString file = path(name);
    if (!bytes.isNull())
        QVERIFY(write(file, bytes));
    accept(QStringLiteral("Иван"), QStringLiteral("Игра"));
    f.seams->dialog.fileNames.enqueue(file);
    f.form->OpenRegisterFromToolbar();
    QVERIFY(!f.form->finishOpening());

    QCOMPARE(f.ui().Box->text(), QStringLiteral("Иван------------Игра |"));
    QCOMPARE(f.form->windowTitle(), QStringLiteral("Крамбол"));
    QCOMPARE(f.seams->messages.calls.size(), 1);
    const testing::MessageCall& message = f.seams->messages.calls[0];
    QCOMPARE(message.title, QStringLiteral("Крамбол"));
    QCOMPARE(message.icon, platform::MessageIcon::Critical);
    QVERIFY2(message.text.contains(QDir::toNativeSeparators(file)), qPrintable(message.text));
    QVERIFY(message.text.count(u'\n') >= 1);  // the reason follows the file name
}

void RegisterFilesTest::failedSaveKeepsTheFileAlreadyThere()
{
    accept(QStringLiteral("Иван"), QStringLiteral("Игра"));
    // A file in a folder that does not exist cannot be written; a folder cannot be replaced by a file.
    for (const QString& target : {path(QStringLiteral("нет/файл.krm")), files.root()}) {
        f.seams->messages.calls.clear();
        f.seams->dialog.fileNames.enqueue(target);
        f.form->ыы_Click();
        f.form->finishWriting();
        QCOMPARE(f.seams->messages.calls.size(), 1);
        QCOMPARE(f.seams->messages.calls[0].title, QStringLiteral("Крамбол"));
        QVERIFY(f.seams->messages.calls[0].text.contains(QDir::toNativeSeparators(target)));
    }
    QCOMPARE(f.ui().Box->text(), QStringLiteral("Иван------------Игра |"));
    QVERIFY(QFileInfo(files.root()).isDir());
}

void RegisterFilesTest::exitFlows_data()
{
    QTest::addColumn<QString>("registerText");
    QTest::addColumn<QList<MessageAnswer>>("answers");
    QTest::addColumn<QString>("saveAs");   // what the save dialog answers; "-" when it is not shown
    QTest::addColumn<bool>("questionAsked");
    QTest::addColumn<bool>("saved");
    QTest::addColumn<bool>("ended");

    const QList<MessageAnswer> yes{MessageAnswer::Yes};
    QTest::newRow("empty register ends at once") << "" << QList<MessageAnswer>{} << "-" << false << false << true;
    QTest::newRow("no") << "Иван" << QList<MessageAnswer>{MessageAnswer::No} << "-" << true << false << true;
    QTest::newRow("cancel") << "Иван" << QList<MessageAnswer>{MessageAnswer::Cancel} << "-" << true << false << false;
    QTest::newRow("yes, save") << "Иван" << yes << "exit.krm" << true << true << true;
    QTest::newRow("yes, then cancel the dialog") << "Иван" << yes << "" << true << false << true;
    QTest::newRow("yes, save fails: keep running") << "Иван" << yes << "нет/exit.krm" << true << false << false;
}

void RegisterFilesTest::exitFlows()
{
    QFETCH(QString, registerText);
    QFETCH(QList<MessageAnswer>, answers);
    QFETCH(QString, saveAs);
    QFETCH(bool, questionAsked);
    QFETCH(bool, saved);
    QFETCH(bool, ended);

    if (!registerText.isEmpty())
        accept(registerText, QStringLiteral("Игра"));
    const QString registerBefore = f.ui().Box->text();
    for (MessageAnswer answer : answers)
        f.seams->messages.answers.enqueue(answer);
    if (saveAs != QLatin1String("-"))
        f.seams->dialog.fileNames.enqueue(saveAs.isEmpty() ? QString() : path(saveAs));

    f.child<QAction>(QStringLiteral("а"))->trigger();  // the menu's "Выход" runs the exit command

    const bool asked = !f.seams->messages.calls.isEmpty() && f.seams->messages.calls[0].text == QStringLiteral("Сохранить список?");
    QCOMPARE(asked, questionAsked);
    if (asked) {
        QCOMPARE(f.seams->messages.calls[0].title, QStringLiteral("Выход"));
        QCOMPARE(f.seams->messages.calls[0].icon, platform::MessageIcon::Question);
        QCOMPARE(f.seams->messages.calls[0].buttons, platform::MessageButtons::YesNoCancel);
    }
    if (saveAs != QLatin1String("-"))
        QCOMPARE(f.seams->dialog.calls.value(0).title, QStringLiteral("Cохранить"));
    QCOMPARE(QFile::exists(path(QStringLiteral("exit.krm"))), saved);
    QCOMPARE(f.seams->appExit.exits, ended ? 1 : 0);
    QCOMPARE(f.ui().Box->text(), registerBefore);
}


// A save writes its file on a thread of its own: the window goes on at once, and the file holds the
// register as it was when its name was chosen, whatever is done to the register meanwhile.
void RegisterFilesTest::saveWritesTheRegisterAsItWasWhileTheWindowGoesOn()
{
    accept(QStringLiteral("Иван"), QStringLiteral("Игра"));
    const QString file = path(QStringLiteral("список.krm"));
    f.seams->dialog.fileNames.enqueue(file);
    f.form->Command5_Click();
    accept(QStringLiteral("Пётр"), QStringLiteral("Кино"));
    f.ui().Check1->click();
    f.ui().Box->selectAll();
    f.ui().Box->deleteSelection();
    // The next open of the same file waits for it.
    f.seams->dialog.fileNames.enqueue(file);
    f.form->Command6_Click();
    f.form->finishOpening();
    QVERIFY(f.seams->messages.calls.isEmpty());
    QCOMPARE(f.ui().Box->text(), QStringLiteral("Иван------------Игра |"));
}

void RegisterFilesTest::saveFailureIsToldWhenTheWriteEnds()
{
    accept(QStringLiteral("Иван"), QStringLiteral("Игра"));
    const QString target = path(QStringLiteral("нет/файл.krm"));
    f.seams->dialog.fileNames.enqueue(target);
    f.form->ыы_Click();
    // Nobody waits: the news comes through the event loop.
    QTRY_COMPARE(f.seams->messages.calls.size(), 1);
    QVERIFY(f.seams->messages.calls[0].text.contains(QDir::toNativeSeparators(target)));
    QVERIFY(f.form->finishWriting());   // told once
    QCOMPARE(f.seams->messages.calls.size(), 1);
}

// Closing the window waits for the file being written; if it could not be written, the window stays and
// says so. The end of the window waits too, and the file comes out whole.
void RegisterFilesTest::closingWaitsForTheWrite()
{
    accept(QStringLiteral("Иван"), QStringLiteral("Игра"));
    f.form->show();
    f.seams->dialog.fileNames.enqueue(path(QStringLiteral("нет/файл.krm")));
    f.form->Command5_Click();
    QVERIFY(!f.form->close());
    QVERIFY(f.form->isVisible());
    QCOMPARE(f.seams->messages.calls.size(), 1);

    const QString file = path(QStringLiteral("последний.krm"));
    f.seams->dialog.fileNames.enqueue(file);
    f.form->Command5_Click();
    f.reset();
    QVERIFY(contents(file).startsWith("{\\rtf1"));
    QVERIFY(contents(file).trimmed().endsWith("}"));
}


void RegisterFilesTest::openEndsBeforeAnythingUsesTheRegister_data()
{
    QTest::addColumn<QString>("action");
    QTest::addColumn<bool>("readable");
    QTest::addColumn<QString>("expected");   // the register after the action
    for (bool readable : {true, false}) {
        const QString before = readable ? QStringLiteral("Иван - Игра") : QStringLiteral("прежний список");
        const char* const file = readable ? "file: " : "failed: ";
        QTest::addRow("%sevent loop", file) << "events" << readable << before;
        QTest::addRow("%skey in the pane", file) << "key" << readable << QStringLiteral("z") + before;
        QTest::addRow("%sclick in the pane", file) << "click" << readable << before;
        // The first accept after the open writes its own list over the register.
        QTest::addRow("%saccept", file) << "accept" << readable << QStringLiteral("Пётр------------Кино |");
        QTest::addRow("%sbold", file) << "bold" << readable << before;
        QTest::addRow("%spaste", file) << "paste" << readable << QStringLiteral("вставка") + before;
        QTest::addRow("%ssave", file) << "save" << readable << before;
        QTest::addRow("%sanother open", file) << "open" << readable << QStringLiteral("Иван - Игра");
    }
}

void RegisterFilesTest::openEndsBeforeAnythingUsesTheRegister()
{
    // The file is read on a thread of its own while the window goes on. Whatever the user does to the
    // register in the meantime waits for the open and is done in the register the file brings (or, when
    // it could not be opened, in the register as it was); the failure is told once, after the action.
    QFETCH(QString, action);
    QFETCH(bool, readable);
    QFETCH(QString, expected);
    const QString file = path(QStringLiteral("чужой.krm"));
    QVERIFY(write(file, "{\\rtf1\\ansi\\ansicpg1251{\\fonttbl{\\f0\\fswiss\\fcharset204 Arial;}}"
                "\\f0 \\'c8\\'e2\\'e0\\'ed - {\\b \\'c8\\'e3\\'f0\\'e0}\\par}"));
    const QString opened = readable ? file : path(QStringLiteral("нет.krm"));
    f.ui().Box->setText(QStringLiteral("прежний список"));
    f.ui().Box->setLocked(false);
    f.seams->dialog.fileNames.enqueue(opened);
    f.form->Command6_Click();
    QCOMPARE(f.ui().Box->text(), QStringLiteral("прежний список"));

    textpane::RichTextBox* const box = f.ui().Box;
    if (action == u"events") {
        QTRY_COMPARE(box->text(), expected);
    } else if (action == u"key") {
        QTest::keyClick(box, Qt::Key_Home, Qt::ControlModifier);
        QTest::keyClick(box, Qt::Key_Z, Qt::ShiftModifier);
    } else if (action == u"click") {
        QTest::mouseClick(box->viewport(), Qt::LeftButton, {}, QPoint(5, 5));
    } else if (action == u"accept") {
        accept(QStringLiteral("Пётр"), QStringLiteral("Кино"));
    } else if (action == u"bold") {
        f.ui().Command2->setChecked(true);
        QVERIFY(box->document()->defaultFont().bold());
    } else if (action == u"paste") {
        f.seams->clipboard.setText(QStringLiteral("вставка"));
        f.form->амвпа_Click();
    } else if (action == u"save") {
        f.seams->dialog.fileNames.enqueue(path(QStringLiteral("копия.krm")));
        f.form->Command5_Click();
        QVERIFY(f.form->finishWriting());
    } else if (action == u"open") {
        f.seams->dialog.fileNames.enqueue(file);
        f.form->Command6_Click();
        QVERIFY(f.form->finishOpening());
    }
    QCOMPARE(box->text(), expected);
    QCOMPARE(f.form->windowTitle(), readable || action == u"open" ? file : QStringLiteral("Крамбол"));
    if (action == u"save")
        QCOMPARE(contents(path(QStringLiteral("копия.krm"))).contains("\\b"), readable);

    // A failure is told once, whoever ended the open; a save or another open tells it at once.
    const int told = readable ? 0 : 1;
    if (action != u"save" && action != u"open")
        QVERIFY(f.seams->messages.calls.size() <= told);
    QTRY_COMPARE(f.seams->messages.calls.size(), told);
    QTest::qWait(20);
    QCOMPARE(f.seams->messages.calls.size(), told);
    if (told)
        QVERIFY(f.seams->messages.calls.first().text.contains(QStringLiteral("нет.krm")));
}

// A save is over when its file is in place; the storage of the file it replaced is given back after
// that, and nothing keeps a replaced file once the window has ended.
void RegisterFilesTest::replacedFilesAreLetGo()
{
    const QDir descriptors(QStringLiteral("/proc/self/fd"));
    if (!descriptors.exists())
        QSKIP("needs /proc to list open files");
    const QString file = path(QStringLiteral("список.krm"));
    const auto heldReplaced = [&] {
        int held = 0;
        for (const QFileInfo& fd : descriptors.entryInfoList(QDir::Files | QDir::System))
            held += fd.symLinkTarget().startsWith(file) && fd.symLinkTarget().endsWith(QLatin1String(" (deleted)"));
        return held;
    };
    for (const QString& disc : {QStringLiteral("Игра"), QStringLiteral("Кино"), QStringLiteral("Мультфильм")}) {
        accept(QStringLiteral("Иван"), disc);
        f.seams->dialog.fileNames.enqueue(file);
        f.form->Command5_Click();
        QVERIFY(f.form->finishWriting());
        QVERIFY(contents(file).contains("\\par"));
        QVERIFY(heldReplaced() <= 1);
    }
    f.reset();
    QCOMPARE(heldReplaced(), 0);
    QCOMPARE(QDir(files.root()).entryList(QDir::Files | QDir::Hidden), QStringList{QStringLiteral("список.krm")});
}

QTEST_MAIN(RegisterFilesTest)
#include "tst_registerfiles.moc"
