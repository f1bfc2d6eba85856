#pragma once
// Runs fn on the modal dialog that the caller opens next (offscreen nobody else would close it).
#include <QApplication>
#include <QTimer>
#include <QWidget>

#include <functional>

inline void OnNextModal(std::function<void(QWidget*)> fn)
{
    QTimer::singleShot(0, [fn] {
        if (QWidget* w = QApplication::activeModalWidget())
            fn(w);
    });
}
