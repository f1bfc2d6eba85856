#pragma once
// The base of the four pages of a model property sheet. A page edits a copy of the document's
// settings (the sheet's working record) and reaches the document itself only where the sheet
// writes to it while open; it records its index as the page last shown when it becomes active.
#include "dialogs/PageFields.h"
#include "dialogs/PropertyKinds.h"
#include "model/core/ModelCore.h"
#include "platform/PropertyPage.h"

class QGridLayout;
class QGroupBox;
class QLabel;
class QLineEdit;

class CModelPage : public CPropertyPage
{
    VX_DECLARE_CLASS(CModelPage)
public:
    // The document and the working record the page edits; set before the sheet is shown.
    void Attach(CModelCore* pDoc, CModelSettings* pEdit);

    // Makes the controls, loads them from the working record and shows what follows from it.
    BOOL OnInitDialog() final;
    BOOL OnSetActive() override;

    CModelCore* m_pDoc = nullptr;
    CModelSettings* m_pEdit = nullptr;

protected:
    CModelPage(SystemKind kind = SystemKind::Newtonian, int nIndex = 0, std::string caption = {});
    const PropertyKind& Kind() const { return PropertyKindOf(m_kind); }
    virtual void MakeControls() = 0;
    // The texts and states that follow from the loaded values.
    virtual void ShowDerived() {}

    // A message box with an OK button; the edit gets the focus with its text selected.
    static void Refuse(QLineEdit* pEdit, const std::string& message);
    // An edit with its label in the next row of a grid.
    static QLineEdit* AddEdit(QGridLayout* pGrid, const char* label);
    static QGroupBox* Group(const char* title, QGridLayout*& pGrid);

    const SystemKind m_kind;
    CKeptEdits m_kept;

private:
    int m_nIndex;
};

// Declares the kind's class of a page: the shared page for one kind, creatable by name.
#define VX_KIND_PAGE(Name, Base)                                                                   \
    class Name : public Base                                                                       \
    {                                                                                              \
        VX_DECLARE_CLASS(Name)                                                                     \
    public:                                                                                        \
        Name();                                                                                    \
    };
// Its definition, in the page's source file.
#define VX_IMPLEMENT_KIND_PAGE(Name, Base, Kind)                                                   \
    VX_IMPLEMENT_CLASS(Name, Base)                                                                 \
    Name::Name() : Base(Kind)                                                                      \
    {                                                                                              \
    }
