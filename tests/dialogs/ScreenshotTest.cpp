// Pictures of the four pages of a two-variable model's sheet; with VELTRIX_SHOTS=dir they are
// saved there as sheet-<page>.png to be looked at.
#include "dialogs/StdFormDlg.h"
#include "tests/dialogs/SheetFixture.h"

#include <QCoreApplication>
#include <QDialog>
#include <QImage>
#include <QLineEdit>
#include <QRadioButton>
#include <QTabWidget>

#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>
#include <string>

TEST(PropertySheetScreenshot, EveryPageDrawsItsControls)
{
    SheetFixture f(SystemKind::TwoVariable);
    QDialog* dlg = f.sheet->GetDialog();
    dlg->adjustSize();
    const char* dir = std::getenv("VELTRIX_SHOTS");
    for (int page = 0; page < 4; ++page) {
        ASSERT_TRUE(f.Go(page));
        QCoreApplication::processEvents(); // the new page's layout settles
        const QImage shot = dlg->grab().toImage();
        QWidget* shown = f.sheet->GetTabControl()->currentWidget();
        for (QLineEdit* edit : shown->findChildren<QLineEdit*>()) // laid out, wide enough
            EXPECT_TRUE(edit->isVisible() && edit->width() >= 60) << page;
        if (dir)
            shot.save(QString("%1/sheet-%2.png").arg(dir).arg(page));
    }
    EXPECT_EQ(f.sheet->GetTabControl()->tabText(0), "Time Properties");
}

TEST(PropertySheetScreenshot, StandardFormsShowTheirFormulas)
{
    for (SystemKind kind : {SystemKind::Newtonian, SystemKind::OneVariable, SystemKind::TwoVariable,
                            SystemKind::ThreeVariable}) {
        std::unique_ptr<CStdFormDlg> dlg(NewStdFormDlg(kind, nullptr));
        dlg->m_nForm = 1;
        dlg->Create(0);
        QCoreApplication::processEvents();
        const auto radios = dlg->GetDialog()->findChildren<QRadioButton*>();
        ASSERT_FALSE(radios.isEmpty());
        EXPECT_EQ(radios[0]->text(), "User Defined Function");
        EXPECT_TRUE(radios[1]->isChecked());
        if (const char* dir = std::getenv("VELTRIX_SHOTS"))
            dlg->GetDialog()->grab().save(
                QString("%1/stdform-%2.png").arg(dir).arg(static_cast<int>(kind)));
        dlg->DestroyWindow();
    }
}
