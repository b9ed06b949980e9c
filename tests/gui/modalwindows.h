#ifndef CORVANE_TESTS_MODALWINDOWS_H
#define CORVANE_TESTS_MODALWINDOWS_H

#include <QByteArray>
#include <QString>
#include <QVector>

#include <functional>

class QWidget;

// What a modal window showed while it was up.
struct ModalWindow
{
    QByteArray className;
    QString title;
    QString text;    // a message box's text; empty for other windows
    QString details; // a message box's detailed text
    QWidget *parent = nullptr;
};

// Runs action and answers every modal window it opens, the way a user would: a single-shot
// timer, firing inside the window's own event loop, finds QApplication::activeModalWidget(),
// records it, and hands it to respond. Without respond, a message box gets its OK button
// clicked and any other dialog is cancelled. A window left open would hang the test, so
// respond must close it.
QVector<ModalWindow> answerModals(const std::function<void()> &action,
                                  const std::function<void(QWidget *)> &respond = {});

#endif
