#pragma once
// Painting (the platform's fills and blends) may leave the upper halves of the wide vector
// registers in use. Until they are marked unused, every SSE instruction of the plain double
// and integer code of a repaint waits on them as if it read them: a long run's rows, mapped and
// sieved one by one, then take several times as long. No Qt here.

// Marks the upper halves unused (vzeroupper) where the processor has them; else nothing. Call
// it between painting and a long pass over rows: it costs next to nothing.
void ClearUpperVectorState();
