#pragma once
// A Lorenz orbit (steps of 0.005) stored in a test document's table in a box that holds the
// attractor, so the run fills a 3-D plot and crowds its pixels.
#include "GraphTestDoc.h"

inline void FillLorenz(CGraphTestDoc& d, int rows, int stored)
{
    double x = 1, y = 1, z = 20;
    const double h = 0.005;
    d.FillRun(rows, stored, [&](int slot, double) {
        if (slot == kSlotX) { // one midpoint step a row
            auto rate = [](double a, double b, double c, double out[3]) {
                out[0] = 10 * (b - a);
                out[1] = a * (28 - c) - b;
                out[2] = a * b - 8.0 / 3 * c;
            };
            double k1[3], k2[3];
            rate(x, y, z, k1);
            rate(x + h / 2 * k1[0], y + h / 2 * k1[1], z + h / 2 * k1[2], k2);
            x += h * k2[0];
            y += h * k2[1];
            z += h * k2[2];
        }
        return slot == kSlotX ? x : slot == kSlotY ? y : slot == kSlotZ ? z : 0.0;
    });
    d.m_dPO3MinX = -25;
    d.m_dPO3MaxX = 25;
    d.m_dPO3MinY = -30;
    d.m_dPO3MaxY = 30;
    d.m_dPO3MinZ = 0;
    d.m_dPO3MaxZ = 50;
}
