// Enter and Esc in the program's dialogs under a desktop theme whose Return presses buttons, as
// GNOME's does, with real keys through the X server. UnderWindowManager.sh runs these with that
// theme; elsewhere they are skipped.
#if defined(HAVE_VELTRIX_VIEWSGRAPH) && defined(HAVE_VELTRIX_DIALOGS)
#include "app/Configuration.h"
#include "app/MenuDriver.h"
#include "app/ModalDriver.h"
#include "app/ShellGlobals.h"
#include "app/XInput.h"
#include "common/TypeText.h"
#include "dialogs/ModelPropSheet.h"
#include "resources/ResourceIds.h"

#include <QApplication>
#include <QDialog>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <tuple>
#include <vector>

namespace {

// Whether the theme has a group box take Return for itself, as it has a button.
bool ThemePressesWithReturn()
{
    QGroupBox box;
    QKeyEvent key(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier);
    static_cast<QObject&>(box).event(&key);
    return key.isAccepted();
}

// The keys go to the dialog once the window manager has framed it and given it the focus.
bool Focus(QDialog* d, QWidget* control)
{
    const bool active = PumpUntil([d] {
        if (XInput::Get().Framed(d->windowHandle()) && QApplication::activeWindow() != d)
            d->activateWindow();
        return XInput::Get().Active(d->windowHandle()) && QApplication::activeWindow() == d;
    });
    if (control)
        control->setFocus();
    return active && control && PumpUntil([control] { return control->hasFocus(); });
}

// The start-up of a student's configuration, which asks the log-on name; the name taken. The
// shell's globals and folder are given back.
std::string StartAsStudent()
{
    const auto globals = std::tuple(g_nAccessLevel, g_strTeacherPassword, g_strLogOnName,
                                    g_strStartDir, g_strUserDir);
    const auto old = std::filesystem::current_path();
    QTemporaryDir dir;
    std::filesystem::current_path(dir.path().toStdString());
    g_strStartDir = dir.path().toStdString();
    std::ofstream("KRVX500.CFG", std::ios::binary).write("\0\0\0\0\0", 5);
    StartUpConfiguration();
    const std::string name = g_strLogOnName;
    std::tie(g_nAccessLevel, g_strTeacherPassword, g_strLogOnName, g_strStartDir, g_strUserDir) =
        globals;
    std::filesystem::current_path(old);
    return name;
}

QLineEdit* TypeIn(QLineEdit* edit, const char* text)
{
    Type(edit, text);
    return edit;
}

struct KeyCase
{
    const char* what;
    std::function<void()> open;                // as the user reaches the dialog
    std::function<QWidget*(QDialog*)> prepare; // the control that has the focus
    std::vector<const char*> keys;             // X key names, one after the other
    int result;                                // the one way the dialog ended
    std::function<bool()> done;                // what the dialog did
};

} // namespace

TEST(DesktopTheme, EnterTakesTheDefaultButtonAndEscCancels)
{
    if (QGuiApplication::platformName() != "xcb")
        GTEST_SKIP() << "needs an X display with a window manager";
    if (!ThemePressesWithReturn())
        GTEST_SKIP() << "needs a desktop theme whose Return presses buttons (GNOME's)";
    ASSERT_TRUE(XInput::Get().Ready()) << "needs the X test extension";
    StartShell()->GetWidget()->show();
    CDynSys* doc = NewModel(IDR_SYS2TYPE);
    ASSERT_NE(doc, nullptr);
    ASSERT_TRUE(RunThroughMenu(doc)); // Auto Scale needs a run
    std::string name;
    double tMin = 0; // before each case
    int autoScaled = 0;
    auto limits = [] { Choose(ID_CONTROLS_SET_LIMITS); };
    // The dialog opens in tmin.
    auto tMinField = [](QDialog* d) { return qobject_cast<QLineEdit*>(d->focusWidget()); };

    const KeyCase cases[] = {
        {"Return in the log-on name",
         [&name] { name = StartAsStudent(); },
         [](QDialog* d) { return TypeIn(d->findChild<QLineEdit*>(), "ann"); },
         {"Return"},
         IDOK,
         [&name] { return name == "ann"; }},
        {"keypad Enter in Set Plot Boundaries",
         limits,
         [&](QDialog* d) { return TypeIn(tMinField(d), "1"); },
         {"KP_Enter"},
         IDOK,
         [doc] { return doc->m_dGraphTMin == 1; }},
        {"Return on the focused Auto Scale presses it, Esc cancels what was typed",
         limits,
         [&](QDialog* d) {
             Type(tMinField(d), "3");
             QPushButton* button = nullptr;
             for (QPushButton* b : d->findChildren<QPushButton*>())
                 if (b->text() == "Auto Scale")
                     button = b;
             QObject::connect(button, &QPushButton::clicked, [&autoScaled] { ++autoScaled; });
             return button;
         },
         {"Return", "Escape"},
         IDCANCEL,
         [&] { return autoScaled == 1 && doc->m_dGraphTMin == tMin; }},
        // Last: the new start value ends the run.
        {"Return in a property page's field",
         [] { Choose(ID_VIEW_SET_PROPERTIES); },
         [](QDialog* d) {
             auto* sheet = dynamic_cast<CModelPropSheet*>(CWnd::FromWidget(d));
             sheet->SetActivePage(3);
             return TypeIn(sheet->GetPage(3)->GetWidget()->findChild<QLineEdit*>(), "2");
         },
         {"Return"},
         IDOK,
         [doc] { return doc->m_dInitX == 2; }},
    };
    for (const KeyCase& c : cases) {
        SCOPED_TRACE(c.what);
        std::vector<int> results;
        tMin = doc->m_dGraphTMin;
        ModalDriver driver({[&](QDialog* d) {
            const QPointer<QDialog> dialog(d);
            QObject::connect(d, &QDialog::finished, [&results](int r) { results.push_back(r); });
            const bool focused = Focus(d, c.prepare(d));
            EXPECT_TRUE(focused) << "the keys cannot reach " << d->windowTitle().toStdString();
            for (const char* key : c.keys)
                if (focused)
                    XInput::Get().Keys({key});
            // A dialog the keys left open is called off: the test fails instead of waiting.
            EXPECT_TRUE(PumpUntil([&dialog] { return !dialog || !dialog->isVisible(); }))
                << "the dialog stayed open";
            if (dialog && dialog->isVisible())
                dialog->reject();
        }});
        c.open();
        ASSERT_TRUE(
            Pump([&driver] { return driver.Done() && !QApplication::activeModalWidget(); }));
        EXPECT_EQ(results, std::vector<int>{c.result});
        EXPECT_TRUE(c.done());
    }
    doc->SetModifiedFlag(FALSE);
    doc->OnCloseDocument();
}
#endif
