#include "resources/ShellResources.h"

#include "platform/Ids.h"
#include "platform/Resources.h"

namespace {

constexpr DWORD HELP_GLOSSARY = 0x50BB9;
constexpr DWORD HELP_GRAPH_VS_TIME = HID_BASE_COMMAND + 32776;
constexpr DWORD HELP_DATA_TABLE = HID_BASE_COMMAND + 32872;
constexpr DWORD HELP_GETTING_STARTED = 0x20001;
constexpr DWORD HELP_DATA_ENTRY = 0x507D1;

const char* const kGettingStarted =
    "<p>Veltrix is a laboratory for dynamical systems. Choose <b>File/New</b> and a kind of "
    "model: a Newtonian system (one coordinate moved by a force), or a system of one, two or "
    "three first-order equations. Type the equations in the model's property sheet, then choose "
    "<b>Controls/Run</b>. The run is drawn in the Graph vs Time view; the <b>View</b> menu opens "
    "the other views of the same run.</p>"
    "<p>Lessons are text documents whose bracketed file names are links to other lessons, to "
    "models and to the <a href=\"topic:50BB9\">glossary</a>.</p>";

const char* const kGlossary =
    "<dl>"
    "<dt><b>Attractor</b></dt><dd>A set of states that nearby trajectories approach as time goes "
    "on: a fixed point, a limit cycle or a strange attractor.</dd>"
    "<dt><b>Basin of attraction</b></dt><dd>All initial states whose trajectories end on the same "
    "attractor.</dd>"
    "<dt><b>Chronon</b></dt><dd>The integration step: the forcing period divided by the chronons "
    "per "
    "cycle.</dd>"
    "<dt><b>Fixed point</b></dt><dd>A state in which every rate is zero; the system stays there. "
    "Its "
    "type (node, focus, saddle, centre) tells how nearby trajectories move.</dd>"
    "<dt><b>Limit cycle</b></dt><dd>A closed trajectory that neighbouring trajectories approach or "
    "leave.</dd>"
    "<dt><b>Nullcline</b></dt><dd>The curve on which one rate (x' or y') is zero.</dd>"
    "<dt><b>Phase plane</b></dt><dd>The plane of the two variables of a system; a trajectory is "
    "drawn "
    "there without time.</dd>"
    "<dt><b>Poincar&eacute; section</b></dt><dd>The states of a forced system sampled once per "
    "forcing "
    "period.</dd>"
    "<dt><b>Saddle manifold</b></dt><dd>The trajectories that enter or leave a saddle point; they "
    "separate basins.</dd>"
    "<dt><b>Trajectory</b></dt><dd>The states a system passes through from one initial state.</dd>"
    "</dl>";

const char* const kGraphVsTime =
    "<p>The variables of the run drawn against time, one curve per chosen variable, with the "
    "curves of an imported data file beside them. Drag a rectangle to zoom; the Controls menu "
    "zooms, pans, sets the limits and chooses the variables; a click on a legend swatch sets "
    "the curve's colour, style and width; a click in the plot marks the time and shows the row "
    "in the Data Table.</p>";

const char* const kDataTable =
    "<p>The rows of the run (or of the imported data) as numbers, a page at a time. The columns "
    "shown, the number of digits and the page follow the model's table settings.</p>";

const char* const kDataEntry =
    "<p>Each model has a one-line window, <i>Set name=value</i>, for setting its values by their "
    "short names (the names in parentheses on the property pages). Type <b>name=value</b> and "
    "press Enter to set a value, or <b>name=</b> to see the current one: <tt>tmax=20</tt>, "
    "<tt>a=2*b</tt>, <tt>plotx=no</tt>, <tt>xlt=dash</tt>. A colour name such as <tt>xclr=</tt> "
    "opens the colour dialog. A value that is not accepted is left selected so that it can be "
    "corrected; the Up arrow pastes the clipboard. The window is grey while the model runs, and "
    "<b>View/Data Entry Shortcut</b> shows or hides it.</p>";

} // namespace

void RegisterHelpTopics()
{
    using vx::res::RegisterHelpTopic;
    RegisterHelpTopic(HELP_GETTING_STARTED, {"Getting started", kGettingStarted});
    RegisterHelpTopic(HELP_GLOSSARY, {"Glossary", kGlossary});
    RegisterHelpTopic(HELP_GRAPH_VS_TIME, {"Graph vs Time", kGraphVsTime});
    RegisterHelpTopic(HELP_DATA_TABLE, {"Data Table", kDataTable});
    RegisterHelpTopic(HELP_DATA_ENTRY, {"Data entry shortcut", kDataEntry});
    // Each command that has a prompt gets a page: its button name and the prompt.
    for (UINT id : {ID_FILE_NEW, ID_FILE_OPEN, ID_FILE_SAVE, ID_FILE_PRINT, ID_EDIT_CUT,
                    ID_EDIT_COPY, ID_EDIT_PASTE, ID_APP_ABOUT, ID_CONTEXT_HELP, ID_CONFIGURATION,
                    ID_CONTROLS_RUN, ID_CONTROLS_STOP, ID_CONTROLS_PLOT, ID_CONTROLS_CLEARDATA}) {
        const std::string prompt = vx::res::LoadString(id);
        const size_t nl = prompt.find('\n');
        if (nl == std::string::npos)
            continue;
        RegisterHelpTopic(HID_BASE_COMMAND + id,
                          {prompt.substr(nl + 1), "<p>" + prompt.substr(0, nl) + ".</p>"});
    }
}
