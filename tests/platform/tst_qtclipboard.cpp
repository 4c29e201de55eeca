// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/Clipboard.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QMimeData>
#include <QTest>

#include <memory>

using namespace krambol;

// The system clipboard through its seam: a deferred text is offered as a plain one is, written on the
// first read only, and let go unwritten when something replaces it.
class QtClipboardTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void deferredTextIsOfferedAsPlainTextAndWrittenOnce();
    void replacedDeferredTextIsNeverWritten();

private:
    // A text made by a function that counts its runs and holds `held` while it lives.
    std::function<QString()> counted(const QString& text, std::shared_ptr<int> held)
    {
        return [this, text, held] {
            ++m_renders;
            return text;
        };
    }

    int m_renders = 0;
};

void QtClipboardTest::deferredTextIsOfferedAsPlainTextAndWrittenOnce()
{
    QClipboard* system = QGuiApplication::clipboard();
    platform::QtClipboard clipboard;
    const QString text = QStringLiteral("{\\rtf1 Иван-Игра |}");
    QVERIFY(clipboard.setText(text));
    const QStringList plainFormats = system->mimeData()->formats();
    const QByteArray plainBytes = system->mimeData()->data(QStringLiteral("text/plain"));

    m_renders = 0;
    QVERIFY(clipboard.setDeferredText(counted(text, std::make_shared<int>())));
    QCOMPARE(m_renders, 0);
    const QMimeData* offered = system->mimeData();
    QCOMPARE(offered->formats(), plainFormats);
    QVERIFY(offered->hasText());
    QVERIFY(!offered->hasHtml());
    QVERIFY(offered->data(QStringLiteral("text/html")).isEmpty());
    QCOMPARE(m_renders, 0);

    QCOMPARE(system->text(), text);
    QCOMPARE(clipboard.text(), text);
    QCOMPARE(offered->data(QStringLiteral("text/plain")), plainBytes);
    QCOMPARE(m_renders, 1);
}

void QtClipboardTest::replacedDeferredTextIsNeverWritten()
{
    platform::QtClipboard clipboard;
    m_renders = 0;
    auto held = std::make_shared<int>();
    const std::weak_ptr<int> watch = held;
    QVERIFY(clipboard.setDeferredText(counted(QStringLiteral("старое"), std::move(held))));
    QVERIFY(!watch.expired());
    QVERIFY(clipboard.setText(QStringLiteral("новое")));
    QVERIFY(watch.expired());
    QCOMPARE(QGuiApplication::clipboard()->text(), QStringLiteral("новое"));
    QCOMPARE(m_renders, 0);
}

QTEST_MAIN(QtClipboardTest)
#include "tst_qtclipboard.moc"
