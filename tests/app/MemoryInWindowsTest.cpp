// Memory that really runs out on the user-interface thread while a modal window shows, with the
// allocation shim preloaded (tests/common/FailAllocation.cpp; ctest does so): the window closes
// as cancelled, the user is told once it has, and the program goes on and ends after File/Exit.
// Each trial is the program as its main runs it, in a process of its own; without the shim the
// test skips.
#if defined(HAVE_VELTRIX_VIEWSGRAPH) && !defined(VELTRIX_SANITIZED)
#include "app/MenuDriver.h"
#include "app/ModalDriver.h"
#include "app/ShellGlobals.h"
#include "common/ChildProcess.h"
#include "model/CommandIds.h"

#include <QAbstractButton>
#include <QDialog>
#include <QMessageBox>
#include <QPrinter>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

#include <dlfcn.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <memory>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

namespace {

using FailAllocations = void (*)(long first, long every, long most, long milliseconds);
const char* const kCase = "VELTRIX_WINDOW_CASE"; // makes the test program the child
const char* const kNoMemory = "Not enough memory to go on.";

template <class F> F Shim(const char* name)
{
    return reinterpret_cast<F>(dlsym(RTLD_DEFAULT, name));
}

// The windows, as File and View show them for a new two-variable model.
struct WindowCase
{
    const char* name;
    UINT command;
};

const WindowCase kWindows[] = {
    {"property sheet", ID_VIEW_SET_PROPERTIES},
    {"file dialog", ID_FILE_SAVE_AS},
    {"message box", ID_FILE_CLOSE}, // "Save changes?" of a modified model
    {"print preview", ID_FILE_PRINT_PREVIEW},
};

void Say(const std::string& line)
{
    std::printf("%s\n", line.c_str());
    std::fflush(stdout);
}

const char* const kReturned = "window returned";

// Says when the window has gone, hidden or destroyed: a signal after that is not the window's.
// It allocates nothing, as memory may still fail.
class SaysWhenGone : public QObject
{
public:
    explicit SaysWhenGone(QDialog* d) : QObject(d) { d->installEventFilter(this); }
    ~SaysWhenGone() override { Gone(); }
    SaysWhenGone(const SaysWhenGone&) = delete;
    SaysWhenGone& operator=(const SaysWhenGone&) = delete;
    bool eventFilter(QObject*, QEvent* e) override
    {
        if (e->type() == QEvent::Hide)
            Gone();
        return false;
    }

private:
    void Gone()
    {
        if (std::exchange(m_said, true))
            return;
        std::fputs(kReturned, stdout);
        std::fputs("\n", stdout);
        std::fflush(stdout);
    }
    bool m_said = false;
};

// While memory fails the window is kept busy as a user would: typed into, resized and painted.
// A window still shown two seconds later is closed by the test, which says so.
void FailWhileShown(QDialog* d, long first, long most)
{
    new SaysWhenGone(d);
    auto* busy = new QTimer(d);
    QObject::connect(busy, &QTimer::timeout, d, [d, ticks = 0]() mutable {
        if (++ticks == 400) {
            Say("still shown");
            return d->reject();
        }
        QTest::keyClick(d->focusWidget() ? d->focusWidget() : d, Qt::Key_1);
        d->resize(d->width() + (ticks % 2 ? 9 : -9), d->height());
        d->repaint();
    });
    busy->start(5);
    Say("memory fails");
    Shim<FailAllocations>("VeltrixFailAllocations")(first, 50, most, 1000);
}

// A box answered No where it asks, else OK, after its text is said.
void AnswerBox(QDialog* d)
{
    auto* box = qobject_cast<QMessageBox*>(d);
    if (!box)
        return d->reject();
    Say("told: " + box->text().toStdString());
    QAbstractButton* no = box->button(QMessageBox::No);
    (no ? no : box->button(QMessageBox::Ok))->click();
}

// The new model's window of the case, shown while memory fails; then whether the window left
// everything as it was.
bool ShownAndLeftAsItWas(const WindowCase& c, long first, long most, CMainFrame* frame)
{
    CDocTemplate* t = nullptr;
    for (CDocTemplate* each : theApp.GetDocTemplates())
        if (each->GetResourceID() == IDR_SYS2TYPE)
            t = each;
    auto* doc = t ? dynamic_cast<CDynSys*>(t->OpenDocumentFile(nullptr)) : nullptr;
    if (!doc)
        return false;
    const double runTime = doc->m_dRunTimeLimit;
    doc->SetModifiedFlag(c.command == ID_FILE_CLOSE);
    std::vector<ModalDriver::Step> steps{
        [first, most](QDialog* d) { FailWhileShown(d, first, most); }};
    steps.resize(6, AnswerBox);
    const ModalDriver driver(steps);
    if (!Choose(c.command, frame))
        return false;
    const std::vector<CDocument*> docs = t->GetDocuments();
    if (std::find(docs.begin(), docs.end(), doc) == docs.end())
        return false;
    const bool kept = doc->m_dRunTimeLimit == runTime && doc->GetPathName().empty() &&
                      std::filesystem::is_empty("saved");
    doc->SetModifiedFlag(FALSE);
    return kept;
}

// How one trial ended, from the child's output.
struct Outcome
{
    int boxes = 0;       // "Not enough memory" boxes answered
    int onError = 0;     // the same text left on standard error
    bool closed = false; // the window closed without the test
    bool kept = false;   // nothing changed, nothing written
    long refused = 0;    // allocations that failed
};

Outcome Read(const std::string& output)
{
    Outcome t;
    t.closed = output.find("still shown") == std::string::npos;
    t.kept = output.find("left as it was: 1") != std::string::npos;
    std::istringstream lines(output);
    for (std::string line; std::getline(lines, line);) {
        t.boxes += line == std::string("told: ") + kNoMemory;
        t.onError += line == kNoMemory;
        if (line.rfind("refused: ", 0) == 0)
            t.refused = std::atol(line.c_str() + 9);
    }
    return t;
}

} // namespace

// The child: the program as its main runs it; a new model's window of the case shown while
// memory fails, then File/Exit.
TEST(MemoryInWindowsChild, DISABLED_WindowShownWhileMemoryFails)
{
    int window = 0;
    long first = 0, most = 0;
    ASSERT_EQ(std::sscanf(std::getenv(kCase), "%d %ld %ld", &window, &first, &most), 3);
    const WindowCase& c = kWindows[window];
    QTemporaryDir settings, folder;
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, settings.path());
    std::filesystem::current_path(folder.path().toStdString());
    std::filesystem::create_directory("saved");
    std::ofstream("KRVX500.CFG", std::ios::binary).write("\x01\0\0\0\0", 5); // teacher
    bool exited = false;
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, [&] {
        auto* frame = dynamic_cast<CMainFrame*>(theApp.m_pMainWnd);
        if (!frame || g_bFirstPaint || QApplication::activeModalWidget())
            return;
        poll.stop();
        auto printer = std::make_unique<QPrinter>(QPrinter::HighResolution);
        printer->setOutputFormat(QPrinter::PdfFormat);
        printer->setOutputFileName(QString::fromStdString("saved/preview.pdf"));
        theApp.SetPrinter(std::move(printer));
        Say("left as it was: " + std::to_string(ShownAndLeftAsItWas(c, first, most, frame)));
        using Count = long (*)();
        Say("refused: " + std::to_string(Shim<Count>("VeltrixRefusedAllocations")()));
        const ModalDriver answers(std::vector<ModalDriver::Step>(4, AnswerBox));
        exited = Choose(ID_APP_EXIT, frame);
    });
    poll.start(20);
    char name[] = "veltrix";
    char* argv[] = {name, nullptr};
    EXPECT_EQ(AfxWinMain(1, argv), 0);
    EXPECT_TRUE(exited);
}

// Each window closes as cancelled when memory runs out in it, the user is told once after, and
// the program ends with 0 after File/Exit. A trial names the allocation that fails first and how
// many fail in all, one in fifty from then on; where a second or third one falls in Qt's own code
// that cannot throw, the program may end by a signal, so the table holds trials that end in the
// program's hands, but for those marked: a file dialog's folder is read on a thread of Qt's and
// sorted in posted events while the window shows, and whether a refusal falls in that sort, or
// where the window goes on past one half done, depends on the machine's load. Those may end by
// a signal before the window has returned, and a line says how many did. VELTRIX_WINDOW_TRIALS=N
// runs N trials of each window instead, with VELTRIX_WINDOW_REFUSALS in all (1 unless set), and a
// line per window says how many ended so.
TEST(MemoryInWindows, AWindowThatMemoryRunsOutInClosesAsCancelledAndTheUserIsTold)
{
    if (!Shim<FailAllocations>("VeltrixFailAllocations"))
        GTEST_SKIP() << "needs the allocation shim preloaded";
    struct Trial
    {
        std::size_t window;
        long first, most;
        bool qtMayEnd = false; // a refusal may fall in Qt's own code, which ends the program
    };
    std::vector<Trial> trials = {{0, 1, 1},        {0, 16, 1},       {0, 41, 1}, {1, 1, 1},
                                 {1, 16, 3, true}, {1, 11, 2, true}, {2, 1, 1},  {2, 16, 1},
                                 {2, 41, 1},       {3, 1, 1},        {3, 16, 1}, {3, 21, 3}};
    if (const char* asked = std::getenv("VELTRIX_WINDOW_TRIALS")) {
        const int n = std::max(1, std::atoi(asked));
        const char* most = std::getenv("VELTRIX_WINDOW_REFUSALS");
        trials.clear();
        for (std::size_t w = 0; w < std::size(kWindows); ++w)
            for (int i = 0; i < n; ++i)
                trials.push_back({w, 1 + i * 50 / n, most ? std::atol(most) : 1});
    }
    struct Ended
    {
        int told = 0, inQt = 0, all = 0;
    };
    std::map<std::size_t, Ended> ended; // of each window
    for (const Trial& trial : trials) {
        SCOPED_TRACE(testing::Message() << kWindows[trial.window].name << ", first refused "
                                        << trial.first << ", " << trial.most << " in all");
        ChildRun run;
        run.args = {"--gtest_filter=MemoryInWindowsChild.*", "--gtest_also_run_disabled_tests"};
        char setting[64];
        std::snprintf(setting, sizeof setting, "%zu %ld %ld", trial.window, trial.first,
                      trial.most);
        run.env = {std::string(kCase) + "=" + setting};
        const ChildEnd end = RunChild(run);
        const Outcome o = Read(end.output);
        // Where the refusal fell in Qt's own code that lets it pass (a picture it then does not
        // paint: the trial's place depends on the machine's load), nothing reaches the
        // program: the window stays and nothing is told.
        const bool told = o.closed && o.boxes + o.onError >= 1;
        const bool unsaid = !o.closed && o.boxes + o.onError == 0;
        const bool ok = !end.hung && end.code == 0 && o.refused > 0 && o.kept && o.boxes <= 1 &&
                        (told || unsaid);
        // Ended by a signal while memory failed in the window, before it returned.
        const bool inQt = trial.qtMayEnd && !end.hung && end.code == -1 &&
                          end.output.find("memory fails") != std::string::npos &&
                          end.output.find(kReturned) == std::string::npos;
        EXPECT_TRUE(ok || inQt) << end.output;
        Ended& e = ended[trial.window];
        e.told += ok && told;
        e.inQt += inQt;
        ++e.all;
    }
    for (const auto& [w, e] : ended) {
        std::printf("%s: %d of %d trials ended with the message, %d by a signal in Qt's code\n",
                    kWindows[w].name, e.told, e.all, e.inQt);
        EXPECT_GE(e.told, 1) << kWindows[w].name;
    }
}
#endif
