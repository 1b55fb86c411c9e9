#include "dialogs/DialogControls.h"
#include "dialogs/DialogConstants.h"

#include <QCheckBox>
#include <QDialog>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpressionValidator>

QLayout* OkCancelRow(QDialog& dialog, const QString& strOk) {
    auto* ok = Named(dlg::kIdOk, new QPushButton(strOk, &dialog));
    ok->setDefault(true);
    auto* cancel = Named(dlg::kIdCancel, new QPushButton(QStringLiteral("Abbrechen"), &dialog));
    cancel->setVisible(false);
    QObject::connect(ok, &QPushButton::clicked, &dialog, &QDialog::accept);
    QObject::connect(cancel, &QPushButton::clicked, &dialog, &QDialog::reject);

    auto* row = new QHBoxLayout;
    row->addStretch();
    row->addWidget(ok);
    row->addWidget(cancel);
    return row;
}

void AcceptDigitsOnly(QLineEdit* edit) {
    static const QRegularExpression digits(QStringLiteral("[0-9]*"));
    edit->setValidator(new QRegularExpressionValidator(digits, edit));
}

void ExchangeText(bool bSave, QLineEdit* edit, QString& strValue) {
    if (bSave)
        strValue = edit->text();
    else if (edit->text() != strValue)
        edit->setText(strValue);
}

void ExchangeCheck(bool bSave, QCheckBox* box, int& nValue) {
    if (bSave)
        nValue = box->isChecked() ? 1 : 0;
    else if (box->isChecked() != (nValue != 0))
        box->setChecked(nValue != 0);
}
