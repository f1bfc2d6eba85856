#include "platform/Keyboard.h"

#include <QGuiApplication>

bool ShiftHeld()
{
    // Qt keeps the modifiers in step with the input events delivered so far, so inside a key's
    // handler they are those the key came with.
    return QGuiApplication::keyboardModifiers().testFlag(Qt::ShiftModifier);
}
