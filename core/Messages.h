// How a rule speaks to the player in the middle of its work: battle reports,
// the garrison error, the move question. Windows show message boxes; tests
// record the texts and give scripted answers.
#pragma once

#include <QString>

class Messages {
public:
    virtual ~Messages() = default;
    virtual void Info(const QString& text) = 0;     // information icon, OK
    virtual void Error(const QString& text) = 0;    // error icon, OK
    virtual bool Confirm(const QString& text) = 0;  // warning icon, Yes and No
};
