#include "app/Configuration.h"

void ReadConfigurationAndLogOn()
{
    // The configuration read and the log-on are not built yet.
}
