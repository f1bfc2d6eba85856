#include "tests/dialogs/SheetFixture.h"

#include "platform/RuntimeClass.h"

#include <QApplication>
#include <QLineEdit>
#include <QtTest/QTest>

SheetFixture::SheetFixture(SystemKind kind, const std::function<void(CModelCore&)>& prepare)
    : doc(kind)
{
    doc.InitNewModel();
    if (prepare)
        prepare(doc);
    before.emplace(doc);
    edited = doc;
    const CRuntimeClass* pClass = CRuntimeClass::FromName(IModelPropertySheet::ClassName(kind));
    sheet.reset(dynamic_cast<CModelPropSheet*>(pClass->CreateObject()));
    sheet->Attach(doc, edited);
    sheet->Create(0);
}

SheetFixture::~SheetFixture()
{
    if (sheet->GetSafeHwnd())
        sheet->DestroyWindow();
}

CTimePage& SheetFixture::Time() const
{
    return *static_cast<CTimePage*>(sheet->GetPage(0));
}

CSpacePage& SheetFixture::Space() const
{
    return *static_cast<CSpacePage*>(sheet->GetPage(1));
}

CTablePage& SheetFixture::Table() const
{
    return *static_cast<CTablePage*>(sheet->GetPage(2));
}

CObjectPage& SheetFixture::Object() const
{
    return *static_cast<CObjectPage*>(sheet->GetPage(3));
}

bool SheetFixture::Go(int nPage)
{
    sheet->SetActivePage(nPage);
    return sheet->GetActiveIndex() == nPage;
}

std::optional<bool> SheetFixture::Ok()
{
    sheet->OnOK();
    if (sheet->IsWindowVisible())
        return std::nullopt;
    return ApplyProperties(doc, edited, *before);
}

void SheetFixture::Cancel()
{
    sheet->OnCancel();
    before->Restore(doc);
}
