#pragma once
// Building blocks the three dialogs share: controls named by their identifier, the button row,
// and the exchange of one control with its member.

#include <QString>

class QCheckBox;
class QDialog;
class QLayout;
class QLineEdit;

// Names a control by its identifier, so that support and tests find it by objectName.
template <typename W> W* Named(int nId, W* widget) {
    widget->setObjectName(QString::number(nId));
    return widget;
}

// The default button with strOk and the "Abbrechen" button, which exists but stays hidden:
// the operator cancels with Esc or the close box.
QLayout* OkCancelRow(QDialog& dialog, const QString& strOk);

// Typing and pasting take digits only; the field's length limit stays as it is. A stored value
// put in with setText is shown as it is.
void AcceptDigitsOnly(QLineEdit* edit);

// bSave: control -> member, else member -> control. A control is written only when its value
// differs, so a periodic exchange keeps the caret of a field the operator is typing in.
void ExchangeText(bool bSave, QLineEdit* edit, QString& strValue);
// Check boxes as 0 or 1.
void ExchangeCheck(bool bSave, QCheckBox* box, int& nValue);
