#pragma once
// A user's keys and clicks for the tests under a window manager: sent through the X server
// (its XTEST extension), so that the window manager handles them as it would a user's (Alt+F4,
// a double click on a title bar). The X libraries are loaded at run time; Ready() is false
// where they are missing or the display is not X.
#include <QGuiApplication>
#include <QMargins>
#include <QPoint>
#include <QWindow>

#include <dlfcn.h>

#include <initializer_list>

class XInput
{
public:
    static XInput& Get()
    {
        static XInput input;
        return input;
    }
    bool Ready() const { return m_display && m_key && m_button && m_motion && m_flush; }

    // Presses the keys in order (X key names: "Alt_L", "F4") and lets them go in reverse.
    void Keys(std::initializer_list<const char*> names)
    {
        unsigned codes[4] = {};
        int n = 0;
        for (const char* name : names)
            if (n < 4)
                codes[n++] = m_toCode(m_display, m_toSym(name));
        for (int i = 0; i < n; ++i)
            m_key(m_display, codes[i], 1, 0);
        for (int i = n - 1; i >= 0; --i)
            m_key(m_display, codes[i], 0, 0);
        m_flush(m_display);
    }
    // Clicks the left button at a point of the screen, once or twice in a row.
    void Click(QPoint at, int clicks = 1)
    {
        m_motion(m_display, -1, at.x(), at.y(), 0);
        for (int i = 0; i < clicks; ++i) {
            m_button(m_display, 1, 1, 0);
            m_button(m_display, 1, 0, 0);
        }
        m_flush(m_display);
    }

    // The frame the window manager has put around the window (_NET_FRAME_EXTENTS: its borders and
    // title bar), asked of the X server; none before it has framed the window. Qt's own frame
    // margins may be those of an earlier frame.
    QMargins FrameExtents(const QWindow* w) const
    {
        if (!m_display || !m_atom || !m_property || !w)
            return {};
        unsigned long type = 0, items = 0, after = 0;
        int format = 0;
        unsigned char* data = nullptr;
        const unsigned long atom = m_atom(m_display, "_NET_FRAME_EXTENTS", 0);
        QMargins m;
        if (m_property(m_display, w->winId(), atom, 0, 4, 0, 6 /* XA_CARDINAL */, &type, &format,
                       &items, &after, &data) == 0 &&
            data && format == 32 && items == 4) {
            const auto* v = reinterpret_cast<const long*>(data); // as Xlib hands them over
            m = QMargins(int(v[0]), int(v[2]), int(v[1]), int(v[3]));
        }
        if (data)
            m_free(data);
        return m;
    }

private:
    using Display = void;
    XInput()
    {
        auto* x11 =
            qGuiApp ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
        void* xlib = dlopen("libX11.so.6", RTLD_NOW);
        void* xtst = dlopen("libXtst.so.6", RTLD_NOW);
        if (!x11 || !xlib || !xtst)
            return;
        m_display = x11->display();
        m_toSym = reinterpret_cast<decltype(m_toSym)>(dlsym(xlib, "XStringToKeysym"));
        m_toCode = reinterpret_cast<decltype(m_toCode)>(dlsym(xlib, "XKeysymToKeycode"));
        m_flush = reinterpret_cast<decltype(m_flush)>(dlsym(xlib, "XFlush"));
        m_atom = reinterpret_cast<decltype(m_atom)>(dlsym(xlib, "XInternAtom"));
        m_property = reinterpret_cast<decltype(m_property)>(dlsym(xlib, "XGetWindowProperty"));
        m_free = reinterpret_cast<decltype(m_free)>(dlsym(xlib, "XFree"));
        m_key = reinterpret_cast<decltype(m_key)>(dlsym(xtst, "XTestFakeKeyEvent"));
        m_button = reinterpret_cast<decltype(m_button)>(dlsym(xtst, "XTestFakeButtonEvent"));
        m_motion = reinterpret_cast<decltype(m_motion)>(dlsym(xtst, "XTestFakeMotionEvent"));
        if (!m_toSym || !m_toCode || !m_free)
            m_display = nullptr;
    }
    Display* m_display = nullptr;
    unsigned long (*m_toSym)(const char*) = nullptr;
    unsigned char (*m_toCode)(Display*, unsigned long) = nullptr;
    int (*m_flush)(Display*) = nullptr;
    unsigned long (*m_atom)(Display*, const char*, int) = nullptr;
    int (*m_property)(Display*, unsigned long, unsigned long, long, long, int, unsigned long,
                      unsigned long*, int*, unsigned long*, unsigned long*,
                      unsigned char**) = nullptr;
    int (*m_free)(void*) = nullptr;
    int (*m_key)(Display*, unsigned, int, unsigned long) = nullptr;
    int (*m_button)(Display*, unsigned, int, unsigned long) = nullptr;
    int (*m_motion)(Display*, int, int, int, unsigned long) = nullptr;
};
