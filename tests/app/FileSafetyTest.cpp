// Files that are not what they seem, reached through the real main window: pipes and devices
// named to the open commands, a link planted where a lesson is sent from, names as long as a
// name can be.
#ifdef HAVE_VELTRIX_VIEWSGRAPH
#include "app/CntrItem.h"
#include "app/MenuDriver.h"
#include "app/ModalDriver.h"
#include "app/Rtf.h"
#include "app/RtfParser.h"
#include "app/ShellFixture.h"
#include "app/TestFiles.h"
#include "app/VXTextDoc.h"
#include "app/VXTextView.h"
#include "common/ExhaustedMemory.h"
#include "common/JpegFile.h"
#include "common/MessageRecorder.h"
#include "common/PeakMemory.h"
#include "model/DynSys.h"
#include "model/ExpThread.h"
#include "platform/DocTemplate.h"
#include "resources/ResourceIds.h"

#include <QBuffer>
#include <QClipboard>
#include <QColorSpace>
#include <QGuiApplication>
#include <QImage>
#include <QImageReader>
#include <QLineEdit>
#include <QPainter>
#include <QPixmap>
#include <QTest>
#include <QTextEdit>
#include <QtEndian>
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cstdint>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <random>
#include <thread>

#include <dlfcn.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <jpeglib.h>

// Whether the pointer was busy each time libjpeg began to read a picture, while watched: every
// read of a photograph that goes in starts so, Qt's and the turn's.
std::vector<bool> g_busyAtRead;
bool g_watchReads = false;

extern "C" void jpeg_CreateDecompress(j_decompress_ptr in, int version, size_t size)
{
    using Create = void (*)(j_decompress_ptr, int, size_t);
    static const auto create = reinterpret_cast<Create>(dlsym(RTLD_NEXT, "jpeg_CreateDecompress"));
    if (g_watchReads) {
        const QCursor* cursor = QGuiApplication::overrideCursor();
        g_busyAtRead.push_back(cursor && cursor->shape() == Qt::WaitCursor);
    }
    create(in, version, size);
}

namespace {

namespace fs = std::filesystem;

// A FIFO with no writer. Should the program open it for reading, a writer comes and goes so
// the open cannot hang the test, and the test hears of it.
class ReaderlessFifo
{
public:
    explicit ReaderlessFifo(std::string path) : m_path(std::move(path))
    {
        ::unlink(m_path.c_str());
        m_made = ::mkfifo(m_path.c_str(), 0600) == 0;
        m_watch = std::thread([this] {
            while (!m_stop) {
                const int fd = ::open(m_path.c_str(), O_WRONLY | O_NONBLOCK | O_CLOEXEC);
                if (fd >= 0) { // only succeeds while someone has it open for reading
                    m_opened = true;
                    ::close(fd);
                }
                std::this_thread::sleep_for(std::chrono::milliseconds(5));
            }
        });
    }
    ~ReaderlessFifo()
    {
        m_stop = true;
        m_watch.join();
        ::unlink(m_path.c_str());
    }
    bool Made() const { return m_made; }
    bool Opened() const { return m_opened; }
    const std::string& Path() const { return m_path; }

private:
    std::string m_path;
    bool m_made = false;
    std::atomic<bool> m_stop{false}, m_opened{false};
    std::thread m_watch;
};

std::size_t OpenDocuments()
{
    std::size_t n = 0;
    for (CDocTemplate* t : theApp.GetDocTemplates())
        n += t->GetDocuments().size();
    return n;
}

// File/Open, a recent-file entry and a shell open request, each given a path.
const struct
{
    const char* how;
    std::function<void(const std::string&)> open;
} kOpenPaths[] = {
    {"File/Open",
     [](const std::string& path) {
         const FileDialogHook old =
             SetFileDialogHook([&](bool, const std::string&) { return path; });
         EXPECT_TRUE(Choose(ID_FILE_OPEN));
         SetFileDialogHook(old);
     }},
    {"recent file",
     [](const std::string& path) {
         theApp.AddToRecentFileList(path);
         EXPECT_TRUE(Choose(ID_FILE_MRU_FILE1));
     }},
    {"--open",
     [](const std::string& path) {
         CCommandLineInfo info;
         theApp.SetCommandLine({"--open", path});
         theApp.ParseCommandLine(info);
         theApp.EnableShellOpen();
         Idle();
     }},
};

TEST(FileSafety, PipesAndDevicesAreRefusedByEveryOpen)
{
    StartShell();
    const std::string zeroLink = Temp("zero.ds2");
    fs::remove(zeroLink);
    fs::create_symlink("/dev/zero", zeroLink);
    for (const auto& way : kOpenPaths) {
        for (const char* name : {"pipe.ds2", "pipe.vxt"}) {
            SCOPED_TRACE(std::string(way.how) + " " + name);
            ReaderlessFifo fifo(Temp(name));
            ASSERT_TRUE(fifo.Made());
            for (const std::string& path : {fifo.Path(), zeroLink}) {
                const std::size_t before = OpenDocuments();
                MessageRecorder recorder;
                way.open(path);
                EXPECT_EQ(recorder.messages,
                          std::vector<std::string>{"Cannot open the file " + path + "."});
                EXPECT_EQ(OpenDocuments(), before);
            }
            EXPECT_FALSE(fifo.Opened());
        }
    }
}

// Bytes this process has read so far, by every read call.
std::uint64_t BytesRead()
{
    std::ifstream io("/proc/self/io");
    std::string key;
    std::uint64_t n = 0;
    while (io >> key >> n)
        if (key == "rchar:")
            return n;
    return 0;
}

// A lesson far larger than any lesson is refused by its size, before it is read.
TEST(FileSafety, AHugeLessonIsRefusedUnread)
{
    StartShell();
    const std::string path = Temp("huge.vxt");
    for (const off_t size : {off_t(kLessonFileLimit) + 1, off_t{1} << 30}) {
        std::ofstream(path).close();
        ASSERT_EQ(::truncate(path.c_str(), size), 0); // sparse: nothing on disk
        for (const auto& way : kOpenPaths) {
            SCOPED_TRACE(std::string(way.how) + " " + std::to_string(size));
            const std::size_t before = OpenDocuments();
            MessageRecorder recorder;
            const std::uint64_t read = BytesRead();
            way.open(path);
            EXPECT_LT(BytesRead() - read, std::uint64_t{1} << 20);
            EXPECT_EQ(recorder.messages,
                      std::vector<std::string>{"The file " + path + " is too large to open."});
            EXPECT_EQ(OpenDocuments(), before);
        }
    }
    fs::remove(path);
}

// A picture that PNG cannot make smaller: three pixels' bytes each in the file, six characters
// each in a lesson.
QImage Noise(int width, int height)
{
    QImage image(width, height, QImage::Format_RGB32);
    std::mt19937 random(7);
    for (int y = 0; y < height; ++y) {
        auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < width; ++x)
            line[x] = 0xFF000000u | (random() & 0xFFFFFFu);
    }
    return image;
}

// Inserts the picture file into the active lesson as many times over, each through Insert New
// Object.
void InsertPictures(const std::string& picture, int count)
{
    const FileDialogHook old = SetFileDialogHook([&](bool, const std::string&) { return picture; });
    for (int n = 0; n < count; ++n)
        EXPECT_TRUE(Choose(ID_OLE_INSERT_NEW));
    SetFileDialogHook(old);
}

// A new lesson holding the picture file as many times over.
CVXTextDoc* NewLessonOf(const std::string& picture, int count)
{
    auto* doc = dynamic_cast<CVXTextDoc*>(TemplateOf(IDR_VXTEXTTYPE)->OpenDocumentFile(nullptr));
    InsertPictures(picture, count);
    return doc;
}

// File/Save As into path, then File/Close and File/Open of what it wrote: the lesson opened.
CVXTextDoc* SaveAndOpenAgain(const std::string& path)
{
    ModalDriver driver({[&](QDialog* d) {
        d->findChild<QLineEdit*>("fileNameEdit")->setText(QString::fromStdString(path));
        d->accept();
    }});
    EXPECT_TRUE(Choose(ID_FILE_SAVE_AS));
    EXPECT_TRUE(driver.Done());
    EXPECT_TRUE(Choose(ID_FILE_CLOSE));
    const FileDialogHook old = SetFileDialogHook([&](bool, const std::string&) { return path; });
    EXPECT_TRUE(Choose(ID_FILE_OPEN));
    SetFileDialogHook(old);
    const auto docs = TemplateOf(IDR_VXTEXTTYPE)->GetDocuments();
    return docs.empty() ? nullptr : dynamic_cast<CVXTextDoc*>(docs.back());
}

// The last picture as the lesson keeps it for Save and for paper, decoded whole.
QImage LastPicture(const CVXTextDoc* doc)
{
    return KeptPictureImage(*doc->GetTextDocument(),
                            QString::fromStdString(doc->GetItems().back()->GetName()),
                            QSize(1 << 16, 1 << 16))
        .convertToFormat(QImage::Format_RGB32);
}

// Every lesson that Save writes opens again: three large pictures are saved and read back
// whole; a fourth would make the lesson too large, and Insert refuses it. A long text pasted
// beside them makes it too large too: Save refuses it and writes nothing.
TEST(FileSafety, ALessonOfLargePicturesOpensAgainOrIsRefusedAtSave)
{
#ifdef VELTRIX_SANITIZED
    GTEST_SKIP() << "some hundreds of megabytes, several times over in a sanitizer's shadow";
#endif
    StartShell();
    const std::string dir = Temp("pictures/"), saved = dir + "large.vxt";
    fs::remove_all(dir);
    fs::create_directories(dir);
    const QImage picture = Noise(2000, 1500); // 9 MB as PNG, 18 MB in the lesson
    ASSERT_TRUE(picture.save(QString::fromStdString(dir + "noise.png")));
    MessageRecorder recorder;
    ASSERT_NE(NewLessonOf(dir + "noise.png", 3), nullptr);
    CVXTextDoc* doc = SaveAndOpenAgain(saved);
    EXPECT_EQ(recorder.messages, std::vector<std::string>{});
    const std::string before = ReadText(saved);
    EXPECT_GT(before.size(), std::size_t{50} << 20);
    ASSERT_NE(doc, nullptr);
    ASSERT_EQ(doc->GetItems().size(), 3u);
    EXPECT_TRUE(LastPicture(doc) == picture);

    InsertPictures(dir + "noise.png", 1);
    EXPECT_EQ(recorder.messages,
              std::vector<std::string>{"Unable to insert the picture " + dir +
                                       "noise.png.\nThe lesson is too large: with its pictures "
                                       "it takes more than 64 MB."});
    EXPECT_EQ(doc->GetItems().size(), 3u);
    EXPECT_FALSE(doc->IsModified());

    recorder.messages.clear();
    QString words;
    for (int line = 0; line < 160000; ++line)
        words += "A long text pasted from elsewhere, line after line of it.\n";
    QGuiApplication::clipboard()->setText(words);
    EXPECT_TRUE(Choose(ID_EDIT_PASTE));
    EXPECT_TRUE(Choose(ID_FILE_SAVE));
    EXPECT_EQ(recorder.messages,
              std::vector<std::string>{"Unable to save file.\nThe lesson is too large: with its "
                                       "pictures it takes more than 64 MB."});
    EXPECT_TRUE(ReadText(saved) == before);
    EXPECT_EQ(std::distance(fs::directory_iterator(dir), fs::directory_iterator()), 2);
    EXPECT_TRUE(doc->IsModified());
    doc->SetModifiedFlag(FALSE);
    doc->OnCloseDocument();
    QGuiApplication::clipboard()->clear();
    fs::remove_all(dir);
}

// Photographs are kept as their own JPEG bytes, two characters a byte, and stay so when the
// lesson is opened and saved again.
TEST(FileSafety, PhotographsAreKeptAsTheirOwnBytes)
{
    StartShell();
    const std::string dir = Temp("photos/"), photo = dir + "photo.jpg";
    fs::remove_all(dir);
    fs::create_directories(dir);
    // Small for a photograph: its digits are read twice, slowly under the sanitizers.
    ASSERT_TRUE(Noise(800, 600).save(QString::fromStdString(photo), "JPEG", 90));
    const std::uintmax_t bytes = fs::file_size(photo);
    MessageRecorder recorder;
    ASSERT_NE(NewLessonOf(photo, 3), nullptr);
    CVXTextDoc* doc = SaveAndOpenAgain(dir + "first.vxt");
    EXPECT_EQ(recorder.messages, std::vector<std::string>{});
    ASSERT_NE(doc, nullptr);
    ASSERT_EQ(doc->GetItems().size(), 3u);
    EXPECT_LT(fs::file_size(dir + "first.vxt"), 3 * (2 * bytes + bytes / 32) + 4096);
    EXPECT_TRUE(LastPicture(doc) ==
                QImage(QString::fromStdString(photo)).convertToFormat(QImage::Format_RGB32));
    SaveAndOpenAgain(dir + "again.vxt");
    EXPECT_TRUE(ReadText(dir + "again.vxt") == ReadText(dir + "first.vxt"));
    EXPECT_EQ(recorder.messages, std::vector<std::string>{});
    theApp.CloseAllDocuments(FALSE);
    fs::remove_all(dir);
}

// The pictures of lesson RTF as the file gives them: control words and hex digits.
std::vector<std::pair<std::string, std::string>> PicturesIn(const std::string& rtf)
{
    struct Sink : IRtfSink
    {
        void Text(const std::u16string&, const RtfRunFormat&) override {}
        void NewParagraph() override {}
        void Align(RtfAlign) override {}
        void Picture(const RtfPicture& p) override { pictures.emplace_back(p.header, p.data); }
        std::vector<std::pair<std::string, std::string>> pictures;
    } sink;
    ParseRtf(rtf, sink);
    return sink.pictures;
}

// A PNG of one pixel whose header claims width x height, its checksum made good. Of a palette
// with transparency, which Qt decodes whole at four bytes a pixel before it scales.
QByteArray PngClaiming(quint32 width, quint32 height)
{
    QImage pixel(1, 1, QImage::Format_Indexed8);
    pixel.setColorTable({qRgba(200, 30, 30, 128)});
    pixel.fill(0);
    QByteArray png = FileOf(pixel, "PNG");
    qToBigEndian(width, png.data() + 16); // the header chunk's data, after its length and type
    qToBigEndian(height, png.data() + 20);
    quint32 crc = 0xFFFFFFFFu;
    for (int i = 12; i < 29; ++i) {
        crc ^= uchar(png[i]);
        for (int k = 0; k < 8; ++k)
            crc = crc & 1 ? 0xEDB88320u ^ (crc >> 1) : crc >> 1;
    }
    qToBigEndian(~crc, png.data() + 29);
    return png;
}

// The lesson's pictures as its window holds them: converted once to the screen's format, and
// no larger than it shows them.
void ExpectShownOnce(const CVXTextDoc* doc)
{
    for (const auto& item : doc->GetItems()) {
        const QVariant shown = doc->GetTextDocument()->resource(
            QTextDocument::ImageResource, QUrl(QString::fromStdString(item->GetName())));
        EXPECT_EQ(shown.userType(), QMetaType::QPixmap) << item->GetName();
        EXPECT_LE(shown.value<QPixmap>().width(), 2048) << item->GetName();
    }
}

// Every picture of a lesson, shown or not, is saved as it was read, and opens again so.
TEST(FileSafety, EveryPictureOfALessonIsSavedAsItWasRead)
{
    StartShell();
    const std::string dir = Temp("kept/"), path = dir + "kept.vxt";
    fs::remove_all(dir);
    fs::create_directories(dir);
    QImage image(40, 30, QImage::Format_RGB32);
    image.fill(QColor(20, 120, 220));
    const QByteArray png = FileOf(image, "PNG");
    const std::string pngHex = png.toHex().toStdString();
    std::string missingDigit = pngHex;
    missingDigit.erase(missingDigit.size() / 2, 1);
    const struct
    {
        const char* what;
        std::string header, data;
        const char* saved = nullptr; // the header Save writes, when not the one read
    } pictures[] = {
        {"PNG", "\\pngblip\\picw40\\pich30\\picwgoal900\\pichgoal450", pngHex},
        {"JPEG in capitals", "\\jpegblip\\picw40\\pich30",
         FileOf(image, "JPEG").toHex().toUpper().toStdString()},
        {"a digit missing", "\\pngblip\\picw40\\pich30\\bliptag-5", missingDigit},
        {"truncated", "\\pngblip", pngHex.substr(0, pngHex.size() / 2)},
        {"20000 x 20000", "\\pngblip\\picw20000\\pich20000",
         PngClaiming(20000, 20000).toHex().toStdString()},
        {"empty", "", ""},
        {"metafile", "\\wmetafile8\\picw2000\\pich1000\\picwgoal1134\\pichgoal567",
         "010009000003c40000000000"},
        {"shape properties",
         "{\\*\\picprop\\shplid1025{\\sp{\\sn wzName}{\\sv Picture 1}}}\\picscalex100\\pngblip",
         pngHex},
        {"blip id", "\\pngblip\\picw40{\\*\\blipuid 0123abcd0123abcd0123abcd0123abcd}", pngHex},
        // Groups whose braces another reader would count otherwise are left out.
        {"bytes in a group", "\\pngblip{\\*\\picprop\\bin2 {}}\\picw40", pngHex,
         "\\pngblip\\picw40"},
        {"an escape cut short in a group", "\\pngblip{\\*\\picprop{\\sv \\'{}}}\\picw40", pngHex,
         "\\pngblip\\picw40"},
        {"bytes that are braces in a group", "\\pngblip{\\bin3 }}}8950}", pngHex, "\\pngblip"},
        {"bytes that open groups", "\\pngblip{\\*\\picprop\\bin2 {{}\\picw40", pngHex,
         "\\pngblip\\picw40"},
    };
    // Bytes in the text are no text either.
    std::string rtf =
        "{\\rtf1\\ansi{\\fonttbl{\\f0 Liberation Sans;}}\\f0 Pictures:\\bin4 }{}8\\par ";
    for (const auto& p : pictures)
        rtf += "{\\pict" + p.header + "\n" + p.data + "}\\par ";
    // Word processors may also write a picture's bytes as they are; and this file is cut short
    // inside a group of the picture's, which is left out.
    rtf += "{\\pict\\pngblip\\bin" + std::to_string(png.size()) + " " + png.toStdString() +
           "{\\*\\blipuid 0123";
    std::ofstream(path, std::ios::binary) << rtf;

    for (int pass = 0; pass < 2; ++pass) {
        SCOPED_TRACE(pass);
        MessageRecorder recorder;
        const FileDialogHook old =
            SetFileDialogHook([&](bool, const std::string&) { return path; });
        EXPECT_TRUE(Choose(ID_FILE_OPEN));
        SetFileDialogHook(old);
        EXPECT_EQ(recorder.messages,
                  std::vector<std::string>{"Some pictures of this lesson cannot be shown here. "
                                           "They are kept, and saved with the lesson."});
        const auto docs = TemplateOf(IDR_VXTEXTTYPE)->GetDocuments();
        ASSERT_EQ(docs.size(), 1u);
        auto* doc = dynamic_cast<CVXTextDoc*>(docs.back());
        EXPECT_EQ(doc->GetItems().size(), std::size(pictures) + 1);
        ExpectShownOnce(doc);
        auto* view = static_cast<CVXTextView*>(doc->GetViews().front());
        const QString text = view->GetEdit()->toPlainText().remove(QChar(0xFFFC)).remove('\n');
        EXPECT_EQ(text.toStdString(), pass == 0 ? "Pictures:" : "xPictures:");
        const QString shots = qEnvironmentVariable("VELTRIX_SHOTS"); // pictures to look at
        if (!shots.isEmpty() && pass == 0)
            view->GetParentFrame()->GetFrameWidget()->grab().save(shots + "/lesson_kept.png");
        QTest::keyClicks(view->GetEdit(), "x");
        EXPECT_TRUE(Choose(ID_FILE_SAVE));
        EXPECT_FALSE(doc->IsModified());
        EXPECT_TRUE(Choose(ID_FILE_CLOSE));
        const auto saved = PicturesIn(ReadText(path));
        ASSERT_EQ(saved.size(), std::size(pictures) + 1);
        for (size_t i = 0; i < std::size(pictures); ++i) {
            EXPECT_EQ(saved[i].first, pictures[i].saved ? pictures[i].saved : pictures[i].header)
                << pictures[i].what;
            EXPECT_TRUE(saved[i].second == pictures[i].data) << pictures[i].what;
        }
        EXPECT_TRUE(saved.back() == std::make_pair(std::string("\\pngblip"), pngHex));
    }
    fs::remove_all(dir);
    // Files cut short after a group of a picture's, and on a \' inside one whose brace another
    // reader would take as its digit.
    const std::pair<const char*, const char*> cutShort[] = {
        {"{\\rtf1{\\pict\\pngblip{\\*\\blipuid 01}\\picw4", "\\pngblip{\\*\\blipuid 01}\\picw4"},
        {"{\\rtf1{\\pict\\pngblip{\\*\\picprop\\'}", "\\pngblip"},
    };
    for (const auto& [file, header] : cutShort)
        EXPECT_EQ(PicturesIn(file),
                  (std::vector<std::pair<std::string, std::string>>{{header, ""}}))
            << file;
}

enum class Kept
{
    Own,       // the file's own bytes
    Lossless,  // turned without loss: no larger than the file
    Rewritten, // written again with its own tables: within a tenth of the file's bytes
};

// The picture decoded at eighths/8 of its size, upright as its EXIF orientation says.
QImage Decoded(const QByteArray& bytes, int eighths)
{
    QBuffer buffer;
    buffer.setData(bytes);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer);
    reader.setAutoTransform(true);
    if (eighths != 8)
        reader.setScaledSize(reader.size() * eighths / 8);
    return reader.read();
}

// The mean difference of two pictures' channels, the second scaled to the first; infinite where
// their proportions differ.
double MeanDifference(const QImage& a, const QImage& b)
{
    if (a.isNull() || b.isNull() ||
        std::abs(double(a.width()) / a.height() - double(b.width()) / b.height()) > 0.01)
        return std::numeric_limits<double>::infinity();
    const QImage x = a.convertToFormat(QImage::Format_RGB32);
    const QImage y = b.convertToFormat(QImage::Format_RGB32)
                         .scaled(a.size(), Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    double sum = 0;
    for (int row = 0; row < x.height(); ++row)
        for (int col = 0; col < x.width(); ++col) {
            const QRgb p = x.pixel(col, row), q = y.pixel(col, row);
            sum += std::abs(qRed(p) - qRed(q)) + std::abs(qGreen(p) - qGreen(q)) +
                   std::abs(qBlue(p) - qBlue(q));
        }
    return sum / (3.0 * x.width() * x.height());
}

// What Save wrote of a photograph stored turned, and how the lesson opened again shows it:
// upright at the size given, with its colour profile, its chroma sampling turned with it and no
// orientation left to turn it again.
void ExpectUpright(const std::pair<std::string, std::string>& saved, const QPixmap& shown,
                   const QByteArray& file, QSize upright, Kept kept)
{
    // As the file stores it, and turned with the picture where the turn swaps its sides.
    QByteArray fileBytes = file;
    QBuffer fileBuffer(&fileBytes);
    const bool swapped =
        QImageReader(&fileBuffer).size() != upright && upright.width() != upright.height();
    const QSize sampling = swapped ? LumaSampling(file).transposed() : LumaSampling(file);
    const std::string own = "\\jpegblip\\picw" + std::to_string(upright.width()) + "\\pich" +
                            std::to_string(upright.height()) + "\\picwgoal";
    EXPECT_EQ(saved.first.substr(0, own.size()), own);
    const QByteArray bytes = QByteArray::fromHex(QByteArray::fromStdString(saved.second));
    QBuffer buffer;
    buffer.setData(bytes);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer);
    EXPECT_EQ(reader.transformation(), QImageIOHandler::TransformationNone);
    EXPECT_EQ(reader.size(), upright);
    EXPECT_EQ(LumaSampling(bytes), sampling);
    // All of it as Qt turns the file itself; a large one at an eighth of its size.
    const int eighths = upright.width() < 1000 ? 8 : 1;
    const QImage decoded = Decoded(bytes, eighths);
    EXPECT_EQ(decoded.colorSpace(), QColorSpace(QColorSpace::DisplayP3));
    // Noise written again with its own tables at quality 75 differs by 11 to 15 levels, turned
    // the wrong way by some 80.
    EXPECT_LT(MeanDifference(decoded, Decoded(file, eighths)),
              kept == Kept::Rewritten ? 24.0 : 0.5);
    if (kept == Kept::Own)
        EXPECT_TRUE(bytes == file);
    else
        EXPECT_LE(bytes.size(), kept == Kept::Lossless ? file.size() : file.size() * 11 / 10)
            << bytes.size() << " bytes kept of " << file.size();
    const QImage image = shown.toImage();
    ASSERT_FALSE(image.isNull());
    const QRgb left = image.pixel(0, 0), right = image.pixel(image.width() - 1, 0);
    EXPECT_TRUE(qRed(left) > 180 && qGreen(left) < 70 && qBlue(left) < 70) << std::hex << left;
    EXPECT_TRUE(qGreen(right) > 160 && qRed(right) < 80 && qBlue(right) < 90) << std::hex << right;
}

// The picture of item i of the lesson as its window shows it.
QPixmap ShownPicture(const CVXTextDoc* doc, size_t i)
{
    const QUrl name(QString::fromStdString(doc->GetItems().at(i)->GetName()));
    return doc->GetTextDocument()->resource(QTextDocument::ImageResource, name).value<QPixmap>();
}

struct TurnedPhotograph
{
    QSize upright;
    int orientation; // 0: no EXIF
    Kept kept;
    int hSamp = 2, vSamp = 2;
    bool detailed = false;
};

// Each photograph through Insert New Object into a new lesson, then Save As, Close and Open:
// checked as the lesson opened again shows it, and as Save wrote it. The files made, in made.
void ExpectEachGoesInUpright(const std::vector<TurnedPhotograph>& photos,
                             std::vector<QByteArray>* made = nullptr)
{
    StartShell();
    const std::string dir = Temp("turned/");
    fs::remove_all(dir);
    fs::create_directories(dir);
    ASSERT_NE(NewLessonOf("", 0), nullptr);
    std::vector<QByteArray> files;
    for (const TurnedPhotograph& p : photos) {
        files.push_back(JpegOf(Photograph(p.upright, p.orientation, p.hSamp, p.vSamp, p.detailed)));
        const std::string path = dir + std::to_string(files.size()) + ".jpg";
        std::ofstream(path, std::ios::binary) << files.back().toStdString();
        InsertPictures(path, 1);
    }
    MessageRecorder recorder;
    CVXTextDoc* back = SaveAndOpenAgain(dir + "turned.vxt");
    EXPECT_EQ(recorder.messages, std::vector<std::string>{});
    if (made)
        *made = files;
    ASSERT_NE(back, nullptr);
    if (const QString shots = qEnvironmentVariable("VELTRIX_SHOTS"); !shots.isEmpty())
        back->GetViews().front()->GetParentFrame()->GetFrameWidget()->grab().save(
            shots + QString("/lesson_turned_%1.png").arg(photos.size()));
    const auto saved = PicturesIn(ReadText(dir + "turned.vxt"));
    ASSERT_EQ(saved.size(), photos.size());
    for (size_t i = 0; i < photos.size(); ++i) {
        SCOPED_TRACE("orientation " + std::to_string(photos[i].orientation) + ", " +
                     std::to_string(photos[i].upright.width()) + " x " +
                     std::to_string(photos[i].upright.height()) + " upright");
        ExpectUpright(saved[i], ShownPicture(back, i), files[i], photos[i].upright, photos[i].kept);
    }
    theApp.CloseAllDocuments(FALSE);
    fs::remove_all(dir);
}

// A photograph stored turned goes in upright, and Save keeps it so in its own bytes, with no
// orientation left to turn it again: every word processor shows it upright. Its colour profile
// stays; the turn loses nothing where the picture's blocks allow it. One stored upright is kept
// as its own bytes.
TEST(FileSafety, PhotographsStoredTurnedGoInUpright)
{
    std::vector<TurnedPhotograph> photos;
    for (int orientation = 0; orientation <= 8; ++orientation)
        photos.push_back({{64, 48}, orientation, orientation <= 1 ? Kept::Own : Kept::Lossless});
    // Part blocks at every edge: only a transpose keeps them at the right and the bottom.
    for (int orientation = 1; orientation <= 8; ++orientation)
        photos.push_back({{40, 72},
                          orientation,
                          orientation == 1   ? Kept::Own
                          : orientation == 5 ? Kept::Lossless
                                             : Kept::Rewritten});
    // Written again, full chroma stays full, and 4:2:2 turns a quarter into 4:4:0.
    photos.push_back({{44, 72}, 6, Kept::Rewritten, 1, 1});
    photos.push_back({{40, 72}, 8, Kept::Rewritten, 2, 1});
    ExpectEachGoesInUpright(photos);
}

// A phone's 50-megapixel photograph, whose blocks allow no perfect turn, and a 48-megapixel one
// of full chroma, go in upright at their own size.
TEST(FileSafety, LargePhotographsStoredTurnedGoInUprightAtTheirOwnSize)
{
#ifdef __SANITIZE_THREAD__
    GTEST_SKIP() << "One thread's work on 100 million pixels, which ThreadSanitizer takes a "
                    "minute over; the address sanitizer's build runs it.";
#endif
    ExpectEachGoesInUpright(
        {{{6120, 8160}, 6, Kept::Rewritten}, {{6000, 8000}, 6, Kept::Lossless, 1, 1}});
}

// A phone's detailed 50-megapixel photograph, whose file's digits nearly fill a lesson on their
// own, goes in turned as it would go in stored upright: written again as the phone wrote it, it
// takes no more bytes.
TEST(FileSafety, ADetailedPhotographThatNearlyFillsALessonGoesInTurnedAtItsOwnSize)
{
#ifdef __SANITIZE_THREAD__
    GTEST_SKIP() << "One thread's work on 50 million pixels, which ThreadSanitizer takes a "
                    "minute over; the address sanitizer's build runs it.";
#endif
    std::vector<QByteArray> files;
    ExpectEachGoesInUpright({{{6120, 8160}, 6, Kept::Rewritten, 2, 2, true}}, &files);
    // Two digits a byte, and a line break each 128 digits.
    ASSERT_EQ(files.size(), 1u);
    EXPECT_GT(files[0].size() * 2.0 * 129 / 128, 0.9 * double(kLessonFileLimit));
}

#ifndef VELTRIX_SANITIZED // a sanitizer's own memory is beyond a limit of the address space
// Where memory is short for a large photograph stored turned, it goes in upright and smaller,
// and the user is told, with the pointer no longer busy. Never on its side, and never as too
// large to show, which it is not. An eighth of it takes some 6 MB: it is not refused.
TEST(FileSafety, ALargePhotographStoredTurnedWhereMemoryIsShortGoesInUprightAndSmaller)
{
    StartShell();
    const std::string dir = Temp("turned-short/"), path = dir + "photo.jpg";
    fs::remove_all(dir);
    fs::create_directories(dir);
    const QByteArray file = JpegOf(Photograph({6120, 8160}, 5));
    std::ofstream(path, std::ios::binary) << file.toStdString();
    CVXTextDoc* doc = NewLessonOf("", 0);
    ASSERT_NE(doc, nullptr);
    std::vector<std::string> messages;
    bool busy = false;
    const MessageBoxHook old = SetMessageBoxHook([&](const std::string& text, unsigned) {
        messages.push_back(text);
        busy = busy || QGuiApplication::overrideCursor();
        return msgbox::IDOK;
    });
    {
        ExhaustedMemory exhausted(64 << 10, std::size_t(160) << 20);
        InsertPictures(path, 1);
    }
    SetMessageBoxHook(old);
    EXPECT_FALSE(busy);
    ASSERT_EQ(doc->GetItems().size(), 1u) << (messages.empty() ? "" : messages[0]);
    CVXTextDoc* back = SaveAndOpenAgain(dir + "short.vxt");
    ASSERT_NE(back, nullptr);
    const auto saved = PicturesIn(ReadText(dir + "short.vxt"));
    ASSERT_EQ(saved.size(), 1u);
    QByteArray bytes = QByteArray::fromHex(QByteArray::fromStdString(saved[0].second));
    QBuffer buffer(&bytes);
    const QSize kept = QImageReader(&buffer).size();
    EXPECT_LT(kept.width(), 6120);
    EXPECT_EQ(messages,
              std::vector<std::string>{"There is not enough memory to turn the picture " + path +
                                       " upright at its own size, 6120 x 8160.\nIt goes in at " +
                                       std::to_string(kept.width()) + " x " +
                                       std::to_string(kept.height()) + "."});
    ExpectUpright(saved[0], ShownPicture(back, 0), file, kept, Kept::Rewritten);
    theApp.CloseAllDocuments(FALSE);
    fs::remove_all(dir);
}
#endif

// Where a JPEG's first scan's data starts, after its header.
qsizetype ScanData(const QByteArray& jpeg)
{
    const qsizetype scan = jpeg.indexOf("\xFF\xDA");
    return scan + 2 + (uchar(jpeg[scan + 2]) << 8 | uchar(jpeg[scan + 3]));
}

// The JPEG with the start of its data all ones, on which an arithmetic decoder gives up the rest
// of its scan.
QByteArray AllOnesAtFirst(QByteArray jpeg)
{
    const qsizetype at = ScanData(jpeg);
    for (int i = 0; i < 32; i += 2)
        jpeg[at + i] = '\xFF', jpeg[at + i + 1] = '\0'; // a 0xFF of data is followed by a 0
    return jpeg;
}

// The JPEG with data in place of its first scan's, ended by the image's end.
QByteArray WithData(const QByteArray& jpeg, const QByteArray& data)
{
    return jpeg.left(ScanData(jpeg)) + data + "\xFF\xD9";
}

// The JPEG cut after the n-th marker of its first scan's data, a restart marker.
QByteArray CutAtMarker(const QByteArray& jpeg, int n)
{
    qsizetype at = ScanData(jpeg);
    for (int found = 0; found < n; at += 2)
        if (at = jpeg.indexOf('\xFF', at); uchar(jpeg[at + 1]) != 0)
            ++found;
    return jpeg.left(at);
}

// Photographs stored turned whose headers claim far more picture than their data holds cost no
// more than a whole photograph: one too large to show is refused as its twin stored upright is,
// one with far too few bytes of data for its picture as damaged; one whose data ends before its
// picture does goes in upright, grey where its data is missing, smaller where its own size would
// cost more. The pointer is busy only while the picture goes in.
TEST(FileSafety, PhotographsStoredTurnedThatClaimMoreThanTheirDataCostNoMore)
{
    StartShell();
    const std::string dir = Temp("turned-damaged/");
    fs::remove_all(dir);
    fs::create_directories(dir);
    const QByteArray real = JpegOf(Photograph({1200, 900}, 6, 2, 2, true));
    const QByteArray upright = JpegOf(Photograph({1200, 900}, 1, 2, 2, true));
    JpegPlan small = Photograph({64, 64}, 6);
    small.progressive = true;
    JpegPlan arithmetic = Photograph({1200, 900}, 6, 2, 2, true);
    arithmetic.arithmetic = true;
    JpegPlan restarts = Photograph({1200, 900}, 6, 2, 2, true);
    restarts.restartRows = 1;
    JpegPlan plain = Photograph({4000, 3000}, 6);
    plain.arithmetic = true;
    plain.row = [w = plain.width](int, unsigned char* rgb) {
        std::memset(rgb, 128, 3 * size_t(w));
    };
    // Zeros, which arithmetic data ends in and decodes as a plain picture, for a quarter of it.
    QByteArray padded = JpegOf(plain);
    padded.insert(ScanData(padded), QByteArray(400, '\0'));
    // Plain below its top, which its coder ends early.
    JpegPlan plainBelow = Photograph({4000, 3000}, 6, 2, 2, true);
    plainBelow.arithmetic = true;
    plainBelow.row = [w = plainBelow.width, top = plainBelow.row](int y, unsigned char* rgb) {
        y < 600 ? top(y, rgb) : void(std::memset(rgb, 128, 3 * size_t(w)));
    };
    // Dearer than a whole 50-megapixel photograph: where no restart interval divides the data, a
    // restart marker halfway ends it as any marker does.
    QByteArray restartMarker = JpegOf(Photograph({8000, 8000}, 6));
    restartMarker.insert((ScanData(restartMarker) + restartMarker.size()) / 2, "\xFF\xD0", 2);
    // A restart interval of one MCU, and nothing but restart markers.
    QByteArray markers;
    for (int i = 0; i < 800000; ++i)
        markers += "\xFF" + QByteArray(1, char(0xD0 + i % 8));
    QByteArray onlyMarkers = JpegOf(Photograph({64, 64}, 7));
    onlyMarkers.insert(onlyMarkers.indexOf("\xFF\xDA"), QByteArray("\xFF\xDD\x00\x04\x00\x01", 6));
    onlyMarkers = WithData(Claiming(onlyMarkers, 16320, 12240), markers);
    // Intervals with no data after those with data: its data has ended.
    QByteArray emptyIntervals = Claiming(JpegOf(restarts), 8000, 8000).chopped(2);
    int intervals = 1;
    for (char n = '\xD0'; n <= '\xD7'; ++n)
        intervals +=
            int(emptyIntervals.mid(ScanData(emptyIntervals)).count("\xFF" + QByteArray(1, n)));
    for (int i = intervals - 1; i < 10000; ++i)
        emptyIntervals += "\xFF" + QByteArray(1, char(0xD0 + i % 8));
    emptyIntervals += "\xFF\xD9";
    // 23 intervals of data, then comments, which are no data.
    QByteArray comments = CutAtMarker(Claiming(JpegOf(restarts), 20000, 20000), 23);
    for (int i = 0; i < 7; ++i)
        comments += "\xFF\xFE\xFF\xFF" + QByteArray(65533, 'c');
    comments += "\xFF\xD9";
    // Plain MCUs of 4:2:0 in the standard Huffman tables, for 27 % of the picture claimed.
    JpegPlan standard = Photograph({64, 64}, 6);
    standard.optimized = false;
    const QByteArray plainMcus =
        WithData(Claiming(JpegOf(standard), 20000, 20000),
                 QByteArray("\x28\xA2\x8A\x00", 4).repeated(1250 * 1250 * 27 / 100));
    const char* const unreadable = "";
    const struct
    {
        const char* name;
        QByteArray bytes;
        const char* reason;                       // none: it goes in; empty: unreadable
        const char *own = nullptr, *at = nullptr; // it goes in damaged, at this size, not its own
        bool grey = false;                        // with nothing of its picture's top
    } cases[] = {
        {"claims-20000.jpg", Claiming(JpegOf(Photograph({64, 64}, 6)), 20000, 20000), unreadable},
        {"claims-65000.jpg", Claiming(real, 65000, 65000), "It is too large to show."},
        // Its first scan's data ends at the next scan's marker, not at the image's end.
        {"progressive-claims-20000.jpg", Claiming(JpegOf(small), 20000, 20000), unreadable},
        // Bytes enough for such a picture, but its data ends within its first hundredth.
        {"claims-8000.jpg", Claiming(real, 8000, 8000), nullptr, "8000 x 8000", "7000 x 7000"},
        {"restart-marker-8000.jpg", restartMarker, nullptr, "8000 x 8000", "7000 x 7000"},
        // Arithmetic data says nothing where it ends: the decoder makes up the rest.
        {"arithmetic-claims-8000.jpg", Claiming(JpegOf(arithmetic), 8000, 8000), nullptr,
         "8000 x 8000", "7000 x 7000"},
        // Whole, but in a few hundred bytes: turned, it would cost what its size does.
        {"arithmetic-plain-4000.jpg", padded, unreadable},
        {"arithmetic-plain-below.jpg", JpegOf(plainBelow), nullptr},
        {"restarts.jpg", JpegOf(restarts), nullptr},
        {"only-markers-16320.jpg", onlyMarkers, unreadable},
        {"empty-intervals-8000.jpg", emptyIntervals, nullptr, "8000 x 8000", "7000 x 7000"},
        {"comments-20000.jpg", comments, unreadable},
        {"plain-27-percent-20000.jpg", plainMcus, nullptr, "20000 x 20000", "5000 x 5000", true},
        // The arithmetic decoder makes up the rest of the scan after a bad code.
        {"arithmetic-bad-code-claims-8000.jpg",
         AllOnesAtFirst(Claiming(JpegOf(arithmetic), 8000, 8000)), nullptr, "8000 x 8000",
         "7000 x 7000", true},
        {"upright-claims-65000.jpg", Claiming(upright, 65000, 65000), "It is too large to show."},
        {"cut-at-10.jpg", real.left(real.size() / 10), nullptr},
        {"cut-at-half.jpg", real.left(real.size() / 2), nullptr},
        {"cut-at-99.jpg", real.left(real.size() * 99 / 100), nullptr},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
#ifdef __SANITIZE_THREAD__
        if (c.at)
            continue; // one thread's work on 50 million pixels; the other builds run it
#endif
        // A lesson of its own: the pictures of damaged arithmetic data are noise, tens of
        // megabytes, and together would take a lesson past its limit.
        theApp.CloseAllDocuments(FALSE);
        CVXTextDoc* doc = NewLessonOf("", 0);
        ASSERT_NE(doc, nullptr);
        const std::string path = dir + c.name;
        std::ofstream(path, std::ios::binary) << c.bytes.toStdString();
        const size_t before = doc->GetItems().size();
        MessageRecorder recorder;
        const PeakMemory memory;
        g_busyAtRead.clear();
        g_watchReads = true;
        InsertPictures(path, 1);
        g_watchReads = false;
#ifndef VELTRIX_SANITIZED
        EXPECT_LT(memory.MiB(), c.reason ? 300 : 400);
#endif
        EXPECT_FALSE(g_busyAtRead.empty());
        EXPECT_EQ(std::count(g_busyAtRead.begin(), g_busyAtRead.end(), false), 0);
        EXPECT_EQ(QGuiApplication::overrideCursor(), nullptr);
        const std::string damaged = c.at ? "The picture " + path +
                                               " is damaged: its data ends "
                                               "before its picture, " +
                                               c.own + ", does.\nIt goes in at " + c.at + "."
                                         : "";
        EXPECT_EQ(
            recorder.messages,
            !c.reason   ? (c.at ? std::vector<std::string>{damaged} : std::vector<std::string>{})
            : *c.reason ? std::vector<std::string>{"Unable to insert the picture " + path + ".\n" +
                                                   c.reason}
                        : std::vector<std::string>{"Unable to read the picture " + path + "."});
        EXPECT_EQ(doc->GetItems().size(), before + (c.reason ? 0 : 1));
        if (c.reason || doc->GetItems().size() == before)
            continue;
        // Its stored top is the upright right, its missing end the upright left.
        const QImage shown = ShownPicture(doc, before).toImage();
        EXPECT_GE(shown.width(), shown.height());
        if (c.grey)
            continue;
        const QRgb right = shown.pixel(shown.width() - 1, 0);
        EXPECT_TRUE(qGreen(right) > 160 && qRed(right) < 80) << std::hex << right;
    }
    theApp.CloseAllDocuments(FALSE);
    fs::remove_all(dir);
}

// A colour photograph of width x height in plain bands, so that its file stays small; made
// 8-bit to hold the test's memory to a byte a pixel.
bool SavePhoto(const std::string& path, int width, int height)
{
    QImage image(width, height, QImage::Format_Indexed8);
    image.setColorTable({qRgb(200, 60, 30), qRgb(30, 90, 200), qRgb(40, 160, 60)});
    for (int y = 0; y < height; ++y)
        std::memset(image.scanLine(y), y / 700 % 3, size_t(width));
    return image.save(QString::fromStdString(path), "JPEG", 80);
}

// The hex digits of each picture of a lesson as Save writes them (the group's header, a line
// break, the digits in lines), read plainly: the RTF reader takes most of a minute over the
// tens of megabytes of a padded photograph's digits under the sanitizers.
std::vector<std::string> SavedDigits(const std::string& rtf)
{
    std::vector<std::string> out;
    for (size_t at = rtf.find("{\\pict"); at != std::string::npos; at = rtf.find("{\\pict", at)) {
        const size_t from = rtf.find('\n', at), to = rtf.find('}', from);
        if (to == std::string::npos)
            break;
        std::string digits;
        for (size_t line = from; line < to;) { // a line at a time: a character at a time is slow
            const size_t end = std::min(rtf.find('\n', line), to);
            digits.append(rtf, line, end - line);
            line = end + 1;
        }
        out.push_back(std::move(digits));
        at = to;
    }
    return out;
}

// A picture file given to Insert New Object, and why it is refused, if it is.
struct Inserted
{
    const char* name;
    const char* reason; // after "Unable to insert the picture <path>.\n"; none: it goes in
};

struct InsertCase
{
    const char* name;
    std::vector<Inserted> pictures;
};

void PrintTo(const InsertCase& c, std::ostream* os)
{
    *os << c.name;
}

const char* const kPastTheLimit =
    "The lesson is too large: with its pictures it takes more than 64 MB.";

// Photographs as users have them go in through Insert New Object, are saved as their own
// bytes and open again; a picture too large to decode, or to save, says so. The photographs and
// the lesson's limit apart, each in a ctest entry of its own: under the sanitizers each takes a
// minute on a busy machine.
class Photographs : public testing::TestWithParam<InsertCase>
{
};

TEST_P(Photographs, GoInOrAreRefusedWithTheReason)
{
    StartShell();
    const std::string dir = Temp("camera/");
    fs::remove_all(dir);
    fs::create_directories(dir);
    ASSERT_TRUE(SavePhoto(dir + "48mp.jpg", 8000, 6000));
    ASSERT_TRUE(SavePhoto(dir + "square.jpg", 5800, 5800));
    std::ofstream(dir + "huge.png", std::ios::binary) << PngClaiming(9000, 9000).toStdString();
    std::ofstream(dir + "long.jpg").close();
    fs::resize_file(dir + "long.jpg", std::uintmax_t{33} << 20); // sparse
    // Under half the lesson's limit, so read, and shown (its zeros follow the picture's end):
    // twice over it would take the lesson past the limit. Its 17 MB do it: its digits are slow to
    // read under the sanitizers.
    ASSERT_TRUE(SavePhoto(dir + "padded.jpg", 400, 300));
    fs::resize_file(dir + "padded.jpg", std::uintmax_t{17} << 20);
    CVXTextDoc* doc = NewLessonOf("", 0);
    ASSERT_NE(doc, nullptr);
    std::vector<std::pair<const char*, std::string>> inserted; // the files' bytes in hex digits
    for (const Inserted& c : GetParam().pictures) {
        SCOPED_TRACE(c.name);
        MessageRecorder recorder;
        const size_t before = doc->GetItems().size();
        InsertPictures(dir + c.name, 1);
        EXPECT_EQ(recorder.messages,
                  c.reason ? std::vector<std::string>{"Unable to insert the picture " + dir +
                                                      c.name + ".\n" + c.reason}
                           : std::vector<std::string>{});
        EXPECT_EQ(doc->GetItems().size(), before + (c.reason ? 0 : 1));
        if (!c.reason)
            inserted.emplace_back(
                c.name, QByteArray::fromStdString(ReadText(dir + c.name)).toHex().toStdString());
    }
    ASSERT_FALSE(inserted.empty());
    ExpectShownOnce(doc);
    MessageRecorder recorder;
    CVXTextDoc* back = SaveAndOpenAgain(dir + "photos.vxt");
    EXPECT_EQ(recorder.messages, std::vector<std::string>{});
    ASSERT_NE(back, nullptr);
    EXPECT_EQ(back->GetItems().size(), inserted.size());
    ExpectShownOnce(back);
    if (const QString shots = qEnvironmentVariable("VELTRIX_SHOTS"); !shots.isEmpty())
        back->GetViews().front()->GetParentFrame()->GetFrameWidget()->grab().save(
            shots + "/lesson_photographs_" + GetParam().name + ".png");
    const auto saved = SavedDigits(ReadText(dir + "photos.vxt"));
    ASSERT_EQ(saved.size(), inserted.size());
    for (size_t i = 0; i < saved.size(); ++i)
        EXPECT_TRUE(saved[i] == inserted[i].second) << inserted[i].first;
    theApp.CloseAllDocuments(FALSE);
    fs::remove_all(dir);
}
INSTANTIATE_TEST_SUITE_P(FileSafety, Photographs,
                         testing::Values(InsertCase{"Large",
                                                    {{"48mp.jpg", nullptr},
                                                     {"square.jpg", nullptr},
                                                     {"huge.png", "It is too large to show."}}},
                                         InsertCase{"PastTheLessonsLimit",
                                                    {{"long.jpg", kPastTheLimit},
                                                     {"padded.jpg", nullptr},
                                                     {"padded.jpg", kPastTheLimit}}}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(FileSafety, ImportRefusesPipesAndDevices)
{
    CDynSys* doc = NewModel(IDR_SYS2TYPE);
    ASSERT_NE(doc, nullptr);
    ReaderlessFifo fifo(Temp("pipe.d2d"));
    ASSERT_TRUE(fifo.Made());
    const std::string zeroLink = Temp("zero.d2d");
    fs::remove(zeroLink);
    fs::create_symlink("/dev/zero", zeroLink);
    for (const std::string& path : {fifo.Path(), zeroLink, std::string("/dev/null")}) {
        SCOPED_TRACE(path);
        const FileDialogHook old =
            SetFileDialogHook([&](bool, const std::string&) { return path; });
        MessageRecorder recorder;
        EXPECT_TRUE(Choose(ID_FILE_IMPORT));
        SetFileDialogHook(old);
        EXPECT_EQ(recorder.messages, std::vector<std::string>{"Unable to open selected file"});
        EXPECT_EQ(doc->m_nImportRows, 0);
    }
    EXPECT_FALSE(fifo.Opened());
    doc->OnCloseDocument();
}

// A mail program on the PATH that notes what it was asked to attach.
class FakeMailer
{
public:
    FakeMailer() : m_dir(Temp("mailer")), m_note(Temp("mailer-note")), m_oldPath(getenv("PATH"))
    {
        fs::create_directories(m_dir);
        fs::remove(m_note);
        std::ofstream(m_dir + "/xdg-email")
            << "#!/bin/sh\nprintf '%s' \"$2\" > " << m_note << ".part && mv " << m_note << ".part "
            << m_note << "\n";
        fs::permissions(m_dir + "/xdg-email", fs::perms::owner_all);
        setenv("PATH", (m_dir + ":" + m_oldPath).c_str(), 1);
    }
    ~FakeMailer() { setenv("PATH", m_oldPath.c_str(), 1); }
    // The attached file's path, once the mailer has run.
    std::string Attached() const
    {
        return Pump([this] { return fs::exists(m_note); }) ? ReadText(m_note) : std::string();
    }

private:
    std::string m_dir, m_note, m_oldPath;
};

// A link planted under the shared temporary folder by the lesson's name leads nowhere: the
// lesson goes from a folder that only this user can enter.
TEST(FileSafety, SendWritesTheLessonIntoAFolderOfItsOwn)
{
    const std::string victim = Temp("someone-elses.txt");
    std::ofstream(victim) << "keep me";
    const std::string planted = fs::temp_directory_path() / "New Lesson.vxt";
    fs::remove(planted);
    fs::create_symlink(victim, planted);
    CDocTemplate* lessons = TemplateOf(IDR_VXTEXTTYPE);
    ASSERT_NE(lessons, nullptr);
    auto* doc = dynamic_cast<CVXTextDoc*>(lessons->OpenDocumentFile(nullptr));
    ASSERT_NE(doc, nullptr);
    static_cast<CVXTextView*>(doc->GetViews().front())->GetEdit()->setPlainText("Sent words.");
    QCoreApplication::processEvents();
    FakeMailer mailer;
    for (int n = 0; n < 2; ++n) { // a second send replaces the first attachment
        SCOPED_TRACE(n);
        MessageRecorder recorder;
        ASSERT_TRUE(Choose(ID_FILE_SEND_MAIL));
        EXPECT_TRUE(recorder.messages.empty());
        const fs::path attached = mailer.Attached();
        ASSERT_FALSE(attached.empty());
        EXPECT_EQ(attached.filename(), "New Lesson.vxt");
        EXPECT_NE(ReadText(attached).find("Sent words."), std::string::npos);
        struct stat st
        {
        };
        ASSERT_EQ(::lstat(attached.parent_path().c_str(), &st), 0);
        EXPECT_TRUE(S_ISDIR(st.st_mode));
        EXPECT_EQ(st.st_mode & 0777, 0700u);
        EXPECT_EQ(st.st_uid, ::getuid());
        // Even a link found in that folder is replaced, not followed.
        fs::remove(attached);
        fs::create_symlink(victim, attached);
        fs::remove(Temp("mailer-note"));
    }
    EXPECT_EQ(ReadText(victim), "keep me");
    EXPECT_TRUE(fs::is_symlink(planted));
    doc->SetModifiedFlag(FALSE);
    doc->OnCloseDocument();
}

// Names of 249 to 255 bytes are legal: Save As and Export write them.
TEST(FileSafety, TheLongestLegalNamesAreSavedAndExported)
{
    CDynSys* doc = NewModel(IDR_SYS2TYPE);
    ASSERT_NE(doc, nullptr);
    ASSERT_TRUE(RunThroughMenu(doc));
    for (std::size_t length : {249u, 255u}) {
        SCOPED_TRACE(length);
        const std::string saved = Temp(std::string(length - 4, 'm') + ".ds2");
        const std::string exported = Temp(std::string(length - 4, 'e') + ".d2d");
        MessageRecorder recorder;
        ModalDriver driver({[&](QDialog* d) {
            d->findChild<QLineEdit*>("fileNameEdit")->setText(QString::fromStdString(saved));
            d->accept();
        }});
        EXPECT_TRUE(Choose(ID_FILE_SAVE_AS));
        EXPECT_TRUE(driver.Done());
        const FileDialogHook old =
            SetFileDialogHook([&](bool, const std::string&) { return exported; });
        EXPECT_TRUE(Choose(ID_FILE_EXPORT));
        EXPECT_TRUE(Pump([doc] { return ExportEnded(doc); }));
        SetFileDialogHook(old);
        EXPECT_TRUE(recorder.messages.empty()) << recorder.messages.front();
        EXPECT_EQ(doc->GetPathName(), saved);
        EXPECT_GT(fs::file_size(saved), 0u);
        EXPECT_NE(ReadText(exported).find("Dynamical System in 2 Variables"), std::string::npos);
    }
    doc->SetModifiedFlag(FALSE);
    doc->OnCloseDocument();
}

} // namespace
#endif
