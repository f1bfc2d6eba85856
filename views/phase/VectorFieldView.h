#pragma once
// Vector Field: the phase plane of a Newtonian model (x across, x' up) or of a two-variable
// model (x across, y up). The 2-D base gives the page, zoom, pan, reset, Set Limits and the
// rubber band on the vector-field limits; this view adds its texts and legend. One design for
// both kinds; what differs is in the kind's VectorFieldKindInfo.
#include "views/base/2DView.h"

struct VectorFieldKindInfo
{
    const char* vertical;        // the vertical axis's name, as in the legend (" x' ", " y ")
    const char* secondNullcline; // the legend box of the second nullcline
};
const VectorFieldKindInfo& VectorFieldKind(SystemKind kind);

class CVectorFieldView : public C2DView
{
    VX_DECLARE_CLASS(CVectorFieldView)
public:
    explicit CVectorFieldView(SystemKind kind);
    ~CVectorFieldView() override;

    SystemKind Kind() const { return m_kind; }

protected:
    void DrawMargins(CDC* pDC) override;
    // The view does not follow a run: no row is drawn.
    void DrawNewSample(int) override {}

private:
    SystemKind m_kind;
};

#define VX_VECTOR_FIELD_VIEW(Name, Kind)                                                           \
    class Name : public CVectorFieldView                                                           \
    {                                                                                              \
        VX_DECLARE_CLASS(Name)                                                                     \
    public:                                                                                        \
        Name() : CVectorFieldView(Kind) {}                                                         \
    };
VX_VECTOR_FIELD_VIEW(CSys1VF, SystemKind::Newtonian)
VX_VECTOR_FIELD_VIEW(CSys2VF, SystemKind::TwoVariable)
#undef VX_VECTOR_FIELD_VIEW
