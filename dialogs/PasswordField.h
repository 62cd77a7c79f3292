#pragma once

class QLineEdit;
class QWidget;

namespace tavi {

// A field for a password that shows each typed character as "*".
QLineEdit *newPasswordField(QWidget *parent);

} // namespace tavi
