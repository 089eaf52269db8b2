#include "FDialog1Window.h"

#include "platform/qt/QtText.h"

#include <QApplication>
#include <QDialog>
#include <QDialogButtonBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace arv {

int TQtFieldDialog::ShowModal(TFDialog1& d) {
    QDialog dlg(QApplication::activeWindow());
    dlg.setWindowTitle(ToQString(d.Caption));
    dlg.setEnabled(d.Enabled);
    auto* layout = new QVBoxLayout(&dlg);
    auto* label1 = new QLabel(ToQString(d.Label1));
    auto* label2 = new QLabel(ToQString(d.Label2));
    auto* edit = new QLineEdit(ToQString(d.Edit1));
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
    buttons->button(QDialogButtonBox::Cancel)->setText(QString::fromUtf8("Отмена"));
    layout->addWidget(label1);
    layout->addWidget(label2);
    layout->addWidget(edit);
    layout->addWidget(buttons);
    QObject::connect(buttons, &QDialogButtonBox::accepted, &dlg, &QDialog::accept);
    QObject::connect(buttons, &QDialogButtonBox::rejected, &dlg, &QDialog::reject);
    edit->setFocus();
    edit->selectAll();
    dlg.setFixedSize(dlg.sizeHint().expandedTo(QSize(320, 0)));
    if (dlg.exec() != QDialog::Accepted) return 2;
    d.Edit1 = FromQString(edit->text());
    return 1;
}

} // namespace arv
