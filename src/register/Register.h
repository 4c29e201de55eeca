// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "rtf/Document.h"

#include <QFont>
#include <QObject>
#include <QString>

#include <functional>
#include <initializer_list>
#include <memory>
#include <optional>
#include <vector>

class QTextCharFormat;
class QTextCursor;
class QTextDocument;

namespace krambol::platform {
class ReplacedFile;
} // namespace krambol::platform

namespace krambol::reg {

// The register of lent discs: the document that holds its entries, the font they are shown in, and its
// files. Views show the document and edit it through cursors of their own; the register notices what
// they change.
//
// Opening a file reads it and builds the document it holds on a thread of its own; the register stays as
// it was until the open ends. Asking the register anything ends the open first, waiting for the thread:
// whatever is asked, it is asked of the register the file holds.
class Register
{
public:
    Register();
    ~Register();
    Register(const Register&) = delete;
    Register& operator=(const Register&) = delete;

    QTextDocument& document() const
    {
        waitForOpen();
        return *m_document;
    }
    // Tells when the register shows another document (after clearWhole, undoClear, redoClear), with
    // where the caret goes in it; views show document() from then on.
    void onDocumentReplaced(std::function<void(int caret)> replaced) { m_replaced = std::move(replaced); }

    // The user's deletion of the whole register, as one undo step that does not write the register out
    // again: the document is kept whole and an empty one takes its place, with the formats such a
    // deletion leaves (the last paragraph's format, the first paragraph's character format). Undo past
    // the empty document's own edits brings the kept one back as it was, with its own undo history;
    // redo goes forward again. False, and nothing done, when the document holds frames or tables.
    bool clearWhole();
    // Undo and redo across such a deletion, for when the document shown has nothing left to undo or to
    // redo; false when there is none to cross.
    bool undoClear();
    bool redoClear();

    // The whole register as plain text, line breaks as "\n"; kept until something else changes the
    // document.
    const QString& text() const;
    // Replaces the whole register by plain text in the register's font, as one change that is not undone.
    void setText(const QString& text);
    // Adds an entry after the register's plain text, as one change that is not undone. Like writing the
    // plain text and the entry over the whole register, which it is whenever the register holds anything
    // plain text would not keep (character formats, a no-break space); otherwise only the entry is
    // written, and the text before it stays untouched.
    void append(const QString& entry);

    // The register's font: the style of its whole content and of everything written later. Text with a
    // format of its own takes each change of a property too.
    QFont font() const;
    void setFont(const QFont& font);
    void setBold(bool on);
    void setItalic(bool on);
    void setUnderline(bool on);
    void setPointSize(qreal points);

    // Writes the whole register to an RTF file, all or nothing; the reason when it could not.
    std::optional<QString> save(const QString& path) const;
    // The whole register as it is now, to be written later, from any thread, by write(): it holds
    // nothing of the register.
    rtf::Document snapshot() const;
    // With `replaced`, the file it replaced is held there (see platform::ReplacedFile).
    static std::optional<QString> write(const QString& path, const rtf::Document& snapshot,
                                        platform::ReplacedFile* replaced = nullptr);
    // Replaces the whole register by the RTF document in the file, as one change that is not undone; the
    // reason when it could not, and then the register is as it was.
    std::optional<QString> open(const QString& path);
    // The same, in two steps: beginOpen starts reading the file on a thread of its own and returns. The open
    // ends when the thread is done (through this thread's event loop), with finishOpen, or before anything
    // else the register is asked, whichever comes first; an open begun ends the one under way.
    void beginOpen(const QString& path);
    bool opening() const { return m_opening != nullptr; }
    // Ends the open under way, waiting for its thread; the reason when the file could not be opened. Without
    // an open under way, nothing.
    std::optional<QString> finishOpen();
    // Tells of every open that ended, whoever ended it: the file's path and, when it failed, why.
    void onOpenEnded(std::function<void(const QString& path, const std::optional<QString>& error)> ended)
    {
        m_openEnded = std::move(ended);
    }

    // The part of the register between two positions as RTF source text, for the clipboard.
    QString rtfBetween(int from, int to) const;
    // The same text, written when the function is first called: it is the part as it is now, whatever
    // happens to the register afterwards, and the function holds nothing of the register or its document.
    // What it keeps costs little to take: the part's plain text and the register's font for a plain
    // register, the part's runs otherwise.
    std::function<QString()> rtfBetweenLater(int from, int to) const;
    // Writes clipboard text at the cursor: as rich text when it begins with an RTF header (a broken or
    // cut-off document gives what could be read of it), otherwise as plain text in the register's font.
    static void insertClipboardText(QTextCursor& cursor, const QString& text);

private:
    // Gives the register's font the property `format` sets, and text with a format of its own shows it too:
    // `properties` are the format properties that say it.
    void applyToWholeContent(const QTextCharFormat& format, std::initializer_list<int> properties);
    bool isPlain() const;
    bool readsAsWritten() const;
    // Writes the plain text and `entry` over the whole register; in place where that leaves the same.
    void writeWhole(const QString& entry);
    bool rewriteInPlace(const QString& entry);
    void noticeChange(int from, int added);
    void noticeOwnEntry(const QString& entry);
    void forgetText();
    std::unique_ptr<QTextDocument> makeDocument();
    // Makes a document the register's: it notices the changes views make.
    void watch(QTextDocument* document);
    void waitForOpen() const
    {
        if (m_opening)
            const_cast<Register*>(this)->finishOpen();
    }
    // Shows another document and gives back the one shown before, once views have left it.
    std::unique_ptr<QTextDocument> show(std::unique_ptr<QTextDocument> document, int caret);
    // Shows the last document of `from`, and puts the one shown last in `to`.
    bool showNext(std::vector<std::unique_ptr<QTextDocument>>& from, std::vector<std::unique_ptr<QTextDocument>>& to,
                  bool caretAtEnd);
    // A change that is not undone ends the undo history, across deletions too.
    void forgetOtherDocuments();

    std::unique_ptr<QTextDocument> m_document;
    // Documents deleted whole, the latest last, and those undo brought back from, the next last.
    using Documents = std::vector<std::unique_ptr<QTextDocument>>;
    Documents m_earlier;
    Documents m_later;
    std::function<void(int)> m_replaced;
    // The plain text and whether the document holds nothing but plain text in the register's font, kept
    // until the next change the register did not make itself.
    mutable QString m_text;
    mutable bool m_textValid = true;
    mutable int m_plain = 1;
    // Whether every character reads back as itself in plain text (-1: not known).
    mutable int m_readsAsWritten = 1;
    bool m_ownEdit = false;
    // The open under way, and where the news of its thread arrives.
    struct Opening;
    std::unique_ptr<Opening> m_opening;
    std::function<void(const QString&, const std::optional<QString>&)> m_openEnded;
    QObject m_news;
};

} // namespace krambol::reg
