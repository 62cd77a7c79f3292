#pragma once

#include "formats/RtfDocument.h"

#include <QByteArray>
#include <QTextEdit>

#include <memory>

class QMenu;

namespace tavi {

class IncrementalRtfWriter;

// The rich-text box the notes are written in: a QTextEdit that reads and
// writes its content as RTF, reports every change at once and tells when the
// keyboard focus leaves it for another control.
class RichEdit : public QTextEdit {
    Q_OBJECT
public:
    explicit RichEdit(QWidget *parent = nullptr);
    ~RichEdit() override;

    // The whole content with its character formatting as one RTF document.
    QByteArray rtf() const;
    // The content as the format-neutral document the RTF codec works on.
    RtfDocument richText() const;
    // Replaces the whole content. Raises changed() once before it returns
    // (unless signals are blocked); clears the undo history.
    void setRichText(const RtfDocument &doc);

    // Nothing loaded into the box is ever protected against editing (RTF's
    // \protect is not honoured), so the selection is always editable. Kept as
    // an operation so that callers state what they rely on.
    void clearProtection() {}

    // The characters without formatting, paragraph and line breaks as CR LF.
    QString plainTextCrLf() const;
    // Replaces the whole content by text in the box's own font (empty clears).
    void setContentText(const QString &text);

    void deleteSelection();
    // Replaces the selection (or inserts at the caret) without an undo step:
    // the undo history is cleared, so undo can never take the text out again.
    void replaceSelection(const QString &text);
    // Colours the selection, or the insertion point when nothing is selected.
    void setSelectionColor(const QColor &color);

    // Whether the selection stays visible while another control has the focus.
    void setHideSelectionOnFocusLoss(bool hide);
    void setBackgroundColor(const QColor &color);
    // The menu shown on a right click, after the box has taken the focus.
    void setContextMenu(QMenu *menu) { contextMenu_ = menu; }

signals:
    // Every change of the content or its formatting, raised synchronously.
    void changed();
    // The focus moved from this box to another control of the same window.
    void focusLost();

protected:
    void changeEvent(QEvent *event) override;
    void contextMenuEvent(QContextMenuEvent *event) override;
    void focusOutEvent(QFocusEvent *event) override;

private:
    void updateSelectionPalette();

    // Every save writes all six boxes: the RTF is kept paragraph by paragraph,
    // so only what changed is written again. Made at the first save.
    mutable std::unique_ptr<IncrementalRtfWriter> rtf_;
    QMenu *contextMenu_ = nullptr;
    bool hideSelection_ = false;
};

} // namespace tavi
