#include "dialogs/ObjectPage.h"

#include "model/core/SettingsTable.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QLineEdit>
#include <QVBoxLayout>

#include <cstring>

VX_IMPLEMENT_ABSTRACT(CObjectPage, CModelPage)
VX_IMPLEMENT_KIND_PAGE(CDS1Object, CObjectPage, SystemKind::Newtonian)
VX_IMPLEMENT_KIND_PAGE(CDS1NNObject, CObjectPage, SystemKind::OneVariable)
VX_IMPLEMENT_KIND_PAGE(CDS2Object, CObjectPage, SystemKind::TwoVariable)
VX_IMPLEMENT_KIND_PAGE(CDS3Object, CObjectPage, SystemKind::ThreeVariable)

CObjectPage::CObjectPage(SystemKind kind) : CModelPage(kind, 3, "Object Properties")
{
}

void CObjectPage::MakeControls()
{
    auto* layout = new QVBoxLayout(GetWidget());
    QGridLayout* initial = nullptr;
    QGroupBox* conditions = Group("Initial Conditions", initial);
    const PropertyKind& k = Kind();
    for (int i = 0; i < k.objects; ++i) {
        if (std::strcmp(k.object[i].member, "m_dMass") == 0) { // a group of its own
            QGridLayout* mass = nullptr;
            layout->addWidget(Group(k.object[i].label, mass));
            m_editValue[i] = AddEdit(mass, "");
        } else {
            m_editValue[i] = AddEdit(initial, k.object[i].label);
        }
    }
    layout->addWidget(conditions);
    layout->addStretch();
}

void CObjectPage::DoDataExchange(CDataExchange* pDX)
{
    const PropertyKind& k = Kind();
    for (int i = 0; i < k.objects; ++i)
        m_kept.Number(pDX, m_editValue[i], FindField(k.object[i].member)->Double(*m_pEdit),
                      RangeOf(k.object[i].member));
}
