#include "views/base/RingWalk.h"

int PreviousLiveRow(int nRow, int rows, bool wrapped)
{
    if (nRow < 0 || nRow >= rows)
        return -1;
    if (nRow > 0)
        return nRow - 1;
    return wrapped ? rows - 1 : nRow;
}
