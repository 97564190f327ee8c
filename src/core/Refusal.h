#pragma once

#include <QString>

// A rule's "no": the message, its title and the object name of the field to correct (empty when
// no field is to blame). Rule functions return it; the window shows it.
struct Refusal
{
    QString text;
    QString title;
    QString field;
};
