#pragma once
// The dialog that chooses one entry of a list (File/New's kinds, More Windows...): a label whose
// "&" gives the list its key, the list, OK and Cancel; a double click chooses. Internal to
// platform/.
#include <QString>
#include <QStringList>

class QWidget;

namespace vx {

// The row chosen, or -1 when the dialog was cancelled; current is the row selected at first
// (-1: none).
int ChooseFromList(QWidget* pParent, const QString& title, const QString& label,
                   const QStringList& rows, int current);

} // namespace vx
