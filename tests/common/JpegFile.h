#pragma once
// JPEG files as cameras write them, made a row at a time so that a 50-megapixel photograph
// takes a row's memory.
#include <QByteArray>
#include <QSize>

#include <functional>

struct JpegPlan
{
    int width = 0, height = 0;
    int hSamp = 2, vSamp = 2; // the luma's sampling: 2 x 2 is 4:2:0, 1 x 1 is 4:4:4
    int orientation = 0;      // EXIF orientation 1 to 8; none where 0
    QByteArray icc;           // the ICC profile; none where empty
    int quality = 75;
    bool optimized = false;   // Huffman tables made for the picture, as phones write them
    bool progressive = false; // in scans of rising detail, as pictures for the web are
    bool arithmetic = false;  // arithmetic coding, in which a plain picture takes a few bytes
    int restartRows = 0;      // a restart marker after every so many rows of blocks; none at 0
    std::function<void(int y, unsigned char* rgb)> row; // fills stored row y, width RGB pixels
};

// The file; empty where libjpeg could not write it.
QByteArray JpegOf(const JpegPlan& plan);

// A photograph as a phone stores it: an upright picture with a red block at its top left and a
// green one at its top right, stored turned as the EXIF orientation says (0: none), with a
// Display P3 colour profile. Noise where it is small, so that writing it again shows in its
// size; bands where it is large, so that its file stays small; or, where detailed, smooth
// gradients under a sensor's fine grain at quality 92, some five bits a pixel, as a phone's
// photograph of a busy scene.
JpegPlan Photograph(QSize upright, int orientation, int hSamp = 2, int vSamp = 2,
                    bool detailed = false);

// The JPEG with its frame header claiming a picture of w x h: its data ends long before such a
// picture does.
QByteArray Claiming(QByteArray jpeg, int w, int h);

// The sampling of the JPEG's first component, h x v: 2 x 2 is 4:2:0; empty where unreadable.
QSize LumaSampling(const QByteArray& jpeg);
