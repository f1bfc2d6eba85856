#pragma once
// A user's keys and clicks for the tests under a window manager: sent through the X server
// (its XTEST extension), so that the window manager handles them as it would a user's (Alt+F4,
// a double click on a title bar). The X libraries are loaded at run time; Ready() is false
// where they are missing or the display is not X. The window manager's state is read from the X
// server too: Qt's view of a window follows it late.
#include <QGuiApplication>
#include <QMargins>
#include <QPoint>
#include <QRect>
#include <QWindow>

#include <dlfcn.h>

#include <algorithm>
#include <initializer_list>
#include <vector>

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
        const std::vector<long> v = Property(Id(w), "_NET_FRAME_EXTENTS", kCardinal);
        return v.size() == 4 ? QMargins(int(v[0]), int(v[2]), int(v[1]), int(v[3])) : QMargins();
    }
    // The window's place on the screen as the X server has it, inside its frame; Qt's place of
    // the window follows it late.
    QRect Geometry(const QWindow* w) const
    {
        unsigned long root = 0, child = 0;
        int x = 0, y = 0;
        unsigned width = 0, height = 0, border = 0, depth = 0;
        if (!m_display || !m_geometry || !m_translate || !w ||
            !m_geometry(m_display, w->winId(), &root, &x, &y, &width, &height, &border, &depth) ||
            !m_translate(m_display, w->winId(), root, 0, 0, &x, &y, &child))
            return {};
        return QRect(x, y, int(width), int(height));
    }
    // Whether the window manager has framed the window and said so.
    bool Framed(const QWindow* w) const
    {
        return Property(Id(w), "_NET_FRAME_EXTENTS", kCardinal).size() == 4;
    }
    // Whether the window manager has taken the window in (WM_STATE, NormalState): what it holds
    // of the window before then may be left from a closed window of the same id.
    bool Managed(const QWindow* w) const
    {
        const std::vector<long> v =
            m_display && m_atom ? Property(Id(w), "WM_STATE", m_atom(m_display, "WM_STATE", 0))
                                : std::vector<long>();
        return !v.empty() && v[0] == 1;
    }
    // Whether the window manager holds the window maximised both ways (_NET_WM_STATE).
    bool Maximised(const QWindow* w) const
    {
        const std::vector<long> state = Property(Id(w), "_NET_WM_STATE", kAtom);
        auto has = [this, &state](const char* name) {
            return std::find(state.begin(), state.end(), long(m_atom(m_display, name, 0))) !=
                   state.end();
        };
        return !state.empty() && has("_NET_WM_STATE_MAXIMIZED_VERT") &&
               has("_NET_WM_STATE_MAXIMIZED_HORZ");
    }
    // Whether the window manager has given the window the focus (_NET_ACTIVE_WINDOW of the root),
    // where the X server sends the keys.
    bool Active(const QWindow* w) const
    {
        if (!m_display || !m_root)
            return false;
        const std::vector<long> v = Property(m_root(m_display), "_NET_ACTIVE_WINDOW", kWindow);
        return v.size() == 1 && w && (unsigned long)(v[0]) == w->winId();
    }

private:
    using Display = void;
    static constexpr unsigned long kAtom = 4, kCardinal = 6, kWindow = 33; // Xatom.h
    static unsigned long Id(const QWindow* w) { return w ? w->winId() : 0; }
    // The window's property of that name and type, of 32-bit items, as Xlib hands them over
    // (one long each); empty where it is not set.
    std::vector<long> Property(unsigned long window, const char* name, unsigned long type) const
    {
        std::vector<long> items;
        if (!m_display || !m_atom || !m_property || !window)
            return items;
        unsigned long actual = 0, count = 0, after = 0;
        int format = 0;
        unsigned char* data = nullptr;
        const unsigned long atom = m_atom(m_display, name, 0);
        if (m_property(m_display, window, atom, 0, 64, 0, type, &actual, &format, &count, &after,
                       &data) == 0 &&
            data && format == 32 && actual == type) {
            const auto* v = reinterpret_cast<const long*>(data);
            items.assign(v, v + count);
        }
        if (data)
            m_free(data);
        return items;
    }
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
        m_root = reinterpret_cast<decltype(m_root)>(dlsym(xlib, "XDefaultRootWindow"));
        m_geometry = reinterpret_cast<decltype(m_geometry)>(dlsym(xlib, "XGetGeometry"));
        m_translate = reinterpret_cast<decltype(m_translate)>(dlsym(xlib, "XTranslateCoordinates"));
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
    unsigned long (*m_root)(Display*) = nullptr;
    int (*m_geometry)(Display*, unsigned long, unsigned long*, int*, int*, unsigned*, unsigned*,
                      unsigned*, unsigned*) = nullptr;
    int (*m_translate)(Display*, unsigned long, unsigned long, int, int, int*, int*,
                       unsigned long*) = nullptr;
    int (*m_key)(Display*, unsigned, int, unsigned long) = nullptr;
    int (*m_button)(Display*, unsigned, int, unsigned long) = nullptr;
    int (*m_motion)(Display*, int, int, int, unsigned long) = nullptr;
};
