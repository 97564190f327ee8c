#include "ui/MessageBox.h"

#include "core/Database.h"

#include <QApplication>
#include <QMessageBox>

namespace {
bool g_scripted = false;
QList<MessageBox::Button> g_answers;
QList<MessageBox::Shown> g_shown;

MessageBox::Button defaultAnswer(MessageBox::Buttons b)
{
    if (b == MessageBox::SaveDiscardCancel)
        return MessageBox::Discard;
    return (b == MessageBox::OkOnly || b == MessageBox::OkCancel) ? MessageBox::Ok : MessageBox::Yes;
}
} // namespace

MessageBox::Button MessageBox::show(QWidget *parent, const QString &text, const QString &title, Buttons buttons,
                                    Icon icon)
{
    Button answer;
    if (g_scripted) {
        answer = g_answers.isEmpty() ? defaultAnswer(buttons) : g_answers.takeFirst();
    } else {
        QMessageBox box(parent ? parent : QApplication::activeWindow());
        box.setWindowTitle(title);
        box.setText(text);
        switch (icon) {
        case Information:
            box.setIcon(QMessageBox::Information);
            break;
        case Exclamation:
            box.setIcon(QMessageBox::Warning);
            break;
        case Question:
            box.setIcon(QMessageBox::Question);
            break;
        case Critical:
            box.setIcon(QMessageBox::Critical);
            break;
        case NoIcon:
            break;
        }
        switch (buttons) {
        case OkOnly:
            box.setStandardButtons(QMessageBox::Ok);
            break;
        case OkCancel:
            box.setStandardButtons(QMessageBox::Ok | QMessageBox::Cancel);
            break;
        case YesNo:
            box.setStandardButtons(QMessageBox::Yes | QMessageBox::No);
            break;
        case YesNoCancel:
            box.setStandardButtons(QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
            break;
        case SaveDiscardCancel:
            box.setStandardButtons(QMessageBox::Save | QMessageBox::Discard | QMessageBox::Cancel);
            box.setDefaultButton(QMessageBox::Save);
            break;
        }
        switch (box.exec()) {
        case QMessageBox::Yes:
            answer = Yes;
            break;
        case QMessageBox::No:
            answer = No;
            break;
        case QMessageBox::Cancel:
            answer = Cancel;
            break;
        case QMessageBox::Save:
            answer = Save;
            break;
        case QMessageBox::Discard:
            answer = Discard;
            break;
        default:
            answer = buttons == YesNo ? No : (buttons == OkOnly ? Ok : Cancel);
            if (box.clickedButton() == box.button(QMessageBox::Ok))
                answer = Ok;
            break;
        }
    }
    g_shown << Shown{text, title, buttons, icon, answer};
    return answer;
}

void MessageBox::error(QWidget *parent, const QString &text)
{
    show(parent, text, QStringLiteral("Corvane"), OkOnly, Critical);
}

void MessageBox::error(QWidget *parent, const DbError &e)
{
    error(parent, e.describe());
}

void MessageBox::script(const QList<Button> &answers)
{
    g_scripted = true;
    g_answers = answers;
}

void MessageBox::stopScripting()
{
    g_scripted = false;
    g_answers.clear();
}

bool MessageBox::isScripted()
{
    return g_scripted;
}

QList<MessageBox::Shown> MessageBox::shown()
{
    return g_shown;
}

void MessageBox::clearShown()
{
    g_shown.clear();
}

int MessageBox::pendingAnswers()
{
    return int(g_answers.size());
}
