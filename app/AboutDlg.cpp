#include "app/AboutDlg.h"

#include "resources/ResourceIds.h"
#include "resources/ShellResources.h"

#include <QDialog>
#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QVBoxLayout>

CAboutDlg::CAboutDlg() : CDialog(IDD_ABOUTBOX)
{
}

BOOL CAboutDlg::OnInitDialog()
{
    QDialog* d = GetDialog();
    d->setWindowTitle("About Veltrix");
    auto* text = new QVBoxLayout;
    auto* name = new QLabel("Veltrix  Version 5.10", d);
    name->setObjectName("version");
    text->addWidget(name);
    text->addWidget(new QLabel("A laboratory for dynamical systems, made for teaching.", d));
    auto* icon = new QLabel(d);
    icon->setPixmap(
        QPixmap::fromImage(MakeBackgroundPicture().scaledToHeight(48, Qt::SmoothTransformation)));
    auto* row = new QHBoxLayout;
    row->addWidget(icon);
    row->addLayout(text);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok, d);
    QObject::connect(buttons, &QDialogButtonBox::accepted, d, &QDialog::accept);
    auto* layout = new QVBoxLayout(d);
    layout->addLayout(row);
    layout->addWidget(buttons);
    d->setFixedSize(d->sizeHint());
    return TRUE;
}
