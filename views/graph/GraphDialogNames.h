#pragma once
// The dialog classes by the names each model kind knows them by.
#include "model/core/ModelSettings.h"
#include "views/graph/GraphDialogs.h"

// The names each model kind knows them by.
template <class Dlg, GraphKind K> struct CGraphDlgOfKind : Dlg
{
    explicit CGraphDlgOfKind(CWnd* p = nullptr) : Dlg(K, p) {}
};
using CDS1GraphLimDlg = CGraphDlgOfKind<CGraphLimDlg, GraphKind::Newtonian>;
using CDS1NNGraphLimDlg = CGraphDlgOfKind<CGraphLimDlg, GraphKind::OneVariable>;
using CDS2GraphLimDlg = CGraphDlgOfKind<CGraphLimDlg, GraphKind::TwoVariable>;
using CDS3GraphLimDlg = CGraphDlgOfKind<CGraphLimDlg, GraphKind::ThreeVariable>;
using CDS1GraphVarDlg = CGraphDlgOfKind<CGraphVarDlg, GraphKind::Newtonian>;
using CDS1NNGraphVarDlg = CGraphDlgOfKind<CGraphVarDlg, GraphKind::OneVariable>;
using CDS2GraphVarDlg = CGraphDlgOfKind<CGraphVarDlg, GraphKind::TwoVariable>;
using CDS3GraphVarDlg = CGraphDlgOfKind<CGraphVarDlg, GraphKind::ThreeVariable>;
