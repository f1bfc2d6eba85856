#pragma once
// Drives a lesson's window as a user does.
#include "app/VXTextView.h"

#include <QPoint>
#include <QTest>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextEdit>
#include <gtest/gtest.h>

// Double-clicks the middle of the first occurrence of text in the lesson's window.
inline void DoubleClick(CVXTextView* view, const QString& text)
{
    QTextEdit* edit = view->GetEdit();
    const QTextCursor hit = edit->document()->find(text);
    ASSERT_FALSE(hit.isNull());
    QTextCursor at(edit->document());
    at.setPosition((hit.selectionStart() + hit.selectionEnd()) / 2);
    const QPoint p = edit->cursorRect(at).center();
    QTest::mouseClick(edit->viewport(), Qt::LeftButton, {}, p);
    QTest::mouseDClick(edit->viewport(), Qt::LeftButton, {}, p);
}
