// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QList>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextLayout>

namespace krambol::testing {

struct LineSpan
{
    int start;
    int length;
    bool operator==(const LineSpan&) const = default;
};

// The lines Qt gives when it lays out each paragraph of the document whole, as a QTextEdit would: what
// the register pane's window-at-a-time layout must reproduce exactly.
inline QList<LineSpan> wholeParagraphLines(const QTextDocument& document, qreal width)
{
    QList<LineSpan> spans;
    QTextOption option = document.defaultTextOption();
    option.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    for (QTextBlock block = document.begin(); block.isValid(); block = block.next()) {
        QList<QTextLayout::FormatRange> formats;
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            const QTextFragment fragment = it.fragment();
            if (!fragment.charFormat().properties().isEmpty())
                formats.append({fragment.position() - block.position(), fragment.length(), fragment.charFormat()});
        }
        QTextLayout layout(block.text(), document.defaultFont());
        layout.setTextOption(option);
        layout.setFormats(formats);
        layout.beginLayout();
        for (QTextLine line = layout.createLine(); line.isValid(); line = layout.createLine())
            line.setLineWidth(width);
        layout.endLayout();
        for (int i = 0; i < layout.lineCount(); ++i)
            spans.append({block.position() + layout.lineAt(i).textStart(), layout.lineAt(i).textLength()});
    }
    return spans;
}

} // namespace krambol::testing
