#pragma once
// A photograph stored turned, as cameras store one with an EXIF orientation, turned upright in
// its own JPEG bytes, so that every reader of a lesson shows it upright.
#include <QByteArray>
#include <QImageIOHandler>

#include <optional>

// The JPEG turned without loss by turn (the orientation Qt reads from it), with its ICC profile
// and without its other markers (the EXIF orientation among them); none where the turn cannot be
// perfect (a partial block at an edge it moves), the data is damaged, or the turn would take
// more than budget bytes of memory.
std::optional<QByteArray> JpegTurnedUpright(const QByteArray& jpeg,
                                            QImageIOHandler::Transformations turn, double budget);
