#pragma once
// Replaces an edit's text by typing, as a user does: select all, delete, type.
#include <QLineEdit>
#include <QTest>

inline void Type(QLineEdit* pEdit, const char* text)
{
    pEdit->selectAll();
    QTest::keyClick(pEdit, Qt::Key_Delete);
    QTest::keyClicks(pEdit, text);
}
