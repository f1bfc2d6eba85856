#include "platform/ListChoice.h"

#include "platform/Dialog.h"

#include <QDialog>
#include <QDialogButtonBox>
#include <QLabel>
#include <QListWidget>
#include <QVBoxLayout>

namespace vx {

int ChooseFromList(QWidget* pParent, const QString& title, const QString& label,
                   const QStringList& rows, int current)
{
    QDialog dlg(pParent);
    dlg.setWindowTitle(title);
    auto* layout = new QVBoxLayout(&dlg);
    auto* caption = new QLabel(label, &dlg);
    auto* list = new QListWidget(&dlg);
    caption->setBuddy(list); // the ampersand marks the list's key, it is not shown
    list->addItems(rows);
    if (current >= 0)
        list->setCurrentRow(current);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, &dlg);
    layout->addWidget(caption);
    layout->addWidget(list);
    layout->addWidget(buttons);
    QObject::connect(buttons, &QDialogButtonBox::accepted, &dlg, &QDialog::accept);
    QObject::connect(buttons, &QDialogButtonBox::rejected, &dlg, &QDialog::reject);
    QObject::connect(list, &QListWidget::itemDoubleClicked, &dlg, &QDialog::accept);
    if (!AcceptedModal(dlg))
        return -1;
    return list->currentRow();
}

} // namespace vx
