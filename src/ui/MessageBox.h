#pragma once

#include <QList>
#include <QString>

class QWidget;
class DbError;

// Every message of the program goes through here, so tests can answer and read them.
class MessageBox
{
public:
    enum Button
    {
        Ok = 1,
        Cancel = 2,
        Yes = 4,
        No = 8,
        Save = 16,
        Discard = 32
    };
    enum Buttons
    {
        OkOnly,
        OkCancel,
        YesNo,
        YesNoCancel,
        SaveDiscardCancel
    };
    enum Icon { NoIcon, Information, Exclamation, Question, Critical };

    static Button show(QWidget *parent, const QString &text, const QString &title, Buttons buttons = OkOnly,
                       Icon icon = NoIcon);
    // A failing command: the engine's own text, once, where the command is handled.
    static void error(QWidget *parent, const QString &text);
    static void error(QWidget *parent, const DbError &e);

    struct Shown
    {
        QString text;
        QString title;
        Buttons buttons;
        Icon icon;
        Button answer;
    };

    // Test seam: once scripted, no real box opens; answers are taken in order, and when none is
    // left the box answers OK (or Yes where there is no OK, Discard where there is no Yes).
    static void script(const QList<Button> &answers = {});
    static void stopScripting();
    static bool isScripted();
    static QList<Shown> shown();
    static void clearShown();
    static int pendingAnswers();
};
