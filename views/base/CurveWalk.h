#pragma once
// The rows of a run as a 2-D plot's curves walk them. No Qt here.
#include "model/core/ModelCore.h"
#include "views/base/RingWalk.h"

// The run's rows as a reader holding the table lock sees them.
RingSpan RunSpan(const CModelCore& s, const TableRing& r);
