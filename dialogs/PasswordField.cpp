#include "dialogs/PasswordField.h"

#include <QLineEdit>

namespace tavi {

QLineEdit *newPasswordField(QWidget *parent)
{
    auto *field = new QLineEdit(parent);
    field->setEchoMode(QLineEdit::Password);
    // The style's own mask character is a bullet.
    field->setStyleSheet(QStringLiteral("lineedit-password-character: 42;"));
    return field;
}

} // namespace tavi
