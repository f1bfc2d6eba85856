#include "app/CntrItem.h"

VX_IMPLEMENT_CLASS(CVeltrixCntrItem, CObject)
