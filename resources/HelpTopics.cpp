#include "resources/ShellResources.h"

#include "platform/Ids.h"
#include "platform/Resources.h"

namespace {

constexpr DWORD HELP_GLOSSARY = 0x50BB9;
constexpr DWORD HELP_GETTING_STARTED = 0x20001;
constexpr DWORD HELP_LESSONS = 0x20002;
constexpr DWORD HELP_ACCESS = 0x20003;
constexpr DWORD HELP_DATA_ENTRY = 0x507D1;

// The context of a view is that of the View command that opens it.
constexpr DWORD ViewTopic(UINT viewCommand)
{
    return HID_BASE_COMMAND + viewCommand;
}

const vx::res::HelpPage kPages[] = {
    {HELP_GETTING_STARTED, "Getting started",
     "<p>Veltrix is a laboratory for dynamical systems. Choose <b>File/New</b> and a kind of "
     "model: a Newtonian system (one coordinate moved by a force), or a system of one, two or "
     "three first-order equations. Type the equations in the model's property sheet, then "
     "choose <b>Controls/Run</b>. The run is drawn in the Graph vs Time view; the <b>View</b> "
     "menu opens the other views of the same run.</p>"
     "<p>Lessons are text documents whose bracketed file names are links to other lessons, to "
     "models and to the <a href=\"topic:50BB9\">glossary</a>. See "
     "<a href=\"topic:20002\">Lessons</a> and <a href=\"topic:20003\">Students and "
     "teachers</a>.</p>"},
    {HELP_LESSONS, "Lessons",
     "<p>A lesson (<i>*.vxt</i>) is formatted text with pictures, written by a teacher. Any "
     "line may name a file between square brackets; double-click the line to follow it:</p>"
     "<ul><li><b>[pendulum.vxt]</b> opens another lesson;</li>"
     "<li><b>[pendulum.ns1]</b>, <b>[.ds1]</b>, <b>[.ds2]</b>, <b>[.ds3]</b> open a model, "
     "ready to run;</li>"
     "<li><b>[glossary.hlp]</b> opens the <a href=\"topic:50BB9\">glossary</a>.</li></ul>"
     "<p>Names are found without regard to capital letters, from the folder the program was "
     "started in. A student's lesson is always saved into the student's own folder.</p>"
     "<p>Lessons are stored as RTF text, which other word processors open too. A lesson in "
     "another form, such as a compound file, is not read. The objects a lesson holds are "
     "pictures; objects of other programs cannot be embedded or linked.</p>"},
    {HELP_ACCESS, "Students and teachers",
     "<p>The file <i>KRVX500.CFG</i> in the program's folder holds the access level and the "
     "teacher password; the program does not start without it. A student gives a log-on name "
     "of up to 8 letters or numbers at start; the program makes a folder of that name, and the "
     "student's lessons are saved there.</p>"
     "<p><b>Configuration</b> (shown while no document is open) changes the level. Choosing "
     "Teacher asks for the teacher password. A teacher sets a new password by typing it in "
     "the password field, pressing Tab, typing it again and pressing Tab.</p>"},
    {ViewTopic(32776), "Graph vs Time",
     "<p>The variables of the run drawn against time, one curve per chosen variable, with the "
     "curves of an imported data file beside them. Drag a rectangle to zoom; the Controls menu "
     "zooms, pans, sets the limits and chooses the variables; a click on a legend swatch sets "
     "the curve's colour, style and width; a click in the plot marks the time and shows the "
     "row in the Data Table.</p>"},
    {ViewTopic(32872), "Data Table",
     "<p>The rows of the run (or of the imported data) as numbers, a page at a time. The "
     "columns shown, the number of digits and the page follow the model's table settings.</p>"},
    {ViewTopic(32773), "Projected Orbit",
     "<p>The run drawn in the plane of two variables (x against x', or x against y), without "
     "time: a trajectory in the <a href=\"topic:50BB9\">phase plane</a>. Zoom, pan and set the "
     "limits as in Graph vs Time.</p>"},
    {ViewTopic(32774), "Full Orbit",
     "<p>The run drawn in three dimensions: the two variables and the phase of the forcing. "
     "Turn the picture with the View Angle dialog; drag a box to zoom.</p>"},
    {ViewTopic(32775), "Orbit Sections",
     "<p>Slices of the Full Orbit at several phases of the forcing, each in its own colour; "
     "each slice is a <a href=\"topic:50BB9\">Poincar&eacute; section</a> taken at another "
     "phase.</p>"},
    {ViewTopic(32777), "Poincar&eacute; Section",
     "<p>One point per forcing period: the state of a forced system sampled at the same phase "
     "of every cycle. A periodic motion shows a few points, a chaotic one a fractal "
     "pattern.</p>"},
    {ViewTopic(32778), "Basins of Attraction",
     "<p>A grid of initial states, each coloured by the <a href=\"topic:50BB9\">attractor</a> "
     "its trajectory reaches. The grid is computed on a thread of its own and drawn coarse to "
     "fine; Controls/Run starts it and Stop ends it.</p>"},
    {0x1880A, "Basins of Attraction",
     "<p>The basins picture of the model: see <a href=\"topic:1800A\">Basins of "
     "Attraction</a>.</p>"},
    {ViewTopic(32802), "Vector Field",
     "<p>The phase plane of the model with its direction field, the "
     "<a href=\"topic:50BB9\">nullclines</a>, the fixed points with their types and the "
     "manifolds of the saddles. Click a point to start a track from it.</p>"},
    {ViewTopic(32875), "Real Space",
     "<p>The Newtonian system as a moving body: a pendulum or a mass on a spring, drawn as the "
     "run goes.</p>"},
    {ViewTopic(32877), "Cycle Planes",
     "<p>The Newtonian run cut at planes of the forcing cycle, one plane per phase.</p>"},
    {HELP_DATA_ENTRY, "Data entry shortcut",
     "<p>Each model has a one-line window, <i>Set name=value</i>, for setting its values by their "
     "short names (the names in parentheses on the property pages). Type <b>name=value</b> and "
     "press Enter to set a value, or <b>name=</b> to see the current one: <tt>rtl=20</tt>, "
     "<tt>a=2*b</tt>, <tt>plotx=no</tt>, <tt>xlt=dash</tt>. A colour name such as <tt>xclr=</tt> "
     "opens the colour dialog. A value that is not accepted is left selected so that it can be "
     "corrected; the Up arrow pastes the clipboard. The window is grey while the model runs, and "
     "<b>View/Data Entry Shortcut</b> shows or hides it.</p>"},
    {HELP_GLOSSARY, "Glossary",
     "<dl>"
     "<dt><b>Attractor</b></dt><dd>A set of states that nearby trajectories approach as time "
     "goes on: a fixed point, a limit cycle or a strange (chaotic) attractor.</dd>"
     "<dt><b>Basin of attraction</b></dt><dd>All initial states whose trajectories end on the "
     "same attractor. Basin boundaries can be smooth curves or fractal.</dd>"
     "<dt><b>Chronon</b></dt><dd>The integration step: the forcing period 2&pi;/af divided by "
     "the chronons per cycle. The table interval counts chronons between stored rows and must "
     "divide the chronons per cycle.</dd>"
     "<dt><b>Euler and Runge-Kutta-Fehlberg</b></dt><dd>The two ways a run takes a step: "
     "Euler's first-order step, or a fifth-order step that is far more accurate for the same "
     "chronon.</dd>"
     "<dt><b>Fixed point</b></dt><dd>A state in which every rate is zero; the system stays "
     "there. Its type tells how nearby trajectories move: a <i>node</i> draws them in (stable) "
     "or pushes them out (unstable) along straight paths; a <i>focus</i> (spiral) does so while "
     "winding round it; a <i>saddle</i> draws them in along one direction and pushes them out "
     "along another; a <i>centre</i> is circled by closed orbits.</dd>"
     "<dt><b>Limit cycle</b></dt><dd>A closed trajectory that neighbouring trajectories "
     "approach or leave.</dd>"
     "<dt><b>Manifold</b></dt><dd>The stable manifold of a saddle is the set of states that "
     "flow into it; the unstable manifold, those that flow out of it. Stable manifolds "
     "separate basins of attraction.</dd>"
     "<dt><b>Nullcline</b></dt><dd>The curve on which one rate (x' or y') is zero: "
     "trajectories cross it vertically or horizontally. Fixed points lie where the nullclines "
     "of x' and y' meet.</dd>"
     "<dt><b>Phase plane</b></dt><dd>The plane of the two variables of a system; a trajectory "
     "is drawn there without time.</dd>"
     "<dt><b>Poincar&eacute; section</b></dt><dd>The states of a forced system sampled once "
     "per forcing period, at the same phase: a periodic motion leaves a few points, a chaotic "
     "one a pattern of many.</dd>"
     "<dt><b>Table interval</b></dt><dd>How many chronons pass between two rows stored in the "
     "data table.</dd>"
     "<dt><b>Trajectory</b></dt><dd>The states a system passes through from one initial "
     "state.</dd>"
     "</dl>"},
};

} // namespace

void RegisterHelpTopics()
{
    using vx::res::RegisterHelpTopic;
    vx::res::RegisterHelpPages(kPages);
    // Each command that has a prompt gets a page: its button name and the prompt.
    for (UINT id :
         {ID_FILE_NEW,         ID_FILE_OPEN,         ID_FILE_CLOSE,         ID_FILE_SAVE,
          ID_FILE_SAVE_AS,     ID_FILE_PRINT,        ID_FILE_PRINT_PREVIEW, ID_FILE_PRINT_SETUP,
          ID_FILE_SEND_MAIL,   ID_APP_EXIT,          ID_EDIT_UNDO,          ID_EDIT_CUT,
          ID_EDIT_COPY,        ID_EDIT_PASTE,        ID_EDIT_SELECT_ALL,    ID_EDIT_FIND,
          ID_EDIT_REPEAT,      ID_EDIT_REPLACE,      ID_OLE_INSERT_NEW,     ID_FORMAT_FONT,
          ID_VIEW_TOOLBAR,     ID_VIEW_STATUS_BAR,   ID_WINDOW_CASCADE,     ID_WINDOW_TILE_HORZ,
          ID_WINDOW_TILE_VERT, ID_WINDOW_ARRANGE,    ID_APP_ABOUT,          ID_HELP_FINDER,
          ID_CONTEXT_HELP,     ID_CONFIGURATION,     ID_CONTROLS_RUN,       ID_CONTROLS_STOP,
          ID_CONTROLS_PLOT,    ID_CONTROLS_CLEARDATA}) {
        const std::string prompt = vx::res::LoadString(id);
        const size_t nl = prompt.find('\n');
        if (nl == std::string::npos)
            continue;
        RegisterHelpTopic(HID_BASE_COMMAND + id,
                          {prompt.substr(nl + 1), "<p>" + prompt.substr(0, nl) + ".</p>"});
    }
}
