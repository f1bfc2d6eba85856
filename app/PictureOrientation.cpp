#include "app/PictureOrientation.h"

#include <turbojpeg.h>

#include <cmath>
#include <memory>

namespace {

// The lossless operation that shows a picture stored so as it is meant to be seen.
TJXOP OperationOf(QImageIOHandler::Transformations turn)
{
    switch (int(turn)) {
    case QImageIOHandler::TransformationMirror:
        return TJXOP_HFLIP;
    case QImageIOHandler::TransformationFlip:
        return TJXOP_VFLIP;
    case QImageIOHandler::TransformationRotate180:
        return TJXOP_ROT180;
    case QImageIOHandler::TransformationRotate90:
        return TJXOP_ROT90;
    case QImageIOHandler::TransformationRotate270:
        return TJXOP_ROT270;
    case QImageIOHandler::TransformationMirrorAndRotate90:
        return TJXOP_TRANSVERSE;
    case QImageIOHandler::TransformationFlipAndRotate90:
        return TJXOP_TRANSPOSE;
    default:
        return TJXOP_NONE;
    }
}

// The memory a turn takes: the picture's coefficients, two bytes each and 64 a block over whole
// MCUs, read, and turned into a second set.
double TurnBytes(int width, int height, int subsamp, int colorspace)
{
    const int mcuW = tjMCUWidth[subsamp], mcuH = tjMCUHeight[subsamp];
    const double mcus = std::ceil(double(width) / mcuW) * std::ceil(double(height) / mcuH);
    const bool gray = subsamp == TJSAMP_GRAY;
    const int full = colorspace == TJCS_CMYK || colorspace == TJCS_YCCK ? 2 : 1;
    const double blocks = mcus * (full * mcuW * mcuH / 64 + (gray ? 0 : 2));
    return 2 * blocks * 64 * 2;
}

quint16 BigEndian16(const QByteArray& bytes, qsizetype at)
{
    return quint16(uchar(bytes[at]) << 8 | uchar(bytes[at + 1]));
}

// The segments that hold the JPEG's ICC profile (APP2 "ICC_PROFILE"); none where its markers
// do not lead to its first scan.
QByteArray IccSegments(const QByteArray& jpeg)
{
    static const QByteArray kIcc("ICC_PROFILE", 12); // with its terminating zero
    QByteArray icc;
    for (qsizetype at = 2; at + 4 <= jpeg.size() && uchar(jpeg[at]) == 0xFF;) {
        const uchar marker = uchar(jpeg[at + 1]);
        if (marker == 0xDA) // start of scan
            return icc;
        const qsizetype length = BigEndian16(jpeg, at + 2);
        if (length < 2 || at + 2 + length > jpeg.size())
            break;
        if (marker == 0xE2 && jpeg.mid(at + 4, kIcc.size()) == kIcc)
            icc += jpeg.mid(at, 2 + length);
        at += 2 + length;
    }
    return {};
}

// The segments put in after the start of image and the JFIF segment that libjpeg writes first.
void InsertAfterJfif(QByteArray& jpeg, const QByteArray& segments)
{
    qsizetype at = 2;
    if (jpeg.size() >= 6 && uchar(jpeg[2]) == 0xFF && uchar(jpeg[3]) == 0xE0)
        at += 2 + BigEndian16(jpeg, 4);
    if (at <= jpeg.size())
        jpeg.insert(at, segments);
}

} // namespace

std::optional<QByteArray> JpegTurnedUpright(const QByteArray& jpeg,
                                            QImageIOHandler::Transformations turn, double budget)
{
    const std::unique_ptr<void, int (*)(tjhandle)> handle(tjInitTransform(), tjDestroy);
    const auto* source = reinterpret_cast<const unsigned char*>(jpeg.constData());
    int width = 0, height = 0, subsamp = 0, colorspace = 0;
    if (!handle || OperationOf(turn) == TJXOP_NONE ||
        tjDecompressHeader3(handle.get(), source, jpeg.size(), &width, &height, &subsamp,
                            &colorspace) != 0 ||
        subsamp < 0 || subsamp >= TJ_NUMSAMP ||
        TurnBytes(width, height, subsamp, colorspace) > budget)
        return std::nullopt;
    // Perfect or not at all: a trimmed turn would lose a strip at an edge. Markers are not
    // copied: the EXIF orientation would turn the picture again.
    tjtransform transform{};
    transform.op = OperationOf(turn);
    transform.options = TJXOPT_PERFECT | TJXOPT_COPYNONE;
    unsigned char* out = nullptr;
    unsigned long outSize = 0;
    const int failed = tjTransform(handle.get(), source, jpeg.size(), 1, &out, &outSize, &transform,
                                   TJFLAG_STOPONWARNING | TJFLAG_LIMITSCANS);
    const std::unique_ptr<unsigned char, void (*)(unsigned char*)> owned(out, tjFree);
    if (failed || !out)
        return std::nullopt;
    QByteArray turned(reinterpret_cast<const char*>(out), qsizetype(outSize));
    InsertAfterJfif(turned, IccSegments(jpeg));
    return turned;
}
