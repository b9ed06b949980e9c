#include "modalwindows.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDialog>
#include <QMessageBox>
#include <QTimer>

namespace {

void dismiss(QWidget *modal)
{
    if (auto *box = qobject_cast<QMessageBox *>(modal)) {
        const QList<QAbstractButton *> buttons = box->buttons();
        if (!buttons.isEmpty()) {
            buttons.first()->click();
            return;
        }
    }
    if (auto *dialog = qobject_cast<QDialog *>(modal))
        dialog->reject();
    else
        modal->close();
}

} // namespace

QVector<ModalWindow> answerModals(const std::function<void()> &action,
                                  const std::function<void(QWidget *)> &respond)
{
    QVector<ModalWindow> seen;
    // Shots still pending when the action is over die with this object.
    QObject guard;
    std::function<void()> poll;
    poll = [&] {
        if (QWidget *modal = QApplication::activeModalWidget()) {
            ModalWindow window;
            window.className = modal->metaObject()->className();
            window.title = modal->windowTitle();
            window.parent = modal->parentWidget();
            if (auto *box = qobject_cast<QMessageBox *>(modal)) {
                window.text = box->text();
                window.details = box->detailedText();
            }
            seen.append(window);
            if (respond)
                respond(modal);
            else
                dismiss(modal);
        }
        QTimer::singleShot(10, &guard, poll);
    };
    QTimer::singleShot(0, &guard, poll);
    action();
    return seen;
}
