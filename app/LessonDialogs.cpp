#include "app/LessonDialogs.h"

#include "platform/Dialog.h"

#include <QCheckBox>
#include <QDialog>
#include <QDialogButtonBox>
#include <QFontDialog>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QIcon>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPixmap>
#include <QPushButton>
#include <QTextCharFormat>
#include <QVBoxLayout>

#include <optional>

bool AskFind(QWidget* parent, bool bReplace, FindRequest& r)
{
    QDialog dlg(parent);
    dlg.setWindowTitle(bReplace ? "Replace" : "Find");
    auto* form = new QFormLayout(&dlg);
    auto* what = new QLineEdit(r.what, &dlg);
    auto* with = new QLineEdit(r.with, &dlg);
    what->setObjectName("what");
    with->setObjectName("with");
    auto* matchCase = new QCheckBox("Match &case", &dlg);
    matchCase->setChecked(r.matchCase);
    form->addRow("Fi&nd what:", what);
    if (bReplace)
        form->addRow("Re&place with:", with);
    form->addRow(matchCase);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Cancel, &dlg);
    QPushButton* next =
        buttons->addButton(bReplace ? "&Replace" : "&Find Next", QDialogButtonBox::AcceptRole);
    next->setDefault(true);
    QObject::connect(buttons, &QDialogButtonBox::accepted, &dlg, &QDialog::accept);
    QObject::connect(buttons, &QDialogButtonBox::rejected, &dlg, &QDialog::reject);
    if (bReplace) {
        QPushButton* all = buttons->addButton("Replace &All", QDialogButtonBox::ActionRole);
        all->setObjectName("all");
        QObject::connect(all, &QPushButton::clicked, &dlg, [&] {
            r.all = true;
            dlg.accept();
        });
    }
    form->addRow(buttons);
    if (!AcceptedModal(dlg) || what->text().isEmpty())
        return false;
    r.what = what->text();
    r.with = with->text();
    r.matchCase = matchCase->isChecked();
    return true;
}

namespace {
// Qt's font chooser shown inside a dialog of ours: it is a dialog itself, and its Esc (or Enter
// in its lists) would end it alone and leave ours open and empty. Its end is ours.
class CFontChooser : public QFontDialog
{
public:
    CFontChooser(const QFont& font, QDialog* owner) : QFontDialog(font, owner), m_owner(owner) {}

protected:
    void done(int result) override { m_owner->done(result); }
    // Enter in a field (the size typed) takes the font as OK does: a dialog keeps an Enter that
    // finds no default button of its own shown, and this one's buttons are hidden.
    void keyPressEvent(QKeyEvent* e) override
    {
        if (e->key() == Qt::Key_Return || e->key() == Qt::Key_Enter)
            accept();
        else
            QFontDialog::keyPressEvent(e);
    }

private:
    QDialog* m_owner;
};
} // namespace

// The old editor's font dialog had the colour as well.
bool AskFont(QWidget* parent, QTextCharFormat& format)
{
    QDialog dlg(parent);
    dlg.setWindowTitle("Font");
    auto* fonts = new CFontChooser(format.font(), &dlg);
    fonts->setWindowFlags(Qt::Widget);
    fonts->setOptions(QFontDialog::NoButtons | QFontDialog::DontUseNativeDialog);
    std::optional<QColor> colour;
    if (format.foreground().style() != Qt::NoBrush)
        colour = format.foreground().color();
    auto* pick = new QPushButton("&Color...", &dlg);
    pick->setObjectName("colour");
    auto showColour = [pick, &colour] {
        QPixmap swatch(16, 16);
        swatch.fill(colour.value_or(Qt::black));
        pick->setIcon(QIcon(swatch));
    };
    showColour();
    QObject::connect(pick, &QPushButton::clicked, &dlg, [&] {
        const QColor start = colour.value_or(Qt::black);
        if (const auto c = PickColorWithDialog(RGB(start.red(), start.green(), start.blue()), &dlg))
            colour = QColor(GetRValue(*c), GetGValue(*c), GetBValue(*c));
        showColour();
    });
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, &dlg);
    QObject::connect(buttons, &QDialogButtonBox::accepted, &dlg, &QDialog::accept);
    QObject::connect(buttons, &QDialogButtonBox::rejected, &dlg, &QDialog::reject);
    auto* row = new QHBoxLayout;
    row->addWidget(pick);
    row->addStretch();
    row->addWidget(buttons);
    auto* layout = new QVBoxLayout(&dlg);
    layout->addWidget(fonts);
    layout->addLayout(row);
    if (!AcceptedModal(dlg))
        return false;
    format = QTextCharFormat();
    format.setFont(fonts->currentFont());
    if (colour)
        format.setForeground(*colour);
    return true;
}
