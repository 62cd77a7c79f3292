#pragma once
#include <QTextEdit>
namespace tavi {
class RichEdit : public QTextEdit {
    Q_OBJECT
public:
    using QTextEdit::QTextEdit;
};
}
