#pragma once
// The settings record of a model: every setting of the four model kinds under one roof. The
// model document derives from it, so views, dialogs and data entry read and write the members
// directly. The table in SettingsTable.h describes each member once (short name, type, default,
// range); defaults, model files and data-entry keys are all driven from that table.
//
// In-class initialisers are the values a new document has before SetDefaults runs (pens of
// imported data, run flags, extents, ...); SetDefaults writes all the others.
#include "platform/base/WinTypes.h"

#include <numbers>
#include <string>

enum class SystemKind : int
{
    Newtonian = 0,
    OneVariable = 1,
    TwoVariable = 2,
    ThreeVariable = 3
};

constexpr int kSystemKinds = 4;
constexpr double kTwoPi = 2.0 * std::numbers::pi;

struct CModelSettings
{
    // Graph vs Time
    BOOL m_bPlotX = 1, m_bPlotXp = 1, m_bPlotXpp = 1, m_bPlotY = 1, m_bPlotYp = 1;
    BOOL m_bPlotZ = 1, m_bPlotZp = 1;
    double m_dGraphVAbsMax = 10, m_dGraphVAbsMin = -10, m_dGraphVMax = 10, m_dGraphVMin = -10;

    // Limit blocks of the 2-D views: axis 1 is x, axis 2 is x' (y in the two-variable kind).
    double m_dPOAbsMax1 = 10, m_dPOAbsMin1 = -10, m_dPOAbsMax2 = 10, m_dPOAbsMin2 = -10;
    double m_dPOMax1 = 10, m_dPOMin1 = -10, m_dPOMax2 = 10, m_dPOMin2 = -10;
    double m_dFOAbsMax1 = 10, m_dFOAbsMin1 = -10, m_dFOAbsMax2 = 10, m_dFOAbsMin2 = -10;
    double m_dFOMax1 = 10, m_dFOMin1 = -10, m_dFOMax2 = 10, m_dFOMin2 = -10;
    double m_dOSAbsMax1 = 10, m_dOSAbsMin1 = -10, m_dOSAbsMax2 = 10, m_dOSAbsMin2 = -10;
    double m_dOSMax1 = 10, m_dOSMin1 = -10, m_dOSMax2 = 10, m_dOSMin2 = -10;
    double m_dPSAbsMax1 = 10, m_dPSAbsMin1 = -10, m_dPSAbsMax2 = 10, m_dPSAbsMin2 = -10;
    double m_dPSMax1 = 10, m_dPSMin1 = -10, m_dPSMax2 = 10, m_dPSMin2 = -10;
    double m_dBAAbsMax1 = 10, m_dBAAbsMin1 = -10, m_dBAAbsMax2 = 10, m_dBAAbsMin2 = -10;
    double m_dBAMax1 = 10, m_dBAMin1 = -10, m_dBAMax2 = 10, m_dBAMin2 = -10;

    // Limit blocks of the three-variable kind; the third block is stored but shown by no view.
    double m_dPO3AbsMaxX = 10, m_dPO3AbsMinX = -10, m_dPO3AbsMaxY = 10, m_dPO3AbsMinY = -10;
    double m_dPO3AbsMaxZ = 10, m_dPO3AbsMinZ = -10;
    double m_dPO3MaxX = 10, m_dPO3MinX = -10, m_dPO3MaxY = 10, m_dPO3MinY = -10;
    double m_dPO3MaxZ = 10, m_dPO3MinZ = -10;
    double m_dPS3AbsMaxX = 10, m_dPS3AbsMinX = -10, m_dPS3AbsMaxY = 10, m_dPS3AbsMinY = -10;
    double m_dPS3AbsMaxZ = 10, m_dPS3AbsMinZ = -10;
    double m_dPS3MaxX = 10, m_dPS3MinX = -10, m_dPS3MaxY = 10, m_dPS3MinY = -10;
    double m_dPS3MaxZ = 10, m_dPS3MinZ = -10;
    double m_dB3AbsMaxX = 10, m_dB3AbsMinX = -10, m_dB3AbsMaxY = 10, m_dB3AbsMinY = -10;
    double m_dB3AbsMaxZ = 10, m_dB3AbsMinZ = -10;
    double m_dB3MaxX = 10, m_dB3MinX = -10, m_dB3MaxY = 10, m_dB3MinY = -10;
    double m_dB3MaxZ = 10, m_dB3MinZ = -10;

    // Current state: where the next run continues.
    double m_dT = 0, m_dX = 0, m_dXp = 0, m_dXpp = 0, m_dY = 0, m_dYp = 0, m_dZ = 0, m_dZp = 0;

    // Time base, initial values, table size
    double m_dGraphTMin = 0, m_dGraphTMax = kTwoPi;
    double m_dRunTimeLimit = kTwoPi;
    double m_dInitX = 0, m_dInitXp = 0, m_dInitY = 0, m_dInitZ = 0;
    int m_nXDelay = 1, m_nYDelay = 1, m_nZDelay = 1;                // chronons
    double m_dXDelayTime = 0, m_dYDelayTime = 0, m_dZDelayTime = 0; // delay x chronon
    double m_dPhase = 0;
    double m_dAngFreq = 1;
    double m_dPeriod = kTwoPi; // 2 pi / af
    int m_nChrononsPerCycle = 100;
    double m_dChronon = kTwoPi / 100; // the integration step
    int m_nTableInterval = 1;
    int m_nTableRows = 10000;
    int m_nImportRows = 0;
    int m_nTableKB = 0;

    // Table columns, views, pages, integrator
    BOOL m_bTabX = 1, m_bTabXp = 1, m_bTabXpp = 1, m_bTabY = 1, m_bTabYp = 1, m_bTabZ = 1,
         m_bTabZp = 1;
    int m_nDocNumber = 0;
    int m_nOpenViews[8] = {};
    int m_nActivePage = 0;
    int m_nIntegrator = 1; // 0 first order, otherwise Runge-Kutta-Fehlberg

    // Parameters and run state
    std::string m_strParamA = "1", m_strParamB = "1", m_strParamC = "1", m_strParamD = "1";
    double m_dParamA = 1, m_dParamB = 1, m_dParamC = 1, m_dParamD = 1;
    double m_dMass = 1;
    BYTE m_bRunning = 0, m_bBARunning = 0, m_bHaveData = 0, m_bHaveImport = 0;
    int m_nTableSource = 0;
    BOOL m_bPlotConcurrent = 0, m_bPlotPostCalc = 1, m_bPlotManual = 0;
    BYTE m_bPlotRequest = 0;

    // Running extents of the data
    double m_dMaxX = -1e30, m_dMaxXp = -1e30, m_dMaxXpp = -1e30;
    double m_dMinX = 1e30, m_dMinXp = 1e30, m_dMinXpp = 1e30;
    double m_dMaxY = -1e30, m_dMaxYp = -1e30, m_dMinY = 1e30, m_dMinYp = 1e30;
    double m_dMaxZ = -1e30, m_dMaxZp = -1e30, m_dMinZ = 1e30, m_dMinZp = 1e30;

    // Pens: x, x', x'', y, y', z, z', Projected Orbit (and second item), Full Orbit (and
    // second item), Poincare Section, two extra items.
    COLORREF m_clrX = RGB(255, 0, 0), m_clrXp = RGB(0, 255, 0), m_clrXpp = RGB(0, 0, 255);
    COLORREF m_clrY = RGB(255, 255, 0), m_clrYp = RGB(255, 0, 255);
    COLORREF m_clrZ = RGB(0, 0, 255), m_clrZp = RGB(0, 255, 255);
    COLORREF m_clrPO = RGB(255, 0, 0), m_clrPO2 = RGB(0, 255, 0);
    COLORREF m_clrFO = RGB(255, 0, 0), m_clrFO2 = RGB(0, 255, 0);
    COLORREF m_clrPS = RGB(0, 255, 0);
    COLORREF m_clrSpare1 = RGB(255, 0, 0), m_clrSpare2 = RGB(0, 255, 0);
    int m_nStyleX = 0, m_nStyleXp = 0, m_nStyleXpp = 0, m_nStyleY = 0, m_nStyleYp = 0;
    int m_nStyleZ = 0, m_nStyleZp = 0, m_nStylePO = 0, m_nStylePO2 = 0, m_nStyleFO = 0,
        m_nStyleFO2 = 0;
    int m_nStyleSpare1 = 0, m_nStyleSpare2 = 0;
    int m_nWidthX = 1, m_nWidthXp = 1, m_nWidthXpp = 1, m_nWidthY = 1, m_nWidthYp = 1;
    int m_nWidthZ = 1, m_nWidthZp = 1, m_nWidthPO = 1, m_nWidthPO2 = 3, m_nWidthFO = 1,
        m_nWidthFO2 = 3;
    int m_nWidthSpare1 = 1, m_nWidthSpare2 = 3;
    // Twins for imported data: curves x ... z' (7); view items PO, PO2, FO, FO2, PS, Spare1,
    // Spare2 (7 colours; styles and widths without PS, 6).
    COLORREF m_clrImport[7] = {RGB(180, 0, 0),   RGB(0, 180, 0), RGB(0, 0, 180),  RGB(180, 180, 0),
                               RGB(180, 0, 180), RGB(0, 0, 180), RGB(0, 180, 180)};
    COLORREF m_clrImportView[7] = {RGB(180, 0, 0), RGB(0, 180, 0), RGB(180, 0, 0), RGB(0, 180, 0),
                                   RGB(0, 180, 0), RGB(180, 0, 0), RGB(0, 180, 0)};
    int m_nStyleImport[7] = {};
    int m_nStyleImportView[6] = {};
    int m_nWidthImport[7] = {1, 1, 1, 1, 1, 1, 1};
    int m_nWidthImportView[6] = {1, 3, 1, 3, 1, 3};
    COLORREF m_clrSection[16] = {};       // even sections magenta, odd cyan (SetDefaults)
    COLORREF m_clrSectionImport[16] = {}; // set by the constructor below
    BOOL m_bMarkReturn[6] = {};

    // Export, windows, model form, file name, Vector Field
    int m_nOrbitSections = 6; // 2..15
    std::string m_strImportFile = "none", m_strImportTitle = "none";
    int m_nModelForm = 0; // 0 typed equations, 1.. a built-in form
    int m_nBADepth = 100;
    std::string m_strFileName;
    double m_dVFAbsMax1 = 10, m_dVFAbsMin1 = -10, m_dVFAbsMax2 = 10, m_dVFAbsMin2 = -10;
    double m_dVFMax1 = 10, m_dVFMin1 = -10, m_dVFMax2 = 10, m_dVFMin2 = -10;
    COLORREF m_clrVFTrack = RGB(255, 0, 0);
    COLORREF m_clrNullcline1 = RGB(0, 255, 0), m_clrNullcline2 = RGB(0, 0, 255);
    COLORREF m_clrStableManifold = RGB(255, 0, 255), m_clrUnstableManifold = RGB(255, 255, 0);
    COLORREF m_clrDirFieldFrom = RGB(255, 255, 0), m_clrDirFieldTo = RGB(255, 0, 255);
    int m_nStyleVFTrack = 0, m_nStyleNullcline1 = 0, m_nStyleNullcline2 = 0;
    int m_nStyleStableManifold = 0, m_nStyleUnstableManifold = 0;
    int m_nWidthVFTrack = 1, m_nWidthNullcline1 = 1, m_nWidthNullcline2 = 1;
    int m_nWidthStableManifold = 1, m_nWidthUnstableManifold = 1;
    double m_dSpinMin = -1e30, m_dSpinMax = 1e30;
    double m_dVFTime = 0;
    int m_nSpinParam = 2;
    int m_nManifoldSteps = 300, m_nTrackSteps = 200;
    int m_nBAGrid = 1;         // 1..100
    int m_nVFGridSpacing = 30; // 10..100 pixels
    BOOL m_bVFShowGrid = 0;

    // View set and 3-D views
    BOOL m_bPlotOverlay = 0;
    BOOL m_bViewWanted[7] = {1, 0, 0, 0, 0, 0, 0};
    BYTE m_bViewsRestored = 0;
    POINT m_ptPSPView, m_ptFOView, m_ptOSView, m_ptPS3View;
    // Three-variable Projected Orbit, Full Orbit, Orbit Sections, three-variable Poincare.
    int m_nViewPitch[4] = {30, 30, 30, 30};
    int m_nViewYaw[4] = {70, 70, 70, 70};
    int m_nRSMode = 0;    // 0..11
    int m_nAnimDelay = 0; // ms per Newtonian step, 0..100

    // Members of the kinds
    std::string m_strAppliedForce, m_strRestoringForce, m_strDragForce; // Newtonian
    std::string m_strEquation; // the three forces joined (BuildEquation), not stored
    double m_dJacobianStep = 1e-6;
    std::string m_strXRate, m_strYRate, m_strZRate;
    BOOL m_bShowCellPSP = 1, m_bShowCellPS = 1, m_bShowCell3 = 1;

    CModelSettings()
    {
        for (int i = 0; i < 16; ++i)
            m_clrSectionImport[i] = i % 2 ? RGB(0, 180, 180) : RGB(180, 0, 180);
    }
};

// Highest built-in model form of each kind (Newtonian 4, one-variable 4, two-variable 5,
// three-variable 3).
int ModelFormCount(SystemKind kind);

// Writes every default that SetDefaults owns (not those set by construction), then the kind's
// own defaults and the values derived from them (period, chronon, delay times, table size).
void SetModelDefaults(CModelSettings& s, SystemKind kind);

// Recomputes period, chronon, delay times and table size from the stored values.
void ComputeDerivedValues(CModelSettings& s, SystemKind kind);
