#include "app/CommandHelp.h"

#include "model/CommandIds.h"
#include "platform/Ids.h"
#include "platform/Resources.h"

namespace {

// Numbered by command; the context is that of the command.
const vx::res::HelpPage kCommands[] = {
    {ID_FILE_EXPORT, "Export",
     "Writes the run's data table to a data file (<i>*.dnd</i>, <i>*.d1d</i>, <i>*.d2d</i>, "
     "<i>*.d3d</i>): a text table that other programs read."},
    {ID_FILE_IMPORT, "Import",
     "Reads a data file of the model's kind; its curves are drawn beside the run's."},
    {ID_FILE_SAVE_IMAGE, "Save Image",
     "Saves the picture of the active view as a bitmap file (<i>*.bmp</i>)."},
    {ID_VIEW_SET_PROPERTIES, "Set Properties",
     "Opens the model's property sheet: equations, parameters, time base, table and plot "
     "settings."},
    {ID_VIEW_DATA_ENTRY_SHORTCUT, "Data Entry Shortcut",
     "Shows or hides the model's <i>Set name=value</i> window."},
    {ID_CONTROLS_SELECT_VARIABLES, "Select Variables",
     "Chooses the variables that the graph draws."},
    {ID_CONTROLS_PLOTTIMING_CONCURRENTPLOT, "Concurrent Plot",
     "The views draw the run while it goes."},
    {ID_CONTROLS_PLOTTIMING_POSTCALCPLOT, "Post Calc Plot",
     "The views draw the run once it has ended."},
    {ID_CONTROLS_PLOTTIMING_MANUALPLOT, "Manual Plot",
     "The views draw the run only on <b>Controls/Plot</b>."},
    {ID_CONTROLS_PLOTTIMING_OVERLAYPLOT, "Overlay Plot",
     "A fresh run is drawn over the picture of the last one."},
    {ID_CONTROLS_PAN_UP, "Pan Up",
     "Moves the plot's window up by half its height, up to the absolute limit."},
    {ID_CONTROLS_PAN_DOWN, "Pan Down",
     "Moves the plot's window down by half its height, down to the absolute limit."},
    {ID_CONTROLS_PAN_LEFT, "Pan Left",
     "Moves the plot's window back by half its width, back to the start."},
    {ID_CONTROLS_PAN_RIGHT, "Pan Right",
     "Moves the plot's window on by half its width, up to the end of the run."},
    {ID_CONTROLS_RESET_LIMITS, "Reset Limits", "Brings back the plot's absolute limits."},
    {ID_CONTROLS_SET_LIMITS, "Set Limits", "Types the plot's working and absolute limits."},
    {ID_CONTROLS_SET_YAW_PITCH, "Set Yaw/Pitch",
     "Opens the View Angle window, whose scroll bars turn the active 3-D plot."},
    {ID_CONTROLS_ZOOM_NEAR, "Zoom Near", "Narrows the plot's window around its centre."},
    {ID_CONTROLS_ZOOM_FAR, "Zoom Far",
     "Widens the plot's window around its centre, within the absolute limits."},
};

} // namespace

void RegisterModelCommandTopics()
{
    vx::res::RegisterHelpPages(kCommands, HID_BASE_COMMAND, true);
}
