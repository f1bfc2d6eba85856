// A lesson's pictures on paper, through File/Print and Print Preview of the real main window,
// read back from the PDF the program writes: their pixels and their size on the page.
#ifdef HAVE_VELTRIX_VIEWSGRAPH
#include "app/CntrItem.h"
#include "app/MenuDriver.h"
#include "app/ModalDriver.h"
#include "app/Rtf.h"
#include "app/TestFiles.h"
#include "app/VXTextDoc.h"
#include "common/ChildProcess.h"
#include "common/ExhaustedMemory.h"
#include "common/MessageRecorder.h"
#include "common/Watchdog.h"
#include "platform/base/NoMemory.h"
#include "resources/ResourceIds.h"

#include <QImageReader>
#include <QPrintPreviewWidget>
#include <QPrinter>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTest>
#include <QTextDocument>
#include <QTextEdit>
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <functional>

namespace {

// Letter paper at the print dialog's 1200 dpi with no margins of the printer's: a body of 7.5 x 10
// inches inside the lesson's half-inch margins, less the text's own margin of 4 pixels a side.
constexpr int kDpi = 1200;
constexpr double kWidth = 7.5 - 8.0 / 96, kHeight = 10;

// What the poppler tool writes on the PDF; empty when it cannot run. Run by fork and exec
// alone, as ThreadSanitizer lets no thread start in a child forked from threads.
QString Poppler(const QString& tool, const QStringList& args)
{
    ChildRun run;
    run.program = QStandardPaths::findExecutable(tool).toStdString();
    for (const QString& a : args)
        run.args.push_back(a.toStdString());
    run.seconds = 120;
    const ChildEnd end = RunChild(run);
    return end.code == 0 ? QString::fromStdString(end.output) : QString();
}

// The pictures of a PDF's list by pdfimages: their pixels and their size on the page in inches.
std::vector<std::pair<QSize, QSizeF>> PicturesOf(const QString& list)
{
    std::vector<std::pair<QSize, QSizeF>> pictures;
    // page num type width height color comp bpc enc interp object ID x-ppi y-ppi size ratio
    for (const QString& line : list.split('\n')) {
        const QStringList f = line.split(' ', Qt::SkipEmptyParts);
        if (f.size() >= 14 && f[2] == "image")
            pictures.emplace_back(
                QSize(f[3].toInt(), f[4].toInt()),
                QSizeF(f[3].toDouble() / f[12].toDouble(), f[4].toDouble() / f[13].toDouble()));
    }
    return pictures;
}

int PagesOf(const QString& pdf)
{
    const auto m = QRegularExpression("Pages:\\s+(\\d+)").match(Poppler("pdfinfo", {pdf}));
    return m.hasMatch() ? m.captured(1).toInt() : -1;
}

// A picture file of one colour.
QByteArray PictureFile(int width, int height, const char* format)
{
    QImage image(width, height, QImage::Format_RGB32);
    image.fill(QColor(30, 140, 200));
    return FileOf(image, format);
}

// A palette picture of one colour at 60 % opacity.
QByteArray PalettePicture(int width, int height)
{
    QImage image(width, height, QImage::Format_Indexed8);
    image.setColorTable({qRgba(0, 0, 0, 0), qRgba(255, 0, 0, 153)});
    image.fill(1);
    return FileOf(image, "PNG");
}

CVXTextDoc* LastLesson()
{
    const auto docs = TemplateOf(IDR_VXTEXTTYPE)->GetDocuments();
    return docs.empty() ? nullptr : dynamic_cast<CVXTextDoc*>(docs.back());
}

// The goal widths in inches that the lesson keeps for its pictures, as Save writes them.
std::vector<double> GoalWidths(const CVXTextDoc* doc)
{
    std::vector<double> widths;
    for (const auto& item : doc->GetItems()) {
        const auto kept =
            KeptPictureOf(*doc->GetTextDocument(), QString::fromStdString(item->GetName()));
        const auto m = QRegularExpression("\\\\picwgoal(\\d+)")
                           .match(QString::fromLatin1(kept ? kept->header : QByteArray()));
        widths.push_back(m.hasMatch() ? m.captured(1).toDouble() / 1440 : 0);
    }
    return widths;
}

// Print Preview's count of pages.
int PreviewPages()
{
    int pages = -1;
    ModalDriver driver({[&pages](QDialog* dlg) {
        for (int i = 0; i < 20; ++i)
            QCoreApplication::processEvents();
        if (auto* preview = dlg->findChild<QPrintPreviewWidget*>())
            pages = preview->pageCount();
        dlg->reject();
    }});
    EXPECT_TRUE(Choose(ID_FILE_PRINT_PREVIEW));
    return pages;
}

} // namespace

// Each picture prints from its own bytes at the printer's resolution, no larger than the page
// needs, whole on one page: one larger than the page's body is scaled down to fit it, and a
// photograph goes in as wide as the body. One over Qt's image limit prints at the largest size
// under it, and smaller where memory is short; the user is told when only the window's copy could
// be printed. Partial transparency holds in the window and on paper. A picture that wraps below
// text prints on the text's page. Every job ends, whatever its pictures. Print Preview lays out
// the same pages, and printing leaves the lesson as it was. Where memory is short, whatever the
// room, the job either fails, saying so and leaving no file, or prints every picture, and says so
// where only the window's copy could be printed.
TEST(LessonPrint, PicturesPrintAtTheirOwnResolutionWholeOnThePage)
{
    ASSERT_NE(StartShell(), nullptr);
    for (const char* tool : {"pdfinfo", "pdfimages", "pdftotext"})
        ASSERT_FALSE(QStandardPaths::findExecutable(tool).isEmpty())
            << tool << ": scripts/setup.sh installs poppler-utils";
    const std::string dir = Temp("printed/"), lesson = dir + "lesson.vxt", photo = dir + "a.jpg",
                      large = dir + "b.jpg", png = dir + "c.png", portrait = dir + "d.jpg";
    std::filesystem::create_directories(dir);
    auto printer = std::make_unique<QPrinter>(QPrinter::HighResolution);
    const QString pdf = QString::fromStdString(dir + "lesson.pdf");
    printer->setOutputFileName(pdf);
    printer->setResolution(kDpi);
    printer->setPageSize(QPageSize(QPageSize::Letter));
    printer->setPageMargins(QMarginsF(0, 0, 0, 0));
    theApp.SetPrinter(std::move(printer));
    // Photographs wider than the body and narrower than the printer's pixels across it. Over a
    // limit of 8 MB, 2000 x 1500 prints as 8000 x 6000 does over Qt's own of 128 MB, at a
    // sixteenth of the work; where memory is short, only the large one at its size under Qt's
    // limit needs far more memory than the rest of the job.
    std::ofstream(photo, std::ios::binary) << PictureFile(2000, 1500, "JPEG").toStdString();
    std::ofstream(large, std::ios::binary) << PictureFile(8000, 6000, "JPEG").toStdString();
    std::ofstream(png, std::ios::binary) << PictureFile(2000, 1500, "PNG").toStdString();
    // as wide as the body, a line less tall than it
    std::ofstream(portrait, std::ios::binary) << PictureFile(1515, 2000, "JPEG").toStdString();
    const int qtLimit = QImageReader::allocationLimit();
    constexpr int kLimitMB = 8;
    const FileDialogHook old = SetFileDialogHook({});
    const auto open = [&](const char* header, const QByteArray& file) {
        return [&lesson,
                group = std::string("{\\pict") + header + " " + file.toHex().toStdString() + "}"] {
            std::ofstream(lesson, std::ios::binary) << "{\\rtf1\\ansi " + group + "}";
            SetFileDialogHook([&lesson](bool, const std::string&) { return lesson; });
            EXPECT_TRUE(Choose(ID_FILE_OPEN));
        };
    };
    const auto insert = [](const std::string& file, int times, int qtLimitMB = 0,
                           const char* typed = "") {
        return [&file, times, qtLimitMB, typed] {
            SetFileDialogHook([&file](bool, const std::string&) { return file; });
            TemplateOf(IDR_VXTEXTTYPE)->OpenDocumentFile(nullptr);
            QTest::keyClicks(LastLesson()->GetViews().front()->GetWidget()->findChild<QTextEdit*>(),
                             typed);
            for (int i = 0; i < times; ++i)
                EXPECT_TRUE(Choose(ID_OLE_INSERT_NEW));
            if (qtLimitMB)
                QImageReader::setAllocationLimit(qtLimitMB);
        };
    };
    QByteArray damaged = PictureFile(1200, 900, "PNG"); // its size can be read, its pixels not
    damaged.replace(damaged.size() / 2, 8, "damaged!");
    const char* const screenCopies =
        "Some pictures were printed at screen resolution: there was not enough memory for more.";
    // clang-format off
    const struct
    {
        const char* what;
        std::function<void()> lesson;
        int pages, pictures;
        QSize pixels;  // each picture's in the PDF
        QSizeF inches; // on the page
        double goal;   // the width in inches that the lesson keeps
        std::size_t room = 0;    // for the address space to grow by while it prints, if any
        const char* told = "";   // after the job
        bool translucent = false; // the picture, on screen and on paper
        std::size_t roomTo = 0;  // if any, printed at each 8 MiB from room up to this: the job
                                 // may also fail, saying so, or print larger than pixels (the
                                 // window's copy) and say nothing
    } cases[] = {
        {"damaged 1 x 1 picture",
         open("\\pngblip\\picwgoal2880\\pichgoal2880", QByteArray::fromHex(
             "89504e470d0a1a0a0000000d4948445200000001000000010802000000907753de0000000c49444154"
             "62726f6b656e0000030101009fafd2d10000000049454e44ae426082")),
         1, 1, {192, 192}, {2, 2}, 2},
        {"picture of less than a printer's pixel",
         open("\\pngblip\\picwgoal1\\pichgoal1", PictureFile(1200, 1200, "PNG")),
         1, 0, {}, {}, 1.0 / 1440}, // the text lays it out 0 x 0
        {"1200 x 1200 at 2 x 2 inches",
         open("\\pngblip\\picwgoal2880\\pichgoal2880", PictureFile(1200, 1200, "PNG")),
         1, 1, {1200, 1200}, {2, 2}, 2},
        {"4000 x 3000 at 2 inches wide",
         open("\\jpegblip\\picwgoal2880\\pichgoal2160", PictureFile(4000, 3000, "JPEG")),
         1, 1, {2400, 1800}, {2, 1.5}, 2},
        {"30 x 15 inches",
         open("\\pngblip\\picwgoal43200\\pichgoal21600", PictureFile(1200, 600, "PNG")),
         1, 1, {1200, 600}, {kWidth, kWidth / 2}, 30},
        {"15 x 30 inches",
         open("\\pngblip\\picwgoal21600\\pichgoal43200", PictureFile(600, 1200, "PNG")),
         1, 1, {600, 1200}, {kHeight / 2, kHeight}, 15},
        {"two 2000 x 1500 photographs inserted", insert(photo, 2),
         2, 2, {2000, 1500}, {kWidth, kWidth * 0.75}, kWidth},
        {"photograph over the image limit", insert(photo, 1, kLimitMB),
         1, 1, {1500, 1125}, {kWidth, kWidth * 0.75}, kWidth},
        {"8000 x 6000 photograph short of memory", insert(large, 1),
         1, 1, {3000, 2250}, {kWidth, kWidth * 0.75}, kWidth, 64 << 20},
        {"PNG over the image limit", insert(png, 1, kLimitMB),
         1, 1, {1672, 1254}, {kWidth, kWidth * 0.75}, kWidth},
        {"photograph after text on its line", insert(photo, 1, 0, "Big photo: "),
         1, 1, {2000, 1500}, {kWidth, kWidth * 0.75}, kWidth},
        {"portrait photograph after text on its line", insert(portrait, 1, 0, "Big photo: "),
         1, 1, {1515, 2000}, {7.32, 9.66}, kWidth}, // a line of text less tall than the body
        {"photograph under a 1 MB image limit", insert(photo, 1, 1),
         1, 1, {712, 534}, {kWidth, kWidth * 0.75}, kWidth, 0, screenCopies},
        {"damaged picture", open("\\pngblip\\picwgoal2880\\pichgoal2160", damaged),
         1, 1, {192, 144}, {2, 1.5}, 2},
        {"palette picture at 60 % opacity",
         open("\\pngblip\\picwgoal2880\\pichgoal2160", PalettePicture(4000, 3000)),
         1, 1, {2400, 1800}, {2, 1.5}, 2, 0, "", true},
        {"page-wide palette picture short of memory",
         open("\\pngblip\\picwgoal43200\\pichgoal32400", PalettePicture(4000, 3000)),
         1, 1, {2048, 1536}, {kWidth, kWidth * 0.75}, 30, 24 << 20, screenCopies, true, 72 << 20},
    };
    // clang-format on
    // File/Print with that room for the address space to grow by, if any; what the job left.
    const auto printAt = [&](const auto& c, CVXTextDoc* doc, std::size_t room) {
        SCOPED_TRACE(room ? std::to_string(room >> 20) + " MiB of room" : "memory enough");
        QFile::remove(pdf);
        MessageRecorder told;
        {
            ModalDriver driver({Accept});
            const Watchdog deadline("The print job did not end within a minute: ", c.what);
            const auto shortOfMemory =
                room ? std::make_unique<ExhaustedMemory>(64 << 10, room) : nullptr;
            ASSERT_TRUE(Choose(ID_FILE_PRINT));
        }
        if (c.roomTo && !QFile::exists(pdf)) { // given up
            EXPECT_EQ(told.messages, std::vector<std::string>{kNoMemoryText});
            return;
        }
        const QString list = Poppler("pdfimages", {"-list", pdf});
        const auto printed = PicturesOf(list);
        EXPECT_EQ(printed.size(), size_t(c.pictures)); // none cut across two pages
        const bool larger =
            c.roomTo && !printed.empty() && printed.front().first.width() > c.pixels.width() + 1;
        EXPECT_EQ(told.messages, std::vector<std::string>(c.told[0] && !larger ? 1 : 0, c.told));
        EXPECT_EQ(list.count(" smask "), c.translucent ? c.pictures : 0);
        for (const auto& item : doc->GetItems()) {
            const QUrl name(QString::fromStdString(item->GetName()));
            const QVariant shown =
                doc->GetTextDocument()->resource(QTextDocument::ImageResource, name);
            EXPECT_NEAR(qAlpha(shown.value<QPixmap>().toImage().pixel(0, 0)),
                        c.translucent ? 153 : 255, 2); // the window's copy
        }
        EXPECT_EQ(PagesOf(pdf), c.pages);
        EXPECT_EQ(Poppler("pdftotext", {"-l", "1", pdf, "-"}).simplified(),
                  doc->GetTextDocument()
                      ->toPlainText()
                      .remove(QChar::ObjectReplacementCharacter)
                      .simplified());
        for (const auto& [pixels, inches] : printed) {
            if (larger) {
                EXPECT_GT(pixels.width(), c.pixels.width());
            } else {
                EXPECT_NEAR(pixels.width(), c.pixels.width(), 1);
                EXPECT_NEAR(pixels.height(), c.pixels.height(), 1);
            }
            // one fitted to the body's height leaves a line's depth below it
            EXPECT_NEAR(inches.width(), c.inches.width(), c.inches.width() * 0.03);
            EXPECT_NEAR(inches.height(), c.inches.height(), c.inches.height() * 0.03);
            EXPECT_LE(inches.height(), kHeight);
            EXPECT_NEAR(inches.width() / inches.height(), c.inches.width() / c.inches.height(),
                        0.01);
        }
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
#ifdef VELTRIX_SANITIZED
        if (c.room) {
            std::printf("Row \"%s\" skipped: a sanitizer's own memory is beyond a limit of the "
                        "address space.\n",
                        c.what);
            continue;
        }
#endif
        c.lesson();
        CVXTextDoc* doc = LastLesson();
        ASSERT_NE(doc, nullptr);
        const bool modified = doc->IsModified();
        for (std::size_t room = c.room; room <= std::max(c.room, c.roomTo); room += 8 << 20)
            printAt(c, doc, room);
        QImageReader::setAllocationLimit(qtLimit);
        EXPECT_EQ(PreviewPages(), c.pages);
        EXPECT_EQ(doc->IsModified(), modified);
        for (double goal : GoalWidths(doc))
            EXPECT_NEAR(goal, c.goal, 0.01);
        doc->SetModifiedFlag(FALSE);
        doc->OnCloseDocument();
    }
    SetFileDialogHook(old);
    theApp.SetPrinter(nullptr);
    std::filesystem::remove_all(dir);
}
#endif
