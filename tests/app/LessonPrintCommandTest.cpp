// A lesson's pictures on paper, through File/Print and Print Preview of the real main window:
// each picture is read back from the PDF the program writes, its pixels and its size on the page.
#ifdef HAVE_VELTRIX_VIEWSGRAPH
#include "app/CntrItem.h"
#include "app/MenuDriver.h"
#include "app/ModalDriver.h"
#include "app/Rtf.h"
#include "app/ShellFixture.h"
#include "app/TestFiles.h"
#include "app/VXTextDoc.h"
#include "common/MessageRecorder.h"
#include "platform/DocTemplate.h"
#include "resources/ResourceIds.h"

#include <QBuffer>
#include <QDir>
#include <QImage>
#include <QPrintPreviewWidget>
#include <QPrinter>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <fstream>
#include <functional>

namespace {

namespace fs = std::filesystem;

constexpr int kDpi = 600;
// Letter paper with no margins of the printer's: the body inside the lesson's half-inch margins.
constexpr double kBodyWidth = 7.5, kBodyHeight = 10;

// Colours that run smoothly across the picture, so that any scaling of it compares.
QImage Gradient(int width, int height)
{
    QImage image(width, height, QImage::Format_RGB32);
    for (int y = 0; y < height; ++y) {
        auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < width; ++x)
            line[x] = qRgb(255 * x / width, 255 * y / height, x < width / 2 ? 40 : 220);
    }
    return image;
}

QByteArray FileOf(const QImage& image, const char* format)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, format, 90);
    return bytes;
}

// What a poppler tool writes on the PDF; empty when it cannot run.
QString Poppler(const QString& tool, const QStringList& args)
{
    QProcess p;
    p.start(tool, args);
    if (!p.waitForFinished(120000) || p.exitStatus() != QProcess::NormalExit || p.exitCode() != 0)
        return {};
    return QString::fromLatin1(p.readAllStandardOutput());
}

int PagesOf(const QString& pdf)
{
    const auto m = QRegularExpression("Pages:\\s+(\\d+)").match(Poppler("pdfinfo", {pdf}));
    return m.hasMatch() ? m.captured(1).toInt() : -1;
}

struct Printed
{
    QSize pixels;
    QSizeF inches; // on the page
    QImage image;
};

// The pictures of the PDF in the order they are drawn.
std::vector<Printed> PicturesOf(const QString& pdf)
{
    const QString prefix = pdf + "-picture";
    Poppler("pdfimages", {"-png", pdf, prefix});
    std::vector<Printed> pictures;
    // page num type width height color comp bpc enc interp object ID x-ppi y-ppi size ratio
    for (const QString& line : Poppler("pdfimages", {"-list", pdf}).split('\n').mid(2)) {
        const QStringList f = line.split(' ', Qt::SkipEmptyParts);
        if (f.size() < 14 || f[2] != "image")
            continue;
        const QSize pixels(f[3].toInt(), f[4].toInt());
        pictures.push_back(
            {pixels, QSizeF(pixels.width() / f[12].toDouble(), pixels.height() / f[13].toDouble()),
             QImage(prefix + QString("-%1.png").arg(f[1].toInt(), 3, 10, QChar('0')))
                 .convertToFormat(QImage::Format_RGB32)});
    }
    return pictures;
}

// The mean difference of a channel between the printed picture and what it was made from.
double MeanDifference(const QImage& printed, const QImage& source)
{
    const QImage scaled =
        source.scaled(printed.size(), Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    double sum = 0;
    for (int y = 0; y < printed.height(); ++y)
        for (int x = 0; x < printed.width(); ++x) {
            const QRgb a = printed.pixel(x, y), b = scaled.pixel(x, y);
            sum += std::abs(qRed(a) - qRed(b)) + std::abs(qGreen(a) - qGreen(b)) +
                   std::abs(qBlue(a) - qBlue(b));
        }
    return sum / (3.0 * printed.width() * printed.height());
}

// The program's printer writes a PDF of Letter pages at 600 dpi.
QString UsePdfPrinter(const std::string& pdf)
{
    auto printer = std::make_unique<QPrinter>(QPrinter::HighResolution);
    printer->setOutputFormat(QPrinter::PdfFormat);
    printer->setOutputFileName(QString::fromStdString(pdf));
    printer->setResolution(kDpi);
    printer->setPageSize(QPageSize(QPageSize::Letter));
    printer->setPageMargins(QMarginsF(0, 0, 0, 0));
    theApp.SetPrinter(std::move(printer));
    return QString::fromStdString(pdf);
}

// File/Open of a lesson written as RTF holding those picture groups.
CVXTextDoc* OpenLessonOf(const std::string& pictures, const std::string& path)
{
    std::ofstream(path, std::ios::binary) << "{\\rtf1\\ansi " + pictures + "}";
    const FileDialogHook old = SetFileDialogHook([&](bool, const std::string&) { return path; });
    EXPECT_TRUE(Choose(ID_FILE_OPEN));
    SetFileDialogHook(old);
    const auto docs = TemplateOf(IDR_VXTEXTTYPE)->GetDocuments();
    return docs.empty() ? nullptr : dynamic_cast<CVXTextDoc*>(docs.back());
}

// A new lesson with the picture file put in by Edit/Insert New Object, as many times over.
CVXTextDoc* NewLessonInserting(const std::string& file, int count)
{
    auto* doc = dynamic_cast<CVXTextDoc*>(TemplateOf(IDR_VXTEXTTYPE)->OpenDocumentFile(nullptr));
    const FileDialogHook old = SetFileDialogHook([&](bool, const std::string&) { return file; });
    for (int n = 0; n < count; ++n)
        EXPECT_TRUE(Choose(ID_OLE_INSERT_NEW));
    SetFileDialogHook(old);
    return doc;
}

std::string PictGroup(const char* header, const QByteArray& file)
{
    return std::string("{\\pict") + header + "\n" + file.toHex().toStdString() + "}";
}

// The goal widths in inches that the lesson keeps for its pictures, as Save writes them.
std::vector<double> GoalWidths(const CVXTextDoc* doc)
{
    std::vector<double> widths;
    for (const auto& item : doc->GetItems()) {
        const auto kept =
            KeptPictureOf(*doc->GetTextDocument(), QString::fromStdString(item->GetName()));
        const auto m = QRegularExpression("\\\\picwgoal(\\d+)")
                           .match(kept ? QString::fromLatin1(kept->header) : QString());
        widths.push_back(m.hasMatch() ? m.captured(1).toDouble() / 1440 : 0);
    }
    return widths;
}

// Print Preview's count of pages.
int PreviewPages()
{
    int pages = -1;
    ModalDriver driver({[&pages](QDialog* dlg) {
        if (auto* preview = dlg->findChild<QPrintPreviewWidget*>()) {
            for (int i = 0; i < 20; ++i)
                QCoreApplication::processEvents();
            pages = preview->pageCount();
        }
        dlg->reject();
    }});
    EXPECT_TRUE(Choose(ID_FILE_PRINT_PREVIEW));
    return pages;
}

struct PrintCase
{
    const char* what;
    std::function<CVXTextDoc*(const std::string& folder)> lesson;
    int pages;
    QSize pixels;       // each picture's
    double goal;        // each picture's goal width in inches, as the lesson keeps it
    QSizeF inches;      // each picture's size on the page
    double slack;       // of the size on the page, as a share of it
    const QImage* made; // what each picture was made from
    int count = 1;      // pictures
};

} // namespace

// Each picture prints from its own bytes at the printer's resolution, no larger than the page
// needs, whole on one page: a picture larger than the page's body is scaled to fit it, and a
// photograph goes in as wide as the body. Print Preview lays out the same pages, and printing
// leaves the lesson as it was.
TEST(LessonPrint, PicturesPrintAtTheirOwnResolutionWholeOnThePage)
{
    ASSERT_NE(StartShell(), nullptr);
    for (const char* tool : {"pdfinfo", "pdfimages"})
        ASSERT_FALSE(QStandardPaths::findExecutable(tool).isEmpty())
            << tool << ": scripts/setup.sh installs poppler-utils";
    const std::string dir = Temp("printed/");
    fs::remove_all(dir);
    fs::create_directories(dir);
    const QString pdf = UsePdfPrinter(dir + "lesson.pdf");
    const QImage square = Gradient(1200, 1200), photo = Gradient(4000, 3000),
                 wide = Gradient(1200, 600), tall = Gradient(600, 1200);
    ASSERT_TRUE(photo.save(QString::fromStdString(dir + "photo.jpg"), "JPEG", 90));
    const auto open = [](std::string groups) {
        return [groups](const std::string& folder) {
            return OpenLessonOf(groups, folder + "lesson.vxt");
        };
    };
    const double room = kBodyWidth - 8.0 / 96; // less the text's own margin of 4 pixels a side
    // clang-format off
    const PrintCase cases[] = {
        {"PNG 1200 x 1200 at 2 x 2 inches",
         open(PictGroup("\\pngblip\\picw1200\\pich1200\\picwgoal2880\\pichgoal2880",
                        FileOf(square, "PNG"))),
         1, {1200, 1200}, 2, {2, 2}, 0.01, &square},
        {"JPEG 4000 x 3000 at 2 inches wide",
         open(PictGroup("\\jpegblip\\picw4000\\pich3000\\picwgoal2880\\pichgoal2160",
                        FileOf(photo, "JPEG"))),
         1, {1200, 900}, 2, {2, 1.5}, 0.01, &photo},
        {"30 x 15 inches",
         open(PictGroup("\\pngblip\\picw1200\\pich600\\picwgoal43200\\pichgoal21600",
                        FileOf(wide, "PNG"))),
         1, {1200, 600}, 30, {room, room / 2}, 0.01, &wide},
        {"15 x 30 inches",
         open(PictGroup("\\pngblip\\picw600\\pich1200\\picwgoal21600\\pichgoal43200",
                        FileOf(tall, "PNG"))),
         1, {600, 1200}, 15, {kBodyHeight / 2, kBodyHeight}, 0.03, &tall},
        {"two photographs inserted",
         [](const std::string& folder) { return NewLessonInserting(folder + "photo.jpg", 2); },
         2, {4000, 3000}, room, {room, room * 0.75}, 0.01, &photo, 2},
    };
    // clang-format on
    for (const PrintCase& c : cases) {
        SCOPED_TRACE(c.what);
        CVXTextDoc* doc = c.lesson(dir);
        ASSERT_NE(doc, nullptr);
        const bool modified = doc->IsModified();
        for (double goal : GoalWidths(doc))
            EXPECT_NEAR(goal, c.goal, 0.01);
        QFile::remove(pdf);
        {
            ModalDriver driver({Accept});
            ASSERT_TRUE(Choose(ID_FILE_PRINT));
        }
        EXPECT_EQ(PagesOf(pdf), c.pages);
        EXPECT_EQ(PreviewPages(), c.pages);
        EXPECT_EQ(doc->IsModified(), modified);
        const std::vector<Printed> printed = PicturesOf(pdf);
        EXPECT_EQ(printed.size(), size_t(c.count)); // none cut across two pages
        for (const Printed& p : printed) {
            EXPECT_NEAR(p.pixels.width(), c.pixels.width(), 1);
            EXPECT_NEAR(p.pixels.height(), c.pixels.height(), 1);
            EXPECT_NEAR(p.inches.width(), c.inches.width(), c.inches.width() * c.slack);
            EXPECT_NEAR(p.inches.height(), c.inches.height(), c.inches.height() * c.slack);
            EXPECT_LE(p.inches.width(), kBodyWidth);
            EXPECT_LE(p.inches.height(), kBodyHeight);
            EXPECT_NEAR(p.inches.width() / p.inches.height(), c.inches.width() / c.inches.height(),
                        0.01);
            EXPECT_LT(MeanDifference(p.image, *c.made), 4);
        }
        doc->SetModifiedFlag(FALSE);
        doc->OnCloseDocument();
    }
    theApp.SetPrinter(nullptr);
    fs::remove_all(dir);
}
#endif
