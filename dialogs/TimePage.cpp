#include "dialogs/TimePage.h"

#include "model/core/DelayTimes.h"
#include "model/core/NumberText.h"
#include "model/core/SettingsTable.h"
#include "platform/base/TextNumbers.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QVBoxLayout>

#include <algorithm>
#include <string_view>

VX_IMPLEMENT_ABSTRACT(CTimePage, CModelPage)
VX_IMPLEMENT_KIND_PAGE(CDS1Time, CTimePage, SystemKind::Newtonian)
VX_IMPLEMENT_KIND_PAGE(CDS1NNTime, CTimePage, SystemKind::OneVariable)
VX_IMPLEMENT_KIND_PAGE(CDS2Time, CTimePage, SystemKind::TwoVariable)
VX_IMPLEMENT_KIND_PAGE(CDS3Time, CTimePage, SystemKind::ThreeVariable)

namespace {

// The phase typed on the page: pi to seven decimals, to eight on the one-variable page. A phase
// the program stored (rounded to six places, so just past seven decimals) is kept as it was.
FieldRange PhaseRange(SystemKind kind)
{
    const double pi = kind == SystemKind::OneVariable ? 3.14159265 : 3.1415926;
    return {-pi, pi};
}

struct Labels
{
    const char *rtl, *af, *per, *pa, *cc, *size, *xdel, *delayTime;
};
constexpr Labels kLong = {"Number of Time Units (rtl)........................",
                          "Forcing Function Angular Frequency (af) .",
                          "Forcing Function Period (per)....................",
                          "Forcing Function Phase Angle (pa)...........",
                          "Chronons per Forcing Cycle (c/c)..............",
                          "Chronon Size.............................................",
                          "x Delay Chronons (xdel)............................",
                          "x Delay Time Units...................................."};
constexpr Labels kShort = {"Number of Time Units (rtl)........................",
                           "Angular Frequency (af) ",
                           "Period (per)",
                           "Phase Angle (pa)",
                           "Chronons per Cycle (c/c)",
                           "Chronon Size",
                           "x Delay Chronons (xdel)",
                           "Time Units"};

std::string Text(const QLineEdit* pEdit)
{
    return pEdit->text().toLatin1().toStdString();
}

// A number is still being typed while its text ends in one of these.
bool StillTyping(const std::string& text)
{
    return text.empty() || std::string_view(".eE-+").find(text.back()) != std::string_view::npos;
}

bool Within(double v, FieldRange r)
{
    return v >= r.lo && v <= r.hi;
}

} // namespace

CTimePage::CTimePage(SystemKind kind) : CModelPage(kind, 0, "Time Properties")
{
}

void CTimePage::MakeControls()
{
    const Labels& l = Kind().longTimeLabels ? kLong : kShort;
    QGridLayout* g = nullptr;
    auto* layout = new QVBoxLayout(GetWidget());
    layout->addWidget(Group("System Run Time Limit", g));
    m_editRunTimeLimit = AddEdit(g, l.rtl);
    layout->addWidget(Group("Forcing Function Timing", g));
    m_editAngFreq = AddEdit(g, l.af);
    if (Kind().longTimeLabels) {
        m_editPeriod = AddEdit(g, l.per);
        m_editPhase = AddEdit(g, l.pa);
    } else { // pa and per side by side
        m_editPhase = AddEdit(g, l.pa);
        m_editPeriod = new QLineEdit;
        m_editPeriod->setMinimumWidth(NumberEditWidth(m_editPeriod));
        const int row = g->rowCount() - 1;
        g->addWidget(new QLabel(l.per), row, 2);
        g->addWidget(m_editPeriod, row, 3);
    }
    layout->addWidget(Group("Chronon Size Determination", g));
    m_editChrononsPerCycle = AddEdit(g, l.cc);
    m_stcChrononSize = new QLabel;
    const int sizeRow = g->rowCount();
    g->addWidget(new QLabel(l.size), sizeRow, 0);
    g->addWidget(m_stcChrononSize, sizeRow, 1);
    layout->addWidget(Group("Variable Delay Determination", g));
    const auto delays = DelaysOf(m_kind);
    for (std::size_t i = 0; i < delays.size(); ++i) {
        m_editDelay[i] = AddEdit(g, i == 0 ? l.xdel : delays[i].label);
        m_stcDelayTime[i] = new QLabel;
        const int row = g->rowCount() - 1;
        g->addWidget(new QLabel(l.delayTime), row, 2);
        g->addWidget(m_stcDelayTime[i], row, 3);
    }
    layout->addStretch();

    QWidget* w = GetWidget();
    QObject::connect(m_editChrononsPerCycle, &QLineEdit::textEdited, w,
                     [this] { OnChangeChrononsPerCycle(); });
    QObject::connect(m_editAngFreq, &QLineEdit::textEdited, w, [this] { OnChangeAngFreq(); });
    QObject::connect(m_editPeriod, &QLineEdit::textEdited, w, [this] { OnChangePeriod(); });
    for (std::size_t i = 0; i < delays.size(); ++i)
        QObject::connect(m_editDelay[i], &QLineEdit::textEdited, w,
                         [this, i] { OnChangeDelay(static_cast<int>(i)); });
}

void CTimePage::DoDataExchange(CDataExchange* pDX)
{
    CModelSettings& s = *m_pEdit;
    m_kept.Integer(pDX, m_editChrononsPerCycle, s.m_nChrononsPerCycle,
                   RangeOf("m_nChrononsPerCycle"));
    m_kept.Number(pDX, m_editAngFreq, s.m_dAngFreq, RangeOf("m_dAngFreq"));
    // The phase typed is kept to six places, as data entry keeps it.
    if (m_kept.Number(pDX, m_editPhase, s.m_dPhase, PhaseRange(m_kind)))
        s.m_dPhase = RoundToDigits(s.m_dPhase, 6);
    m_kept.Number(pDX, m_editPeriod, s.m_dPeriod, RangeOf("m_dPeriod"));
    const auto delays = DelaysOf(m_kind);
    for (std::size_t i = 0; i < delays.size(); ++i)
        m_kept.Integer(pDX, m_editDelay[i], s.*delays[i].delay, RangeOf(delays[i].member));
    // The run must end after the time axis starts, as the data-entry window demands.
    m_kept.Number(pDX, m_editRunTimeLimit, s.m_dRunTimeLimit, {m_pDoc->m_dGraphTMin, 1e30, true});
}

int CTimePage::TableInterval() const
{
    return std::max(m_pDoc->m_nTableInterval, 1);
}

void CTimePage::ShowDerived()
{
    UpdateChrononAndDelays(*m_pEdit);
    m_stcChrononSize->setText(QString::fromStdString(FormatG6(m_pEdit->m_dChronon)));
    const auto delays = DelaysOf(m_kind);
    for (std::size_t i = 0; i < delays.size(); ++i)
        m_stcDelayTime[i]->setText(QString::fromStdString(FormatG6(m_pEdit->*delays[i].time)));
}

BOOL CTimePage::OnSetActive()
{
    const BOOL result = CModelPage::OnSetActive();
    ShowDerived();
    return result;
}

void CTimePage::OnChangeChrononsPerCycle()
{
    long long n = 0;
    const FieldRange range = RangeOf("m_nChrononsPerCycle");
    if (!ReadLeadingInteger(Text(m_editChrononsPerCycle), n) || !Within(double(n), range) ||
        n % TableInterval() != 0)
        return;
    m_pEdit->m_nChrononsPerCycle = static_cast<int>(n);
    m_pDoc->m_nChrononsPerCycle = static_cast<int>(n);
    ShowDerived();
}

void CTimePage::SetForcing(Forcing typed, double value)
{
    CModelSettings& s = *m_pEdit;
    if (typed == Forcing::AngFreq) {
        s.m_dAngFreq = value;
        s.m_dPeriod = kTwoPi / value;
        m_kept.Show(m_editPeriod, s.m_dPeriod);
    } else {
        s.m_dPeriod = value;
        s.m_dAngFreq = kTwoPi / value;
        m_kept.Show(m_editAngFreq, s.m_dAngFreq);
    }
    ShowDerived();
}

void CTimePage::OnChangeAngFreq()
{
    OnChangeForcing(Forcing::AngFreq);
}

void CTimePage::OnChangePeriod()
{
    OnChangeForcing(Forcing::Period);
}

// Nothing follows a number that is still being typed or lies outside its range.
void CTimePage::OnChangeForcing(Forcing typed)
{
    m_lastForcing = typed;
    const bool af = typed == Forcing::AngFreq;
    const std::string text = Text(af ? m_editAngFreq : m_editPeriod);
    double v = 0;
    if (!StillTyping(text) && ReadLeadingNumber(text, v) &&
        Within(v, RangeOf(af ? "m_dAngFreq" : "m_dPeriod")))
        SetForcing(typed, v);
}

void CTimePage::OnChangeDelay(int i)
{
    const DelayField& d = DelaysOf(m_kind)[std::size_t(i)];
    long long n = 0;
    if (!ReadLeadingInteger(Text(m_editDelay[i]), n) || !Within(double(n), RangeOf(d.member)))
        return;
    m_pEdit->*d.delay = static_cast<int>(n);
    ShowDerived();
}

BOOL CTimePage::OnKillActive()
{
    long long n = 0;
    ReadLeadingInteger(Text(m_editChrononsPerCycle), n);
    if (n % TableInterval() != 0) {
        Refuse(m_editChrononsPerCycle,
               "Number of chronons per cycle must be integral multiple\nof the table interval = " +
                   std::to_string(m_pDoc->m_nTableInterval));
        return FALSE;
    }
    if (!CModelPage::OnKillActive())
        return FALSE;
    // A number left half typed was read by the exchange: its partner follows it now.
    if (m_lastForcing == Forcing::AngFreq)
        SetForcing(Forcing::AngFreq, m_pEdit->m_dAngFreq);
    else if (m_lastForcing == Forcing::Period)
        SetForcing(Forcing::Period, m_pEdit->m_dPeriod);
    m_lastForcing = Forcing::None;
    ShowDerived();
    return TRUE;
}
