// Loading a lesson whose one paragraph changes its formatting at every word, as a lesson
// pasted from another word processor may: the time grows with the number of runs, not with
// its square (compare the times at 20,000 and 40,000 runs).
// Repainting a maximised lesson of large pictures in the program's own main window, with Qt's
// painting pool as the program keeps it: a picture that Qt converts at every paint shows here.
#include "app/Rtf.h"
#include "app/ShellFixture.h"
#include "app/VXTextDoc.h"
#include "app/VXTextView.h"
#include "platform/Frame.h"

#include <QAbstractTextDocumentLayout>
#include <QApplication>
#include <QBuffer>
#include <QImage>
#include <QMainWindow>
#include <QTemporaryDir>
#include <QTextDocument>
#include <QTextEdit>
#include <benchmark/benchmark.h>

#include <fstream>
#include <string>

namespace {

// One paragraph of n runs, bold and plain by turns; about 2.5 bytes a run.
std::string OneParagraphOfRuns(int n)
{
    std::string rtf = "{\\rtf1\\ansi{\\fonttbl{\\f0 Liberation Sans;}}\\f0\\fs24 ";
    for (int i = 0; i < n; ++i)
        rtf += i % 2 ? "\\b0 w" : "\\b w";
    return rtf + "\\par}";
}

void BM_LessonLoadOneParagraph(benchmark::State& state)
{
    const std::string rtf = OneParagraphOfRuns(int(state.range(0)));
    for (auto _ : state) {
        QTextDocument doc;
        doc.documentLayout(); // laid out as in the lesson's window
        RtfToDocument(rtf, doc);
        benchmark::DoNotOptimize(doc.characterCount());
    }
    state.SetComplexityN(state.range(0));
}
BENCHMARK(BM_LessonLoadOneParagraph)
    ->Arg(10000)
    ->Arg(20000)
    ->Arg(40000)
    ->Unit(benchmark::kMillisecond)
    ->Complexity();

// Large pictures as lessons hold them: 4000 x 3000 with transparency, 8-bit indexed, a
// photograph. Smooth, so that their files stay small.
QImage LargePicture(int kind)
{
    constexpr int w = 4000, h = 3000;
    if (kind == 1) {
        QImage image(w, h, QImage::Format_Indexed8);
        for (int i = 0; i < 256; ++i)
            image.setColor(i, qRgb(i, 255 - i, (i * 3) & 255));
        for (int y = 0; y < h; ++y) {
            uchar* line = image.scanLine(y);
            for (int x = 0; x < w; ++x)
                line[x] = uchar((x / 16 + y / 16) & 255);
        }
        return image;
    }
    QImage image(w, h, kind == 0 ? QImage::Format_ARGB32 : QImage::Format_RGB32);
    for (int y = 0; y < h; ++y) {
        auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < w; ++x)
            line[x] =
                qRgba(x * 255 / w, y * 255 / h, 128, kind == 0 ? (x + y) * 255 / (w + h) : 255);
    }
    return image;
}

std::string LessonOfPicture(int kind)
{
    const QImage image = LargePicture(kind);
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, kind == 2 ? "JPEG" : "PNG");
    const KeptPicture picture{
        PictureHeader(kind == 2 ? "jpegblip" : "pngblip", image.size(), image.size()),
        bytes.toHex()};
    return "{\\rtf1\\ansi{\\fonttbl{\\f0 Liberation Sans;}}\\f0\\fs24 A picture:\\par" +
           PictureToRtf(picture) + "\\par}";
}

// The lesson opened through the program's main window, 1600 x 1200, its frame maximised.
CVXTextView* OpenMaximised(const std::string& path)
{
    StartShell();
    auto* doc = dynamic_cast<CVXTextDoc*>(theApp.OpenDocumentFile(path.c_str()));
    if (!doc)
        return nullptr;
    auto* view = static_cast<CVXTextView*>(doc->GetViews().front());
    view->GetParentFrame()->ShowWindow(SW_SHOWMAXIMIZED);
    RenderClient(CSize(1600, 1200));
    QCoreApplication::processEvents();
    return view;
}

void BM_LessonRepaintLargePicture(benchmark::State& state)
{
    static const char* const kinds[] = {"transparent", "8-bit", "photograph"};
    QTemporaryDir dir;
    const std::string path = dir.path().toStdString() + "/pictures.vxt";
    std::ofstream(path, std::ios::binary) << LessonOfPicture(int(state.range(0)));
    CVXTextView* view = OpenMaximised(path);
    if (!view) {
        state.SkipWithError("the lesson did not open");
        return;
    }
    QWidget* viewport = view->GetEdit()->viewport();
    for (auto _ : state)
        viewport->repaint();
    state.SetLabel(std::string(kinds[state.range(0)]) + " " + std::to_string(viewport->width()) +
                   "x" + std::to_string(viewport->height()));
    view->GetDocument()->OnCloseDocument();
}
BENCHMARK(BM_LessonRepaintLargePicture)->DenseRange(0, 2)->Unit(benchmark::kMillisecond);

} // namespace
