// SPDX-License-Identifier: GPL-3.0-or-later
#include "register/RichTextDocument.h"
#include "rtf/Writer.h"
#include "support/Form1Fixture.h"
#include "textpane/RichTextBox.h"
#include "widgets/PictureButton.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLineEdit>
#include <QPrinter>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTextBlock>

#include <optional>

using namespace krambol;

// Cut, copy, paste and print on the register's selection, all while the register is locked (as it is
// at start); the clipboard is the scripted one.
class ClipboardTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init()
    {
        f.make();
        f.ui().Box->setText(QStringLiteral("Иван-Игра | Пётр-Кино |"));
        QVERIFY(f.ui().Box->isLocked());
    }
    void cleanup() { f.reset(); }

    void copyPutsRtfSourceOnTheClipboard();
    void copyGivesTheSelectionAsRtf_data();
    void copyGivesTheSelectionAsRtf();
    void pasteGivesWhatWasSelectedAtTheCopy_data();
    void pasteGivesWhatWasSelectedAtTheCopy();
    void copyThenPasteKeepsTheFormatting();
    void plainTextPastesInTheRegisterFont();
    void cutRemovesAndPasteBringsBack();
    void pasteOfAnEmptyClipboardDeletesTheSelection();
    void unreachableClipboard();
    void printsSelectionOrWholeRegister_data();
    void printsSelectionOrWholeRegister();
    void cancelledPrintPrintsNothing();
    void printCancelledAtAPageStopsThere();
    void printerThatCannotOpenIsReported();

private:
    void select(int from, int to)
    {
        QTextCursor cursor = f.ui().Box->textCursor();
        cursor.setPosition(from);
        cursor.setPosition(to, QTextCursor::KeepAnchor);
        f.ui().Box->setTextCursor(cursor);
    }
    // The register in one of its shapes: plain text (one paragraph or several), styled by hand, or
    // opened from a file (whose formats name their font).
    void makeRegister(const QString& shape)
    {
        const QString paragraphs = QStringLiteral("Иван-Игра |\nПётр-Кино |\nОля-Дом |");
        if (shape == u"plain paragraphs") {
            f.ui().Box->setText(paragraphs);
        } else if (shape == u"formatted") {
            f.ui().Box->setText(paragraphs);
            QTextCharFormat bold;
            bold.setFontWeight(QFont::Bold);
            QTextCharFormat red;
            red.setForeground(QColor(Qt::red));
            red.setFontPointSize(12);
            select(5, 9);
            f.ui().Box->textCursor().mergeCharFormat(bold);
            select(8, 16);
            f.ui().Box->textCursor().mergeCharFormat(red);
        } else if (shape == u"opened") {
            const QString path = m_files.filePath(QStringLiteral("opened.krm"));
            QFile file(path);
            QVERIFY(file.open(QIODevice::WriteOnly));
            file.write("{\\rtf1\\ansi{\\fonttbl{\\f0 MS Sans Serif;}}\\f0\\fs48 Ivan-Igra |\\par Petr-Kino |\\par Olya-Dom |}");
            file.close();
            f.seams->dialog.fileNames.enqueue(path);
            f.form->Command6_Click();
            f.form->finishOpening();
            QVERIFY(f.seams->messages.calls.isEmpty());
        }
    }
    // The selection as the clipboard commands write it, converted whole now.
    QString rtfOf(int from, int to) const
    {
        return QString::fromLatin1(rtf::write(reg::toRtfDocument(*f.ui().Box->document(), from, to)));
    }
    QFont fontAt(int position) const
    {
        QTextCursor cursor(f.ui().Box->document());
        cursor.setPosition(position + 1);  // the format of the character before the cursor
        return cursor.charFormat().font().resolve(f.ui().Box->document()->defaultFont());
    }
    // The printer dialog answers with a PDF printer writing to the path.
    void printTo(const QString& pdf, std::optional<QPrinter::PrintRange> range = std::nullopt)
    {
        f.seams->dialog.printerFactory = [pdf, range] {
            auto printer = std::make_unique<QPrinter>();
            printer->setOutputFormat(QPrinter::PdfFormat);
            printer->setOutputFileName(pdf);
            if (range)
                printer->setPrintRange(*range);
            return printer;
        };
    }

    testing::Form1Fixture f;
    QTemporaryDir m_files;
};

void ClipboardTest::copyPutsRtfSourceOnTheClipboard()
{
    select(0, 4);  // "Иван"
    f.form->мм_Click();
    const QString copied = f.seams->clipboard.text().value_or(QString());
    QVERIFY2(copied.startsWith(QStringLiteral("{\\rtf1")), qPrintable(copied));
    QVERIFY(copied.contains(QStringLiteral("\\u1048?")) || copied.contains(QStringLiteral("\\u1048\\'")));
    QVERIFY(!copied.contains(QStringLiteral("Пётр")));
    QCOMPARE(f.ui().Box->text(), QStringLiteral("Иван-Игра | Пётр-Кино |"));
}

void ClipboardTest::copyGivesTheSelectionAsRtf_data()
{
    QTest::addColumn<QString>("shape");
    QTest::addColumn<int>("from");
    QTest::addColumn<int>("to");
    for (const char* shape : {"plain", "plain paragraphs", "formatted", "opened"}) {
        QTest::addRow("%s: all", shape) << shape << 0 << 23;
        QTest::addRow("%s: part of a run", shape) << shape << 1 << 3;
        QTest::addRow("%s: over a break", shape) << shape << 6 << 15;
        QTest::addRow("%s: to just after a break", shape) << shape << 0 << 12;
        QTest::addRow("%s: nothing", shape) << shape << 4 << 4;
    }
}

// Nothing is written at the copy; what a paste reads is the selection converted as it was then.
void ClipboardTest::copyGivesTheSelectionAsRtf()
{
    QFETCH(QString, shape);
    QFETCH(int, from);
    QFETCH(int, to);
    makeRegister(shape);
    select(from, to);
    const QString expected = rtfOf(from, to);

    f.form->мм_Click();
    QCOMPARE(f.seams->clipboard.writes, 1);
    QCOMPARE(f.seams->clipboard.renders, 0);
    QCOMPARE(f.seams->clipboard.text().value_or(QString()), expected);
    QCOMPARE(f.seams->clipboard.text().value_or(QString()), expected);
    QCOMPARE(f.seams->clipboard.renders, 1);
}

void ClipboardTest::pasteGivesWhatWasSelectedAtTheCopy_data()
{
    QTest::addColumn<QString>("shape");
    QTest::addColumn<QString>("change");
    for (const char* shape : {"plain", "formatted"})
        for (const char* change : {"typed", "styled", "replaced", "opened", "deleted", "window closed"})
            QTest::addRow("%s, %s", shape, change) << shape << change;
}

void ClipboardTest::pasteGivesWhatWasSelectedAtTheCopy()
{
    QFETCH(QString, shape);
    QFETCH(QString, change);
    makeRegister(shape);
    select(3, 20);
    const QString expected = rtfOf(3, 20);
    f.form->мм_Click();

    if (change == u"typed") {
        f.ui().Box->editAtCaret([](QTextCursor& cursor) { cursor.insertText(QStringLiteral("новое")); });
    } else if (change == u"styled") {
        f.ui().Command2->setChecked(true);
        f.ui().Text8->setText(QStringLiteral("10"));
    } else if (change == u"replaced") {
        f.ui().Box->setText(QStringLiteral("другой список"));
    } else if (change == u"opened") {
        makeRegister(QStringLiteral("opened"));
    } else if (change == u"deleted") {
        f.ui().Box->selectAll();
        f.ui().Box->deleteSelection();
    } else if (change == u"window closed") {
        f.form.reset();   // and the register with it
    }
    QCOMPARE(f.seams->clipboard.renders, 0);
    QCOMPARE(f.seams->clipboard.text().value_or(QString()), expected);
}

void ClipboardTest::copyThenPasteKeepsTheFormatting()
{
    // Style "Игра" by hand: bold, italic, underlined, 12 point.
    select(5, 9);
    QTextCharFormat styled;
    styled.setFontWeight(QFont::Bold);
    styled.setFontItalic(true);
    styled.setFontUnderline(true);
    styled.setFontPointSize(12);
    f.ui().Box->textCursor().mergeCharFormat(styled);

    f.form->мм_Click();
    select(f.ui().Box->text().size(), f.ui().Box->text().size());
    f.form->амвпа_Click();

    QCOMPARE(f.ui().Box->text(), QStringLiteral("Иван-Игра | Пётр-Кино |Игра"));
    const int pasted = QStringLiteral("Иван-Игра | Пётр-Кино |").size();
    for (int i = pasted; i < pasted + 4; ++i) {
        const QFont font = fontAt(i);
        QVERIFY(font.bold());
        QVERIFY(font.italic());
        QVERIFY(font.underline());
        QCOMPARE(font.pointSizeF(), 12.0);
    }
    QVERIFY(!fontAt(0).bold());
}

void ClipboardTest::plainTextPastesInTheRegisterFont()
{
    f.ui().Command2->setChecked(true);  // the register's font is bold
    f.ui().Text8->setText(QStringLiteral("10"));
    f.seams->clipboard.content = QStringLiteral("чужой текст");
    select(0, 4);
    f.form->амвпа_Click();
    QCOMPARE(f.ui().Box->text(), QStringLiteral("чужой текст-Игра | Пётр-Кино |"));
    QVERIFY(fontAt(0).bold());
    QCOMPARE(fontAt(0).pointSizeF(), 10.0);
    QCOMPARE(fontAt(0).family(), QStringLiteral("MS Sans Serif"));
}

void ClipboardTest::cutRemovesAndPasteBringsBack()
{
    select(10, 23);  // "| Пётр-Кино |"
    f.form->щщ_Click();
    QCOMPARE(f.ui().Box->text(), QStringLiteral("Иван-Игра "));
    QVERIFY(f.seams->clipboard.text().value_or(QString()).startsWith(QStringLiteral("{\\rtf1")));
    f.form->амвпа_Click();
    QCOMPARE(f.ui().Box->text(), QStringLiteral("Иван-Игра | Пётр-Кино |"));
}

void ClipboardTest::pasteOfAnEmptyClipboardDeletesTheSelection()
{
    f.seams->clipboard.content.clear();
    f.form->амвпа_Click();  // no selection: nothing changes
    QCOMPARE(f.ui().Box->text(), QStringLiteral("Иван-Игра | Пётр-Кино |"));
    select(0, 5);
    f.form->амвпа_Click();
    QCOMPARE(f.ui().Box->text(), QStringLiteral("Игра | Пётр-Кино |"));
}

void ClipboardTest::unreachableClipboard()
{
    f.seams->clipboard.content = QStringLiteral("осталось");
    f.seams->clipboard.reachable = false;
    select(0, 5);
    f.form->амвпа_Click();  // cannot read: inserts nothing, deletes nothing
    QCOMPARE(f.ui().Box->text(), QStringLiteral("Иван-Игра | Пётр-Кино |"));
    f.form->щщ_Click();     // cannot write: the cut still deletes
    QCOMPARE(f.ui().Box->text(), QStringLiteral("Игра | Пётр-Кино |"));
    QCOMPARE(f.seams->clipboard.content, QStringLiteral("осталось"));
    QVERIFY(f.seams->messages.calls.isEmpty());
}

void ClipboardTest::printsSelectionOrWholeRegister_data()
{
    QTest::addColumn<int>("from");
    QTest::addColumn<int>("to");
    QTest::addColumn<QString>("printed");
    QTest::newRow("selection") << 11 << 21 << "Пётр-Кино";
    QTest::newRow("no selection: everything") << 0 << 0 << "Иван-Игра | Пётр-Кино |";
}

void ClipboardTest::printsSelectionOrWholeRegister()
{
    QFETCH(int, from);
    QFETCH(int, to);
    QFETCH(QString, printed);
    const QString pdftotext = QStandardPaths::findExecutable(QStringLiteral("pdftotext"));
    if (pdftotext.isEmpty())
        QSKIP("pdftotext (Debian package poppler-utils) is not installed");
    QTemporaryDir dir;
    const QString pdf = dir.filePath(QStringLiteral("register.pdf"));
    // The range picked in the dialog does not matter.
    printTo(pdf, QPrinter::AllPages);
    select(from, to);
    f.form->нг_Click();

    QCOMPARE(f.seams->dialog.calls.size(), 1);
    QCOMPARE(f.seams->dialog.calls[0].title, QStringLiteral("Печать"));
    QCOMPARE(f.seams->dialog.calls[0].preselectSelection, from != to);
    QProcess extract;
    extract.start(pdftotext, {QStringLiteral("-enc"), QStringLiteral("UTF-8"), pdf, QStringLiteral("-")});
    QVERIFY(extract.waitForFinished());
    const QString text = QString::fromUtf8(extract.readAllStandardOutput()).simplified();
    // Pages carry their number at the foot.
    QCOMPARE(text, printed + QStringLiteral(" 1"));
}

void ClipboardTest::cancelledPrintPrintsNothing()
{
    select(0, 4);
    f.form->нг_Click();  // the scripted dialog answers Cancel
    QCOMPARE(f.seams->dialog.calls.size(), 1);
    QVERIFY(f.seams->messages.calls.isEmpty());
    QCOMPARE(f.ui().Box->text(), QStringLiteral("Иван-Игра | Пётр-Кино |"));
}

// Cancel in the progress after page 2: no third page, no message, the register as it was.
void ClipboardTest::printCancelledAtAPageStopsThere()
{
    const QString pdfinfo = QStandardPaths::findExecutable(QStringLiteral("pdfinfo"));
    if (pdfinfo.isEmpty())
        QSKIP("pdfinfo (Debian package poppler-utils) is not installed");
    QStringList lines;
    for (int i = 0; i < 2000; ++i)
        lines.append(QStringLiteral("Иван-Игра %1 |").arg(i));
    const QString text = lines.join(u'\n');
    f.ui().Box->setText(text);
    QTemporaryDir dir;
    const QString pdf = dir.filePath(QStringLiteral("register.pdf"));
    printTo(pdf);
    f.seams->progress.cancelAtStep = 2;
    f.form->нг_Click();

    QCOMPARE(f.seams->progress.starts, 1);
    QCOMPARE(f.seams->progress.done.size(), 2);
    QVERIFY(!f.seams->progress.open);
    QVERIFY(f.seams->messages.calls.isEmpty());
    QCOMPARE(f.ui().Box->text(), text);
    if (QFileInfo(pdf).size() > 0) {
        QProcess info;
        info.start(pdfinfo, {pdf});
        QVERIFY(info.waitForFinished());
        const QString pages = QString::fromUtf8(info.readAllStandardOutput()).section(QStringLiteral("Pages:"), 1).simplified().section(u' ', 0, 0);
        QVERIFY2(pages.toInt() >= 1 && pages.toInt() <= 2, qPrintable(pages));
    }
}

void ClipboardTest::printerThatCannotOpenIsReported()
{
    QTemporaryDir dir;
    const QString pdf = dir.filePath(QStringLiteral("no such folder/register.pdf"));
    printTo(pdf);
    f.form->нг_Click();

    QCOMPARE(f.seams->messages.calls.size(), 1);
    const testing::MessageCall& message = f.seams->messages.calls[0];
    QCOMPARE(message.title, QStringLiteral("Крамбол"));
    QCOMPARE(message.icon, platform::MessageIcon::Critical);
    QCOMPARE(message.buttons, platform::MessageButtons::Ok);
    QVERIFY2(message.text.startsWith(QStringLiteral("Не удалось напечатать в файл «") + QDir::toNativeSeparators(pdf)),
             qPrintable(message.text));
    QCOMPARE(f.seams->progress.starts, 0);
    QVERIFY(!QFile::exists(pdf));
    QCOMPARE(f.ui().Box->text(), QStringLiteral("Иван-Игра | Пётр-Кино |"));
}

QTEST_MAIN(ClipboardTest)
#include "tst_clipboard.moc"
